// The option file byte for byte, and its reader against truncated, random and hostile files.
#include <gtest/gtest.h>

#include "options/OptionFile.h"
#include "support/AllocationWatch.h"
#include "support/Bytes.h"
#include "support/ScratchFolder.h"
#include "toolkit/FileArchive.h"

namespace {

std::string encoded(const SearchOptions& o) {
    std::string out;
    encodeOptions(out, o);
    return out;
}

// Options with every field away from its default and names in every list.
SearchOptions busyOptions() {
    SearchOptions o;
    o.includeSubfolders = 0;
    o.fileType = 1;
    o.scope = SearchScope::LastResult;
    o.domains = {FilterMode::OnlyThese, {"WORKGROUP", "SALES"}};
    o.servers = {FilterMode::AllExcept, {"\\\\FILESRV1"}};
    o.folders = {FilterMode::OnlyThese, {"music", "*old*", ""}};
    o.dateEnabled = 1;
    o.dateKind = 2;
    o.dateMode = 1;
    o.previousUnit = 1;
    o.previousCount = 3;
    o.largerThanOn = 1;
    o.smallerThanOn = 1;
    o.largerThanKB = 10;
    o.smallerThanKB = 20;
    o.namePattern = "*.doc;*.txt";
    o.fromDate = 1700000000;
    o.toDate = 1710000000;
    return o;
}

// Options that differ from busyOptions() in every field, to see which fields a read replaced.
SearchOptions sentinelOptions() {
    SearchOptions o;
    o.includeSubfolders = o.fileType = o.dateEnabled = o.dateKind = o.dateMode = -77;
    o.previousUnit = o.largerThanOn = o.smallerThanOn = -77;
    o.scope = SearchScope(-77);
    o.previousCount = o.largerThanKB = o.smallerThanKB = 777;
    o.domains = {FilterMode(-77), {"old domain"}};
    o.servers = {FilterMode(-77), {"old server"}};
    o.folders = {FilterMode(-77), {"old folder"}};
    o.namePattern = "old pattern";
    o.fromDate = o.toDate = -77;
    return o;
}

FileError::Cause causeOfReading(const std::string& path, SearchOptions& into) {
    try {
        readOptionFile(path, into);
    } catch (const FileError& e) {
        EXPECT_EQ(e.path, path);
        return e.cause;
    }
    return FileError::Cause(-1);
}

} // namespace

TEST(OptionFile, WorkedExampleIs94Bytes) {
    SearchOptions o;
    o.namePattern = "*.mp3";
    o.fromDate = 0x11223344;
    o.toDate = 0x55667788;
    std::string expected = bytes({0xC8, 0, 0, 0, 0x7C, 0xE6, 0x45, 0}) + le32(1);
    for (int i = 0; i < 9; ++i)
        expected += le32(0);
    expected += le32(1) + le32(0) + le32(0) + le32(0) + bytes({0xE8, 0x03, 0, 0});
    expected += bytes({5, '*', '.', 'm', 'p', '3'}) + le32(0x11223344) + le32(0x55667788);
    expected += le32(0) + le32(0) + le32(0);
    ASSERT_EQ(expected.size(), 94u);

    ScratchFolder dir;
    writeOptionFile(dir.file("Search.opt"), o);
    EXPECT_EQ(readWholeFile(dir.file("Search.opt")), expected);
}

TEST(OptionFile, DefaultFileHoldsTheDefaultsByteForByte) {
    SearchOptions o;
    resetOptions(o, 1733650000);
    std::string file = encoded(o);
    ASSERT_EQ(file.size(), 89u);
    EXPECT_EQ(file.substr(0, 8), le32(200) + le32(0x0045E67C));
    // Fixed block: 1 in includeSubfolders and previousCount, 1000 in smallerThanKB, else 0.
    for (int field = 0; field < 15; ++field) {
        uint32_t want = field == 0 || field == 10 ? 1 : field == 14 ? 1000 : 0;
        EXPECT_EQ(file.substr(8 + 4 * field, 4), le32(want)) << "field " << field;
    }
    EXPECT_EQ(file[68], '\0'); // the empty name pattern
    EXPECT_EQ(file.substr(69, 4), le32(uint32_t(o.fromDate)));
    EXPECT_EQ(file.substr(73, 4), le32(1733650000));
    EXPECT_EQ(file.substr(77), std::string(12, '\0'));
}

