// SearchOptions: the whole description of a search as the option pages show it, with its
// defaults; the exchange form between the pages, the option file and the engine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How a name list selects. Values read from an option file may lie outside these three; users
// of a list treat every value other than All and OnlyThese as AllExcept.
enum class FilterMode : int32_t {
    All = 0,       // every name passes
    AllExcept = 1, // a name that matches an entry is left out
    OnlyThese = 2, // only a name that matches an entry is taken
};

// Where a search looks.
enum class SearchScope : int32_t {
    Lan = 0,        // the network
    LastResult = 1, // the current result level
};

// A mode and an ordered list of name patterns (domains, servers or folders).
struct FilterList {
    FilterMode mode = FilterMode::All;
    std::vector<std::string> names;

    friend bool operator==(const FilterList&, const FilterList&) = default;
};

// Fields in the order of the option file, initialised to their defaults except the two dates,
// which depend on the moment: resetOptions sets those. Every numeric field keeps whatever value
// a file supplied, in range or not.
struct SearchOptions {
    int32_t includeSubfolders = 1;
    int32_t fileType = 0; // 0 all files and folders, 1 files only, 2 folders only
    SearchScope scope = SearchScope::Lan;
    FilterList domains;
    FilterList servers;
    FilterList folders;
    int32_t dateEnabled = 0;
    int32_t dateKind = 0;     // 0 modified, 1 created, 2 last accessed
    int32_t dateMode = 0;     // 0 between the two dates, 1 during the previous count and unit
    int32_t previousUnit = 0; // 0 month(s), 1 week(s), 2 day(s)
    uint32_t previousCount = 1;
    int32_t largerThanOn = 0;
    int32_t smallerThanOn = 0;
    uint32_t largerThanKB = 0;
    uint32_t smallerThanKB = 1000;
    std::string namePattern;
    int32_t fromDate = 0; // seconds since 1 January 1970 UTC
    int32_t toDate = 0;
    // The text a file must contain; empty or blanks only means no text test. Files store it
    // (and matchCase) only when it is not empty.
    std::string containingText;
    int32_t matchCase = 0; // 1: the text's case must match too

    friend bool operator==(const SearchOptions&, const SearchOptions&) = default;
};

// Sets every field to its default for the current moment: the name pattern and the lists
// empty, fromDate local midnight of the same day one month earlier, toDate now.
void resetOptions(SearchOptions& options);

// The same for a given moment (seconds since 1970 UTC).
void resetOptions(SearchOptions& options, int32_t now);

// The default fromDate for a moment: 00:00 local time on the same day of the month before (in
// January: December of the year before); a day the earlier month lacks rolls over into the
// following month (31 March gives 3 March, or 2 March in a leap year). The platform decides
// daylight saving.
int32_t defaultFromDate(int32_t now);
