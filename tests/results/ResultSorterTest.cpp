// Sorting by column: folders first, the column keys and tie-breaks, the repeat-click rules of each
// view, and the header click keeping the first selected item.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "support/ResultTestHost.h"
#include "results/ResultHistory.h"
#include "results/ResultSorter.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"

namespace {

constexpr uint32_t kFolder = FILE_ATTRIBUTE_DIRECTORY;

struct SortFixture : testing::Test, AttachedResults {
    void addNamesMix() {
        store.append(makeItem("c.txt", "C:", 3));
        store.append(makeItem("b", "C:", 0, kFolder));
        store.append(makeItem("B.doc", "C:", 2));
        store.append(makeItem("A", "C:", 0, kFolder));
        store.append(makeItem("a.txt", "C:", 1));
    }
    std::string names() {
        std::string all;
        for (int32_t row = 0; row < view.itemCount(); ++row) {
            if (!all.empty()) all += " ";
            all += view.itemAt(row)->name;
        }
        return all;
    }
    bool sort(int32_t column, bool searching = false) {
        return sortByColumn(store, history, column, searching);
    }
};

TEST(CompareTest, FoldsOnlyAsciiLettersAndPutsPrefixesFirst) {
    EXPECT_EQ(0, compareNoCase("ReadMe", "README"));
    EXPECT_LT(compareNoCase("abc", "abcd"), 0);
    EXPECT_GT(compareNoCase("b", "A"), 0);
    EXPECT_LT(compareNoCase("_", "a"), 0);    // '_' (0x5F) sorts before the folded 'a' (0x61)
    EXPECT_LT(compareNoCase("z", "\xE9"), 0); // bytes above 0x7F compare unsigned, unfolded
    EXPECT_NE(0, compareNoCase("\xC9", "\xE9"));
    EXPECT_EQ("", sortExtension(".profile"));
    EXPECT_EQ("", sortExtension("README"));
    EXPECT_EQ("gz", sortExtension("a.tar.gz"));
    EXPECT_EQ("", sortExtension("trailing."));
}

TEST_F(SortFixture, NameTwiceFoldersFirstThenEverythingReversed) {
    addNamesMix();
    EXPECT_TRUE(sort(ColumnName, true)); // level 0: the store itself, while the search runs
    EXPECT_EQ("A b a.txt B.doc c.txt", names());
    EXPECT_TRUE(sort(ColumnName, true));
    EXPECT_EQ("c.txt B.doc a.txt b A", names());

    history.pushIdentityLevel();
    EXPECT_TRUE(sort(ColumnName));
    EXPECT_EQ("A b a.txt B.doc c.txt", names());
    EXPECT_TRUE(sort(ColumnName));
    EXPECT_EQ("c.txt B.doc a.txt b A", names());
    EXPECT_TRUE(sort(ColumnName));
    EXPECT_EQ("A b a.txt B.doc c.txt", names());
}

TEST_F(SortFixture, TypeSortsByExtensionWithDotFilesAndBareNamesFirst) {
    for (const char* name :
         {"zeta.txt", "a.doc", ".profile", "README", "b.TXT", "Makefile", "x.tar.gz", "notes.txt"})
        store.append(makeItem(name, "C:", 1));
    store.append(makeItem("dir.zip", "C:", 0, kFolder));
    store.append(makeItem("Apps", "C:", 0, kFolder));
    history.pushIdentityLevel();
    EXPECT_TRUE(sort(ColumnType));
    EXPECT_EQ("Apps dir.zip .profile Makefile README a.doc x.tar.gz b.TXT notes.txt zeta.txt",
              names());
}

TEST_F(SortFixture, SizeFolderAndModifiedBreakTiesByName) {
    store.append(makeItem("b", "D:\\x", 10));
    store.append(makeItem("C", "C:", 10));
    store.append(makeItem("a", "d:\\X", 0xFFFFFFF0u));
    store.append(makeItem("big", "C:", 0x80000000u, FILE_ATTRIBUTE_ARCHIVE, 2001));
    store.append(makeItem("small", "C:", 1, FILE_ATTRIBUTE_ARCHIVE, 2001));
    history.pushIdentityLevel();
    EXPECT_TRUE(sort(ColumnSize));
    EXPECT_EQ("small b C big a", names()); // sizes are unsigned
    EXPECT_TRUE(sort(ColumnFolder));
    EXPECT_EQ("big C small a b", names());
    EXPECT_TRUE(sort(ColumnModified));
    EXPECT_EQ("big small a b C", names());
}

TEST_F(SortFixture, RefusesEmptyViewsAndUnknownColumns) {
    EXPECT_FALSE(sort(ColumnName));
    EXPECT_EQ(-1, history.currentSortState().column);
    store.append(makeItem("a", "C:", 1));
    EXPECT_FALSE(sort(-1));
    EXPECT_FALSE(sort(5));
    history.pushIdentityLevel();
    int32_t level = history.pushEmptyLevel();
    EXPECT_EQ(2, level);
    EXPECT_FALSE(sort(ColumnName)); // the empty current level
}

TEST_F(SortFixture, ALevelSortedDuringASearchIsSortedAgainNotReversed) {
    for (const char* name : {"d", "b", "a", "c"})
        store.append(makeItem(name, "C:", 1));
    history.pushIdentityLevel();
    int32_t level = history.pushEmptyLevel();
    history.appendToLevel(level, 0);
    history.appendToLevel(level, 1);
    EXPECT_TRUE(sort(ColumnName, true));
    EXPECT_EQ("b d", names());
    // More rows arrive after the sort; the next click sorts the whole level the other way.
    history.appendToLevel(level, 2);
    history.appendToLevel(level, 3);
    EXPECT_TRUE(sort(ColumnName));
    EXPECT_EQ("d c b a", names());
    EXPECT_TRUE(history.currentSortState().descending);
    EXPECT_TRUE(sort(ColumnName)); // now in order: a reversal
    EXPECT_EQ("a b c d", names());
    EXPECT_FALSE(history.currentSortState().descending);
    // A click during a search sorts in full; after a reversal it must still turn the rows round.
    EXPECT_TRUE(sort(ColumnName, true));
    EXPECT_EQ("d c b a", names());
}

TEST_F(SortFixture, EachLevelKeepsItsOwnSortState) {
    for (const char* name : {"d", "b", "a", "c", "e"})
        store.append(makeItem(name, "C:", 1));
    history.pushIdentityLevel();
    int32_t level = history.pushEmptyLevel();
    for (int32_t p : {4, 0, 1})
        history.appendToLevel(level, p);
    EXPECT_TRUE(sort(ColumnName));
    EXPECT_EQ("b d e", names());
    ASSERT_TRUE(history.goBack(false, false));
    EXPECT_EQ("d b a c e", names());
    // Level 1 was never sorted: the click sorts it ascending instead of reversing it.
    EXPECT_TRUE(sort(ColumnName));
    EXPECT_EQ("a b c d e", names());
    ASSERT_TRUE(history.goForward(false, false));
    EXPECT_TRUE(sort(ColumnName));
    EXPECT_EQ("e d b", names());
}

TEST_F(SortFixture, LevelOneTakesOverTheStoreOrderOfASortDuringTheSearch) {
    for (const char* name : {"b", "a"})
        store.append(makeItem(name, "C:", 1));
    EXPECT_TRUE(sort(ColumnName, true));
    store.append(makeItem("0", "C:", 1)); // arrives after the sort
    history.pushIdentityLevel();
    EXPECT_EQ("a b 0", names());
    EXPECT_TRUE(sort(ColumnName)); // sorted again, the other way
    EXPECT_EQ("b a 0", names());
}

TEST_F(SortFixture, LargeRandomViewsComeOutInOrder) {
    std::mt19937 random(7);
    const char letters[] = "aAbBcC._xyz";
    // Long names and extensions and folders that differ in case only, so that ties between the
    // first bytes of texts are common.
    const char* folders[] = {"C:", "\\\\S\\Share\\a", "\\\\s\\SHARE\\A", "\\\\S\\Share\\ab"};
    for (int i = 0; i < 5000; ++i) {
        std::string name;
        for (int k = int(random() % (i % 2 ? 4 : 14)); k >= 0; --k)
            name += letters[random() % 11];
        store.append(makeItem(name, folders[random() % 4], random() % 50,
                              random() % 5 == 0 ? kFolder : 0x20, 2002, 3, 1 + int(random() % 3)));
    }
    for (int32_t column = 0; column <= kHighestColumn; ++column) {
        EXPECT_TRUE(sort(column, true)) << column;
        for (int32_t row = 1; row < view.itemCount(); ++row)
            ASSERT_LE(compareItems(*view.itemAt(row - 1), *view.itemAt(row), column), 0) << column;
    }
    history.pushIdentityLevel();
    std::vector<FoundItem> before;
    for (int32_t row = 0; row < view.itemCount(); ++row)
        before.push_back(*view.itemAt(row));
    for (int32_t column = 0; column <= kHighestColumn; ++column) {
        EXPECT_TRUE(sort(column));
        for (int32_t row = 1; row < view.itemCount(); ++row)
            ASSERT_LE(compareItems(*view.itemAt(row - 1), *view.itemAt(row), column), 0) << column;
        EXPECT_TRUE(sort(column, true)); // descending, by a full sort
        for (int32_t row = 1; row < view.itemCount(); ++row)
            ASSERT_GE(compareItems(*view.itemAt(row - 1), *view.itemAt(row), column), 0) << column;
    }
    // A level sort permutes positions only: the store is untouched.
    for (int32_t p = 0; p < store.count(); ++p) {
        FoundItem item;
        ASSERT_TRUE(store.copyAt(p, item));
        ASSERT_TRUE(item == before[p]);
    }
}

TEST_F(SortFixture, HeaderClickKeepsOnlyTheFirstSelectedItem) {
    addNamesMix();
    history.pushIdentityLevel();
    host.selectRow(1, true); // b
    host.selectRow(2, true); // B.doc
    host.selectRow(4, true); // a.txt
    EXPECT_EQ(0, onColumnClick(view, store, history, ColumnName, false));
    EXPECT_EQ("A b a.txt B.doc c.txt", names());
    EXPECT_EQ("1", host.selectedRows());
    EXPECT_EQ(1, SendMessageA(host.list(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    // Nothing selected: the order changes, nothing gets selected.
    host.selectRow(1, false);
    EXPECT_EQ(0, onColumnClick(view, store, history, ColumnSize, false));
    EXPECT_EQ("", host.selectedRows());
    // An empty view: nothing happens.
    history.clearAll();
    EXPECT_EQ(0, onColumnClick(view, store, history, ColumnName, false));
    EXPECT_EQ(-1, history.currentSortState().column);
}

} // namespace
