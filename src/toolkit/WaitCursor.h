// A guard that shows the wait cursor while a long operation on the interface thread runs.
#pragma once

#include <windows.h>

namespace toolkit {

class WaitCursor {
public:
    WaitCursor() : previous(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
    ~WaitCursor() { SetCursor(previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    // Shows the wait cursor again after something (a message box) changed it.
    void restore() { SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT))); }

private:
    HCURSOR previous;
};

} // namespace toolkit
