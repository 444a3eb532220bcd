// Sorting the current view by a column, and the result list's header click.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "results/FoundItem.h"
#include "results/ResultHistory.h"
#include "results/ResultStore.h"

class ResultView;

// Ascending order of two items for a column: folders before files, then the column's key, then
// the name where the key ties. Negative, 0 or positive. Name comparisons fold A-Z to a-z only.
int compareItems(const FoundItem& a, const FoundItem& b, int32_t column);
// Byte-wise comparison after folding A-Z to a-z; a prefix comes first.
int compareNoCase(std::string_view a, std::string_view b);
// The extension used by the Type sort: after the last dot unless that dot is the first character.
std::string sortExtension(const std::string& name);

// Sorts the current view by a column (0-4): the store itself while no level exists, else the
// current level's entries. A repeated click reverses: a level still in that column's order is
// simply reversed; otherwise it is sorted again in the other direction. False (nothing done) for
// another column or an empty view. Takes viewLock, then storeLock (for the whole sort at level 0,
// per comparison otherwise). Interface thread; shows the wait cursor.
bool sortByColumn(ResultSet& store, ResultHistory& history, int32_t column, bool searchRunning);

// LVN_COLUMNCLICK: sorts, redraws, and keeps the first selected item selected, focused and in
// view (or scrolls to the top). The notification's result is 0.
LRESULT onColumnClick(ResultView& view, ResultSet& store, ResultHistory& history, int32_t column,
                      bool searchRunning);
