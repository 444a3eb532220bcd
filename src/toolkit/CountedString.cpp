// Writing and reading counted strings and little-endian numbers (platform-neutral: the UTF-16
// form is converted by ansiFromUtf16, which lives in AnsiText.cpp).
#include "toolkit/CountedString.h"

#include <cstring>
#include <vector>

namespace {

uint8_t readU8(ByteSource& in) {
    uint8_t b = 0;
    in.readBytes(&b, 1);
    return b;
}

uint16_t readU16(ByteSource& in) {
    uint8_t b[2];
    in.readBytes(b, 2);
    return uint16_t(b[0] | (b[1] << 8));
}

// The three length forms after the first byte has been read. Sets wide when the 16-bit value is
// the UTF-16 marker (only allowed for the first prefix).
uint32_t readLength(ByteSource& in, bool allowWideMarker, bool& wide) {
    uint8_t b = readU8(in);
    if (b < 0xFF) return b;
    uint16_t w = readU16(in);
    if (w == 0xFFFE && allowWideMarker) {
        wide = true;
        return readLength(in, false, wide);
    }
    if (w < 0xFFFF) return w;
    return readLE32(in);
}

} // namespace

void appendLE32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

uint32_t readLE32(ByteSource& in) {
    uint8_t b[4];
    in.readBytes(b, 4);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
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
        put16(uint16_t(n & 0xFFFF));
        put16(uint16_t(n >> 16));
    }
    std::memcpy(out, s.data(), n);
    return out + n;
}

void appendCountedString(std::string& out, std::string_view s) {
    const size_t at = out.size();
    out.resize(at + kMostCountedPrefixBytes + s.size());
    char* end = putCountedString(out.data() + at, s);
    out.resize(size_t(end - out.data()));
}

std::string readCountedString(ByteSource& in) {
    bool wide = false;
    uint64_t length = readLength(in, true, wide);
    uint64_t bytes = wide ? length * 2 : length;
    if (bytes > in.bytesLeft()) in.failPastEnd();
    if (!wide) {
        std::string s(static_cast<size_t>(length), '\0');
        if (length) in.readBytes(s.data(), size_t(length));
        return s;
    }
    std::vector<char16_t> units(static_cast<size_t>(length));
    if (length) in.readBytes(units.data(), size_t(bytes));
    return ansiFromUtf16(units.data(), units.size());
}

void BufferSource::readBytes(void* dst, size_t n) {
    if (n > bytes_.size() - pos_) {
        pos_ = bytes_.size();
        throw PastEndOfBuffer();
    }
    std::memcpy(dst, bytes_.data() + pos_, n);
    pos_ += n;
}
