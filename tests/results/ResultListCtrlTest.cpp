// The result list's deferred row counts: recorded, applied by the timer or before any other
// list-view message, lowered counts applied at once.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/ResultTestHost.h"

namespace {

void setCount(HWND list, int32_t count, DWORD flags = LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL) {
    SendMessageA(list, LVM_SETITEMCOUNT, WPARAM(count), LPARAM(flags));
}

TEST(ResultListCtrlTest, ARaisedCountWaitsUntilTheListIsAskedOrTheTimerFires) {
    ResultTestHost& host = ResultTestHost::shared();
    ResultListCtrl& ctrl = host.listCtrl();
    setCount(host.list(), 5);
    setCount(host.list(), 9);
    EXPECT_TRUE(ctrl.hasPendingCount());
    EXPECT_EQ(9, host.listCount()); // any list message applies the newest count first
    EXPECT_FALSE(ctrl.hasPendingCount());

    setCount(host.list(), 12);
    EXPECT_TRUE(ctrl.hasPendingCount());
    // The timer applies it without anyone asking (no bound on when: the machine is shared).
    for (int i = 0; i < 1000 && ctrl.hasPendingCount(); ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        pumpMessages();
    }
    EXPECT_FALSE(ctrl.hasPendingCount());
    EXPECT_EQ(12, host.listCount());
}

TEST(ResultListCtrlTest, ALoweredCountIsAppliedAtOnceAndDropsTheSelection) {
    ResultTestHost& host = ResultTestHost::shared();
    setCount(host.list(), 10);
    host.selectRow(3, true);
    host.selectRow(7, true);
    EXPECT_EQ("3,7", host.selectedRows());
    setCount(host.list(), 0, LVSICF_NOINVALIDATEALL);
    setCount(host.list(), 10, LVSICF_NOINVALIDATEALL);
    EXPECT_EQ("", host.selectedRows());
    EXPECT_EQ(10, host.listCount());
    // Shrinking keeps the selection below the new end only.
    host.selectRow(2, true);
    host.selectRow(8, true);
    setCount(host.list(), 12);
    setCount(host.list(), 5);
    EXPECT_EQ("2", host.selectedRows());
    EXPECT_EQ(5, host.listCount());
}

TEST(ResultListCtrlTest, ManyAnnouncementsFromAnotherThreadEndWithTheExactCount) {
    ResultTestHost& host = ResultTestHost::shared();
    constexpr int kAnnouncements = 5000;
    std::atomic<bool> done{false};
    HWND list = host.list();
    std::thread worker([&] {
        for (int i = 1; i <= kAnnouncements; ++i)
            setCount(list, i);
        done = true;
    });
    ASSERT_TRUE(pumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(kAnnouncements, host.listCount());
    // Rows at the end are real rows of the list.
    EXPECT_TRUE(SendMessageA(list, LVM_ENSUREVISIBLE, kAnnouncements - 1, FALSE));
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    EXPECT_TRUE(SendMessageA(list, LVM_GETITEMRECT, kAnnouncements - 1, LPARAM(&rect)));
}

TEST(ResultListCtrlTest, SubclassesOnlyOnceAndLetsGo) {
    ResultTestHost& host = ResultTestHost::shared();
    ResultListCtrl second;
    EXPECT_FALSE(second.subclass(host.list())); // already the shared host's
    EXPECT_FALSE(second.subclass(nullptr));
    RECT rect{0, 0, 100, 100};
    HWND own = second.create(host.window(), 1234, rect);
    ASSERT_NE(nullptr, own);
    setCount(own, 3);
    EXPECT_TRUE(second.hasPendingCount());
    second.release(); // applies what was recorded and gives the window back
    EXPECT_EQ(nullptr, second.hwnd());
    EXPECT_EQ(3, SendMessageA(own, LVM_GETITEMCOUNT, 0, 0));
    setCount(own, 4);
    EXPECT_EQ(4, SendMessageA(own, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_TRUE(second.subclass(own));
    DestroyWindow(own); // the control notices and detaches
    EXPECT_EQ(nullptr, second.hwnd());
}

} // namespace

namespace {

// A search fills the view from other threads and tells no one: the list follows the view's count,
// never shows the rows of a level being replaced, and never goes down except when cleared.
TEST(ResultListCtrlTest, FollowsTheViewBeingFilledWithoutAnyMessage) {
    AttachedResults results;
    ResultTestHost& host = results.host;
    results.view.watchRows(true);
    constexpr int kHits = 3000;
    std::vector<std::thread> workers;
    for (int w = 0; w < 3; ++w)
        workers.emplace_back([&results, w] {
            for (int i = 0; i < kHits / 3; ++i)
                results.store.append(
                    makeItem("f" + std::to_string(i), "\\\\S\\w" + std::to_string(w), 1));
        });
    for (std::thread& worker : workers)
        worker.join();
    pumpMessages();
    EXPECT_EQ(kHits, host.listCount());
    results.history.pushIdentityLevel();

    // A refinement about to replace level 1: the list keeps the cleared count until the new
    // level exists, then follows that level only.
    results.history.holdRows();
    setCount(host.list(), 0, LVSICF_NOINVALIDATEALL);
    EXPECT_EQ(0, host.listCount());
    const int32_t level = results.history.pushEmptyLevel();
    EXPECT_EQ(0, host.listCount());
    std::thread refine([&] {
        for (int32_t p = 0; p < kHits; p += 2)
            results.history.appendToLevel(level, p);
    });
    refine.join();
    results.view.watchRows(false);
    EXPECT_EQ(kHits / 2, host.listCount());
    // Going back lowers the count explicitly; the list then shows level 1 again.
    EXPECT_TRUE(results.history.goBack(false, false));
    EXPECT_EQ(kHits, host.listCount());
}

} // namespace
