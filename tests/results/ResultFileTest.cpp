// Checks the result file byte for byte, the round trip, and that cut, random and hostile files
// give their records or the file-error text, never a crash or a huge allocation.
#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "results/ResultFile.h"
#include "results/ResultHistory.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"
#include "ResultFileTestHelpers.h"
#include "support/AllocationWatch.h"
#include "support/Bytes.h"

namespace {

// Larger than one growth step of the store (16,384 items), far below what a hostile length asks.
constexpr size_t kAllocationLimit = size_t(4) << 20;

const char* const kPastEnd = "An attempt was made to access an unnamed file past its end.";

std::string unknownError(const std::string& path) {
    return "An unknown error occurred while accessing " + path + ".";
}

// A file of `size` bytes that starts with head and holds zeros after it, without writing them
// (the file system keeps it sparse where it can).
void writeSparseFile(const std::string& path, const std::string& head, uint64_t size) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    EXPECT_TRUE(WriteFile(h, head.data(), DWORD(head.size()), &wrote, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = LONGLONG(size);
    EXPECT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
}

class ResultFileTest : public ResultFileFixture {
protected:
    // Items whose records use one-byte and three-byte prefixes, a folder and a drive root.
    std::vector<FoundItem> sampleItems() {
        return {rawItem("notes.txt", "\\\\SRV\\Docs", 1234, FILE_ATTRIBUTE_ARCHIVE,
                        0x01C1C5A3'12345678ull),
                rawItem("Pictures", "C:", 0, FILE_ATTRIBUTE_DIRECTORY, 0x01D00000'00000001ull),
                rawItem(std::string(300, 'n') + ".mp3", "\\\\SRV\\Music\\Long", 0xFFFFFFFFu, 0x27,
                        0xFFFFFFFF'FFFFFFFFull)};
    }
    void fillStore(const std::vector<FoundItem>& items) {
        for (const FoundItem& item : items)
            store.append(item);
    }
};

} // namespace

TEST_F(ResultFileTest, EmptyViewIsEightBytes) {
    std::string path = dir.file("empty.sr");
    ASSERT_TRUE(saveResultFile(view, path, nullptr));
    EXPECT_EQ(readWholeFile(path), bytes({0xC8, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ResultFileTest, RecordLayoutByteForByte) {
    FoundItem item = rawItem("notes.txt", "C:\\Folder", 1234, 0x20);
    item.creationTime = FILETIME{0x04030201, 0x08070605};
    item.lastAccessTime = FILETIME{0x14131211, 0x18171615};
    item.lastWriteTime = FILETIME{0x24232221, 0x28272625};
    fillStore({item});
    std::string path = dir.file("one.sr");
    ASSERT_TRUE(saveResultFile(view, path, nullptr));
    std::string file = readWholeFile(path);
    ASSERT_EQ(file.size(), 8u + 56u);
    EXPECT_EQ(file.substr(0, 8), bytes({0xC8, 0, 0, 0, 1, 0, 0, 0}));
    std::string expected =
        bytes({0x78, 0xF6, 0x45, 0x00, 1,    2,    3,    4,    5,    6,    7,    8,    0x11,
               0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26,
               0x27, 0x28, 0xD2, 0x04, 0,    0,    0x20, 0,    0,    0,    9}) +
        "notes.txt" + bytes({9}) + "C:\\Folder";
    EXPECT_EQ(file.substr(8), expected);

    // A row whose entry points outside the store (never expected) and an item the reader would
    // refuse are left out, and the count says so: the file loads with every record it holds.
    store.append(rawItem("..", "C:\\Folder", 1));
    const int32_t level = history.pushEmptyLevel();
    history.appendToLevel(level, 0);
    history.appendToLevel(level, 5);
    history.appendToLevel(level, 1);
    ASSERT_TRUE(saveResultFile(view, path, nullptr));
    file = readWholeFile(path);
    EXPECT_EQ(file.substr(0, 8), bytes({0xC8, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(file.substr(8), expected);
    ResultSet loaded;
    EXPECT_TRUE(loadResultFile(loaded, path, nullptr));
    EXPECT_EQ(loaded.count(), 1);
}

TEST_F(ResultFileTest, LongNameGetsThreeBytePrefix) {
    std::string record;
    appendResultRecord(record, rawItem(std::string(300, 'x'), "D:", 1));
    EXPECT_EQ(record.substr(36, 3), bytes({0xFF, 0x2C, 0x01}));
    EXPECT_EQ(record.size(), 36u + 3 + 300 + 1 + 2);
}

TEST_F(ResultFileTest, LoadThenSaveGivesTheSameBytesAndItems) {
    std::vector<FoundItem> items = sampleItems();
    // Records longer than any buffer (a 32-bit name prefix, a folder of 300,000 bytes), then
    // more rows than are written or read in one piece.
    items.push_back(rawItem(std::string(70000, 'L'), "C:\\" + std::string(300000, 'F'), 7));
    for (int i = 0; i < 9000; ++i)
        items.push_back(rawItem("n" + std::to_string(i), "\\\\S\\d" + std::to_string(i % 13), i));
    fillStore(items);
    std::string first = dir.file("first.sr"), second = dir.file("second.sr");
    ASSERT_TRUE(saveResultFile(view, first, nullptr));

    ResultSet loaded;
    ASSERT_TRUE(loadResultFile(loaded, first, nullptr));
    ASSERT_EQ(loaded.count(), int32_t(items.size()));
    for (int32_t i = 0; i < loaded.count(); ++i) {
        FoundItem got;
        ASSERT_TRUE(loaded.copyAt(i, got));
        EXPECT_TRUE(got == items[i]) << i;
    }
    ResultHistory loadedHistory(loaded);
    ResultView loadedView(loaded, loadedHistory);
    ASSERT_TRUE(saveResultFile(loadedView, second, nullptr));
    EXPECT_EQ(readWholeFile(second), readWholeFile(first));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ResultFileTest, HeaderAndReservedWordsAreIgnoredAndUtf16TextIsConverted) {
    // Header 999, one record with a junk reserved word, the name in the UTF-16 form.
    std::string file = le32(999) + le32(1) + le32(0xDEADBEEF) + std::string(24, '\0') + le32(5) +
                       le32(0x10) + bytes({0xFF, 0xFE, 0xFF, 3, 'a', 0, 'b', 0, 'c', 0}) +
                       bytes({2}) + "E:";
    std::string path = dir.file("hand.sr");
    writeWholeFile(path, file);
    ASSERT_TRUE(loadResultFile(store, path, nullptr));
    FoundItem got;
    ASSERT_TRUE(store.copyAt(0, got));
    EXPECT_EQ(got.name, "abc");
    EXPECT_EQ(got.folder, "E:");
    EXPECT_EQ(got.size, 5u);
    EXPECT_TRUE(got.isFolder());
}

TEST_F(ResultFileTest, ZeroOrNegativeCountLoadsNothing) {
    std::string path = dir.file("neg.sr");
    writeWholeFile(path, le32(200) + le32(0x80000000u) + "junk that is never read");
    EXPECT_TRUE(loadResultFile(store, path, nullptr));
    writeWholeFile(path, le32(200) + le32(0));
    EXPECT_TRUE(loadResultFile(store, path, nullptr));
    EXPECT_EQ(store.count(), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ResultFileTest, FileCutAtEveryOffsetKeepsTheRecordsBeforeTheCut) {
    std::vector<FoundItem> items = sampleItems();
    std::string whole = le32(200) + le32(3);
    std::vector<size_t> recordEnds;
    for (const FoundItem& item : items) {
        appendResultRecord(whole, item);
        recordEnds.push_back(whole.size());
    }
    std::string path = dir.file("cut.sr");
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        writeWholeFile(path, whole.substr(0, cut));
        ResultSet partial;
        boxes.clear();
        ASSERT_FALSE(loadResultFile(partial, path, nullptr)) << cut;
        int32_t complete = 0;
        for (size_t end : recordEnds)
            complete += end <= cut ? 1 : 0;
        ASSERT_EQ(partial.count(), complete) << cut;
        ASSERT_EQ(boxes.size(), 1u) << cut;
        EXPECT_EQ(boxes[0].text, kPastEnd) << cut;
        EXPECT_EQ(boxes[0].caption, "Corvask");
        EXPECT_EQ(boxes[0].type & MB_ICONMASK, UINT(MB_ICONSTOP));
    }
    writeWholeFile(path, whole);
    ResultSet full;
    EXPECT_TRUE(loadResultFile(full, path, nullptr));
    EXPECT_EQ(full.count(), 3);
}

TEST_F(ResultFileTest, HostileLengthsEndAtTheEndOfTheFile) {
    std::string good;
    appendResultRecord(good, rawItem("a", "C:", 1));
    const std::string fixed = le32(kResultRecordMark) + std::string(32, '\0');
    struct Case {
        const char* what;
        std::string body;
        int32_t records;
    } cases[] = {
        {"count far beyond the file", le32(0x7FFFFFFF) + good, 1},
        {"32-bit name length",
         le32(2) + good + fixed + bytes({0xFF, 0xFF, 0xFF}) + le32(0xFFFFFFF0), 1},
        {"16-bit folder length", le32(1) + fixed + bytes({1, 'n', 0xFF, 0xFD, 0xFF}), 0},
        {"UTF-16 unit count",
         le32(1) + fixed + bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}) + le32(0x7FFFFFFF), 0},
        {"UTF-16 marker twice",
         le32(1) + fixed + bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF}) + std::string(16, 'x'), 0},
    };
    std::string path = dir.file("hostile.sr");
    for (const Case& c : cases) {
        writeWholeFile(path, le32(200) + c.body);
        ResultSet partial;
        boxes.clear();
        AllocationWatch watch;
        EXPECT_FALSE(loadResultFile(partial, path, nullptr)) << c.what;
        EXPECT_LT(watch.largest(), kAllocationLimit) << c.what;
        EXPECT_EQ(partial.count(), c.records) << c.what;
        ASSERT_EQ(boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes[0].text, kPastEnd) << c.what;
    }
}

TEST_F(ResultFileTest, RandomBytesGiveRecordsOrThePastEndText) {
    std::mt19937 random(20021207);
    std::string path = dir.file("random.sr");
    for (int round = 0; round < 300; ++round) {
        std::string file;
        size_t length = random() % 400;
        // Half the files start like a real one, so the records themselves get exercised.
        if (round % 2 == 0) file = le32(200) + le32(random() % 8);
        while (file.size() < length)
            file.push_back(char(random() & 0xFF));
        // Short lengths are more interesting than the uniform spread gives.
        for (char& c : file)
            if (random() % 4 == 0) c = char(random() % 6);
        writeWholeFile(path, file);
        ResultSet loaded;
        boxes.clear();
        AllocationWatch watch;
        bool ok = loadResultFile(loaded, path, nullptr);
        EXPECT_LT(watch.largest(), kAllocationLimit) << round;
        EXPECT_LE(size_t(loaded.count()) * 38, file.size()) << round;
        if (!ok) {
            ASSERT_EQ(boxes.size(), 1u) << round;
            EXPECT_TRUE(boxes[0].text == kPastEnd || boxes[0].text == unknownError(path)) << round;
        }
    }
}

TEST_F(ResultFileTest, MissingFileIsReportedAndChangesNothing) {
    store.append(rawItem("kept.txt", "C:", 1));
    std::string path = dir.file("absent.sr");
    EXPECT_FALSE(loadResultFile(store, path, nullptr));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, path + " was not found.");
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, UINT(MB_ICONSTOP));
    EXPECT_EQ(store.count(), 1);
}

TEST_F(ResultFileTest, SaveIntoAMissingFolderIsReported) {
    std::string path = dir.file("no such folder\\r.sr");
    EXPECT_FALSE(saveResultFile(view, path, nullptr));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(path), std::string::npos);
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, UINT(MB_ICONSTOP));
}

TEST_F(ResultFileTest, SavingALevelWritesItsRowsInOrderAndLoadsAsOneLevel) {
    std::vector<FoundItem> items = sampleItems();
    items.push_back(rawItem("d.txt", "C:", 4));
    fillStore(items);
    history.pushIdentityLevel();
    history.truncateAfterCurrent();
    int32_t level = history.pushEmptyLevel();
    history.appendToLevel(level, 3);
    history.appendToLevel(level, 0);
    ASSERT_EQ(view.itemCount(), 2);
    std::string path = dir.file("level.sr");
    ASSERT_TRUE(saveResultFile(view, path, nullptr));

    std::string expected = le32(200) + le32(2);
    appendResultRecord(expected, items[3]);
    appendResultRecord(expected, items[0]);
    EXPECT_EQ(readWholeFile(path), expected);

    ASSERT_TRUE(openResultFile(history, store, path, nullptr));
    EXPECT_EQ(history.levelCount(), 1);
    EXPECT_EQ(history.currentLevel(), 1);
    ASSERT_EQ(view.itemCount(), 2);
    EXPECT_TRUE(view.itemAt(0).value() == items[3]);
}

TEST_F(ResultFileTest, FailedOpenShowsLevelOneOverTheRecordsRead) {
    fillStore(sampleItems());
    history.pushIdentityLevel();
    std::string whole = le32(200) + le32(3);
    appendResultRecord(whole, rawItem("first.txt", "C:", 1));
    appendResultRecord(whole, rawItem("second.txt", "C:", 2));
    std::string path = dir.file("short.sr");
    writeWholeFile(path, whole + "\x78\xF6");
    EXPECT_FALSE(openResultFile(history, store, path, nullptr));
    EXPECT_EQ(history.levelCount(), 1);
    EXPECT_EQ(history.currentLevel(), 1);
    ASSERT_EQ(view.itemCount(), 2);
    EXPECT_EQ(view.itemAt(1)->name, "second.txt");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kPastEnd);
}

TEST_F(ResultFileTest, RecordsThatNameNoPlainFileEndTheLoadAndKeepTheRecordsBefore) {
    // Names that would lead an action outside the folder, add a second path, or act as a
    // wildcard; folders that are no drive or network path. '?' stands for a character the code
    // page could not hold: the walker keeps such names, so they load.
    std::string good;
    appendResultRecord(good, rawItem("caf?.txt", "\\\\SRV\\Docs", 1));
    appendResultRecord(good, rawItem("b.txt", "C:", 2));
    using namespace std::string_literals;
    const std::pair<std::string, std::string> bad[] = {
        {"a\\..\\..\\Startup\\x.lnk", "C:\\Users"}, {"..", "C:\\x"}, {"*", "D:\\pub"},
        {"x.txt\0C:\\windows\\win.ini"s, "C:"}, {"", "C:"}, {"c:x", "C:"},
        {"x", "\\\\srv\\pub\\..\\.."}, {"x", "search-ms:query=x"}, {"x", "C:\\a\0b"s},
        {"x", "\\\\srv"}, {"x", "relative\\folder"}};
    std::string path = dir.file("names.sr");
    for (const auto& [name, folder] : bad) {
        std::string file = le32(200) + le32(4) + good;
        appendResultRecord(file, rawItem(name, folder, 3));
        appendResultRecord(file, rawItem("after.txt", "C:", 4));
        writeWholeFile(path, file);
        boxes.clear();
        EXPECT_FALSE(openResultFile(history, store, path, nullptr)) << name << " in " << folder;
        ASSERT_EQ(view.itemCount(), 2) << name;
        EXPECT_EQ(view.itemAt(0)->name, "caf?.txt");
        EXPECT_EQ(history.currentLevel(), 1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, unknownError(path));
    }
}

TEST_F(ResultFileTest, SparseFilesPastFourGigabytesEndWithTheFileErrorQuickly) {
    // 4.1 GiB: a count whose reservation would wrap in 32 bits, a name length of 2^32 - 43 and a
    // UTF-16 length of 4 GiB that the file's size seems to allow. Each keeps the record before
    // it and ends without reading the gigabytes (a hang here is a size that was trusted).
    std::string first;
    appendResultRecord(first, rawItem("first.txt", "C:\\data", 1));
    const std::string fixed = le32(kResultRecordMark) + std::string(32, '\0');
    const std::string heads[] = {
        le32(200) + le32(107374183) + first,
        le32(200) + le32(2) + first + fixed + bytes({0xFF, 0xFF, 0xFF}) + le32(0xFFFFFFD5),
        le32(200) + le32(2) + first + fixed + bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}) +
            le32(0x80000000)};
    std::string path = dir.file("huge.sr");
    for (const std::string& head : heads) {
        writeSparseFile(path, head, 0x106666666ull);
        boxes.clear();
        EXPECT_FALSE(openResultFile(history, store, path, nullptr));
        ASSERT_EQ(view.itemCount(), 1);
        EXPECT_EQ(view.itemAt(0)->name, "first.txt");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, unknownError(path));
    }
    DeleteFileA(path.c_str());
}