TEST(OptionFile, LoadThenSaveGivesTheSameBytes) {
    ScratchFolder dir;
    SearchOptions o = busyOptions();
    o.namePattern = std::string(300, 'n');
    o.folders.names.push_back(std::string(70000, 'f'));
    writeOptionFile(dir.file("a.opt"), o);

    SearchOptions loaded = sentinelOptions();
    readOptionFile(dir.file("a.opt"), loaded);
    EXPECT_EQ(loaded, o);
    writeOptionFile(dir.file("b.opt"), loaded);
    EXPECT_EQ(readWholeFile(dir.file("b.opt")), readWholeFile(dir.file("a.opt")));
}

TEST(OptionFile, A300CharacterPatternIsStoredWithTheSixteenBitPrefix) {
    SearchOptions o;
    o.namePattern = std::string(300, 'x');
    std::string file = encoded(o);
    EXPECT_EQ(file.substr(68, 3), bytes({0xFF, 0x2C, 0x01}));
    EXPECT_EQ(file.size(), 89u + 2 + 300);
}

TEST(OptionFile, OutOfRangeValuesAndOtherFormatWordsAreTakenAsStored) {
    SearchOptions o = busyOptions();
    o.fileType = 9;
    o.domains.mode = FilterMode(5);
    o.scope = SearchScope(-1);
    std::string file = encoded(o);
    file.replace(0, 8, le32(999) + le32(0xDEADBEEF)); // neither word is tested
    BufferSource in(file);
    SearchOptions loaded;
    decodeOptions(in, loaded);
    EXPECT_EQ(loaded, o);
}

TEST(OptionFile, ReadsNamesStoredInTheUtf16Form) {
    SearchOptions o;
    std::string file = encoded(o);
    // Replace the empty name pattern (offset 68) by "ab" in the UTF-16 form.
    file.replace(68, 1, bytes({0xFF, 0xFE, 0xFF, 2, 'a', 0, 'b', 0}));
    BufferSource in(file);
    SearchOptions loaded;
    decodeOptions(in, loaded);
    EXPECT_EQ(loaded.namePattern, "ab");
    EXPECT_EQ(encoded(loaded).substr(68, 3), bytes({2, 'a', 'b'}));
}

// The Text page's two fields follow the folder names only when there is a text: without one the
// file is what earlier versions wrote (and read), Match case or not.
TEST(OptionFile, TheTextAndMatchCaseFollowTheFolderNamesOnlyWithAText) {
    const SearchOptions base = busyOptions();
    const std::string today = encoded(base);
    SearchOptions o = base;
    o.matchCase = 1;
    EXPECT_EQ(encoded(o), today);

    o.containingText = "Invoice 2024-117";
    const std::string withText = encoded(o);
    EXPECT_EQ(withText, today + bytes({16}) + "Invoice 2024-117" + le32(1));
    o.containingText = std::string(300, 't');
    o.matchCase = 0;
    EXPECT_EQ(encoded(o).substr(today.size()), bytes({0xFF, 0x2C, 0x01}) +
                                                   std::string(300, 't') + le32(0));

    ScratchFolder dir;
    const std::string path = dir.file("text.opt");
    auto readBack = [&](const std::string& file, SearchOptions into) {
        writeWholeFile(path, file);
        readOptionFile(path, into);
        return into;
    };
    SearchOptions expected = base;
    expected.containingText = "Invoice 2024-117";
    expected.matchCase = 1;
    EXPECT_EQ(readBack(withText, sentinelOptions()), expected);
    // Bytes after the flag are ignored.
    EXPECT_EQ(readBack(withText + "later fields", sentinelOptions()), expected);
    // A file without the pair means no text, whatever was there before.
    EXPECT_EQ(readBack(today, expected), base);
    // An empty text stored with Match case on reads as a file without the pair would be saved.
    EXPECT_EQ(readBack(today + bytes({0}) + le32(1), expected), base);

    // The pair cut anywhere: the end-of-file error.
    for (size_t cut = today.size() + 1; cut < withText.size(); ++cut) {
        writeWholeFile(path, withText.substr(0, cut));
        SearchOptions into = sentinelOptions();
        EXPECT_EQ(causeOfReading(path, into), FileError::EndOfFile) << "cut at " << cut;
        EXPECT_EQ(into.folders.names, base.folders.names) << "cut at " << cut;
    }
}

TEST(OptionFile, ReportsAMissingFileAndKeepsTheOptions) {
    ScratchFolder dir;
    SearchOptions o = sentinelOptions();
    EXPECT_EQ(causeOfReading(dir.file("none.opt"), o), FileError::FileNotFound);
    EXPECT_EQ(o, sentinelOptions());
}

