// The result history's levels and navigation, with the list following each move.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/ResultTestHost.h"
#include "results/ResultHistory.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"

namespace {

struct HistoryFixture : testing::Test, AttachedResults {
    void plainSearch(int hits) {
        for (int i = 0; i < hits; ++i)
            store.append(makeItem("f" + std::to_string(i), "C:", i));
        history.pushIdentityLevel();
    }
    // What a refinement does: the list emptied as the search starts, then a new level after the
    // current one, holding the positions of the current level that pass.
    int refine(bool (*keep)(int32_t position)) {
        setListRowCount(host.list(), 0, LVSICF_NOINVALIDATEALL);
        int32_t from = history.currentLevel();
        history.truncateAfterCurrent();
        int32_t level = history.pushEmptyLevel();
        for (int32_t i = 0; i < history.levelLength(from); ++i) {
            int32_t position;
            if (history.levelEntry(from, i, position) && keep(position)) {
                int32_t length = history.appendToLevel(level, position);
                setListRowCount(host.list(), length, kAppendCountFlags);
            }
        }
        return level;
    }
    std::string canGo() {
        return std::string(history.goBack(true, false) ? "B" : "-") +
               (history.goForward(true, false) ? "F" : "-") +
               (history.goTop(true, false) ? "T" : "-");
    }
};

bool even(int32_t p) {
    return p % 2 == 0;
}
bool multipleOfFour(int32_t p) {
    return p % 4 == 0;
}
bool none(int32_t) {
    return false;
}

TEST_F(HistoryFixture, LevelZeroIsTheWholeStoreUntilTheSearchEnds) {
    EXPECT_EQ(0, history.currentLevel());
    EXPECT_EQ("---", canGo());
    store.append(makeItem("a", "C:", 1));
    store.append(makeItem("b", "C:", 2));
    EXPECT_EQ(2, view.itemCount());
    EXPECT_EQ("b", view.itemAt(1)->name);
    history.pushIdentityLevel();
    EXPECT_EQ(1, history.currentLevel());
    EXPECT_EQ(1, history.levelCount());
    EXPECT_EQ(2, history.levelLength(1));
    // A second end notice makes no second level.
    store.append(makeItem("late", "C:", 3));
    history.pushIdentityLevel();
    EXPECT_EQ(1, history.levelCount());
    EXPECT_EQ(2, view.itemCount());
}

TEST_F(HistoryFixture, OnePlainSearchAllowsNoMove) {
    plainSearch(100);
    EXPECT_EQ(1, history.levelCount());
    EXPECT_EQ(1, history.currentLevel());
    EXPECT_EQ(100, view.itemCount());
    EXPECT_EQ("---", canGo());
    EXPECT_FALSE(history.goBack(false, false));
    EXPECT_FALSE(history.goForward(false, false));
    EXPECT_FALSE(history.goTop(false, false));
    EXPECT_EQ(1, history.currentLevel());
}

TEST_F(HistoryFixture, BackForwardAndTopWalkTheLevelsAndTheList) {
    plainSearch(100);
    refine(even);
    refine(multipleOfFour);
    EXPECT_EQ(3, history.levelCount());
    EXPECT_EQ(3, history.currentLevel());
    EXPECT_EQ(25, host.listCount());
    EXPECT_EQ("f8", view.itemAt(2)->name);
    EXPECT_EQ("B-T", canGo());

    host.selectRow(1, true);
    EXPECT_TRUE(history.goBack(false, false));
    EXPECT_EQ(2, history.currentLevel());
    EXPECT_EQ(50, host.listCount());
    EXPECT_EQ(50, view.itemCount());
    EXPECT_EQ("", host.selectedRows()); // the selection goes with the count reset
    EXPECT_EQ("f2", view.itemAt(1)->name);
    EXPECT_EQ("BFT", canGo());

    EXPECT_TRUE(history.goBack(false, false));
    EXPECT_EQ(1, history.currentLevel());
    EXPECT_EQ(100, host.listCount());
    EXPECT_EQ("-F-", canGo());

    EXPECT_TRUE(history.goForward(false, false));
    EXPECT_TRUE(history.goForward(false, false));
    EXPECT_EQ(3, history.currentLevel());
    EXPECT_FALSE(history.goForward(false, false));
    EXPECT_TRUE(history.goTop(false, false));
    EXPECT_EQ(1, history.currentLevel());
    EXPECT_EQ(100, host.listCount());
}

TEST_F(HistoryFixture, NothingMovesWhileASearchRuns) {
    plainSearch(10);
    refine(even);
    history.goBack(false, false);
    EXPECT_FALSE(history.goBack(true, true));
    EXPECT_FALSE(history.goForward(true, true));
    EXPECT_FALSE(history.goForward(false, true));
    EXPECT_FALSE(history.goTop(false, true));
    EXPECT_EQ(1, history.currentLevel());
}

TEST_F(HistoryFixture, RefiningFromAMiddleLevelReplacesTheLevelsAbove) {
    plainSearch(100);
    refine(even);
    refine(none);
    history.goBack(false, false);
    EXPECT_EQ(2, history.currentLevel());
    refine(multipleOfFour);
    EXPECT_EQ(3, history.levelCount());
    EXPECT_EQ(3, history.currentLevel());
    EXPECT_EQ(25, history.levelLength(3));
    EXPECT_EQ(25, host.listCount());
    EXPECT_EQ("B-T", canGo());
}

TEST_F(HistoryFixture, ARefinementThatMatchesNothingLeavesAnEmptyCurrentLevel) {
    plainSearch(20);
    refine(none);
    EXPECT_EQ(2, history.currentLevel());
    EXPECT_EQ(0, view.itemCount());
    EXPECT_EQ(0, host.listCount());
    EXPECT_FALSE(view.itemAt(0));
    EXPECT_TRUE(history.goBack(false, false));
    EXPECT_EQ(20, host.listCount());
}

TEST_F(HistoryFixture, ClearAllDropsLevelsStoreAndSortState) {
    plainSearch(30);
    refine(even);
    history.currentSortState().column = 2;
    history.clearAll();
    EXPECT_EQ(15, host.listCount()); // clearing leaves the list to its owner
    view.refreshList();
    EXPECT_EQ(0, host.listCount());
    EXPECT_EQ(0, history.levelCount());
    EXPECT_EQ(0, history.currentLevel());
    EXPECT_EQ(0, store.count());
    EXPECT_EQ(0, view.itemCount());
    EXPECT_EQ(-1, history.currentSortState().column);
    EXPECT_EQ("---", canGo());
    // A new plain search after the clear starts again at level 0.
    plainSearch(5);
    EXPECT_EQ(1, history.levelCount());
    EXPECT_EQ(5, view.itemCount());
}

TEST_F(HistoryFixture, LevelEntriesOutsideTheStoreHaveNoItem) {
    plainSearch(3);
    int32_t level = history.pushEmptyLevel();
    history.appendToLevel(level, 2);
    history.appendToLevel(level, 7);
    history.appendToLevel(level, -4);
    EXPECT_EQ(3, view.itemCount());
    EXPECT_EQ("f2", view.itemAt(0)->name);
    EXPECT_FALSE(view.itemAt(1));
    EXPECT_FALSE(view.itemAt(2));
    EXPECT_EQ("", view.cellText(1, 0));
    EXPECT_EQ(0, history.appendToLevel(9, 1)); // no such level
    int32_t position = 0;
    EXPECT_FALSE(history.levelEntry(level, 3, position));
    EXPECT_FALSE(history.levelEntry(0, 0, position));
}

} // namespace

