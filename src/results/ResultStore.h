// The store of every found item (the ResultSet), and setting the result list's row count.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "engine/LockedArray.h"
#include "results/FoundItem.h"
#include "results/ResultListCtrl.h"

// Sets the row count of an owner-data list with one synchronous LVM_SETITEMCOUNT, so that the
// list's own thread performs it. For the list's own thread (explicit clears, navigation, a load);
// search threads never call it. Does nothing when list is null.
void setListRowCount(HWND list, int32_t count, DWORD flags);

// Flags for announcing rows added at the end: keep the scroll position, repaint only what changed.
constexpr DWORD kAppendCountFlags = LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL;

// Every hit of the last plain search (or every record of a loaded result file) in the order
// appended. A position identifies an item until the store is cleared or sorted while no level
// exists. Items are copied out: the storage moves when a worker appends. Appending tells no one:
// the list that shows the store follows its count (it is a RowSource).
class ResultSet : public RowSource {
public:
    static constexpr int32_t kGrowthStep = 16383;

    ResultSet() : items_(kGrowthStep) {}
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // The list that shows the store (may be null), for callers on the list's thread that set its
    // count themselves (a load). Set from the interface thread.
    void attachList(HWND list) { list_ = list; }
    HWND list() const { return list_; }

    // Any thread: takes storeLock, appends a copy, releases it and returns the new position. It
    // sends no message, so a search thread never waits for the window.
    int32_t append(const FoundItem& item) { return items_.append(item); }

    int32_t count() { return items_.count(); }
    int32_t rowsToShow() override { return count(); }
    // Copies the item at pos; false when pos is out of range.
    bool copyAt(int32_t pos, FoundItem& out) { return items_.copyAt(pos, out); }
    // Empties the store and releases its storage. Does not touch the list.
    void clear() { items_.clear(); }

    // Guards the array: hold it around several reads that must see one state, and around any use
    // of unlocked(). Re-entrant.
    ReentrantLock& storeLock() { return items_.lock(); }
    GrowableArray<FoundItem>& unlocked() { return items_.unlocked(); }

private:
    LockedArray<FoundItem> items_;
    HWND list_ = nullptr;
};
