// The folder walker: lists one folder tree with the search's masks and appends every hit.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "toolkit/LatestText.h"

class ResultSet;
struct SearchCriteria;

// What one walk reads and writes. The criteria are only read; stopRequested is read at every
// entry; hits go to the store, which tells no one (the list follows its count); statusBar is the
// folder pane as the walkers see it: each folder entered is recorded there, and the status bar
// shows the newest at its next tick. No walker ever waits for a window.
struct WalkContext {
    const SearchCriteria& criteria;
    const std::atomic<int32_t>& stopRequested;
    ResultSet& store;
    toolkit::LatestText& statusBar;
};

// Searches the tree at path (a share root "\\SERVER\SHARE" or any folder, no trailing backslash):
// the folder list test on the folder's last path part, one listing per mask (a file two masks
// match is reported twice), then the subfolders depth-first in listing order when they are wanted
// (taken from a mask's listing when a mask lists every entry, else from one more listing of
// "*.*"). A folder that cannot be listed is skipped; every listing is closed on every way out;
// after a stop the walk returns at the next entry and what it found stays. Any thread.
void walkFolder(const WalkContext& context, const std::string& path);

// False for a name the platform would not open as it reads: one that ends in a dot or a blank
// ("abc." opens "abc", "..." the folder itself, so the walk could list another folder or never
// end) or a DOS device name. Such folders may be hits; they are never entered.
bool isEnterableFolderName(const char* name);

// True for a mask that every name matches ("*", "*.*"): its listing also gives the subfolders.
bool listsEveryEntry(const std::string& mask);

// Appends the entry as a FoundItem of folder when it passes the date and size tests.
void addHit(const WalkContext& context, const WIN32_FIND_DATAA& entry, const std::string& folder);
