// The decoder and encoder of little-endian numbers and counted strings.
#include "toolkit/ByteDecoder.h"

#include <cstring>

bool ByteDecoder::take(uint64_t n) {
    if (shortBy_ != 0) return false;
    const size_t have = size_ - pos_;
    if (n <= have) return true;
    shortBy_ = n - have;
    return false;
}

uint8_t ByteDecoder::u8() {
    if (!take(1)) return 0;
    return data_[pos_++];
}

uint16_t ByteDecoder::u16() {
    if (!take(2)) return 0;
    const uint8_t* p = data_ + pos_;
    pos_ += 2;
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t ByteDecoder::u32() {
    if (!take(4)) return 0;
    const uint8_t* p = data_ + pos_;
    pos_ += 4;
    return loadLE32(p);
}

std::string_view ByteDecoder::bytes(uint64_t n) {
    if (!take(n)) return {};
    // take() proved n <= size_ - pos_, so it fits in size_t.
    std::string_view out(reinterpret_cast<const char*>(data_ + pos_), size_t(n));
    pos_ += size_t(n);
    return out;
}

CountedLength ByteDecoder::countedLength() {
    CountedLength length;
    for (int prefix = 0; prefix < 2; ++prefix) {
        const uint8_t b = u8();
        if (b < 0xFF) {
            length.bytes = b;
        } else {
            const uint16_t w = u16();
            if (w == 0xFFFE && prefix == 0) {
                length.wide = true;
                continue; // the unit count follows in a prefix of its own
            }
            length.bytes = w < 0xFFFF ? w : u32();
        }
        break;
    }
    if (!ok()) return {};
    if (length.wide) length.bytes *= 2;
    return length;
}

CountedText ByteDecoder::countedText() {
    const CountedLength length = countedLength();
    std::string_view text = bytes(length.bytes);
    if (!ok()) return {};
    return {text, length.wide};
}

uint32_t loadLE32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

char* putLE32(char* p, uint32_t v) {
    p[0] = char(v);
    p[1] = char(v >> 8);
    p[2] = char(v >> 16);
    p[3] = char(v >> 24);
    return p + 4;
}

void appendLE32(std::string& out, uint32_t v) {
    char b[4];
    putLE32(b, v);
    out.append(b, 4);
}

char* putCountedString(char* out, std::string_view s) {
    const size_t n = s.size();
    auto put16 = [&out](uint16_t v) {
        *out++ = char(v & 0xFF);
        *out++ = char(v >> 8);
    };
    if (n < 0xFF) {
        *out++ = char(n);
    } else if (n < 0xFFFE) {
        *out++ = char(0xFF);
        put16(uint16_t(n));
    } else {
        *out++ = char(0xFF);
        put16(0xFFFF);
        out = putLE32(out, uint32_t(n));
    }
    if (n) std::memcpy(out, s.data(), n);
    return out + n;
}

void appendCountedString(std::string& out, std::string_view s) {
    const size_t at = out.size();
    out.resize(at + kMostCountedPrefixBytes + s.size());
    char* end = putCountedString(out.data() + at, s);
    out.resize(size_t(end - out.data()));
}
