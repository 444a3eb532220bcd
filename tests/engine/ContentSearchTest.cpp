// Reading files for a text: every encoding and case the search finds, across block boundaries,
// the names it never opens, the files it cannot read, that it changes nothing, and the scan
// against a brute-force search on random bytes.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "engine/ContainingText.h"
#include "engine/ContentSearch.h"
#include "engine/TextMatcher.h"
#include "support/ScratchFolder.h"

namespace {

std::string inCodePage(UINT codePage, const std::wstring& text, bool* exact = nullptr) {
    BOOL usedDefault = FALSE;
    const bool utf8 = codePage == CP_UTF8;
    const int n = WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), nullptr, 0,
                                      nullptr, utf8 ? nullptr : &usedDefault);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), out.data(), n, nullptr,
                        utf8 ? nullptr : &usedDefault);
    if (exact) *exact = !usedDefault;
    return out;
}

std::string ansi(const std::wstring& text) {
    return inCodePage(CP_ACP, text);
}
std::string utf8(const std::wstring& text) {
    return inCodePage(CP_UTF8, text);
}
std::string utf16(const std::wstring& text, bool bigEndian) {
    std::string out;
    for (wchar_t u : text) {
        const char low = char(u & 0xFF), high = char(u >> 8);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

struct Sample {
    const char* name;
    std::string bytes;
    bool holdsAnyCase;
    bool holdsExactCase;
};

ContentAnswer readFile(const std::string& folder, const std::string& name,
                       const std::string& text, bool matchCase) {
    const auto matcher = compileContainingText(text, matchCase);
    EXPECT_TRUE(matcher);
    ContentReader reader(*matcher);
    std::atomic<int32_t> stop{0};
    return reader.read(folder, name, stop);
}

} // namespace

TEST(ContentSearch, FindsTheTextInEveryEncodingAndCaseAcrossBlocks) {
    const std::wstring typed = L"Gr\u00F6\u00DFe 42"; // "Größe 42"
    bool representable = false;
    const std::string text = inCodePage(CP_ACP, typed, &representable);
    if (!representable) GTEST_SKIP() << "the ANSI code page cannot write the test's text";
    const std::wstring other = L"gR\u00D6\u00DFE 42"; // the same letters in other cases
    const size_t block = ContentReader::kBlockBytes;

    const std::vector<Sample> samples = {
        {"ansi.txt", "abc " + ansi(typed) + " def", true, true},
        {"ansi-case.txt", ansi(other), true, false},
        {"utf8-bom.txt", "\xEF\xBB\xBF" + utf8(L"x " + typed + L" y"), true, true},
        {"utf8-case.txt", utf8(other + L"."), true, false},
        {"utf16le-bom.txt", "\xFF\xFE" + utf16(L"xx " + typed, false), true, true},
        {"utf16le.txt", utf16(L"x " + other, false), true, false},
        {"utf16be-bom.txt", "\xFE\xFF" + utf16(typed, true), true, true},
        {"utf16be.txt", utf16(L"a " + other + L" b", true), true, false},
        // UTF-16 units count only at even offsets.
        {"utf16le-odd.txt", "x" + utf16(typed, false), false, false},
        {"utf16be-odd.txt", "x" + utf16(typed, true) + "y", false, false},
        // Across the first block's end, in one byte and in two-byte units.
        {"boundary.txt", std::string(block - 3, 'x') + ansi(typed) + "tail", true, true},
        {"boundary16.txt", std::string(block - 4, 'x') + utf16(other, false), true, false},
        {"boundary-end.txt", std::string(3 * block - 5, '\0') + utf8(typed), true, true},
        {"at-start.txt", ansi(typed), true, true},
        {"cut-short.txt", std::string(block, 'G') + ansi(typed.substr(0, 7)), false, false},
        {"broken.txt", ansi(typed.substr(0, 3)) + '\0' + ansi(typed.substr(3)), false, false},
        {"empty.txt", "", false, false},
    };
    ScratchFolder dir;
    for (const Sample& s : samples)
        writeWholeFile(dir.file(s.name), s.bytes);
    for (const Sample& s : samples) {
        EXPECT_EQ(readFile(dir.path(), s.name, text, false),
                  s.holdsAnyCase ? ContentAnswer::Holds : ContentAnswer::Lacks)
            << s.name;
        EXPECT_EQ(readFile(dir.path(), s.name, text, true),
                  s.holdsExactCase ? ContentAnswer::Holds : ContentAnswer::Lacks)
            << s.name << " with Match case";
    }

    // Blanks only ask for no test; blanks around a word are part of the text.
    EXPECT_FALSE(compileContainingText("", false));
    EXPECT_FALSE(compileContainingText(" \t ", true));
    EXPECT_TRUE(isBlankText("  "));
    EXPECT_EQ(readFile(dir.path(), "ansi.txt", " def", false), ContentAnswer::Holds);
    EXPECT_EQ(readFile(dir.path(), "ansi.txt", " def ", false), ContentAnswer::Lacks);
}

TEST(ContentSearch, OpensOnlyFilesTheActionsWouldTouchAndChangesNothing) {
    ScratchFolder dir;
    const std::string holds = "...the word is here...", lacks = "nothing to see";
    writeWholeFile(dir.file("holds.txt"), holds);
    writeWholeFile(dir.file("lacks.txt"), lacks);
    writeWholeFile(dir.file("read-only.txt"), holds);
    SetFileAttributesA(dir.file("read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    writeWholeFile(dir.file("locked.txt"), holds);
    // The same bytes under names no file action touches: never opened, so never a hit.
    writeWholeFile(dir.file("trailing."), holds);

    WIN32_FILE_ATTRIBUTE_DATA before[3];
    const char* names[] = {"holds.txt", "lacks.txt", "read-only.txt"};
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(GetFileAttributesExA(dir.file(names[i]).c_str(), GetFileExInfoStandard,
                                         &before[i]));

    const auto word = compileContainingText("WORD", false);
    ContentReader reader(*word);
    std::atomic<int32_t> stop{0};
    EXPECT_EQ(reader.read(dir.path(), "holds.txt", stop), ContentAnswer::Holds);
    EXPECT_EQ(reader.read(dir.path(), "lacks.txt", stop), ContentAnswer::Lacks);
    EXPECT_EQ(reader.read(dir.path(), "read-only.txt", stop), ContentAnswer::Holds);
    EXPECT_EQ(reader.read(dir.path(), "trailing.", stop), ContentAnswer::Unreadable);
    EXPECT_EQ(reader.read(dir.path(), "nul.txt", stop), ContentAnswer::Unreadable);
    EXPECT_EQ(reader.read(dir.path(), "gone.txt", stop), ContentAnswer::Unreadable);
    EXPECT_EQ(reader.read(dir.path() + "\\..", "holds.txt", stop), ContentAnswer::Unreadable);
    {
        // Held open by another program that shares nothing: not a hit, no message.
        HANDLE held = CreateFileA(dir.file("locked.txt").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(reader.read(dir.path(), "locked.txt", stop), ContentAnswer::Unreadable);
        CloseHandle(held);
        EXPECT_EQ(reader.read(dir.path(), "locked.txt", stop), ContentAnswer::Holds);
    }
    stop.store(1);
    EXPECT_EQ(reader.read(dir.path(), "holds.txt", stop), ContentAnswer::Stopped);

    // Contents, size and last-write time are as they were; so are the attributes.
    for (int i = 0; i < 3; ++i) {
        WIN32_FILE_ATTRIBUTE_DATA after;
        ASSERT_TRUE(
            GetFileAttributesExA(dir.file(names[i]).c_str(), GetFileExInfoStandard, &after));
        EXPECT_EQ(after.dwFileAttributes, before[i].dwFileAttributes) << names[i];
        EXPECT_EQ(after.nFileSizeLow, before[i].nFileSizeLow) << names[i];
        EXPECT_EQ(CompareFileTime(&after.ftLastWriteTime, &before[i].ftLastWriteTime), 0)
            << names[i];
    }
    EXPECT_EQ(readWholeFile(dir.file("holds.txt")), holds);
    EXPECT_EQ(readWholeFile(dir.file("lacks.txt")), lacks);
    SetFileAttributesA(dir.file("read-only.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Random forms over a small alphabet (so that partial matches abound) against random bytes, fed
// in blocks of many sizes, swept sixteen bytes at a time and a byte at a time: the scan finds a
// match exactly when a plain comparison at every start does.
TEST(TextMatcher, FindsExactlyWhatABruteForceFindsInBlocksOfAnySize) {
    std::mt19937 random(20240117);
    const uint8_t alphabet[] = {'a', 'b', 'c', 0, 0xC3};
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    int found = 0, cases = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<TextForm> forms(size_t(1 + pick(3)));
        for (TextForm& form : forms) {
            form.evenOffsetsOnly = pick(3) == 0;
            form.positions.resize(size_t(1 + pick(round % 5 == 0 ? 40 : 5)));
            for (auto& choices : form.positions) {
                // Different first bytes keep the sequences of a position prefix-free.
                std::vector<uint8_t> firsts(alphabet, alphabet + 5);
                std::shuffle(firsts.begin(), firsts.end(), random);
                choices.resize(size_t(1 + pick(3)));
                for (size_t k = 0; k < choices.size(); ++k) {
                    choices[k].length = uint8_t(1 + pick(form.evenOffsetsOnly ? 1 : 4));
                    if (form.evenOffsetsOnly) choices[k].length = 2;
                    choices[k].bytes[0] = firsts[k];
                    for (int t = 1; t < choices[k].length; ++t)
                        choices[k].bytes[t] = alphabet[pick(5)];
                }
            }
        }
        std::vector<uint8_t> data(size_t(pick(400)));
        for (uint8_t& b : data)
            b = alphabet[pick(round % 2 ? 5 : 3)];
        // Plant a match now and then, built from random choices.
        if (!data.empty() && pick(2)) {
            const TextForm& form = forms[size_t(pick(int(forms.size())))];
            size_t at = size_t(pick(int(data.size())));
            for (const auto& choices : form.positions) {
                const TextBytes& b = choices[size_t(pick(int(choices.size())))];
                for (int t = 0; t < b.length && at < data.size(); ++t)
                    data[at++] = b.bytes[t];
            }
        }

        bool expected = false;
        for (size_t s = 0; s < data.size() && !expected; ++s)
            for (const TextForm& form : forms) {
                if (form.evenOffsetsOnly && s % 2) continue;
                size_t p = s;
                bool all = true;
                for (const auto& choices : form.positions) {
                    bool one = false;
                    for (const TextBytes& b : choices)
                        if (b.length <= data.size() - p &&
                            std::equal(b.bytes, b.bytes + b.length, data.begin() + long(p))) {
                            p += b.length;
                            one = true;
                            break;
                        }
                    if (!(all = one)) break;
                }
                expected = expected || all;
            }

        const TextMatcher vectors(forms), bytes(forms, false);
        for (size_t blockBytes : {size_t(1), size_t(2), size_t(3), size_t(7), size_t(64),
                                  size_t(4096)}) {
            TextScanner scanner(blockBytes % 2 ? bytes : vectors, blockBytes);
            scanner.startFile();
            bool got = false;
            for (size_t at = 0; at < data.size() && !got; at += blockBytes) {
                const size_t n = std::min(blockBytes, data.size() - at);
                std::copy(data.begin() + long(at), data.begin() + long(at + n),
                          scanner.blockSpace());
                got = scanner.takeBlock(n);
            }
            got = got || scanner.finishFile();
            ASSERT_EQ(got, expected) << "round " << round << ", blocks of " << blockBytes;
        }
        found += expected;
        ++cases;
    }
    // Both answers were met often enough to mean something.
    EXPECT_GT(found, cases / 5);
    EXPECT_LT(found, cases * 4 / 5);
}
