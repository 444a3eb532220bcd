// Real windows, folders and shares for the result and walker tests.
#include "ResultTestHost.h"

#include <commctrl.h>

#include <cstdlib>
#include <vector>

#include "support/LocalTime.h"

namespace {

const char kHostClass[] = "CorvaskResultTestHost";

LRESULT CALLBACK hostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto* host = reinterpret_cast<ResultTestHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (host && host->onNotify) return host->onNotify(reinterpret_cast<NMHDR*>(lParam));
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void registerHostClass() {
    static bool done = false;
    if (done) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = hostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
    done = true;
}

void writeBytes(const std::string& path, uint32_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::vector<char> block(65536, 'x');
    while (size > 0) {
        DWORD chunk = size < block.size() ? size : DWORD(block.size()), written = 0;
        if (!WriteFile(file, block.data(), chunk, &written, nullptr) || written == 0) break;
        size -= written;
    }
    CloseHandle(file);
}

void makeFolders(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

} // namespace

ResultTestHost::ResultTestHost() {
    registerHostClass();
    window_ = CreateWindowExA(0, kHostClass, "Corvask test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              760, 420, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, LONG_PTR(this));
    RECT rect{0, 0, 740, 340};
    list_ = listCtrl_.create(window_, 1000, rect);
    statusBar_.create(window_, 1001);
    const UINT panes[2] = {0, 0};
    statusBar_.setIndicators(panes, 2);
    status_ = statusBar_.hwnd();
    pumpMessages();
}

ResultTestHost& ResultTestHost::shared() {
    static ResultTestHost* host = new ResultTestHost; // lives until the process ends
    host->reset();
    return *host;
}

void ResultTestHost::reset() {
    onNotify = nullptr;
    listCtrl_.followRows(nullptr);
    statusBar_.followText(0, nullptr);
    SendMessageA(list_, LVM_SETITEMCOUNT, 0, 0);
    while (SendMessageA(list_, LVM_DELETECOLUMN, 0, 0)) {
    }
    SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    SendMessageA(status_, SB_SETTEXTA, 0, LPARAM(""));
    SendMessageA(status_, SB_SETTEXTA, 1, LPARAM(""));
    pumpMessages();
}

ResultTestHost::~ResultTestHost() {
    DestroyWindow(window_);
    pumpMessages();
}

std::string ResultTestHost::paneText(int pane) const {
    char text[512] = "";
    LRESULT info = SendMessageA(status_, SB_GETTEXTLENGTHA, WPARAM(pane), 0);
    if (LOWORD(info) >= sizeof text) return "<too long>";
    SendMessageA(status_, SB_GETTEXTA, WPARAM(pane), LPARAM(text));
    return text;
}

int32_t ResultTestHost::listCount() const {
    return int32_t(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::string ResultTestHost::selectedRows() const {
    std::string rows;
    // Each answer must move on; a list that is not there answers 0 for ever.
    for (int32_t row = -1, next;
         (next = int32_t(SendMessageA(list_, LVM_GETNEXTITEM, WPARAM(row),
                                      MAKELPARAM(LVNI_SELECTED, 0)))) > row;
         row = next) {
        if (!rows.empty()) rows += ",";
        rows += std::to_string(next);
    }
    return rows;
}

void ResultTestHost::selectRow(int32_t row, bool selected) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageA(list_, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&item));
}

FoundItem makeItem(const std::string& name, const std::string& folder, uint32_t size,
                   uint32_t attributes, int year, int month, int day, int hour, int minute) {
    FoundItem item;
    item.name = name;
    item.folder = folder;
    item.size = size;
    item.attributes = attributes;
    SYSTEMTIME local = calendar::fields(year, month, day, hour, minute);
    FILETIME localTime;
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &item.lastWriteTime);
    item.creationTime = item.lastWriteTime;
    item.lastAccessTime = item.lastWriteTime;
    return item;
}

std::string TempFolder::makeFolder(const std::string& relative) const {
    std::string full = file(relative);
    makeFolders(full);
    return full;
}

std::string TempFolder::makeFile(const std::string& relative, uint32_t size) const {
    std::string full = file(relative);
    size_t slash = full.rfind('\\');
    makeFolders(full.substr(0, slash));
    writeBytes(full, size);
    return full;
}

TestShare::TestShare(const std::string& server, const std::string& share) {
    const char* prefix = getenv("WINEPREFIX");
    if (!prefix || prefix[0] != '/') return;
    std::string root = std::string("Z:") + prefix;
    for (char& c : root)
        if (c == '/') c = '\\';
    serverPath_ = root + "\\dosdevices\\unc\\" + server;
    localPath_ = serverPath_ + "\\" + share;
    removeTree(localPath_);
    makeFolders(localPath_);
    uncPath_ = "\\\\" + server + "\\" + share;
    if (GetFileAttributesA(uncPath_.c_str()) == INVALID_FILE_ATTRIBUTES) localPath_.clear();
}

TestShare::~TestShare() {
    if (localPath_.empty()) return;
    removeTree(localPath_);
    RemoveDirectoryA(serverPath_.c_str());
}

std::string TestShare::makeFolder(const std::string& relative) const {
    makeFolders(localPath_ + "\\" + relative);
    return uncPath_ + "\\" + relative;
}

std::string TestShare::makeFile(const std::string& relative, uint32_t size) const {
    std::string full = localPath_ + "\\" + relative;
    makeFolders(full.substr(0, full.rfind('\\')));
    writeBytes(full, size);
    return uncPath_ + "\\" + relative;
}
