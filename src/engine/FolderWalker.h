// The folder walker: lists each folder of a tree once, applies the search's masks and tests to
// its entries and appends every hit.
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
// the folder list test on the folder's last path part, then one listing of every entry of the
// folder, whatever the masks and whether subfolders are wanted, each entry tested against every
// mask as the platform's listing with that mask would test it, then against the type, date and
// size tests, and last, when the criteria hold a text, against the file's contents: the file is
// read then and there, on the calling thread, once however many masks matched it, in blocks with
// the stop flag read between them (engine/ContentSearch.h; one reader per walk, made at its first
// read). The folder pane shows each folder as the walk enters it, so also the folder whose files
// are being read. The hits come as one listing per mask would give them: the folder's own, mask by
// mask in the order typed (an entry two masks match is a hit twice), each mask's in listing order;
// then the subfolders depth-first in listing order. A folder that cannot be listed is skipped; its
// listing is closed before the walk descends and on every way out; after a stop the walk returns
// at the next entry (or block) and what it found stays. Any thread.
void walkFolder(const WalkContext& context, const std::string& path);

// False for a name the platform would not open as it reads: one that ends in a dot or a blank
// ("abc." opens "abc", "..." the folder itself, so the walk could list another folder or never
// end) or a DOS device name. Such folders may be hits; they are never entered.
bool isEnterableFolderName(const char* name);
