// The result file: the rows of a view saved as records, and loaded back into the result store.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "results/FoundItem.h"
#include "results/ResultRecords.h"

class ResultHistory;
class ResultSet;
class ResultView;

// Appends one record for an item (the layout is in ResultRecords.h).
void appendResultRecord(std::string& out, const FoundItem& item);

// Writes the current view, rows in display order. Callable while a search runs: the rows counted
// at the start are written, except any the reader would refuse (isStorableRecord), so that the
// file loads whole. On failure shows the file-error text (MB_ICONSTOP, owned by owner)
// and returns false; the file may then be incomplete.
bool saveResultFile(ResultView& view, const std::string& path, HWND owner);

// Appends the file's records to the store, announcing the count to the store's list as it goes
// and at the end. On failure shows the file-error text and returns false; the records read before
// the failure stay in the store. A file that ends early gives the past-the-end text for "an
// unnamed file"; a record whose name or folder fails the checks of PathNames.h, a text longer
// than any name can be, running out of memory or any other failure give the unknown-error text
// for the path. The memory taken grows with the records actually read (a count or length larger
// than the file is never trusted ahead), so no file makes it allocate much more than the file's
// own size. Never throws.
bool loadResultFile(ResultSet& store, const std::string& path, HWND owner);

// What Open Result does with a chosen file: empties the results and levels, loads the file and
// makes level 1 over the records loaded, also when the load failed part way, so the records read
// are shown and can be sorted, saved and refined like any result. Returns the load's outcome.
// Interface thread, no search running.
bool openResultFile(ResultHistory& history, ResultSet& store, const std::string& path, HWND owner);
