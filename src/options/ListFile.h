// List files: one name per line, each followed by a line feed, in the system's ANSI code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/CountedString.h"

// Collects the names of a list file from its bytes, given in pieces of any size. A line ends at
// a line feed, or at a carriage return together with the byte after it; the first empty line
// ends the list; a last line without line end counts once finish() is called.
class ListFileReader {
public:
    // sourceBytes is the size of the whole file: the names may take no more memory than a
    // ReadBudget of that size allows, else feed() throws TooLargeToRead.
    explicit ListFileReader(std::vector<std::string>& names, uint64_t sourceBytes = UINT64_MAX)
        : names_(names), budget_(sourceBytes) {}

    // Takes the next bytes; false once an empty line has ended the list (later bytes are not
    // wanted).
    bool feed(const char* data, size_t size);
    // The end of the file: a pending last line is appended.
    void finish();
    bool done() const { return done_; }

private:
    void endLine();

    std::vector<std::string>& names_;
    ReadBudget budget_;
    std::string line_;
    bool skipNext_ = false; // the byte after a carriage return belongs to the line end
    bool done_ = false;
};

// Empties names, then reads the list file at path into it (names are taken unchanged: no
// trimming, no server rule, no duplicate test). Throws FileError when the file cannot be opened
// or read, or its names need more memory than there is or than its size allows; names then
// holds what was read before the failure.
void readListFile(const std::string& path, std::vector<std::string>& names);

// Creates (or truncates) the file at path and writes each name followed by one line feed.
// Throws FileError when the file cannot be created or written.
void writeListFile(const std::string& path, const std::vector<std::string>& names);
