// The store of every found item (the ResultSet), and setting the result list's row count.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "toolkit/LockedArray.h"
#include "results/FoundItem.h"
#include "results/ResultListCtrl.h"
#include "results/TextPool.h"

// Sets the row count of an owner-data list with one synchronous LVM_SETITEMCOUNT, so that the
// list's own thread performs it. For the list's own thread (explicit clears, navigation, a load);
// search threads never call it. Does nothing when list is null.
void setListRowCount(HWND list, int32_t count, DWORD flags);

// Flags for announcing rows added at the end: keep the scroll position, repaint only what changed.
constexpr DWORD kAppendCountFlags = LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL;

// An item as the store keeps it: 40 bytes, the texts in the store's pools. Every item of a folder
// points at the same folder text. Valid only while storeLock is held (the array moves when it
// grows; the texts stay until the store is cleared).
struct StoredItem {
    FILETIME creationTime;
    FILETIME lastAccessTime;
    FILETIME lastWriteTime;
    uint32_t size;
    uint32_t attributes;
    const PooledText* name;
    const PooledText* folder;

    bool isFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    std::string_view nameView() const { return name->view(); }
    std::string_view folderView() const { return folder->view(); }
    // A copy with texts of its own.
    FoundItem toFoundItem() const;
};

// Every hit of the last plain search (or every record of a loaded result file) in the order
// appended. A position identifies an item until the store is cleared or sorted while no level
// exists. Items are copied out: the storage moves when a worker appends. Appending tells no one:
// the list that shows the store follows its count (it is a RowSource).
//
// Texts cost no heap block of their own: names go back to back into a pool, and each distinct
// folder text is kept once, shared by all its items. The store owns both and frees them with the
// items.
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
    // sends no message, so a search thread never waits for the window, and it allocates only when
    // a pool block or the array fills up or a folder is new. May throw std::bad_alloc.
    int32_t append(const FoundItemRef& item);
    int32_t append(const FoundItem& item) { return append(FoundItemRef(item)); }
    // Makes room for n items in all (only ever grows); for a load that knows its count.
    void reserve(int32_t n);

    int32_t count() { return items_.count(); }
    int32_t rowsToShow() override { return count(); }
    // Copies the item at pos; false when pos is out of range.
    bool copyAt(int32_t pos, FoundItem& out);
    // Empties the store and releases its storage and texts. Does not touch the list.
    void clear();

    // Guards the array and the texts: hold it around several reads that must see one state, and
    // around any use of unlocked() or of a StoredItem. Re-entrant.
    ReentrantLock& storeLock() { return items_.lock(); }
    GrowableArray<StoredItem>& unlocked() { return items_.unlocked(); }

private:
    // The shared copy of a folder text (storeLock held).
    const PooledText* folderText(std::string_view folder);

    LockedArray<StoredItem> items_;
    TextPool names_;
    TextPool folders_;
    std::unordered_map<std::string_view, const PooledText*> folderIndex_; // views into folders_
    const PooledText* lastFolder_ = nullptr; // hits come in runs of one folder
    HWND list_ = nullptr;
};
