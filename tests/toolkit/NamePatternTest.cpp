// NamePattern compile and match over the edge cases of the matcher, lowerAnsi, the check of
// names and folders, and both read character by character in the double-byte code pages.
#include <windows.h>

#include <gtest/gtest.h>

#include "toolkit/AnsiChars.h"
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

TEST(PathNames, NamesTheSystemTrimsOrReadsAsDevicesLoadButAreNotActedOn) {
    using namespace std::string_literals;
    for (const std::string& name : {"abc."s, "b "s, "..."s, " "s, ". ."s, "a.txt."s, "CON"s,
                                    "nul.txt"s, "Com1"s, "lpt9.tar.gz"s, "NUL .txt"s, "conin$"s,
                                    "AUX."s}) {
        EXPECT_TRUE(isPlainName(name, QuestionMarks::Kept)) << '"' << name << '"';
        EXPECT_FALSE(isActionableName(name)) << '"' << name << '"';
    }
    for (const std::string& name : {"a.txt"s, " a"s, ".git"s, "..x"s, "com0"s, "com10"s,
                                    "console"s, "nul_x.txt"s, "lpt"s, "auxiliary.doc"s})
        EXPECT_TRUE(isActionableName(name)) << '"' << name << '"';
    EXPECT_FALSE(isActionableName("caf?.txt"));
    EXPECT_TRUE(isActionableFolder("C:"));
    EXPECT_TRUE(isActionableFolder("\\\\srv\\pub\\Docs"));
    for (const std::string& folder : {"\\\\srv\\pub\\abc."s, "C:\\dir\\nul"s, "C:\\a \\b"s,
                                      "\\\\srv\\pub\\caf?"s})
        EXPECT_FALSE(isActionableFolder(folder)) << folder;
    EXPECT_TRUE(isPlainFolder("\\\\srv\\pub\\abc.", QuestionMarks::Kept));
}

// Code page 932 whatever the process's own, for the tests of one scope.
class InCodePage932 : public testing::Test {
protected:
    void SetUp() override { ansi::useCodePage(932); }
    void TearDown() override { ansi::useCodePage(GetACP()); }
};

TEST_F(InCodePage932, TheTableIsThePlatformsAndNamesAreStepsOfWholeCharacters) {
    for (unsigned codePage : {932u, 936u, 949u, 950u, 1252u}) {
        const ansi::LeadBytes builtIn = ansi::LeadBytes::builtInFor(codePage);
        for (unsigned b = 0; b < 256; ++b)
            ASSERT_EQ(builtIn.isLead(static_cast<unsigned char>(b)),
                      IsDBCSLeadByteEx(codePage, BYTE(b)) != 0)
                << codePage << " " << b;
    }

    // "ソフト" is 83 5C 83 74 83 67 and "表" 95 5C: the 5C is half a character, not a separator.
    const std::string soft = "\x83\x5C\x83\x74\x83\x67", table = "\x95\x5C.txt";
    EXPECT_TRUE(isPlainName(soft));
    EXPECT_TRUE(isActionableName(table));
    EXPECT_TRUE(isPlainFolder("\\\\SRV\\Docs\\" + soft));
    EXPECT_TRUE(isActionableFolder("C:\\" + soft));
    EXPECT_FALSE(isPlainFolder("\\\\" + soft)) << "a server alone names no folder";
    EXPECT_EQ(ansi::findLastChar("\\\\SRV\\Docs\\" + soft, '\\'), 10u);
    EXPECT_FALSE(ansi::endsWithChar("C:\\\x95\x5C", '\\'));
    EXPECT_TRUE(ansi::endsWithChar("C:\\\x95\x5C\\", '\\'));
    EXPECT_EQ(ansi::charLength("\x81", 0), 1u) << "a lead byte as the last byte is one character";
    // Below 0x40 no byte is a trail byte: after a lead byte a '/', ':', '*', '?' or NUL is
    // itself, and still refused.
    using namespace std::string_literals;
    for (const std::string& name : {"\x83/x"s, "\x83:x"s, "\x83*"s, "\x83\0x"s, "\x83\x5C\\x"s})
        EXPECT_FALSE(isPlainName(name, QuestionMarks::Kept)) << name;
    EXPECT_FALSE(isPlainName("\x83?"));
    EXPECT_TRUE(isTrimmedName("\x83\x5C."));

    // Pieces match only where characters start: "フ" is 83 74, whose 74 is a 't'.
    EXPECT_FALSE(NamePattern::compile("*t*").matches(soft));
    EXPECT_FALSE(NamePattern::compile("*t").matches("\x83\x74"));
    EXPECT_TRUE(NamePattern::compile("*t*").matches(soft + "t"));
    EXPECT_TRUE(NamePattern::compile("*\x95\x5C*").matches("a" + table));
    EXPECT_TRUE(NamePattern::compile("\x83\x5C*").matches(soft));
    EXPECT_FALSE(NamePattern::compile("*\x5C\x83*").matches(soft)) << "a piece that starts mid-character";
}
