// Sorting the current view: the comparator, the sort by precomputed keys, and the header click.
#include "results/ResultSorter.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "results/ResultView.h"
#include "toolkit/WaitCursor.h"

namespace {

unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
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

// The first n bytes of a text, folded, as a big-endian number (zero bytes after its end): two
// texts whose numbers differ compare the same way under compareNoCase; equal numbers decide
// nothing.
uint64_t foldedPrefix(std::string_view text, size_t n, size_t from = 0) {
    uint64_t key = 0;
    for (size_t i = from; i < from + n; ++i)
        key = key << 8 | (i < text.size() ? foldAscii(static_cast<unsigned char>(text[i])) : 0);
    return key;
}

// Ranks of texts under compareNoCase: texts that compare equal share a rank.
template <typename Text> class TextRanks {
public:
    void add(Text text) { texts_.push_back(text); }
    void rank() {
        std::sort(texts_.begin(), texts_.end());
        texts_.erase(std::unique(texts_.begin(), texts_.end()), texts_.end());
        std::vector<Text> order = texts_;
        std::sort(order.begin(), order.end(),
                  [](Text a, Text b) { return compareNoCase(viewOf(a), viewOf(b)) < 0; });
        ranked_.resize(order.size());
        uint32_t rank = 0;
        for (size_t i = 0; i < order.size(); ++i) {
            if (i > 0 && compareNoCase(viewOf(order[i - 1]), viewOf(order[i])) != 0) ++rank;
            ranked_[size_t(std::lower_bound(texts_.begin(), texts_.end(), order[i]) -
                           texts_.begin())] = rank;
        }
    }
    uint32_t of(Text text) const {
        return ranked_[size_t(std::lower_bound(texts_.begin(), texts_.end(), text) -
                              texts_.begin())];
    }

private:
    static std::string_view viewOf(std::string_view text) { return text; }
    static std::string_view viewOf(const PooledText* text) { return text->view(); }
    std::vector<Text> texts_;      // distinct, in their own order
    std::vector<uint32_t> ranked_; // rank of texts_[i]
};

// One row to sort: a number that orders rows as the comparator does wherever the numbers differ,
// and the row's store position.
struct SortRecord {
    uint64_t key;
    int32_t position;
};

// Sorts the positions of one group (all folders or all files) of a view in a column's order and
// writes them back in place. storeLock held.
void sortGroup(GrowableArray<StoredItem>& items, int32_t* positions, size_t n, int32_t column,
               bool descending) {
    if (n < 2) return;
    std::vector<SortRecord> records(n);
    const bool folders = items[positions[0]].isFolder();
    TextRanks<const PooledText*> folderRanks;
    TextRanks<std::string_view> extensionRanks;
    const bool byExtension = column == ColumnType && !folders;
    if (column == ColumnFolder) {
        for (size_t i = 0; i < n; ++i)
            folderRanks.add(items[positions[i]].folder);
        folderRanks.rank();
    } else if (byExtension) {
        for (size_t i = 0; i < n; ++i)
            extensionRanks.add(extensionOf(items[positions[i]].nameView()));
        extensionRanks.rank();
    }
    for (size_t i = 0; i < n; ++i) {
        const StoredItem& item = items[positions[i]];
        std::string_view name = item.nameView();
        uint64_t key = 0;
        switch (column) {
        case ColumnFolder:
            key = uint64_t(folderRanks.of(item.folder)) << 32 | foldedPrefix(name, 4);
            break;
        case ColumnSize: key = uint64_t(item.size) << 32 | foldedPrefix(name, 4); break;
        case ColumnType:
            key = byExtension
                      ? uint64_t(extensionRanks.of(extensionOf(name))) << 32 | foldedPrefix(name, 4)
                      : foldedPrefix(name, 8);
            break;
        case ColumnModified:
            key = uint64_t(item.lastWriteTime.dwHighDateTime) << 32 |
                  item.lastWriteTime.dwLowDateTime;
            break;
        default: key = foldedPrefix(name, 8); break;
        }
        records[i] = SortRecord{key, positions[i]};
    }
    auto byKey = [descending](const SortRecord& a, const SortRecord& b) {
        return descending ? a.key > b.key : a.key < b.key;
    };
    std::sort(records.begin(), records.end(), byKey);
    // Rows whose keys tie agree in the column and in the first nameBytes of the name: they are
    // put in order by the next eight bytes of the name, and so on; a run still tied when its
    // names are used up (they may differ only in length) goes to the comparator itself.
    const size_t nameBytes = column == ColumnName || (column == ColumnType && !byExtension) ? 8
                             : column == ColumnModified                                     ? 0
                                                                                            : 4;
    struct Run {
        size_t begin, end, offset;
    };
    std::vector<Run> runs;
    auto queueTies = [&records, &runs](size_t begin, size_t end, size_t offset) {
        for (size_t i = begin; i < end;) {
            size_t j = i + 1;
            while (j < end && records[j].key == records[i].key)
                ++j;
            if (j - i > 1) runs.push_back(Run{i, j, offset});
            i = j;
        }
    };
    queueTies(0, n, nameBytes);
    while (!runs.empty()) {
        Run run = runs.back();
        runs.pop_back();
        size_t longest = 0;
        for (size_t i = run.begin; i < run.end; ++i)
            longest = std::max(longest, size_t(items[records[i].position].name->length));
        auto first = records.begin() + ptrdiff_t(run.begin);
        auto last = records.begin() + ptrdiff_t(run.end);
        if (run.offset >= longest) {
            std::sort(first, last,
                      [&items, column, descending](const SortRecord& a, const SortRecord& b) {
                          int r = compareAny(items[a.position], items[b.position], column);
                          return descending ? r > 0 : r < 0;
                      });
            continue;
        }
        for (auto r = first; r != last; ++r)
            r->key = foldedPrefix(items[r->position].nameView(), 8, run.offset);
        std::sort(first, last, byKey);
        queueTies(run.begin, run.end, run.offset + 8);
    }
    for (size_t i = 0; i < n; ++i)
        positions[i] = records[i].position;
}

// Sorts a view's positions: folders and files apart (folders first when ascending), each group by
// the column. storeLock held.
void sortPositions(GrowableArray<StoredItem>& items, int32_t* positions, size_t n, int32_t column,
                   bool descending) {
    int32_t* filesBegin = std::stable_partition(
        positions, positions + n, [&items](int32_t p) { return items[p].isFolder(); });
    size_t folders = size_t(filesBegin - positions);
    sortGroup(items, positions, folders, column, descending);
    sortGroup(items, filesBegin, n - folders, column, descending);
    // Descending order puts the files first.
    if (descending) std::rotate(positions, filesBegin, positions + n);
}

// Puts the store's items into the order of positions (positions[i] is the item that belongs at
// i), following each cycle of the permutation once. Uses positions up. storeLock held.
void permuteStore(GrowableArray<StoredItem>& items, int32_t* positions, int32_t n) {
    for (int32_t start = 0; start < n; ++start) {
        if (positions[start] == start) continue;
        StoredItem first = items[start];
        int32_t at = start;
        while (positions[at] != start) {
            int32_t from = positions[at];
            items[at] = items[from];
            positions[at] = at;
            at = from;
        }
        items[at] = first;
        positions[at] = at;
    }
}

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
    // Under storeLock throughout: at level 0 an append would move the storage (appends wait and
    // land after the sorted part); a level is sorted only while no plain search fills the store.
    LockHolder hold(store.storeLock());
    GrowableArray<StoredItem>& items = store.unlocked();
    if (level) {
        // Entries pointing outside the store (never expected) go last, in any order.
        int32_t* entries = level->entries.begin();
        int32_t* outside = std::partition(entries, level->entries.end(),
                                          [&items](int32_t p) { return items.at(p) != nullptr; });
        sortPositions(items, entries, size_t(outside - entries), column, state.descending);
        return true;
    }
    const int32_t n = items.count();
    std::vector<int32_t> positions(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        positions[size_t(i)] = i;
    sortPositions(items, positions.data(), positions.size(), column, state.descending);
    permuteStore(items, positions.data(), n);
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
