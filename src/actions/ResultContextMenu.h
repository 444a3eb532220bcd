// The result list's right-click menu: one of three menus chosen by the selection.
#pragma once

#include <windows.h>

class ResultView;

// Shows the menu that fits the selection at the cursor, owned by owner (which receives the
// menu-opening notice and the chosen command as usual); nothing when no row is selected.
void showResultContextMenu(ResultView& view, HWND owner);
