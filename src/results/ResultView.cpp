// The current view's rows, cell texts, icons, selection summary and selection commands.
#include "results/ResultView.h"
#include "toolkit/AnsiChars.h"
#include "toolkit/Dpi.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>

namespace {

struct ColumnSetup {
    const char* title;
    int format;
    int width;
};
// Widths in pixels at 96 DPI; the list scales them to its screen.
constexpr ColumnSetup kColumns[] = {
    {"Name", LVCFMT_LEFT, 120}, {"In Folder", LVCFMT_LEFT, 260}, {"Size", LVCFMT_RIGHT, 50},
    {"Type", LVCFMT_LEFT, 120}, {"Modified", LVCFMT_LEFT, 100},
};

// Days from 1970-01-01 to a proleptic Gregorian date.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// Upper case in the system code page, as the shell would show it.
std::string upperAnsi(std::string s) {
    if (!s.empty()) CharUpperBuffA(s.data(), DWORD(s.size()));
    return s;
}

// The program's own list class behind a window, or null.
ResultListCtrl* listCtrlOf(HWND list) {
    if (!list || !IsWindow(list)) return nullptr;
    return dynamic_cast<ResultListCtrl*>(toolkit::Window::fromHandle(list));
}

int32_t selectedRowCount(HWND list) {
    return list ? int32_t(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

int32_t nextSelectedRow(HWND list, int32_t after) {
    return int32_t(
        SendMessageA(list, LVM_GETNEXTITEM, WPARAM(after), MAKELPARAM(LVNI_SELECTED, 0)));
}

void setRowState(HWND list, int32_t row, UINT state, UINT mask) {
    LVITEMA item{};
    item.stateMask = mask;
    item.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&item));
}

} // namespace

std::string sizeText(const FoundItem& item) {
    if (item.isFolder()) return "";
    if (item.size == 0) return "0 KB";
    char text[32];
    snprintf(text, sizeof text, "%d KB", int((item.size >> 10) + 1));
    return text;
}

size_t formatModified(const FILETIME& lastWriteTime, char* buffer) {
    FILETIME local;
    SYSTEMTIME t;
    buffer[0] = '\0';
    if (!FileTimeToLocalFileTime(&lastWriteTime, &local) || !FileTimeToSystemTime(&local, &t))
        return 0;
    // The calendar value must fit signed 32-bit seconds counted from 1970.
    int64_t seconds = daysFromCivil(t.wYear, t.wMonth, t.wDay) * 86400 + t.wHour * 3600 +
                      t.wMinute * 60 + t.wSecond;
    if (seconds < 0 || seconds > INT32_MAX) return 0;
    int hour12 = t.wHour % 12 == 0 ? 12 : t.wHour % 12;
    // "%02u/%02u/%04u %02d:%02u %s", written digit by digit (the year is 1970 to 2038 here).
    auto two = [](char* p, unsigned v) {
        p[0] = char('0' + v / 10 % 10);
        p[1] = char('0' + v % 10);
    };
    two(buffer, t.wMonth);
    buffer[2] = '/';
    two(buffer + 3, t.wDay);
    buffer[5] = '/';
    two(buffer + 6, t.wYear / 100u);
    two(buffer + 8, t.wYear % 100u);
    buffer[10] = ' ';
    two(buffer + 11, unsigned(hour12));
    buffer[13] = ':';
    two(buffer + 14, t.wMinute);
    buffer[16] = ' ';
    buffer[17] = t.wHour < 12 ? 'A' : 'P';
    buffer[18] = 'M';
    buffer[19] = '\0';
    return 19;
}

std::string modifiedText(const FILETIME& lastWriteTime) {
    char text[40];
    size_t n = formatModified(lastWriteTime, text);
    return std::string(text, n);
}

std::string folderText(const FoundItem& item) {
    if (!item.folder.empty() && item.folder.back() == ':') return item.folder + "\\";
    return item.folder;
}

