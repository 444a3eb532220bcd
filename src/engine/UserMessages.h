// Every window message of the program's own (WM_USER range) with its meaning, in one place.
#pragma once

#include <windows.h>

// Posted (never sent) by the refine thread as its last act, and by the main dialog's search
// timer when it finds the search no longer busy: a search in the last result may have ended.
// wParam 0, lParam 0.
inline constexpr UINT WM_SEARCH_FINISHED = WM_USER + 5; // 1029

// Posted (never sent) by the enumeration thread and every server worker: wParam 1 when the
// thread begins, 0 when it ends (the search timer also posts 0). lParam 0. The number of running
// network threads changed.
inline constexpr UINT WM_WORKER_STATE = WM_USER + 6; // 1030

// Posted by the main dialog to itself once its window is up: open the file named on the command
// line. wParam 0, lParam 0.
inline constexpr UINT WM_OPEN_STARTUP_FILE = WM_USER + 7; // 1031

static_assert(WM_SEARCH_FINISHED == 1029 && WM_WORKER_STATE == 1030);