// A valid file cut at every length below its own: each cut ends in the past-the-end error,
// fields wholly read before the cut are replaced and the others keep their values.
TEST(OptionFileBadInput, EveryTruncationGivesThePastTheEndError) {
    ScratchFolder dir;
    const SearchOptions full = busyOptions();
    const std::string file = encoded(full);
    const std::string path = dir.file("cut.opt");
    for (size_t cut = 0; cut < file.size(); ++cut) {
        writeWholeFile(path, file.substr(0, cut));
        SearchOptions o = sentinelOptions();
        ASSERT_EQ(causeOfReading(path, o), FileError::EndOfFile) << "cut at " << cut;
        // Spot checks on the fields around the cut.
        EXPECT_EQ(o.includeSubfolders, cut >= 12 ? full.includeSubfolders : -77) << cut;
        EXPECT_EQ(o.smallerThanKB, cut >= 68 ? full.smallerThanKB : 777u) << cut;
        size_t afterPattern = 68 + 1 + full.namePattern.size();
        EXPECT_EQ(o.namePattern, cut >= afterPattern ? full.namePattern : "old pattern") << cut;
        EXPECT_EQ(o.toDate, cut >= afterPattern + 8 ? full.toDate : -77) << cut;
        if (cut < afterPattern + 12) {
            EXPECT_EQ(o.domains.names, std::vector<std::string>{"old domain"}) << cut;
        }
        EXPECT_EQ(o.folders.mode, cut >= 32 ? full.folders.mode : FilterMode(-77)) << cut;
    }
    writeWholeFile(path, file);
    SearchOptions o = sentinelOptions();
    readOptionFile(path, o);
    EXPECT_EQ(o, full);
}

TEST(OptionFileBadInput, HostileCountsAndLengthsFailWithoutHugeAllocations) {
    const std::string valid = encoded(SearchOptions{});
    struct Hostile {
        const char* what;
        std::string file;
    } cases[] = {
        {"pattern length 0xFFFFFFFF",
         valid.substr(0, 68) + bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"pattern length 0x7FFFFFFF", valid.substr(0, 68) +
                                          bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}) +
                                          std::string(40, 'a')},
        {"UTF-16 pattern of 0x7FFFFFFF units",
         valid.substr(0, 68) + bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}) +
             std::string(40, 'a')},
        {"domain count 0xFFFFFFFF", valid.substr(0, 77) + le32(0xFFFFFFFF) + std::string(64, '\0')},
        {"server count 100000000", valid.substr(0, 81) + le32(100000000) + std::string(64, '\0')},
        {"folder name of 65534",
         valid.substr(0, 85) + le32(1) + bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0, 0})},
    };
    {
        AllocationWatch selfCheck; // the watch sees allocations at all
        std::vector<char> big(1 << 20);
        ASSERT_GE(selfCheck.largest(), big.size());
    }
    ScratchFolder dir;
    for (const Hostile& h : cases) {
        std::string path = dir.file("hostile.opt");
        writeWholeFile(path, h.file);
        SearchOptions o;
        AllocationWatch watch;
        EXPECT_EQ(causeOfReading(path, o), FileError::EndOfFile) << h.what;
        EXPECT_LT(watch.largest(), 64u * 1024) << h.what;
    }
}

// An empty name is one byte in the file and a whole string object in memory: a file of millions
// of them is refused with the file error while its memory stays a small multiple of its size,
// and a list that its file's size can pay for still loads.
TEST(OptionFileBadInput, MillionsOfEmptyNamesAreRefusedWithinASmallMultipleOfTheFileSize) {
    const std::string head = encoded(SearchOptions{}).substr(0, 77); // up to the domain count
    ScratchFolder dir;
    const std::string path = dir.file("empty-names.opt");
    for (uint32_t names : {4000000u, 20000u}) {
        const std::string file = head + le32(names) + std::string(names, '\0') + le32(0) + le32(0);
        writeWholeFile(path, file);
        SearchOptions o;
        AllocationWatch watch;
        try {
            readOptionFile(path, o);
            EXPECT_EQ(names, 20000u);
            EXPECT_EQ(o.domains.names.size(), names);
        } catch (const FileError& e) {
            EXPECT_EQ(names, 4000000u);
            EXPECT_EQ(e.message(), "An unknown error occurred while accessing " + path + ".");
        }
        EXPECT_LT(watch.peakGrowth(), 8 * file.size() + (2u << 20)) << names;
    }
}