std::string typeNameFor(const std::string& path, uint32_t attributes) {
    SHFILEINFOA info{};
    SHGetFileInfoA(path.c_str(), attributes, &info, sizeof info,
                   SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
    info.szTypeName[sizeof info.szTypeName - 1] = '\0';
    if (info.szTypeName[0] != '\0') return info.szTypeName;
    return fallbackTypeName(path);
}

std::string fallbackTypeName(const std::string& path) {
    size_t dot = path.rfind('.'); // a dot is never part of a double-byte character
    size_t slash = ansi::findLastChar(path, '\\');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        return upperAnsi(path.substr(dot + 1)) + " File";
    return "File";
}

namespace {

// The shell's type name per extension, for the life of the process. The texts never move once
// made (node-based map), so callers may keep views of them.
class TypeNameCache {
public:
    TypeNameCache() { InitializeCriticalSection(&lock_); }
    // Never destroyed: views handed out stay valid until the process ends.

    std::string_view lookUp(std::string_view folder, std::string_view name, uint32_t attributes) {
        size_t dot = name.rfind('.');
        std::string_view extension =
            dot == std::string_view::npos ? std::string_view() : name.substr(dot);
        EnterCriticalSection(&lock_);
        auto found = names_.find(extension);
        if (found == names_.end()) {
            std::string path;
            path.reserve(folder.size() + 1 + name.size());
            path.append(folder).append("\\").append(name);
            try {
                found = names_.emplace(std::string(extension), typeNameFor(path, attributes)).first;
            } catch (...) {
                LeaveCriticalSection(&lock_);
                throw;
            }
        }
        std::string_view text = found->second;
        LeaveCriticalSection(&lock_);
        return text;
    }

private:
    CRITICAL_SECTION lock_;
    std::map<std::string, std::string, std::less<>> names_;
};

TypeNameCache& typeNames() {
    static TypeNameCache* cache = new TypeNameCache;
    return *cache;
}

} // namespace

std::string_view typeTextOf(std::string_view folder, std::string_view name, uint32_t attributes) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "File Folder";
    return typeNames().lookUp(folder, name, attributes);
}

std::string typeText(const FoundItem& item) {
    return std::string(typeTextOf(item.folder, item.name, item.attributes));
}

int32_t iconIndexFor(const std::string& path, uint32_t attributes) {
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(path.c_str(), attributes, &info, sizeof info,
                        SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
        return 0;
    return info.iIcon;
}

std::string summaryText(int32_t count, uint64_t totalBytes, bool anyFile) {
    char text[96];
    if (count <= 0) return "";
    if (!anyFile) {
        snprintf(text, sizeof text, "%d object(s) selected", count);
        return text;
    }
    uint32_t low = uint32_t(totalBytes);
    uint32_t high = uint32_t(totalBytes >> 32);
    if (high != 0) {
        double mib = double(high) * 4096.0 + double(low >> 20) + double(low & 0xFFFFF) / 1048576.0;
        snprintf(text, sizeof text, "%d object(s) selected\t%.2f GB", count, mib / 1024.0);
    } else if (low > 1048576u) {
        double mib = double(low) / 1048576.0;
        if (mib > 1024.0)
            snprintf(text, sizeof text, "%d object(s) selected\t%.2f GB", count, mib / 1024.0);
        else
            snprintf(text, sizeof text, "%d object(s) selected\t%.2f MB", count, mib);
    } else if (low > 1024u) {
        snprintf(text, sizeof text, "%d object(s) selected\t%d KB", count, int((low >> 10) + 1));
    } else {
        snprintf(text, sizeof text, "%d object(s) selected\t%d bytes", count, int(low));
    }
    return text;
}

std::string cellTextOf(const FoundItem& item, int32_t column) {
    switch (column) {
    case ColumnName: return item.name;
    case ColumnFolder: return folderText(item);
    case ColumnSize: return sizeText(item);
    case ColumnType: return typeText(item);
    case ColumnModified: return modifiedText(item.lastWriteTime);
    default: return "";
    }
}

ResultView::ResultView(ResultSet& store, ResultHistory& history)
    : store_(store), history_(history) {
    SHFILEINFOA info{};
    smallIcons_ = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

ResultView::~ResultView() {
    detach();
}

void ResultView::attach(HWND list, HWND statusBar) {
    list_ = list;
    statusBar_ = statusBar;
    store_.attachList(list);
    history_.attachList(list);
    if (!list) return;
    for (int i = 0; i < int(std::size(kColumns)); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = kColumns[i].format;
        column.cx = toolkit::scaled(kColumns[i].width, toolkit::dpiOf(list));
        column.pszText = const_cast<char*>(kColumns[i].title);
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&column));
    }
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    // The shell's list is shared by every program: the list must not destroy it.
    LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
    if (!(style & LVS_SHAREIMAGELISTS))
        SetWindowLongPtrA(list, GWL_STYLE, style | LVS_SHAREIMAGELISTS);
    if (smallIcons_) SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(smallIcons_));
    if (ResultListCtrl* ctrl = listCtrlOf(list)) ctrl->followRows(&history_);
}

void ResultView::watchRows(bool on) {
    if (ResultListCtrl* ctrl = listCtrlOf(list_)) ctrl->watchRows(on);
}

void ResultView::detach() {
    if (list_ && IsWindow(list_) && smallIcons_)
        SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    if (ResultListCtrl* ctrl = listCtrlOf(list_))
        if (ctrl->rowSource() == &history_) ctrl->followRows(nullptr);
    if (list_) {
        store_.attachList(nullptr);
        history_.attachList(nullptr);
    }
    list_ = nullptr;
    statusBar_ = nullptr;
}

