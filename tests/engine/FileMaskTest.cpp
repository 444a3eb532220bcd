// Masks against names as a Windows listing with that mask finds them (the file system's
// matching, worked out by hand for each row), including the masks where Wine's own listing
// differs from Windows.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "engine/FileMask.h"

namespace {

constexpr unsigned kJapanese = 932;
// "表.txt" in code page 932: the character's second byte is 0x5C, the byte of '\'.
const char* const kDoubleByte = "\x95\x5C.txt";

using Names = std::vector<std::string>;

Names hitsOf(const char* mask, std::initializer_list<const char*> names) {
    const FileMask compiled = FileMask::compile(mask, kJapanese);
    Names hits;
    for (const char* name : names)
        if (compiled.matches(name)) hits.push_back(name);
    return hits;
}

TEST(FileMask, WindowsHitsForEachMask) {
    const auto names = {"a",      "ab",        "a.b",    "a.b.c", "a.txt.txt",
                        "readme", kDoubleByte, "A.TXT", "page.html"};
    // "*." is "<": any run that does not take the name's last dot, so names without a dot.
    EXPECT_EQ((Names{"a", "ab", "readme"}), hitsOf("*.", names));
    // '?' is '>': one character, or none at the end of the name.
    EXPECT_EQ((Names{"a", "ab"}), hitsOf("a?", names));
    EXPECT_EQ((Names{"a", "ab"}), hitsOf("A*.", names));
    // '?' stands for nothing at a dot; the dot before a '?' for nothing at the end.
    EXPECT_EQ((Names{"a", "a.b"}), hitsOf("?.?", names));
    EXPECT_EQ((Names{"a", "ab", "a.b", "readme", kDoubleByte, "A.TXT"}),
              hitsOf("????????.???", names));
    // A character of two bytes is one character.
    EXPECT_EQ((Names{kDoubleByte, "A.TXT"}), hitsOf("?.txt", names));
    EXPECT_EQ((Names{"a.txt.txt", kDoubleByte, "A.TXT"}), hitsOf("*.txt", names));
    EXPECT_EQ((Names{"ab", "a.b"}), hitsOf("*B", names));
    EXPECT_EQ((Names{kDoubleByte}), hitsOf("\x95\x5C*", names));
    // "x.*" also finds "x"; "*.*" finds everything; a mask without wildcards one name, whatever
    // its case, trailing dots dropped.
    EXPECT_EQ((Names{"a", "a.b", "a.b.c", "a.txt.txt", "A.TXT"}), hitsOf("a.*", names));
    EXPECT_EQ(Names(names.begin(), names.end()), hitsOf("*.*", names));
    EXPECT_EQ((Names{"a.b"}), hitsOf("A.B.", names));
    EXPECT_EQ((Names{"a.b.c"}), hitsOf("a.b.c. .", names));
    // Dots alone name the folder or its parent, and a path reaches another folder: no entry.
    for (const char* none : {".", "..", "...", "..\\*", "sub\\*", "C:*", "*/a"})
        EXPECT_EQ(Names{}, hitsOf(none, names)) << none;
}

TEST(FileMask, ShortNameWhenTheLongNameFails) {
    const FileMask htm = FileMask::compile("*.htm");
    EXPECT_TRUE(htm.matches("page.html", "PAGE~1.HTM"));
    EXPECT_FALSE(htm.matches("page.html", ""));
    EXPECT_FALSE(htm.matches("page.html", nullptr));
    EXPECT_TRUE(FileMask::compile("progra~1").matches("Program Files", "PROGRA~1"));
    EXPECT_TRUE(FileMask::compile("*").matchesEverything());
    EXPECT_FALSE(FileMask().matches("a"));
}

TEST(FileMask, TranslationAsThePlatformMakesIt) {
    EXPECT_EQ(L"<", translateMask(L"*."));
    EXPECT_EQ(L"a<\"*", translateMask(L"a*.*"));
    EXPECT_EQ(L"<.a", translateMask(L"*.a"));
    EXPECT_EQ(L">\">", translateMask(L"?.?"));
    EXPECT_EQ(L"a>", translateMask(L"a?."));
    EXPECT_EQ(L"*", translateMask(L"*.*.."));
    EXPECT_EQ(L"", translateMask(L". ."));
}

} // namespace
