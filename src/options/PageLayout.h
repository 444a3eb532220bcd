// Small helpers shared by the option pages: filling drop-down lists, enabling groups of
// controls and growing a control by a size change.
#pragma once

#include <windows.h>

#include <initializer_list>

// Empties the drop-down list id and adds the entries in the order given.
void fillDropDown(HWND page, int id, std::initializer_list<const char*> entries);

// Enables or disables each control of ids.
void enableControls(HWND page, std::initializer_list<int> ids, bool enable);

// Moves the right and bottom edges of a window by delta's right and bottom (left and top by
// delta's left and top) and repaints it.
void growWindow(HWND window, const RECT& delta);
void growControl(HWND page, int id, const RECT& delta);
