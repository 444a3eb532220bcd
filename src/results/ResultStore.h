// The store of every found item (the ResultSet) and the row-count announcement to the result list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "engine/LockedArray.h"
#include "results/FoundItem.h"

// Sets the row count of an owner-data list with one synchronous LVM_SETITEMCOUNT, so that the
// list's own thread performs it. No lock may be held by the caller: the list's thread may be
// waiting for that lock. Does nothing when list is null.
void setListRowCount(HWND list, int32_t count, DWORD flags);

// Flags for announcing rows added at the end: keep the scroll position, repaint only what changed.
constexpr DWORD kAppendCountFlags = LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL;

// Every hit of the last plain search (or every record of a loaded result file) in the order
// appended. A position identifies an item until the store is cleared or sorted while no level
// exists. Items are copied out: the storage moves when a worker appends.
class ResultSet {
public:
    static constexpr int32_t kGrowthStep = 16383;

    ResultSet() : items_(kGrowthStep) {}
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // The list whose row count follows the appends (may be null). Set once from the interface
    // thread before any worker runs.
    void attachList(HWND list) { list_ = list; }
    HWND list() const { return list_; }

    // Any thread: takes storeLock, appends a copy, releases it, then sets the attached list's row
    // count to position + 1 (kAppendCountFlags) with no lock held. Returns the new position.
    // The caller must not hold storeLock (or any lock the interface thread waits for).
    int32_t append(const FoundItem& item);
    // Same without telling the list (for bulk fills that announce the count themselves).
    int32_t appendQuietly(const FoundItem& item) { return items_.append(item); }

    int32_t count() { return items_.count(); }
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
