// The one place where the file actions turn items into paths. A result file is a document people
// mail to each other and a server names its own files, so an item's name and folder are checked
// (toolkit/PathNames.h) before any path is built from them: a name is one path component without
// wildcards, a folder a drive or network path. An item that fails is refused by every action and
// never reaches the shell, the clipboard or a drag.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "results/FoundItem.h"

class ResultView;

// The item's full path (folder, backslash, name), or none when its name or folder fails the
// check. A name with '?' (characters the code page could not hold) fails: '?' is a wildcard;
// so does a name the platform would trim or read as a device ("abc.", "nul.txt"), which would
// make the action reach another file.
std::optional<std::string> checkedItemPath(const FoundItem& item);

// The item's folder as a path that can only name a folder: it always ends with a backslash, so
// a drive root "C:" becomes "C:\" (not the current folder on C:) and "\\srv\pub\x.com" becomes
// "\\srv\pub\x.com\", which no program file can be. None when the folder fails the check.
std::optional<std::string> checkedFolderPath(const FoundItem& item);

// The selected rows in list order, split into the items the actions may use (with their paths)
// and the display texts of those they refuse.
struct CheckedSelection {
    std::vector<FoundItem> items;
    std::vector<std::string> paths; // checkedItemPath of each item
    std::vector<std::string> refused;
    size_t rowsSelected = 0; // the list's selected count (rows without an item included)
};
CheckedSelection checkSelection(ResultView& view);

// How an item shows in a message: its folder and name, any control character (a NUL among
// them) written as \xNN so the text is not cut or garbled.
std::string displayPath(const FoundItem& item);

// Tells the user, in one box with the program's caption, which items an action left alone:
// the text of textId, then the items one per line (the first few, then how many more). Nothing
// when the list is empty.
void reportLeftAlone(HWND owner, UINT textId, const std::vector<std::string>& items);

// Where a shortcut to an item goes in folder (which ends with a backslash).
enum class LinkPlace {
    Reserved, // linkPath is a new, empty file of the shortcut's name, made just now
    TooLong,  // the shortcut's path would be MAX_PATH or longer
    Failed,   // the file could not be made, or its path would not stay directly in folder
};
// "Shortcut to NAME.lnk", or "Shortcut to NAME (2).lnk", "(3)", ... when that name is taken: an
// existing file is never overwritten. The name is made as a new file at once, so a file that
// appears meanwhile is not overwritten either; the platform's own full-path reading of the
// shortcut's path must name that file directly in folder.
LinkPlace reserveShortcutPath(const std::string& folder, const std::string& itemName,
                              std::string& linkPath);
