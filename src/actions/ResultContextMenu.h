// The result list's right-click menu: one of three menus chosen by the selection.
#pragma once

#include <windows.h>

class ResultView;

// The menu that fits the selection: 153 for two or more rows, 152 for one folder, 151 for one
// file; 0 (no menu) for no row or a single row without an item.
UINT contextMenuFor(ResultView& view);

// Shows the menu that fits the selection at the cursor, owned by owner (which receives the
// menu-opening notice and the chosen command as usual); nothing when no row is selected.
void showResultContextMenu(ResultView& view, HWND owner);
