// Process-wide pieces of the window layer: module handle, main window, message filter.
#include "toolkit/Application.h"

#include <string>
#include <vector>

namespace toolkit {

namespace {
HWND theMainWindow = nullptr;
MessageFilter theFilter;
HHOOK filterHook = nullptr;

LRESULT CALLBACK filterHookProcedure(int code, WPARAM wParam, LPARAM lParam) {
    // Our own modal loops have asked the filter already (IsDialogMessage asks the hook again).
    if (code >= 0 && code != MSGF_DIALOGBOX && lParam &&
        applyMessageFilter(code, *reinterpret_cast<MSG*>(lParam)))
        return TRUE;
    return CallNextHookEx(filterHook, code, wParam, lParam);
}
} // namespace

HINSTANCE instance() {
    return GetModuleHandleA(nullptr);
}

HWND mainWindow() {
    return theMainWindow;
}
void setMainWindow(HWND window) {
    theMainWindow = window;
}

void setMessageFilter(MessageFilter filter) {
    theFilter = std::move(filter);
}

bool applyMessageFilter(int code, MSG& msg) {
    return theFilter && theFilter(code, msg);
}

bool installMessageFilterHook() {
    if (filterHook) return true;
    filterHook =
        SetWindowsHookExA(WH_MSGFILTER, &filterHookProcedure, nullptr, GetCurrentThreadId());
    return filterHook != nullptr;
}

void removeMessageFilterHook() {
    if (filterHook) UnhookWindowsHookEx(filterHook);
    filterHook = nullptr;
}

std::string loadString(UINT id, int bufferSize) {
    if (bufferSize < 1) return {};
    std::vector<char> buffer(static_cast<size_t>(bufferSize), '\0');
    int length = LoadStringA(instance(), id, buffer.data(), bufferSize);
    if (length <= 0) return {};
    return std::string(buffer.data(), static_cast<size_t>(length));
}

} // namespace toolkit
