// The rows on screen: the current view over the ResultSet and the history, its cell texts, icons,
// selection summary and the result list's notifications that concern rows and selection.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/FoundItem.h"
#include "results/ResultHistory.h"
#include "results/ResultStore.h"
#include "toolkit/Prefetch.h"

// Columns of the result list.
enum ResultColumn : int32_t {
    ColumnName = 0,
    ColumnFolder = 1,
    ColumnSize = 2,
    ColumnType = 3,
    ColumnModified = 4,
};
constexpr int32_t kHighestColumn = ColumnModified;

// --- texts shared with the export (no window needed) ---

// Size column: "" for a folder, "0 KB" for 0 bytes, else whole KiB plus one ("%d KB").
std::string sizeText(const FoundItem& item);
// Modified column: lastWriteTime in local time as "%m/%d/%Y %I:%M %p"; "" when the local time is
// before 1970, past the 32-bit seconds limit in 2038, or cannot be converted.
std::string modifiedText(const FILETIME& lastWriteTime);
// In Folder column: the folder, with a backslash added after a drive root ("C:" shows "C:\").
std::string folderText(const FoundItem& item);
// The shell's type name from the name and attributes alone (the file is never touched); when the
// shell gives none, the extension upper-cased + " File" (".profile" gives "PROFILE File"), or
// "File" when the last dot is not after the last backslash.
std::string typeNameFor(const std::string& path, uint32_t attributes);
// The type name used when the shell gives none (see typeNameFor).
std::string fallbackTypeName(const std::string& path);
// Type column: "File Folder" for a folder, else typeNameFor of the full path. The shell derives
// the name from the extension and the attributes alone, so the answer for each distinct
// extension (the name's text from its last dot, or none) is kept and reused: the list's Type
// column and the export ask the shell once per extension. Any thread.
std::string typeText(const FoundItem& item);
// The same for an item's parts; the text stays valid for the life of the process.
std::string_view typeTextOf(std::string_view folder, std::string_view name, uint32_t attributes);
// Modified column text into buffer (at least 32 bytes); returns its length (0 when empty).
size_t formatModified(const FILETIME& lastWriteTime, char* buffer);
// The text of one column of an item, as the list shows it ("" for an unknown column).
std::string cellTextOf(const FoundItem& item, int32_t column);
// Index in the system small-icon list for a path and attributes (0 when the shell gives none).
int32_t iconIndexFor(const std::string& path, uint32_t attributes);
// The selection summary from the selected items' count, size total and whether any is a file.
// total is the 64-bit sum of the sizes.
std::string summaryText(int32_t count, uint64_t totalBytes, bool anyFile);

// The current view. Owned by the search engine next to the store and the history; all members
// are for the interface thread unless noted.
class ResultView {
public:
    ResultView(ResultSet& store, ResultHistory& history);
    ~ResultView();
    ResultView(const ResultView&) = delete;
    ResultView& operator=(const ResultView&) = delete;

    // Connects the list (report view, owner data) and the status bar: creates the five columns,
    // sets full-row selection, attaches the shell's small-icon list and hands the list to the
    // store and the history. When the list is a ResultListCtrl it follows the history's rows
    // (the current view); another list learns its count only from explicit calls. Either may be
    // null in tests.
    void attach(HWND list, HWND statusBar);
    // Takes the icon list off the list again (the shell's list is never destroyed) and ends the
    // following.
    void detach();
    // While on (a search fills the view), the list catches up with the view every 50 ms; turning
    // it off catches up once more. Interface thread.
    void watchRows(bool on);
    HWND list() const { return list_; }
    HWND statusBar() const { return statusBar_; }
    HIMAGELIST smallIcons() const { return smallIcons_; }

    // Shows the current view afresh after a wholesale change (clearing, a load): the list's row
    // count set to itemCount with LVSICF_NOINVALIDATEALL only, and the whole list invalidated.
    void refreshList();

