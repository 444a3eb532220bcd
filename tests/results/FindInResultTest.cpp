// Checks find in result: matching by name only, case-insensitively, within the asked rows of the
// current view, and the incremental search's wrap to the top.
#include <gtest/gtest.h>

#include "results/FindInResult.h"
#include "results/ResultHistory.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"
#include "ResultFileTestHelpers.h"

namespace {

class FindInResultTest : public testing::Test {
protected:
    ResultSet store;
    ResultHistory history{store};
    ResultView view{store, history};

    void add(std::initializer_list<const char*> names) {
        for (const char* name : names)
            store.append(rawItem(name, "\\\\SRV\\Music", 10));
    }
};

} // namespace

TEST_F(FindInResultTest, WholeNameMatchesCaseInsensitively) {
    add({"play.mp3.bak", "Playlist.txt", "Play List.MP3", "play.mp3"});
    EXPECT_EQ(findRows(view, "play*.mp3", 0, -1), 2);
    EXPECT_EQ(findRows(view, "play*.mp3", 3, -1), 3);
    EXPECT_EQ(findRows(view, "PLAY.MP3", -5, -1), 3);
    EXPECT_EQ(findRows(view, "*.bak", 1, -1), -1);
    EXPECT_EQ(findRows(view, "*.*", 0, -1), 0);
    EXPECT_EQ(findRows(view, "*.", 0, -1), -1);
    // The folder is not part of what is matched.
    EXPECT_EQ(findRows(view, "*music*", 0, -1), -1);
}

TEST_F(FindInResultTest, RowRangeIsClippedToTheView) {
    add({"a.txt", "b.txt", "a.txt"});
    EXPECT_EQ(findRows(view, "a.txt", 1, -1), 2);
    EXPECT_EQ(findRows(view, "a.txt", 1, 2), -1);  // last is excluded
    EXPECT_EQ(findRows(view, "a.txt", 1, 99), 2);  // beyond the count means the count
    EXPECT_EQ(findRows(view, "a.txt", 3, -1), -1); // start at the end
    EXPECT_EQ(findRows(view, "a.txt", 2, 1), -1);
    ResultSet empty;
    ResultHistory emptyHistory(empty);
    ResultView emptyView(empty, emptyHistory);
    EXPECT_EQ(findRows(emptyView, "*", 0, -1), -1);
}

TEST_F(FindInResultTest, SearchesTheCurrentLevelInItsOrder) {
    add({"rep1.doc", "other.doc", "rep2.doc", "rep3.doc"});
    history.pushIdentityLevel();
    history.truncateAfterCurrent();
    int32_t level = history.pushEmptyLevel();
    history.appendToLevel(level, 3); // row 0 shows rep3
    history.appendToLevel(level, 1); // row 1 shows other
    EXPECT_EQ(findRows(view, "rep*", 0, -1), 0);
    EXPECT_EQ(findRows(view, "rep*", 1, -1), -1);
    EXPECT_EQ(findRows(view, "other.doc", 0, -1), 1);
}

TEST_F(FindInResultTest, TypedPrefixGoesOnFromTheStartRowAndWrapsToTheTop) {
    add({"Report.doc", "notes.txt", "REPLY.msg", "readme"});
    EXPECT_EQ(findTypedPrefix(view, "rep", 0), 0);
    EXPECT_EQ(findTypedPrefix(view, "rep", 1), 2);
    EXPECT_EQ(findTypedPrefix(view, "rep", 3), 0); // wraps
    EXPECT_EQ(findTypedPrefix(view, "note", 2), 1);
    EXPECT_EQ(findTypedPrefix(view, "zz", 2), -1);
    EXPECT_EQ(findTypedPrefix(view, "readme", 3), 3);
}
