// Cell texts, the selection summary and the selection commands against a real list and status bar.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "support/ResultTestHost.h"
#include "results/ResultHistory.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"

namespace {

constexpr uint32_t kFolder = FILE_ATTRIBUTE_DIRECTORY;

// A store, its history and view wired to a real window, the list's notifications routed the way
// the main dialog routes them.
struct ViewFixture : testing::Test, AttachedResults {
    int summaryWrites = 0;

    void SetUp() override {
        host.onNotify = [this](NMHDR* header) -> LRESULT {
            if (header->code == LVN_GETDISPINFOA)
                return view.onGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(header));
            if (header->code == LVN_ITEMCHANGED && view.onItemChanged()) ++summaryWrites;
            return 0;
        };
    }
    void TearDown() override { host.onNotify = nullptr; }

    std::string listText(int32_t row, int column) {
        char text[260] = "";
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(host.list(), LVM_GETITEMTEXTA, WPARAM(row), LPARAM(&item));
        return text;
    }
};

TEST(CellTextTest, SizeTextsCountWholeKibPlusOne) {
    EXPECT_EQ("0 KB", sizeText(makeItem("a", "C:\\x", 0)));
    EXPECT_EQ("1 KB", sizeText(makeItem("a", "C:\\x", 1)));
    EXPECT_EQ("1 KB", sizeText(makeItem("a", "C:\\x", 1023)));
    EXPECT_EQ("2 KB", sizeText(makeItem("a", "C:\\x", 1024)));
    EXPECT_EQ("1025 KB", sizeText(makeItem("a", "C:\\x", 1048576)));
    EXPECT_EQ("4194304 KB", sizeText(makeItem("a", "C:\\x", 0xFFFFFFFFu)));
    EXPECT_EQ("", sizeText(makeItem("d", "C:\\x", 4096, kFolder)));
    EXPECT_EQ("File Folder", typeText(makeItem("d.txt", "C:\\x", 0, kFolder)));
}

TEST(CellTextTest, DriveRootFolderShowsBackslash) {
    FoundItem item = makeItem("boot.ini", "C:", 10);
    EXPECT_EQ("C:\\", cellTextOf(item, ColumnFolder));
    EXPECT_EQ("C:\\boot.ini", item.fullPath());
    FoundItem share = makeItem("a.txt", "\\\\SRV\\Share", 10);
    EXPECT_EQ("\\\\SRV\\Share", cellTextOf(share, ColumnFolder));
}

TEST(CellTextTest, ModifiedUsesLocalTwelveHourClockAndRefusesOutOfRangeYears) {
    EXPECT_EQ("03/07/2002 09:05 PM", modifiedText(makeItem("a", "C:", 0).lastWriteTime));
    EXPECT_EQ("01/02/2010 12:00 AM",
              modifiedText(makeItem("a", "C:", 0, 0, 2010, 1, 2, 0, 0).lastWriteTime));
    EXPECT_EQ("12/31/2020 12:59 PM",
              modifiedText(makeItem("a", "C:", 0, 0, 2020, 12, 31, 12, 59).lastWriteTime));
    EXPECT_EQ("", modifiedText(makeItem("a", "C:", 0, 0, 1969, 12, 31, 10, 0).lastWriteTime));
    EXPECT_EQ("", modifiedText(makeItem("a", "C:", 0, 0, 2040, 1, 1, 10, 0).lastWriteTime));
    FILETIME huge{0xFFFFFFFFu, 0xFFFFFFFFu};
    EXPECT_EQ("", modifiedText(huge));
}

TEST(CellTextTest, TypeNameFallsBackToExtension) {
    EXPECT_EQ("QZXW File", fallbackTypeName("C:\\x\\notes.qzxw"));
    EXPECT_EQ("PROFILE File", fallbackTypeName("\\\\SRV\\Share\\.profile"));
    EXPECT_EQ("File", fallbackTypeName("C:\\x.d\\README"));
    EXPECT_EQ("File", fallbackTypeName("README"));
    EXPECT_EQ(" File", fallbackTypeName("C:\\x\\trailing."));
    // The shell's own name is used when it has one; there is always some text.
    EXPECT_FALSE(typeNameFor("C:\\x\\notes.qzxw", FILE_ATTRIBUTE_ARCHIVE).empty());
    EXPECT_FALSE(typeNameFor("C:\\x.d\\README", FILE_ATTRIBUTE_ARCHIVE).empty());
    // The Type column asks the shell once per extension: every item still gets the shell's own
    // answer for its path, whatever folder or name first brought the extension in.
    for (int pass = 0; pass < 2; ++pass)
        for (const char* folder : {"C:\\x.d", "\\\\SRV\\Share"})
            for (const char* name : {"a.txt", "B.TXT", "README", ".profile", "n.qzxw", "trailing.",
                                     "a.tar.gz", "b.gz"}) {
                FoundItem item = makeItem(name, folder, 1);
                EXPECT_EQ(typeNameFor(item.fullPath(), item.attributes), typeText(item))
                    << folder << " " << name;
            }
    EXPECT_EQ("File Folder", typeText(makeItem("dir.txt", "C:", 0, FILE_ATTRIBUTE_DIRECTORY)));
}

