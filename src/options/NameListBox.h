// CNameListBox: a list box whose horizontal scroll extent always equals its widest entry, so
// that long names can be scrolled into view.
#pragma once

#include <windows.h>

#include "toolkit/Window.h"

#include <string>

// The width in pixels that the list box gives a string, measured with the list box's own font:
// tabbed text width plus 2 for a list box with tab stops, text width plus 3 otherwise.
int measureListBoxString(HWND listBox, const char* text);

// The text of entry index of a list box (empty when there is no such entry).
std::string listBoxEntry(HWND listBox, int index);

// Keeps the extent after the list box itself handled msg with the given result: an added or
// inserted string widens it when wider; a deletion or directory listing measures every entry
// again (0 when the list is empty); emptying the list sets 0. An error result (-1, -2) changes
// nothing.
void updateListBoxExtent(HWND listBox, UINT msg, LPARAM lParam, LRESULT result);

// The list box control of a name list, subclassed from a page template. It has no data of its
// own beyond the list box.
class CNameListBox : public toolkit::Window {
protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
