// The horizontal-extent rules of CNameListBox.
#include "options/NameListBox.h"

#include "toolkit/WaitCursor.h"

#include <string>

int measureListBoxString(HWND listBox, const char* text) {
    HDC dc = GetDC(listBox);
    if (!dc) return 0;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(listBox, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    int length = lstrlenA(text);
    int width;
    if (GetWindowLongA(listBox, GWL_STYLE) & LBS_USETABSTOPS) {
        width = LOWORD(GetTabbedTextExtentA(dc, text, length, 0, nullptr)) + 2;
    } else {
        SIZE size{};
        GetTextExtentPoint32A(dc, text, length, &size);
        width = size.cx + 3;
    }
    if (old) SelectObject(dc, old);
    ReleaseDC(listBox, dc);
    return width;
}

std::string listBoxEntry(HWND listBox, int index) {
    LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, index, 0);
    if (length < 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = SendMessageA(listBox, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got < 0 ? 0 : static_cast<size_t>(got));
    return text;
}

namespace {

int widestEntry(HWND listBox, int count) {
    // Re-measuring a long list takes a while: show the busy cursor meanwhile.
    toolkit::WaitCursor busy;
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        std::string text = listBoxEntry(listBox, i);
        int width = measureListBoxString(listBox, text.c_str());
        if (width > widest) widest = width;
    }
    return widest;
}

} // namespace

void updateListBoxExtent(HWND listBox, UINT msg, LPARAM lParam, LRESULT result) {
    switch (msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        if (result == LB_ERR || result == LB_ERRSPACE || !lParam) return;
        int width = measureListBoxString(listBox, reinterpret_cast<const char*>(lParam));
        if (width > static_cast<int>(SendMessageA(listBox, LB_GETHORIZONTALEXTENT, 0, 0)))
            SendMessageA(listBox, LB_SETHORIZONTALEXTENT, width, 0);
        return;
    }
    case LB_DELETESTRING:
    case LB_DIR: {
        if (result == LB_ERR || result == LB_ERRSPACE) return;
        int count = static_cast<int>(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
        int width = count > 0 ? widestEntry(listBox, count) : 0;
        SendMessageA(listBox, LB_SETHORIZONTALEXTENT, width, 0);
        return;
    }
    case LB_RESETCONTENT: SendMessageA(listBox, LB_SETHORIZONTALEXTENT, 0, 0); return;
    default: return;
    }
}

LRESULT CNameListBox::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = defaultHandling(message, wParam, lParam);
    updateListBoxExtent(hwnd(), message, lParam, result);
    return result;
}
