// Counted strings and little-endian numbers read from a stream: the prefix is fed to the decoder
// a few bytes at a time, exactly as many as it says it lacks, so that nothing past the string is
// taken from the stream (platform-neutral: the UTF-16 form is converted by ansiFromUtf16, which
// lives in AnsiText.cpp).
#include "toolkit/CountedString.h"

#include <cstring>
#include <vector>

uint32_t readLE32(ByteSource& in) {
    uint8_t b[4];
    in.readBytes(b, 4);
    return loadLE32(b);
}

std::string readCountedString(ByteSource& in) {
    uint8_t prefix[kMostCountedPrefixBytesRead];
    size_t have = 0;
    CountedLength length;
    for (;;) {
        ByteDecoder decoder(prefix, have);
        length = decoder.countedLength();
        if (decoder.ok()) break;
        // The decoder lacks at most four bytes, and a whole prefix fits in the array.
        const size_t more = size_t(decoder.shortBy());
        if (more > sizeof prefix - have) in.failPastEnd();
        in.readBytes(prefix + have, more);
        have += more;
    }
    if (length.bytes > in.bytesLeft()) in.failPastEnd();
    if (length.bytes > kMostTextBytes) throw TooLargeToRead();
    const size_t bytes = size_t(length.bytes);
    if (!length.wide) {
        std::string s(bytes, '\0');
        if (bytes) in.readBytes(s.data(), bytes);
        return s;
    }
    std::vector<char16_t> units(bytes / 2);
    if (bytes) in.readBytes(units.data(), bytes);
    return ansiFromUtf16(units.data(), units.size());
}

void BufferSource::readBytes(void* dst, size_t n) {
    if (n > bytes_.size() - pos_) {
        pos_ = bytes_.size();
        throw PastEndOfBuffer();
    }
    if (n) std::memcpy(dst, bytes_.data() + pos_, n);
    pos_ += n;
}
