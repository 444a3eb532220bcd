// Reading counted strings and little-endian numbers from a stream of bytes (a file, or memory),
// through the one decoder of the grammar, and the limits that keep a hostile length from
// costing more memory than the file's size allows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "toolkit/ByteDecoder.h"

// The longest text a reader accepts (1 MiB). No name, folder or mask comes near it: a path holds
// at most 32,767 UTF-16 units, at most three bytes each in any ANSI code page. A longer length in
// a file is refused before anything is allocated, which keeps every later size computation far
// from the limits of a 32-bit process.
inline constexpr uint64_t kMostTextBytes = uint64_t(1) << 20;

// Where a counted string is read from. FileArchive is one; BufferSource reads memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads exactly n bytes, or throws the source's end-of-data error.
    virtual void readBytes(void* dst, size_t n) = 0;
    // Bytes that can still be read.
    virtual uint64_t bytesLeft() const = 0;
    // Throws the source's end-of-data error (a length claims more than what is left).
    [[noreturn]] virtual void failPastEnd() = 0;
};

// Reads four bytes, or throws the source's end-of-data error.
uint32_t readLE32(ByteSource& in);

// Reads one counted string in any of its forms (see ByteDecoder); UTF-16 text is converted to
// the ANSI code page. The length is checked against bytesLeft() before anything is allocated, so
// a hostile length ends in the source's end-of-data error, never in a huge allocation; a length
// that the source holds but no text can have throws TooLargeToRead.
std::string readCountedString(ByteSource& in);

// Thrown by BufferSource when a read goes past the end of its bytes.
class PastEndOfBuffer : public std::runtime_error {
public:
    PastEndOfBuffer() : std::runtime_error("read past the end of the buffer") {}
};

// Reads from bytes in memory (not owned; they must outlive the source).
class BufferSource : public ByteSource {
public:
    explicit BufferSource(std::string_view bytes) : bytes_(bytes) {}
    void readBytes(void* dst, size_t n) override;
    uint64_t bytesLeft() const override { return bytes_.size() - pos_; }
    [[noreturn]] void failPastEnd() override { throw PastEndOfBuffer(); }
    size_t position() const { return pos_; }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
};

// Thrown when what a reader would build from its source needs more memory than the source's
// size allows (ReadBudget); a std::bad_alloc, so callers treat it as they treat a failed
// allocation.
class TooLargeToRead : public std::bad_alloc {
public:
    const char* what() const noexcept override { return "more memory than the file's size allows"; }
};

// The memory a reader may take for the data it builds from a source of a given size: a small
// multiple of the size, plus a fixed floor for small files. A count is checked against it
// before anything is allocated for that many elements, so that a file of N bytes never costs
// far more than kBytesPerSourceByte * N; without it, 40 million empty names in a 40 MB file
// would need about a gigabyte of string objects.
class ReadBudget {
public:
    static constexpr uint64_t kFloorBytes = 1u << 20;
    static constexpr uint64_t kBytesPerSourceByte = 4;

    explicit ReadBudget(uint64_t sourceBytes)
        : left_(sourceBytes > (UINT64_MAX - kFloorBytes) / kBytesPerSourceByte
                    ? UINT64_MAX
                    : kFloorBytes + kBytesPerSourceByte * sourceBytes) {}

    // Takes bytes from the budget, or throws TooLargeToRead when they are not left.
    void charge(uint64_t bytes) {
        if (bytes > left_) throw TooLargeToRead();
        left_ -= bytes;
    }
    // Takes count elements of elementBytes each (checked without overflow).
    void chargeElements(uint64_t count, uint64_t elementBytes) {
        if (elementBytes && count > left_ / elementBytes) throw TooLargeToRead();
        charge(count * elementBytes);
    }
    // The heap block of a string of this length (none while it fits in the object itself).
    static uint64_t stringHeapBytes(uint64_t length) {
        return length < sizeof(std::string) - sizeof(void*) - sizeof(size_t) ? 0 : length + 1;
    }

private:
    uint64_t left_;
};

// Converts UTF-16LE code units to the system ANSI code page (characters without an ANSI form
// become the code page's default character).
std::string ansiFromUtf16(const char16_t* units, size_t count);