TEST(SummaryTextTest, AllForms) {
    EXPECT_EQ("", summaryText(0, 0, true));
    EXPECT_EQ("2 object(s) selected", summaryText(2, 0, false));
    EXPECT_EQ("1 object(s) selected\t0 bytes", summaryText(1, 0, true));
    EXPECT_EQ("1 object(s) selected\t1024 bytes", summaryText(1, 1024, true));
    EXPECT_EQ("1 object(s) selected\t2 KB", summaryText(1, 1025, true));
    EXPECT_EQ("1 object(s) selected\t1025 KB", summaryText(1, 1048576, true));
    EXPECT_EQ("1 object(s) selected\t1.00 MB", summaryText(1, 1048577, true));
    EXPECT_EQ("3 object(s) selected\t1024.00 MB", summaryText(3, 1073741824ull, true));
    EXPECT_EQ("3 object(s) selected\t1.00 GB", summaryText(3, 1073741825ull, true));
    EXPECT_EQ("2 object(s) selected\t4.00 GB", summaryText(2, 4294967296ull, true));
    EXPECT_EQ("2 object(s) selected\t4.50 GB", summaryText(2, 4831838208ull, true));
}

TEST_F(ViewFixture, ListAsksTheViewForCellsAndIcons) {
    store.append(makeItem("report.txt", "C:", 1024));
    store.append(makeItem("Docs", "\\\\SRV\\Share", 0, kFolder));
    EXPECT_EQ(2, host.listCount());
    EXPECT_EQ("report.txt", listText(0, ColumnName));
    EXPECT_EQ("C:\\", listText(0, ColumnFolder));
    EXPECT_EQ("2 KB", listText(0, ColumnSize));
    EXPECT_EQ("03/07/2002 09:05 PM", listText(0, ColumnModified));
    EXPECT_EQ("", listText(1, ColumnSize));
    EXPECT_EQ("File Folder", listText(1, ColumnType));
    EXPECT_EQ(typeNameFor("C:\\report.txt", FILE_ATTRIBUTE_ARCHIVE), listText(0, ColumnType));

    // The text is cut to the caller's buffer, terminator included; other rows stay untouched.
    char small[5] = "????";
    NMLVDISPINFOA info{};
    info.item.mask = LVIF_TEXT | LVIF_IMAGE;
    info.item.iItem = 0;
    info.item.pszText = small;
    info.item.cchTextMax = 4;
    info.item.iImage = -7;
    EXPECT_EQ(0, view.onGetDispInfo(&info));
    EXPECT_STREQ("rep", small);
    EXPECT_EQ(iconIndexFor("C:\\report.txt", FILE_ATTRIBUTE_ARCHIVE), info.item.iImage);
    char untouched[5] = "????";
    info.item.pszText = untouched;
    info.item.iImage = -7;
    for (int row : {-1, 2, 1000}) {
        info.item.iItem = row;
        view.onGetDispInfo(&info);
        EXPECT_STREQ("????", untouched);
        EXPECT_EQ(-7, info.item.iImage);
    }
    // Only the first column carries an icon.
    info.item.iItem = 0;
    info.item.iSubItem = 1;
    info.item.pszText = small;
    info.item.cchTextMax = 5;
    view.onGetDispInfo(&info);
    EXPECT_EQ(-7, info.item.iImage);
    EXPECT_STREQ("C:\\", small);
    UpdateWindow(host.list()); // paints through the same answers
}

TEST_F(ViewFixture, RowsAndItemSearch) {
    store.append(makeItem("a.txt", "C:", 1));
    store.append(makeItem("b.txt", "\\\\SRV\\Share\\sub", 2));
    store.append(makeItem("c.txt", "D:\\x", 3));
    EXPECT_EQ(3, view.itemCount());
    EXPECT_FALSE(view.itemAt(-1));
    EXPECT_FALSE(view.itemAt(3));
    EXPECT_EQ(2, view.indexOfItem(makeItem("c.txt", "D:\\x", 3)));
    EXPECT_EQ(-1, view.indexOfItem(makeItem("C.txt", "D:\\x", 3))); // case counts
    EXPECT_EQ(-1, view.indexOfItem(makeItem("c.txt", "D:\\x", 4)));
}

