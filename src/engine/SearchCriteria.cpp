// buildCriteria and the tests that search threads apply with the criteria.
#include "engine/SearchCriteria.h"

#include <set>

#include "engine/ContainingText.h"
#include "toolkit/FileTime.h"
#include "toolkit/PathNames.h"

namespace {

bool isWhite(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string trimmed(const std::string& s) {
    size_t begin = 0, end = s.size();
    while (begin < end && isWhite(s[begin]))
        ++begin;
    while (end > begin && isWhite(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

void compileList(const FilterList& list, FilterMode& mode, GrowableArray<NamePattern>& patterns) {
    mode = list.mode;
    if (mode == FilterMode::All) return;
    patterns.setSize(0);
    for (const std::string& name : list.names)
        patterns.append(NamePattern::compile(name));
}

// The entries of an OnlyThese server list that name a single server: two backslashes and one
// plain name without wildcards. An entry without the backslashes never names a server (server
// names carry them), and one with a wildcard is a pattern, not a name.
std::vector<std::string> namedServersOf(const FilterList& servers) {
    std::vector<std::string> named;
    if (servers.mode != FilterMode::OnlyThese) return named;
    std::set<std::string> seen;
    for (const std::string& entry : servers.names) {
        if (entry.size() < 3 || entry[0] != '\\' || entry[1] != '\\') continue;
        const std::string_view name = std::string_view(entry).substr(2);
        if (hasWildcard(name) || !isPlainName(name)) continue;
        if (seen.insert(lowerAnsi(entry)).second) named.push_back(entry);
    }
    return named;
}

// Calendar fields (year, month, day) of a 32-bit time in local time, with the given time of
// day, converted as they stand to a file time.
uint64_t localDateAt(int32_t time, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME fields{};
    if (!utcFileTimeToLocalFields(time32ToFileTimeU64(time), fields)) return 0;
    fields.wHour = hour;
    fields.wMinute = minute;
    fields.wSecond = second;
    fields.wMilliseconds = 0;
    fields.wDayOfWeek = 0;
    uint64_t out = 0;
    calendarFieldsToFileTimeU64(fields, out);
    return out;
}

// The lower bound of "During the previous": month(s) give 00:00 local on the same day count
// months earlier (days the earlier month lacks roll over); week(s) and day(s) give the current
// moment less count weeks or days. The local fields of the bound are taken as they stand.
// A bound before the earliest file time is the earliest file time.
uint64_t previousBound(uint32_t count, int32_t unit, const SYSTEMTIME* localNow) {
    SYSTEMTIME local{};
    uint64_t nowUtc = 0;
    if (localNow) {
        local = *localNow;
        if (!localFieldsToUtcFileTime(local, nowUtc)) return 0;
    } else {
        nowUtc = currentFileTimeU64();
        if (!utcFileTimeToLocalFields(nowUtc, local)) return 0;
    }
    uint64_t bound = 0;
    if (unit == 0) {
        SYSTEMTIME earlier{};
        if (!normaliseDate(local.wYear, int64_t(local.wMonth) - int64_t(count), local.wDay,
                           earlier))
            return 0;
        calendarFieldsToFileTimeU64(earlier, bound);
        return bound;
    }
    uint64_t seconds = uint64_t(count) * (unit == 2 ? 86400u : 604800u);
    uint64_t nowSeconds = nowUtc / kFileTimeTicksPerSecond;
    if (seconds >= nowSeconds) return 0;
    uint64_t momentUtc = nowUtc - seconds * kFileTimeTicksPerSecond;
    SYSTEMTIME momentLocal{};
    if (!utcFileTimeToLocalFields(momentUtc, momentLocal)) return 0;
    momentLocal.wMilliseconds = 0;
    calendarFieldsToFileTimeU64(momentLocal, bound);
    return bound;
}

} // namespace

int SearchCriteria::maskCount() const {
    int n = 0;
    while (n < int(nameMasks.size()) && !nameMasks[size_t(n)].empty())
        ++n;
    return n;
}

int splitNameMasks(const std::string& text, std::array<std::string, kMaxNameMasks + 1>& masks) {
    std::string s = text;
    for (char& c : s)
        if (c == ';') c = ' ';
    s = trimmed(s);
    int n = 0;
    if (s.empty()) {
        masks[size_t(n++)] = "*.*";
    } else {
        int splits = 0;
        size_t space;
        while (splits < kMaxNameMasks && (space = s.find(' ')) != std::string::npos) {
            masks[size_t(n++)] = s.substr(0, space);
            ++splits;
            size_t next = space + 1;
            while (next < s.size() && isWhite(s[next]))
                ++next;
            s.erase(0, next);
        }
        if (splits < kMaxNameMasks && !s.empty()) masks[size_t(n++)] = s;
    }
    masks[size_t(n)].clear();
    return n;
}

void buildCriteria(SearchCriteria& c, const SearchOptions& o, const SYSTEMTIME* localNow) {
    // An option file may carry any scope; anything but the last result searches the LAN.
    c.scope = o.scope == SearchScope::LastResult ? SearchScope::LastResult : SearchScope::Lan;

    int masks = splitNameMasks(o.namePattern, c.nameMasks);
    compileFileMasks(c);
    if (c.scope == SearchScope::LastResult) {
        c.refinePatterns.setSize(0);
        for (int i = 0; i < masks; ++i)
            c.refinePatterns.append(NamePattern::compile(c.nameMasks[size_t(i)]));
    }

    // An index outside the list (from an option file) reports files and folders alike.
    c.typeMask = o.fileType == 1 ? 1u : o.fileType == 2 ? 2u : 3u;
    c.includeSubfolders = o.includeSubfolders;

    compileList(o.domains, c.domainMode, c.domainPatterns);
    compileList(o.servers, c.serverMode, c.serverPatterns);
    c.namedServers = namedServersOf(o.servers);
    compileList(o.folders, c.folderMode, c.folderPatterns);

    if (o.dateEnabled == 0) {
        c.dateField = -1;
    } else {
        // A time stamp index outside the list tests the last write time.
        c.dateField = o.dateKind >= 0 && o.dateKind <= 2 ? o.dateKind : 0;
        c.dateMode = o.dateMode == 1 ? 1 : 0;
        if (c.dateMode == 0) {
            c.dateFrom = localDateAt(o.fromDate, 0, 0, 0);
            c.dateTo = localDateAt(o.toDate, 23, 59, 59);
        } else {
            c.dateFrom = previousBound(o.previousCount, o.previousUnit, localNow);
        }
    }

    c.largerThanOn = o.largerThanOn;
    c.smallerThanOn = o.smallerThanOn;
    c.minSize = o.largerThanKB * 1024u; // wraps beyond 32 bits
    c.maxSize = o.smallerThanKB * 1024u;
    // With a size test no folder is ever reported.
    if (c.largerThanOn || c.smallerThanOn) c.typeMask &= ~2u;

    // Nor with a text: folders hold no text.
    c.containingText = compileContainingText(o.containingText, o.matchCase != 0);
    if (c.containingText) c.typeMask &= ~2u;
}

void compileFileMasks(SearchCriteria& c) {
    c.fileMasks.clear();
    for (int i = 0; i < c.maskCount(); ++i)
        c.fileMasks.push_back(FileMask::compile(c.nameMasks[size_t(i)]));
}

void capturePatternCounts(SearchCriteria& c) {
    c.folderPatternCount = c.folderPatterns.count();
    c.serverPatternCount = c.serverPatterns.count();
    c.domainPatternCount = c.domainPatterns.count();
}

bool listAccepts(FilterMode mode, const GrowableArray<NamePattern>& patterns, int32_t count,
                 std::string_view lowerCandidate) {
    if (mode == FilterMode::All) return true;
    if (count > patterns.count()) count = patterns.count();
    bool matched = false;
    for (int32_t i = 0; i < count && !matched; ++i)
        matched = patterns[i].matches(lowerCandidate);
    return mode == FilterMode::OnlyThese ? matched : !matched;
}

bool passesDateTest(const SearchCriteria& c, const FILETIME& creation, const FILETIME& access,
                    const FILETIME& write) {
    if (c.dateField == -1) return true;
    const FILETIME& stamp = c.dateField == 1 ? creation : c.dateField == 2 ? access : write;
    uint64_t t = fileTimeToU64(stamp);
    if (c.dateFrom > t) return false;
    if (c.dateMode != 1 && t > c.dateTo) return false;
    return true;
}

bool passesSizeTest(const SearchCriteria& c, uint32_t size) {
    if (c.largerThanOn && size <= c.minSize) return false;
    if (c.smallerThanOn && size >= c.maxSize) return false;
    return true;
}

bool matchesItem(const SearchCriteria& c, DWORD attributes, const FILETIME& creation,
                 const FILETIME& access, const FILETIME& write, uint32_t size) {
    bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!(c.typeMask & (folder ? 2u : 1u))) return false;
    return passesDateTest(c, creation, access, write) && passesSizeTest(c, size);
}
