// Helpers shared by the option pages.
#include "options/PageLayout.h"

void fillDropDown(HWND page, int id, std::initializer_list<const char*> entries) {
    HWND list = GetDlgItem(page, id);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const char* entry : entries)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
}

void enableControls(HWND page, std::initializer_list<int> ids, bool enable) {
    for (int id : ids)
        EnableWindow(GetDlgItem(page, id), enable);
}

void growWindow(HWND window, const RECT& delta) {
    if (!window) return;
    RECT r;
    GetWindowRect(window, &r);
    // Rectangles in the parent's client coordinates, as MoveWindow wants them.
    if (HWND parent = GetParent(window))
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    r.left += delta.left;
    r.top += delta.top;
    r.right += delta.right;
    r.bottom += delta.bottom;
    MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void growControl(HWND page, int id, const RECT& delta) {
    growWindow(GetDlgItem(page, id), delta);
}