TEST_F(ViewFixture, SelectionSummaryFollowsTheList) {
    store.append(makeItem("one.bin", "C:", 1024));
    store.append(makeItem("two.bin", "C:", 1025));
    store.append(makeItem("A", "C:", 0, kFolder));
    store.append(makeItem("B", "C:", 0, kFolder));
    store.append(makeItem("big1", "C:", 0x80000000u));
    store.append(makeItem("big2", "C:", 0x80000000u));
    store.append(makeItem("empty", "C:", 0));
    host.selectRow(0, true);
    EXPECT_EQ("1 object(s) selected\t1024 bytes", host.paneText(0));
    host.selectRow(0, false);
    host.selectRow(1, true);
    EXPECT_EQ("1 object(s) selected\t2 KB", host.paneText(0));
    host.selectRow(1, false);
    EXPECT_EQ("", host.paneText(0));
    host.selectRow(2, true);
    host.selectRow(3, true);
    EXPECT_EQ("2 object(s) selected", host.paneText(0));
    host.selectRow(4, true);
    host.selectRow(5, true);
    EXPECT_EQ("4 object(s) selected\t4.00 GB", host.paneText(0));
    host.selectRow(2, false);
    host.selectRow(3, false);
    host.selectRow(4, false);
    host.selectRow(5, false);
    host.selectRow(6, true);
    EXPECT_EQ("1 object(s) selected\t0 bytes", host.paneText(0));
}

TEST_F(ViewFixture, SelectAllAndInvertSelection) {
    for (int i = 0; i < 10; ++i)
        store.append(makeItem("f" + std::to_string(i), "C:", 100));
    host.selectRow(2, true);
    host.selectRow(3, true);
    summaryWrites = 0;
    EXPECT_EQ(8, view.invertSelection());
    EXPECT_FALSE(view.inverting());
    EXPECT_EQ("0,1,4,5,6,7,8,9", host.selectedRows());
    EXPECT_EQ(0, summaryWrites); // the inversion's own changes write no summary
    EXPECT_EQ("8 object(s) selected\t800 bytes", host.paneText(0));

    EXPECT_EQ(10, view.selectAll());
    EXPECT_EQ("0,1,2,3,4,5,6,7,8,9", host.selectedRows());
    EXPECT_GE(SendMessageA(host.list(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 0);
    EXPECT_EQ("10 object(s) selected\t1000 bytes", host.paneText(0));
    EXPECT_EQ(0, view.invertSelection());
    EXPECT_EQ("", host.selectedRows());
    EXPECT_EQ("", host.paneText(0));
}

TEST_F(ViewFixture, FocusMovesTheDefaultButton) {
    // DM_SETDEFID needs a real dialog.
    struct Template {
        DLGTEMPLATE dlg;
        WORD menu, cls, title;
    } tpl{};
    tpl.dlg.style = WS_POPUP;
    HWND realDialog = CreateDialogIndirectParamA(nullptr, &tpl.dlg, nullptr, nullptr, 0);
    ASSERT_NE(nullptr, realDialog);
    SendMessageA(realDialog, DM_SETDEFID, 1002, 0);
    view.onFocusChange(realDialog, true, 1002);
    EXPECT_EQ(1002, LOWORD(SendMessageA(realDialog, DM_GETDEFID, 0, 0))); // no rows: kept
    store.append(makeItem("a", "C:", 1));
    view.onFocusChange(realDialog, true, 1002);
    EXPECT_NE(1002, LOWORD(SendMessageA(realDialog, DM_GETDEFID, 0, 0)));
    view.onFocusChange(realDialog, false, 1002);
    EXPECT_EQ(1002, LOWORD(SendMessageA(realDialog, DM_GETDEFID, 0, 0)));
    DestroyWindow(realDialog);
}

TEST_F(ViewFixture, AppendsFromWorkerThreadsReachTheListExactly) {
    constexpr int kThreads = 3, kEach = 1500;
    std::atomic<int> running{kThreads};
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t)
        workers.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i)
                store.append(makeItem("t" + std::to_string(t) + "_" + std::to_string(i), "C:", i));
            --running;
        });
    // The workers' count messages are sent to this thread: keep answering until they are done.
    ASSERT_TRUE(pumpUntil([&] { return running == 0; }));
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(kThreads * kEach, store.count());
    EXPECT_EQ(kThreads * kEach, host.listCount());
    EXPECT_EQ(kThreads * kEach, view.itemCount());
}

} // namespace
