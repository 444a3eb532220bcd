// The result file: the rows of a view saved as records, and loaded back into the result store.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "results/FoundItem.h"

class ByteSource;
class ResultHistory;
class ResultSet;
class ResultView;

// Layout (little-endian): the header word 200, the signed record count n, then n records. A
// record is the reserved word 78 F6 45 00, the three file times (low word first), size,
// attributes (36 bytes so far), then name and folder as counted strings. Readers ignore the
// header and reserved words.
inline constexpr uint32_t kResultFileHeader = 200;
inline constexpr uint32_t kResultRecordMark = 0x0045F678;
inline constexpr size_t kResultRecordFixedBytes = 36;

// Appends one record for an item.
void appendResultRecord(std::string& out, const FoundItem& item);
// Reads one record. Throws the source's end-of-data error when the bytes run out; no length is
// trusted before it has been checked against what the source still holds.
FoundItem readResultRecord(ByteSource& in);

// Writes the current view, rows in display order. Callable while a search runs: the rows counted
// at the start are written. On failure shows the file-error text (MB_ICONSTOP, owned by owner)
// and returns false; the file may then be incomplete.
bool saveResultFile(ResultView& view, const std::string& path, HWND owner);

// Appends the file's records to the store, announcing the count to the store's list as it goes
// and at the end. On failure shows the file-error text and returns false; the records read before
// the failure stay in the store. A file that ends early gives the past-the-end text for "an
// unnamed file"; running out of memory gives the unknown-error text for the path. The memory
// taken grows with the records actually read (a count or length larger than the file is never
// trusted ahead), so no file makes it allocate much more than the file's own size.
bool loadResultFile(ResultSet& store, const std::string& path, HWND owner);

// What Open Result does with a chosen file: empties the results and levels, loads the file and
// makes level 1 over the records loaded, also when the load failed part way, so the records read
// are shown and can be sorted, saved and refined like any result. Returns the load's outcome.
// Interface thread, no search running.
bool openResultFile(ResultHistory& history, ResultSet& store, const std::string& path, HWND owner);
