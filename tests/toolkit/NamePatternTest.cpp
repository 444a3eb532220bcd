// NamePattern compile and match over the edge cases of the matcher, and lowerAnsi.
#include <windows.h>

#include <gtest/gtest.h>

#include "toolkit/NamePattern.h"

namespace {

bool matches(const char* pattern, const char* name) {
    return NamePattern::compile(pattern).matches(lowerAnsi(name));
}

} // namespace

TEST(NamePattern, FreshPatternIsAnEmptyExactPattern) {
    NamePattern p;
    EXPECT_EQ(p.kind(), PatternKind::Exact);
    EXPECT_EQ(p.pieces().count(), 0);
    EXPECT_TRUE(p.literal().empty());
    EXPECT_TRUE(p.matches(""));
    EXPECT_FALSE(p.matches("a"));
}

TEST(NamePattern, CompilesIntoTheRightKind) {
    NamePattern exact = NamePattern::compile("ReadMe.TXT");
    EXPECT_EQ(exact.kind(), PatternKind::Exact);
    EXPECT_EQ(exact.literal(), "readme.txt");

    NamePattern contains = NamePattern::compile("*ABC*");
    EXPECT_EQ(contains.kind(), PatternKind::Contains);
    EXPECT_EQ(contains.literal(), "abc");

    EXPECT_EQ(NamePattern::compile("*.").kind(), PatternKind::NoExtension);

    NamePattern all = NamePattern::compile("*.*");
    EXPECT_EQ(all.kind(), PatternKind::Pieces);
    EXPECT_EQ(all.pieces().count(), 0);
    EXPECT_TRUE(all.leadingStar() && all.trailingStar());

    NamePattern pieces = NamePattern::compile("a*B*c");
    EXPECT_EQ(pieces.kind(), PatternKind::Pieces);
    ASSERT_EQ(pieces.pieces().count(), 3);
    EXPECT_EQ(pieces.pieces()[1], "b");
    EXPECT_FALSE(pieces.leadingStar() || pieces.trailingStar());
    EXPECT_EQ(pieces.pieces().growthStep(), 7);
}

TEST(NamePattern, MatchesTheEdgeCaseTable) {
    struct Row {
        const char* pattern;
        const char* name;
        bool expected;
    } rows[] = {
        {"*.*", "a.txt", true},
        {"*.*", "readme", true},
        {"*", "readme", true},
        {"*", "", true},
        {"*.", "readme", true},
        {"*.", "a.b", false},
        {"abc", "ABC", true},
        {"abc", "abcd", false},
        {"abc", "xabc", false},
        {"*abc*", "xxABCyy", true},
        {"*abc*", "ab", false},
        {"ab*", "abc", true},
        {"ab*", "xabc", false},
        {"*.txt", "a.txt", true},
        {"*.txt", "a.txt.bak", false},
        {"*.txt", "a.txt.txt", false},
        {"*.txt*", "a.txt.txt", true},
        {"a?c", "a?c", true},
        {"a?c", "abc", false},
        {"a*b*c", "abxc", true},
        {"a*b*c", "acbc", true},
        {"a*b*c", "abcx", false},
        {"a**b", "ab", true},
        {"**", "x", true},
        {"", "", true},
        {"", "a", false},
        {"*c", "abc", true},
        {"*c", "abcd", false},
        {"a*", "A", true},
    };
    for (const Row& r : rows)
        EXPECT_EQ(matches(r.pattern, r.name), r.expected) << r.pattern << " vs " << r.name;
}

TEST(NamePattern, CopiesAreIndependentValues) {
    NamePattern a = NamePattern::compile("x*y*z");
    NamePattern b = a;
    a = NamePattern::compile("q");
    EXPECT_TRUE(b.matches("xayaz"));
    EXPECT_FALSE(a.matches("xayaz"));
}

TEST(LowerAnsi, LowersAsciiAndTheWesternCodePage) {
    EXPECT_EQ(lowerAnsi("ReadMe.TXT"), "readme.txt");
    EXPECT_EQ(lowerAnsi(""), "");
    EXPECT_EQ(lowerAnsi(std::string("A\0B", 3)), std::string("a\0b", 3));
    if (GetACP() == 1252) { // E acute
        EXPECT_EQ(lowerAnsi("\xC9T\xC9"), "\xE9t\xE9");
    }
}
