// The option file: SearchOptions stored byte for byte, written by Save Configuration and read
// by Open Configuration.
#pragma once

#include <cstdint>
#include <string>

#include "options/SearchOptions.h"
#include "toolkit/CountedString.h"

// The first word of every option file. Read but not tested, so files of other versions load.
inline constexpr uint32_t OPTION_FILE_FORMAT = 200;
// The second word: written as this value, ignored when read.
inline constexpr uint32_t kOptionFileReservedWord = 0x0045E67C;

// Layout (little-endian): the format word, the reserved word, fifteen 32-bit fields from
// includeSubfolders to smallerThanKB, the name pattern as a counted string, fromDate, toDate,
// then for domains, servers and folders a 32-bit count followed by that many counted strings.
// When the containing text is not empty, the text as a counted string and matchCase (signed
// 32-bit) follow; a file without them is byte for byte what earlier versions wrote, and those
// versions read the new files, stopping after the folder names.

// Appends the whole file's bytes to out.
void encodeOptions(std::string& out, const SearchOptions& options);

// Reads an option file from in, filling into as it goes: when the data ends early, what was
// read before stays in into and the source's end-of-data error is thrown. Values are taken as
// stored, without range checks; each list is emptied before its names are appended. Nothing
// after the folder names means no text and matchCase 0; a text and its flag cut short end in
// the end-of-data error; anything after the flag is ignored. An empty text read from a file
// turns matchCase off, as a file that stores none does. A count or
// length that the remaining bytes cannot hold ends the read before anything is allocated, with
// the source's end-of-data error; names that would need more memory than the source's size
// allows (ReadBudget) end it with TooLargeToRead.
void decodeOptions(ByteSource& in, SearchOptions& into);

// Creates (or truncates) the file at path and writes the options. Throws FileError (a failed
// allocation too, as the file error for lack of memory).
void writeOptionFile(const std::string& path, const SearchOptions& options);

// Reads the file at path into into, as decodeOptions does. Throws FileError, also for a file
// whose data needs more memory than its size allows or than there is; after a failure
// into holds what was read before it, so callers that must not show half a file read into a
// copy first.
void readOptionFile(const std::string& path, SearchOptions& into);
