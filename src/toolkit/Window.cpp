// The window base: HWND <-> object link, the one window procedure, subclassing and reflection.
#include "toolkit/Window.h"

#include "toolkit/Application.h"

#include <unordered_map>

namespace toolkit {

namespace {
// The link lives in a table of our own, so it works alike for windows of our own classes, for
// dialogs and for platform controls we subclass (whose user data we must not touch). A window
// property would serve too, but under Wine every property lookup is a round trip to the
// server, paid by every message: tens of microseconds for each row-count change of the list.
SRWLOCK linkLock = SRWLOCK_INIT;
std::unordered_map<HWND, Window*>& links() {
    static std::unordered_map<HWND, Window*> table;
    return table;
}
} // namespace

Window::~Window() {
    releaseWindow();
}

void Window::releaseWindow() {
    if (!handle) return;
    HWND window = handle;
    bool owned = ownsWindow;
    // No message may reach the object any more (its derived parts may be gone already).
    unsubclass();
    detach();
    if (owned && IsWindow(window)) DestroyWindow(window);
}

Window* Window::fromHandle(HWND window) {
    if (!window) return nullptr;
    AcquireSRWLockShared(&linkLock);
    auto found = links().find(window);
    Window* object = found == links().end() ? nullptr : found->second;
    ReleaseSRWLockShared(&linkLock);
    return object;
}

bool Window::registerClass(const char* className, UINT classStyle, HBRUSH background) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(instance(), className, &existing)) return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = classStyle;
    wc.lpfnWndProc = &Window::windowProcedure;
    wc.hInstance = instance();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassExA(&wc) != 0;
}

bool Window::create(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, UINT id) {
    HMENU menuOrId =
        (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    HWND window = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent,
                                  menuOrId, instance(), this);
    if (!window) return false;
    // A window of our own class was linked at WM_NCCREATE; a platform control is taken over now.
    if (fromHandle(window) != this && !subclass(window)) {
        DestroyWindow(window);
        return false;
    }
    ownsWindow = true;
    return true;
}

bool Window::subclass(HWND window) {
    if (!window || handle || fromHandle(window)) return false;
    attach(window);
    hookProcedure();
    return previousProcedure != nullptr;
}

void Window::hookProcedure() {
    previousProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::windowProcedure)));
}

void Window::unsubclass() {
    if (!handle || !previousProcedure) return;
    SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
    previousProcedure = nullptr;
    detach();
}

void Window::destroy() {
    if (handle) DestroyWindow(handle);
}

void Window::attach(HWND window) {
    handle = window;
    AcquireSRWLockExclusive(&linkLock);
    links()[window] = this;
    ReleaseSRWLockExclusive(&linkLock);
}

void Window::detach() {
    if (handle) {
        AcquireSRWLockExclusive(&linkLock);
        auto found = links().find(handle);
        if (found != links().end() && found->second == this) links().erase(found);
        ReleaseSRWLockExclusive(&linkLock);
    }
    handle = nullptr;
    ownsWindow = false;
}

bool Window::onReflectedNotify(NMHDR&, LRESULT&) {
    return false;
}
bool Window::onReflectedCommand(UINT, LRESULT&) {
    return false;
}
bool Window::onReflectedColour(HDC, LRESULT&) {
    return false;
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return defaultHandling(message, wParam, lParam);
}

LRESULT Window::defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    if (previousProcedure)
        return CallWindowProcA(previousProcedure, handle, message, wParam, lParam);
    return DefWindowProcA(handle, message, wParam, lParam);
}

bool Window::reflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_NOTIFY && lParam) {
        NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
        Window* child = fromHandle(header.hwndFrom);
        return child && child->onReflectedNotify(header, result);
    }
    if (message == WM_COMMAND && lParam) {
        Window* child = fromHandle(reinterpret_cast<HWND>(lParam));
        return child && child->onReflectedCommand(HIWORD(wParam), result);
    }
    if (message == WM_CTLCOLORSTATIC && lParam) {
        Window* child = fromHandle(reinterpret_cast<HWND>(lParam));
        return child && child->onReflectedColour(reinterpret_cast<HDC>(wParam), result);
    }
    return false;
}

LRESULT Window::dispatch(Window* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    // No exception may cross into the platform's code: a failing handler answers 0.
    try {
        if (!reflectToChild(message, wParam, lParam, result))
            result = self->handleMessage(message, wParam, lParam);
    } catch (...) {
        result = 0;
    }
    // The application forgets its main window with the window's last message: later code (the
    // message filter, dialogs looking for an owner) must not reach a handle that is gone.
    if (message == WM_NCDESTROY && mainWindow() == window) setMainWindow(nullptr);
    if (message == WM_NCDESTROY && self->handle == window) {
        WNDPROC previous = self->previousProcedure;
        if (previous) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        self->previousProcedure = nullptr;
        self->detach();
        self->onFinalDestroy();
    }
    return result;
}

LRESULT CALLBACK Window::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = fromHandle(window);
    if (!self && message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        if (self) self->attach(window);
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    return dispatch(self, window, message, wParam, lParam);
}

} // namespace toolkit
