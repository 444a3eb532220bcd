// Process-wide pieces of the window layer: module handle, main window, message filter.
#include "toolkit/Application.h"

#include <string>
#include <vector>

namespace toolkit {

namespace {
HWND theMainWindow = nullptr;
MessageFilter theFilter;
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

bool applyMessageFilter(MSG& msg) {
    return theFilter && theFilter(msg);
}

std::string loadString(UINT id, int bufferSize) {
    if (bufferSize < 1) return {};
    std::vector<char> buffer(static_cast<size_t>(bufferSize), '\0');
    int length = LoadStringA(instance(), id, buffer.data(), bufferSize);
    if (length <= 0) return {};
    return std::string(buffer.data(), static_cast<size_t>(length));
}

} // namespace toolkit
