// ByteDecoder: the one reader of the grammar of the program's binary files (option and result
// files) over a span of bytes: little-endian numbers and counted strings. Every length read from
// the bytes is checked here, once, against what the span still holds. The writing side
// (putLE32, putCountedString) lives beside it so that both ends of the grammar are in one file.
// Platform-neutral, so that the readers can be built natively for fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The most bytes a counted-string prefix takes in the forms the program writes (one, three or
// seven bytes).
inline constexpr size_t kMostCountedPrefixBytes = 7;
// The most bytes a prefix takes in any form a reader accepts: the UTF-16 marker (0xFF 0xFFFE)
// followed by a second prefix of up to seven bytes.
inline constexpr size_t kMostCountedPrefixBytesRead = 3 + kMostCountedPrefixBytes;

// The length a counted-string prefix gives: the bytes of text that follow it, and whether they
// are UTF-16LE code units (then bytes is twice the unit count). 64-bit whatever size_t is: a
// file may claim 2^32 - 1 units, which is 8 GiB.
struct CountedLength {
    uint64_t bytes = 0;
    bool wide = false;
};

// A counted text as it lies in the span: the raw bytes (UTF-16LE units when wide).
struct CountedText {
    std::string_view bytes;
    bool wide = false;
};

// Reads forward through a span it does not own. A read that needs more bytes than are left fails:
// it returns zero or an empty text, ok() turns false for good, and shortBy() says how many more
// bytes the span would have needed, so that a caller reading a file through a window can fetch
// exactly what is missing and decode again.
class ByteDecoder {
public:
    ByteDecoder(const void* data, size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    explicit ByteDecoder(std::string_view bytes) : ByteDecoder(bytes.data(), bytes.size()) {}

    bool ok() const { return shortBy_ == 0; }
    uint64_t shortBy() const { return shortBy_; }
    size_t position() const { return pos_; }
    size_t left() const { return size_ - pos_; }

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    // The next n bytes (empty after a failure).
    std::string_view bytes(uint64_t n);
    void skip(uint64_t n) { bytes(n); }

    // A counted-string prefix in any of its forms: below 255 one byte; else 0xFF and a 16-bit
    // length below 0xFFFF; else 0xFF 0xFFFF and a 32-bit length. 0xFF 0xFFFE before a second
    // prefix marks UTF-16LE text (the marker is taken only once).
    CountedLength countedLength();
    // A prefix and the text it counts.
    CountedText countedText();

private:
    // True when n more bytes are there; otherwise records the shortfall.
    bool take(uint64_t n);

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    uint64_t shortBy_ = 0;
};

// Four bytes, least significant first.
uint32_t loadLE32(const uint8_t* p);
// Writes v as four bytes at p; returns p + 4.
char* putLE32(char* p, uint32_t v);
void appendLE32(std::string& out, uint32_t v);

// Writes s as a counted string in the shortest form at out, which has room for
// kMostCountedPrefixBytes + s.size() bytes; returns the end of what was written.
char* putCountedString(char* out, std::string_view s);
void appendCountedString(std::string& out, std::string_view s);
