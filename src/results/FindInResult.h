// Find in result: the rows of the current view whose item name matches a wildcard pattern.
#pragma once

#include <cstdint>
#include <string>

class ResultView;

// The first row r with first <= r < last whose item's name matches pattern (the program's
// case-insensitive NamePattern; "*" is the only wildcard), or -1. A negative first counts as 0;
// a negative last, or one beyond the row count, means the row count. Rows without an item are
// passed over. Interface thread; callable while a search runs (the rows present at the start are
// searched).
int32_t findRows(ResultView& view, const std::string& pattern, int32_t first, int32_t last);

// The list's incremental search (LVN_ODFINDITEMA with LVFI_STRING): the next row at or after
// start whose name begins with typed, continuing from the top and ending just before start; -1
// when there is none. Other kinds of find are answered by the caller with -1.
int32_t findTypedPrefix(ResultView& view, const std::string& typed, int32_t start);
