// The file actions on the selected rows (filled in by the file-actions work).
#include "actions/FileActions.h"

#include "results/ResultView.h"

void openSelectedItems(ResultView&, HWND) {}
void openContainingFolder(ResultView&, HWND) {}
void copySelectionToClipboard(ResultView&, HWND) {}
void dragSelection(ResultView&, HWND) {}
void copySelectionToFolder(ResultView&, HWND) {}
void createShortcutsOnDesktop(ResultView&, HWND) {}
void createShortcutsInFolder(ResultView&, HWND) {}