    // Rows of the current view.
    int32_t itemCount();
    // Calls visit(row, item) for rows first, first+1, ... below end, at most kRowBlock of them,
    // in order; item is null for a row without one. The block's positions are read under
    // levelsLock, then its items under storeLock, which is held during the calls: visit only
    // reads the item (valid during the call) and sends no message. Returns the rows visited, so
    // a caller writes what it made between blocks with no lock held. Interface thread.
    static constexpr int32_t kRowBlock = 4096;
    template <typename Visit> int32_t visitRowBlock(int32_t first, int32_t end, Visit&& visit) {
        int32_t count = end - first < kRowBlock ? end - first : kRowBlock;
        if (count <= 0) return 0;
        int32_t positions[kRowBlock];
        history_.positionsOfRows(first, count, positions);
        LockHolder hold(store_.storeLock());
        GrowableArray<StoredItem>& items = store_.unlocked();
        // A sorted view visits the store in no particular order: what a row needs is fetched a
        // few rows ahead, in stages, each needing what the one before fetched: the item, then
        // the starts of its texts, then their ends (a text may cross into the next cache line).
        constexpr int32_t kAhead = 4;
        for (int32_t i = 0; i < count; ++i) {
            if (i + 3 * kAhead < count)
                if (const StoredItem* later = items.at(positions[i + 3 * kAhead]))
                    toolkit::prefetchLine(later);
            if (i + 2 * kAhead < count)
                if (const StoredItem* soon = items.at(positions[i + 2 * kAhead])) {
                    toolkit::prefetchLine(soon->name);
                    toolkit::prefetchLine(soon->folder);
                }
            if (i + kAhead < count)
                if (const StoredItem* next = items.at(positions[i + kAhead])) {
                    toolkit::prefetchLine(next->name->data() + next->name->length);
                    toolkit::prefetchLine(next->folder->data() + next->folder->length);
                }
            visit(first + i, static_cast<const StoredItem*>(items.at(positions[i])));
        }
        return count;
    }
    // A copy of a row's item; none when the row is out of range or its entry points outside the
    // store. Any thread.
    std::optional<FoundItem> itemAt(int32_t row);
    // Display text of a cell; "" when the row has no item or the column is unknown.
    std::string cellText(int32_t row, int32_t column);
    // First row whose item equals the given one, or -1.
    int32_t indexOfItem(const FoundItem& item);
    // (The paths the actions hand on are built from checked items only: actions/ItemPaths.h.)

    // The list's first selected row, or -1.
    int32_t firstSelectedRow();
    // Scrolls a row fully into view and makes it the only selected row, with the focus.
    void selectOnlyRow(int32_t row);

    // The first status pane's text for the list's selection.
    std::string selectionSummary();
    // Writes the summary to status pane 0 and returns the list's selected count.
    int32_t showSelectionSummary();

    // LVN_GETDISPINFOA: fills text (cut to cchTextMax, terminator included) and the icon of
    // column 0; leaves the request alone when the row has no item. The result is 0.
    LRESULT onGetDispInfo(NMLVDISPINFOA* info);
    // LVN_ITEMCHANGED: during an inversion nothing (none); otherwise the summary is shown and the
    // selected count returned, for the dialog's selectedCount.
    std::optional<int32_t> onItemChanged();
    // NM_SETFOCUS / NM_KILLFOCUS: removes the dialog's default button while the list has the
    // focus and rows (so Enter is not Search Now), restores defaultButton on leaving.
    void onFocusChange(HWND dialog, bool gained, int defaultButton);

    // Select All / Invert Selection; each shows the summary once and returns the selected count.
    int32_t selectAll();
    int32_t invertSelection();
    bool inverting() const { return inverting_; }

private:
    // Calls visit for the item of each selected row in list order, taking at most as many steps
    // as the list reports selected rows and skipping rows without an item. Returns that count.
    int32_t visitSelectedItems(const std::function<void(const FoundItem&)>& visit);

    ResultSet& store_;
    ResultHistory& history_;
    HWND list_ = nullptr;
    HWND statusBar_ = nullptr;
    HIMAGELIST smallIcons_ = nullptr;
    bool inverting_ = false;
};
