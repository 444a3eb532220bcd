// The records of a result file read from a stream of bytes: the layout, a window over the file,
// and the check that every name and folder is what it claims to be. Platform-neutral (no
// windows.h), so that the reader can also be built natively for fuzzing.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/CountedString.h"

// Layout (little-endian): the header word 200, the signed record count n, then n records. A
// record is the reserved word 78 F6 45 00, the three file times (low word first), size,
// attributes (36 bytes so far), then name and folder as counted strings. Readers ignore the
// header and reserved words.
inline constexpr uint32_t kResultFileHeader = 200;
inline constexpr uint32_t kResultRecordMark = 0x0045F678;
inline constexpr size_t kResultRecordFixedBytes = 36;
// The fewest bytes a record takes: the fixed part and two empty texts. A load never makes room
// for more records than the file can hold at this size.
inline constexpr uint64_t kSmallestRecordBytes = kResultRecordFixedBytes + 2;

// One record's fields as the file holds them; the texts are borrowed from the reader.
struct ResultRecord {
    uint32_t times[6] = {}; // creation, last access, last write: low word, then high word
    uint32_t size = 0;
    uint32_t attributes = 0;
    std::string_view name;
    std::string_view folder;
};

// A record whose name is not one path component or whose folder is not a drive root, drive path
// or network path: a program acting on it could reach files the user never chose.
class BadResultRecord : public std::runtime_error {
public:
    BadResultRecord() : std::runtime_error("a record names no plain file") {}
};

// True when a record of this name and folder is one the reader takes: the name one path
// component, the folder a drive root, drive path or network path ('?' kept: the walker keeps
// such names). The writer saves no other record, so every file the program saves loads whole.
bool isStorableRecord(std::string_view name, std::string_view folder);

// Reads records through a window of the source's bytes and decodes each one from memory. A
// record longer than the window makes the window grow to hold it, but only after the bytes it
// lacks have been checked against what the source still holds and against kMostTextBytes, so the
// window never grows beyond the file or past what a 32-bit process can address.
class ResultRecordReader {
public:
    // The window starts no larger than the source: a small file costs a small window.
    explicit ResultRecordReader(ByteSource& source)
        : source_(source), window_(size_t(std::min<uint64_t>(kWindowBytes, source.bytesLeft()))) {}

    // The next record; texts sent in UTF-16 are converted to the ANSI code page. Valid until the
    // next call. Throws the source's end-of-data error when the source ends first,
    // TooLargeToRead for a text longer than kMostTextBytes, and BadResultRecord for a name or
    // folder that fails isStorableRecord.
    const ResultRecord& next();

private:
    static constexpr size_t kWindowBytes = 256 * 1024;
    // Reads at least `missing` more bytes of the record being decoded into the window.
    void fetch(uint64_t missing);
    // The text as the program keeps it: the bytes themselves, or their conversion from UTF-16.
    std::string_view textOf(const CountedText& text, std::string& converted);

    ByteSource& source_;
    std::vector<uint8_t> window_;
    size_t start_ = 0; // the record being read
    size_t end_ = 0;   // bytes read into the window
    ResultRecord record_;
    std::u16string units_;
    std::string wideName_, wideFolder_;
};
