// Sorting the current view: the comparators, the in-place quicksort, and the header click.
#include "results/ResultSorter.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "results/ResultView.h"
#include "toolkit/WaitCursor.h"

namespace {

unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

// Sorts a[0..n) in place; cmp(x, y) < 0 when x belongs before y. Recurses into the smaller side
// only, so the stack stays logarithmic; equal keys stop both scans, so runs of equal rows split
// evenly instead of degrading.
template <typename T, typename Compare> void quickSort(T* a, int32_t n, Compare& cmp) {
    using std::swap;
    int32_t lo = 0, hi = n - 1;
    while (hi - lo > 16) {
        int32_t mid = lo + (hi - lo) / 2;
        if (cmp(a[mid], a[lo]) < 0) swap(a[mid], a[lo]);
        if (cmp(a[hi], a[lo]) < 0) swap(a[hi], a[lo]);
        if (cmp(a[hi], a[mid]) < 0) swap(a[hi], a[mid]);
        // a[lo] <= pivot <= a[hi] serve as sentinels for the two scans.
        int32_t p = hi - 1;
        swap(a[mid], a[p]);
        int32_t i = lo, j = p;
        for (;;) {
            while (cmp(a[++i], a[p]) < 0) {
            }
            while (cmp(a[p], a[--j]) < 0) {
            }
            if (i >= j) break;
            swap(a[i], a[j]);
        }
        swap(a[i], a[p]);
        if (i - lo < hi - i) {
            quickSort(a + lo, i - lo, cmp);
            lo = i + 1;
        } else {
            quickSort(a + i + 1, hi - i, cmp);
            hi = i - 1;
        }
    }
    for (int32_t i = lo + 1; i <= hi; ++i)
        for (int32_t j = i; j > lo && cmp(a[j], a[j - 1]) < 0; --j)
            swap(a[j], a[j - 1]);
}

std::string_view nameOf(const FoundItem& item) {
    return item.name;
}
std::string_view nameOf(const StoredItem& item) {
    return item.nameView();
}
std::string_view folderOf(const FoundItem& item) {
    return item.folder;
}
std::string_view folderOf(const StoredItem& item) {
    return item.folderView();
}

std::string_view extensionOf(std::string_view name) {
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {};
    return name.substr(dot + 1);
}

// The ascending comparator, for the items a caller holds and for those in the store alike.
template <typename Item> int compareAny(const Item& a, const Item& b, int32_t column) {
    bool folderA = a.isFolder(), folderB = b.isFolder();
    if (folderA != folderB) return folderA ? -1 : 1;
    int r = 0;
    switch (column) {
    case ColumnName: return compareNoCase(nameOf(a), nameOf(b));
    case ColumnFolder: r = compareNoCase(folderOf(a), folderOf(b)); break;
    case ColumnSize: r = a.size == b.size ? 0 : (a.size < b.size ? -1 : 1); break;
    case ColumnType:
        if (!folderA) r = compareNoCase(extensionOf(nameOf(a)), extensionOf(nameOf(b)));
        break;
    case ColumnModified: r = CompareFileTime(&a.lastWriteTime, &b.lastWriteTime); break;
    default: break;
    }
    return r != 0 ? r : compareNoCase(nameOf(a), nameOf(b));
}

// Compares store items in a column's order, negated for a descending sort.
struct ItemOrder {
    int32_t column;
    bool descending;
    int operator()(const StoredItem& a, const StoredItem& b) const {
        int r = compareAny(a, b, column);
        return descending ? -r : r;
    }
};

// Compares level entries by the store items they point at, each fetch under storeLock. An entry
// outside the store (never expected) goes last.
struct PositionOrder {
    ResultSet& store;
    ItemOrder order;
    int operator()(int32_t a, int32_t b) {
        LockHolder hold(store.storeLock());
        const StoredItem* x = store.unlocked().at(a);
        const StoredItem* y = store.unlocked().at(b);
        if (!x || !y) return (x ? -1 : 0) + (y ? 1 : 0);
        return order(*x, *y);
    }
};

} // namespace

int compareNoCase(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = foldAscii(static_cast<unsigned char>(a[i]));
        unsigned char y = foldAscii(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string sortExtension(const std::string& name) {
    return std::string(extensionOf(name));
}

int compareItems(const FoundItem& a, const FoundItem& b, int32_t column) {
    return compareAny(a, b, column);
}

bool sortByColumn(ResultSet& store, ResultHistory& history, int32_t column, bool searchRunning) {
    if (column < 0 || column > kHighestColumn) return false;
    if (history.rowCount() <= 0) return false;
    toolkit::WaitCursor wait;
    LockHolder view(history.viewLock());
    // Read under viewLock: a refinement cannot add entries or switch levels meanwhile.
    ResultLevel* level = history.currentLevelObject();
    SortState& state = history.currentSortState();
    if (column != state.column) {
        state.column = column;
        state.descending = false;
    } else if (level && !searchRunning && !state.sortedWhileSearching) {
        // The level is still in this column's order: one pass of swaps gives the other direction.
        // descending keeps describing the order on screen, so a later full sort (a click during a
        // search) still turns the rows round.
        std::reverse(level->entries.begin(), level->entries.end());
        state.descending = !state.descending;
        return true;
    } else {
        state.descending = !state.descending;
    }
    state.sortedWhileSearching = searchRunning;
    if (level) {
        PositionOrder order{store, ItemOrder{column, state.descending}};
        quickSort(level->entries.begin(), level->entries.count(), order);
        return true;
    }
    // The store itself, under storeLock throughout: an append would move the storage. Appends
    // wait and land after the sorted part.
    LockHolder hold(store.storeLock());
    ItemOrder order{column, state.descending};
    quickSort(store.unlocked().begin(), store.unlocked().count(), order);
    return true;
}

LRESULT onColumnClick(ResultView& view, ResultSet& store, ResultHistory& history, int32_t column,
                      bool searchRunning) {
    int32_t first = view.firstSelectedRow();
    std::optional<FoundItem> remembered = first >= 0 ? view.itemAt(first) : std::nullopt;
    if (!sortByColumn(store, history, column, searchRunning)) return 0;
    HWND list = view.list();
    if (!list) return 0;
    InvalidateRect(list, nullptr, TRUE);
    int32_t row = remembered ? view.indexOfItem(*remembered) : -1;
    if (row >= 0)
        view.selectOnlyRow(row);
    else
        SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
    return 0;
}
