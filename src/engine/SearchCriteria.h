// SearchCriteria: the compiled, read-only form of SearchOptions that the search threads test
// entries against; buildCriteria makes it, matchesItem and listAccepts apply it.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/TextMatcher.h"
#include "toolkit/GrowableArray.h"
#include "toolkit/NamePattern.h"
#include "engine/FileMask.h"
#include "options/SearchOptions.h"

inline constexpr int kMaxNameMasks = 99;

// Written on the interface thread before any search thread starts, only read while they run.
// Fields that a build does not touch keep their values (the patterns of a list in mode All, the
// date bounds while the date test is off, refinePatterns of a LAN search): readers look at the
// mode, dateField or scope first.
struct SearchCriteria {
    // Counts of the three pattern arrays, captured when the search starts.
    int32_t folderPatternCount = 0;
    int32_t serverPatternCount = 0;
    int32_t domainPatternCount = 0;
    GrowableArray<NamePattern> folderPatterns{15};
    GrowableArray<NamePattern> serverPatterns{15};
    GrowableArray<NamePattern> domainPatterns{7};
    FilterMode folderMode = FilterMode::All;
    FilterMode serverMode = FilterMode::All;
    FilterMode domainMode = FilterMode::All;
    // In OnlyThese mode, the server entries that name one server ("\\NAME", no wildcard), each
    // once whatever its case, as typed: they are searched even when the network does not list
    // them. Empty in every other mode.
    std::vector<std::string> namedServers;
    // Up to 99 masks as typed, then an empty slot that ends the list.
    std::array<std::string, kMaxNameMasks + 1> nameMasks;
    // The masks before the empty slot, compiled once for the folder walk, in the same order.
    std::vector<FileMask> fileMasks;
    SearchScope scope = SearchScope::Lan;
    uint32_t typeMask = 3; // bit 0: files are reported; bit 1: folders are reported
    int32_t includeSubfolders = 1;
    int32_t largerThanOn = 0;
    int32_t smallerThanOn = 0;
    uint32_t minSize = 0;   // a file's size must exceed it
    uint32_t maxSize = 0;   // a file's size must stay below it
    int32_t dateField = -1; // -1 no date test; 0 last write; 1 creation; 2 last access
    int32_t dateMode = 0;   // 0 between dateFrom and dateTo; 1 since dateFrom
    uint64_t dateFrom = 0;  // file time (100-ns units since 1601), compared as unsigned
    uint64_t dateTo = 0;
    // The masks compiled, for a search in the last result only.
    GrowableArray<NamePattern> refinePatterns{7};
    // The text a file must contain, in every form it is searched for; null when the Text page
    // asks for none. Shared, never changed: the copies of the criteria that searches keep all
    // read the one matcher.
    std::shared_ptr<const TextMatcher> containingText;

    // Number of masks before the empty slot.
    int maskCount() const;
};

// Compiles options into criteria. A scope other than LastResult searches the LAN. localNow
// stands in for the current local time of "During the previous" (tests pass a fixed moment).
void buildCriteria(SearchCriteria& criteria, const SearchOptions& options,
                   const SYSTEMTIME* localNow = nullptr);

// Compiles nameMasks into fileMasks, as buildCriteria does (for callers that fill nameMasks
// themselves). A walk with no compiled mask finds nothing.
void compileFileMasks(SearchCriteria& criteria);

// Takes the counts of the three pattern arrays, as a search does when it starts.
void capturePatternCounts(SearchCriteria& criteria);

// The list test: All accepts without looking; OnlyThese accepts when one of the first count
// patterns matches (none: reject); every other mode rejects when one matches. The caller
// lower-cases the candidate with lowerAnsi first.
bool listAccepts(FilterMode mode, const GrowableArray<NamePattern>& patterns, int32_t count,
                 std::string_view lowerCandidate);

// The type, date and size tests on an entry or found item (size: the low 32 bits).
bool matchesItem(const SearchCriteria& criteria, DWORD attributes, const FILETIME& creation,
                 const FILETIME& access, const FILETIME& write, uint32_t size);

// The two steps of matchesItem that the folder walker applies after its own type test.
bool passesDateTest(const SearchCriteria& criteria, const FILETIME& creation,
                    const FILETIME& access, const FILETIME& write);
bool passesSizeTest(const SearchCriteria& criteria, uint32_t size);

// The masks of a name text: ';' and spaces separate, runs of spaces count as one, at most 99
// are kept, an empty text gives "*.*". Returns the number of masks; the slot after the last one
// is emptied.
int splitNameMasks(const std::string& text, std::array<std::string, kMaxNameMasks + 1>& masks);
