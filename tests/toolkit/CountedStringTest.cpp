// The counted string's prefix forms, the UTF-16 form and hostile lengths.
#include <gtest/gtest.h>

#include "support/Bytes.h"
#include "toolkit/CountedString.h"

namespace {

std::string encode(std::string_view s) {
    std::string out;
    appendCountedString(out, s);
    return out;
}

std::string prefixOf(size_t length) {
    return encode(std::string(length, 'x')).substr(0, 7);
}

std::string decode(const std::string& data, size_t* consumed = nullptr) {
    BufferSource in(data);
    std::string s = readCountedString(in);
    if (consumed) *consumed = in.position();
    return s;
}

} // namespace

TEST(CountedString, WritesTheShortestPrefixAtEachBoundary) {
    EXPECT_EQ(encode(""), bytes({0}));
    EXPECT_EQ(encode("*.mp3"), bytes({5, '*', '.', 'm', 'p', '3'}));
    EXPECT_EQ(prefixOf(254).substr(0, 2), bytes({0xFE, 'x'}));
    EXPECT_EQ(prefixOf(255).substr(0, 4), bytes({0xFF, 0xFF, 0x00, 'x'}));
    EXPECT_EQ(prefixOf(300).substr(0, 4), bytes({0xFF, 0x2C, 0x01, 'x'}));
    EXPECT_EQ(prefixOf(65533).substr(0, 4), bytes({0xFF, 0xFD, 0xFF, 'x'}));
    EXPECT_EQ(prefixOf(65534), bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(encode(std::string(65534, 'x')).size(), 65534u + 7);
}

TEST(CountedString, ReadsBackEveryLengthItWrites) {
    for (size_t n : {0u, 1u, 254u, 255u, 256u, 65533u, 65534u, 65535u, 70000u}) {
        std::string s(n, 'a');
        for (size_t i = 0; i < n; ++i)
            s[i] = char('a' + i % 26);
        std::string data = encode(s) + "tail";
        size_t consumed = 0;
        EXPECT_EQ(decode(data, &consumed), s) << n;
        EXPECT_EQ(consumed, data.size() - 4) << n;
    }
}

TEST(CountedString, ReadsLongerPrefixFormsThanNeeded) {
    // Another writer may use a longer form than the shortest; the reader takes all three.
    EXPECT_EQ(decode(bytes({0xFF, 0x02, 0x00, 'h', 'i'})), "hi");
    EXPECT_EQ(decode(bytes({0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'h', 'i'})), "hi");
}

TEST(CountedString, ReadsTheUtf16FormAsAnsi) {
    // 0xFF 0xFFFE, then a one-byte count of UTF-16 code units.
    EXPECT_EQ(decode(bytes({0xFF, 0xFE, 0xFF, 3, 'a', 0, '.', 0, 'B', 0})), "a.B");
    // The second prefix in its 16-bit form.
    std::string data = bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01});
    for (int i = 0; i < 300; ++i)
        data += bytes({'z', 0});
    EXPECT_EQ(decode(data), std::string(300, 'z'));
    // Empty.
    EXPECT_EQ(decode(bytes({0xFF, 0xFE, 0xFF, 0})), "");
    // A character outside ASCII that the usual Western code page holds (e with acute accent).
    std::string accented = decode(bytes({0xFF, 0xFE, 0xFF, 1, 0xE9, 0x00}));
    EXPECT_EQ(accented.size(), 1u);
}

TEST(CountedString, HostileLengthsFailBeforeAllocating) {
    // A 32-bit length of four thousand million with five bytes behind it.
    EXPECT_THROW(decode(bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c', 'd', 'e'})),
                 PastEndOfBuffer);
    EXPECT_THROW(decode(bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0})),
                 PastEndOfBuffer);
    // Units count two bytes each: three units need six bytes.
    EXPECT_THROW(decode(bytes({0xFF, 0xFE, 0xFF, 3, 'a', 0, 'b', 0, 'c'})), PastEndOfBuffer);
    // Cut inside a prefix.
    EXPECT_THROW(decode(bytes({0xFF, 0x2C})), PastEndOfBuffer);
    EXPECT_THROW(decode(""), PastEndOfBuffer);
    EXPECT_THROW(decode(bytes({3, 'a', 'b'})), PastEndOfBuffer);
    // A length the bytes hold but no name, folder or mask can have.
    std::string huge(kMostTextBytes + 1, 'x');
    EXPECT_THROW(decode(encode(huge)), std::bad_alloc);
}

TEST(CountedString, DecoderSaysWhatASpanLacks) {
    // A reader of a window over a file learns how many bytes to fetch before decoding again.
    const std::string data = bytes({0xFF, 0x2C, 0x01}) + std::string(300, 'w') + bytes({1, 'z'});
    ByteDecoder cut(std::string_view(data).substr(0, 100));
    EXPECT_TRUE(cut.countedText().bytes.empty());
    EXPECT_FALSE(cut.ok());
    EXPECT_EQ(cut.shortBy(), 203u);
    EXPECT_EQ(cut.u32(), 0u); // stays failed
    ByteDecoder whole(data);
    EXPECT_EQ(whole.countedText().bytes, std::string(300, 'w'));
    EXPECT_EQ(whole.countedText().bytes, "z");
    EXPECT_TRUE(whole.ok());
    EXPECT_EQ(whole.left(), 0u);
}
