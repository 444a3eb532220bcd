// NamePattern compile and match over the edge cases of the matcher, lowerAnsi, and the check of
// names and folders.
#include <windows.h>

#include <gtest/gtest.h>

#include "toolkit/NamePattern.h"
#include "toolkit/PathNames.h"

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

TEST(PathNames, NamesAreOneComponentAndFoldersARootedPath) {
    using namespace std::string_literals;
    for (const std::string& name : {"a.txt"s, "Play List.MP3"s, "...x"s, "~$doc"s})
        EXPECT_TRUE(isPlainName(name)) << name;
    for (const std::string& name : {""s, "."s, ".."s, "a\\b"s, "a/b"s, "c:x"s, "*"s, "a\0b"s})
        EXPECT_FALSE(isPlainName(name, QuestionMarks::Kept)) << name;
    EXPECT_FALSE(isPlainName("caf?.txt"));
    EXPECT_TRUE(isPlainName("caf?.txt", QuestionMarks::Kept));

    for (const std::string& folder : {"C:"s, "c:\\a\\b c"s, "\\\\srv\\pub"s, "\\\\srv\\pub\\x"s})
        EXPECT_TRUE(isPlainFolder(folder)) << folder;
    for (const std::string& folder :
         {""s, "C"s, "C:\\"s, "C:x"s, "1:\\a"s, "\\\\srv"s, "\\\\srv\\"s, "\\\\srv\\pub\\..\\x"s,
          "C:\\a\\\\b"s, "C:\\a\\"s, "C:\\.\\a"s, "C:\\a/b"s, "C:\\a:b"s, "C:\\a*"s, "C:\\a\0b"s,
          "search-ms:q"s, "relative\\f"s, "\\\\?\\C:\\x"s})
        EXPECT_FALSE(isPlainFolder(folder, QuestionMarks::Kept)) << folder;
    EXPECT_FALSE(isPlainFolder("D:\\caf?"));
    EXPECT_TRUE(isPlainFolder("D:\\caf?", QuestionMarks::Kept));
}