namespace {

// The store keeps its texts in shared pools: every text must come back byte for byte (empty,
// with a zero byte, far longer than a pool block), folders shared by items appended from several
// threads at once, and nothing of a cleared store may show up again.
TEST(ResultStore, KeepsEveryTextExactlyWhileThreadsAppendAndAfterAClear) {
    ResultSet store;
    const std::string huge(300000, 'n');
    const std::string withZero("a\0b", 3);
    for (int round = 0; round < 2; ++round) {
        std::vector<std::thread> threads;
        for (int t = 0; t < 3; ++t)
            threads.emplace_back([&store, t] {
                for (int i = 0; i < 2000; ++i)
                    store.append(makeItem("n" + std::to_string(i),
                                          "\\\\S\\d" + std::to_string(i % 7 + t), 1));
            });
        for (std::thread& thread : threads)
            thread.join();
        store.append(makeItem("", "C:", 0));
        store.append(makeItem(withZero, huge, 1));
        store.append(makeItem(huge, "", 2));
        ASSERT_EQ(6003, store.count());
        FoundItem item;
        for (int32_t p = 0; p < 6000; ++p) {
            ASSERT_TRUE(store.copyAt(p, item));
            int i = std::stoi(item.name.substr(1));
            int d = std::stoi(item.folder.substr(5));
            EXPECT_TRUE(d >= i % 7 && d <= i % 7 + 2) << item.folder << " " << item.name;
        }
        ASSERT_TRUE(store.copyAt(6000, item));
        EXPECT_EQ("", item.name);
        EXPECT_EQ("C:", item.folder);
        ASSERT_TRUE(store.copyAt(6001, item));
        EXPECT_EQ(withZero, item.name);
        EXPECT_EQ(huge, item.folder);
        ASSERT_TRUE(store.copyAt(6002, item));
        EXPECT_EQ(huge, item.name);
        EXPECT_EQ("", item.folder);
        EXPECT_FALSE(store.copyAt(6003, item));
        store.clear();
        EXPECT_EQ(0, store.count());
        EXPECT_FALSE(store.copyAt(0, item));
    }
}

} // namespace
