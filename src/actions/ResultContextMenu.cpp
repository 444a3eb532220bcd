// The result list's right-click menu (filled in by the file-actions work).
#include "actions/ResultContextMenu.h"

#include "results/ResultView.h"

void showResultContextMenu(ResultView&, HWND) {}
