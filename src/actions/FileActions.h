// What the user does with the selected rows of the result list: open them, open the folder of
// one, copy them to the clipboard, drag them out, copy them to a folder and make shortcuts.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class ResultView;

// Every action refuses, with a message, the items whose name or folder fails the check of
// actions/ItemPaths.h, and goes on with the others (a drag goes on only when none is refused).

// What the actions ask the shell to open: a file with its program, or a folder as a folder.
struct ShellOpenRequest {
    std::string path;
    bool asFolder;
};
using ShellOpenResponder = std::function<void(const ShellOpenRequest&)>;
// Tests see the requests instead of the shell (an empty function restores the shell).
void setShellOpenResponder(ShellOpenResponder responder);

// Opens every selected item with its associated program (command 32795, double click, Enter).
void openSelectedItems(ResultView& view, HWND owner);
// Opens the folder that holds the first selected item as a folder window (command 32796).
void openContainingFolder(ResultView& view, HWND owner);
// Puts the selected items on the clipboard as a file list the file manager can paste (57634).
void copySelectionToClipboard(ResultView& view, HWND owner);
// Drags the selected items out of the list as a file list (the list's begin-drag notice).
void dragSelection(ResultView& view, HWND owner);
// Copies the selected items into a folder the user picks (32791).
void copySelectionToFolder(ResultView& view, HWND owner);
// Makes a shortcut of each selected item on the desktop (32790).
void createShortcutsOnDesktop(ResultView& view, HWND owner);
// Makes a shortcut of each selected item in a folder the user picks (32792).
void createShortcutsInFolder(ResultView& view, HWND owner);