void ResultView::refreshList() {
    if (!list_) return;
    setListRowCount(list_, itemCount(), LVSICF_NOINVALIDATEALL);
    InvalidateRect(list_, nullptr, TRUE);
}

int32_t ResultView::itemCount() {
    return history_.rowCount();
}

std::optional<FoundItem> ResultView::itemAt(int32_t row) {
    if (row < 0) return std::nullopt;
    int32_t position = history_.positionOfRow(row);
    FoundItem item;
    if (position < 0 || !store_.copyAt(position, item)) return std::nullopt;
    return item;
}

std::string ResultView::cellText(int32_t row, int32_t column) {
    std::optional<FoundItem> item = itemAt(row);
    return item ? cellTextOf(*item, column) : "";
}

int32_t ResultView::indexOfItem(const FoundItem& wanted) {
    for (int32_t row = 0; row < itemCount(); ++row) {
        std::optional<FoundItem> item = itemAt(row);
        if (item && *item == wanted) return row;
    }
    return -1;
}

int32_t ResultView::visitSelectedItems(const std::function<void(const FoundItem&)>& visit) {
    int32_t n = selectedRowCount(list_);
    int32_t row = -1;
    for (int32_t step = 0; step < n; ++step) {
        row = nextSelectedRow(list_, row);
        if (row < 0) break;
        if (std::optional<FoundItem> item = itemAt(row)) visit(*item);
    }
    return n;
}

int32_t ResultView::firstSelectedRow() {
    return list_ ? nextSelectedRow(list_, -1) : -1;
}

void ResultView::selectOnlyRow(int32_t row) {
    if (!list_) return;
    SendMessageA(list_, LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
    setRowState(list_, -1, 0, LVIS_SELECTED);
    setRowState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

std::string ResultView::selectionSummary() {
    int32_t counted = 0;
    uint64_t total = 0; // the 32-bit sizes summed with their carries
    bool anyFile = false;
    visitSelectedItems([&](const FoundItem& item) {
        ++counted;
        total += item.size;
        if (!item.isFolder()) anyFile = true;
    });
    return summaryText(counted, total, anyFile);
}

int32_t ResultView::showSelectionSummary() {
    std::string summary = selectionSummary();
    if (statusBar_) SendMessageA(statusBar_, SB_SETTEXTA, 0, LPARAM(summary.c_str()));
    return selectedRowCount(list_);
}

LRESULT ResultView::onGetDispInfo(NMLVDISPINFOA* info) {
    LVITEMA& request = info->item;
    std::optional<FoundItem> item = itemAt(request.iItem);
    if (!item) return 0;
    if ((request.mask & LVIF_TEXT) && request.pszText && request.cchTextMax > 0) {
        std::string text = cellTextOf(*item, request.iSubItem);
        size_t n = std::min(text.size(), size_t(request.cchTextMax - 1));
        // A cut never leaves half of a double-byte character before the terminator.
        while (n > 0 && n < text.size() && !ansi::isCharBoundary(text, n))
            --n;
        memcpy(request.pszText, text.data(), n);
        request.pszText[n] = '\0';
    }
    if ((request.mask & LVIF_IMAGE) && request.iSubItem == 0)
        request.iImage = iconIndexFor(item->fullPath(), item->attributes);
    return 0;
}

std::optional<int32_t> ResultView::onItemChanged() {
    if (inverting_) return std::nullopt;
    return showSelectionSummary();
}

void ResultView::onFocusChange(HWND dialog, bool gained, int defaultButton) {
    if (!dialog) return;
    if (gained) {
        if (itemCount() != 0) SendMessageA(dialog, DM_SETDEFID, WPARAM(-1), 0);
    } else {
        SendMessageA(dialog, DM_SETDEFID, WPARAM(defaultButton), 0);
    }
}

int32_t ResultView::selectAll() {
    if (list_) {
        // The list view refuses to focus all rows at once (and then selects none either), so
        // all rows are selected in one call and the focus goes to the first row if none has it.
        setRowState(list_, -1, LVIS_SELECTED, LVIS_SELECTED);
        if (SendMessageA(list_, LVM_GETNEXTITEM, WPARAM(-1), MAKELPARAM(LVNI_FOCUSED, 0)) < 0 &&
            SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0) > 0)
            setRowState(list_, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    return showSelectionSummary();
}

int32_t ResultView::invertSelection() {
    if (list_) {
        inverting_ = true;
        for (int32_t row = 0; row < int32_t(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); ++row) {
            UINT state = UINT(SendMessageA(list_, LVM_GETITEMSTATE, WPARAM(row), LVIS_SELECTED));
            setRowState(list_, row, (state & LVIS_SELECTED) ? 0 : LVIS_SELECTED, LVIS_SELECTED);
        }
        inverting_ = false;
    }
    return showSelectionSummary();
}
