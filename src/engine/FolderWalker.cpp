// Walking one folder tree with one listing per folder, applying the search's masks and tests to
// each entry (the text last), and turning entries into hits.
#include "engine/FolderWalker.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/ContentSearch.h"

#include "toolkit/AnsiChars.h"
#include "toolkit/NamePattern.h"
#include "toolkit/PathNames.h"
#include "engine/SearchCriteria.h"
#include "results/ResultStore.h"

namespace {

// One open directory listing, closed on every way out of the scope.
class Listing {
public:
    Listing(const std::string& pattern, WIN32_FIND_DATAA& entry)
        : handle_(FindFirstFileA(pattern.c_str(), &entry)) {}
    ~Listing() {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;

    bool open() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool next(WIN32_FIND_DATAA& entry) { return FindNextFileA(handle_, &entry) != 0; }

private:
    HANDLE handle_;
};

bool isDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Makes the entry's name one the program can trust, or returns false when the entry is no hit
// and is not entered. A server may return any bytes: a separator, a drive colon or '*' cannot be
// part of a real name (an empty name neither); "." and ".." are the folder itself and its
// parent, whatever attributes they come with. The name is read character by character: in the
// double-byte code pages a character's second byte may be the byte of '\'. A '?' stands for a
// character the ANSI code page could not hold, and is a wildcard to the platform and the shell:
// such an entry takes its short name, which reaches the same file, when it has a plain one;
// otherwise it stays a hit as it came (the actions refuse it) and wildcard is set, so that the
// walk does not enter it. No allocation.
bool trustName(WIN32_FIND_DATAA& entry, bool& wildcard) {
    wildcard = false;
    entry.cFileName[MAX_PATH - 1] = '\0';
    const std::string_view name(entry.cFileName);
    if (name.empty() || isDotEntry(entry.cFileName)) return false;
    // One pass for the usual name; a '?' sends the scan on for the refused characters.
    const size_t odd = ansi::findCharOf(name, "\\/:*?");
    if (odd == std::string_view::npos) return true;
    if (name[odd] != '?' || ansi::findCharOf(name, "\\/:*", odd + 1) != std::string_view::npos)
        return false;
    entry.cAlternateFileName[sizeof entry.cAlternateFileName - 1] = '\0';
    if (isPlainName(entry.cAlternateFileName, QuestionMarks::Refused)) {
        std::memcpy(entry.cFileName, entry.cAlternateFileName, sizeof entry.cAlternateFileName);
        return true;
    }
    wildcard = true;
    return true;
}

bool stopped(const WalkContext& context) {
    return context.stopRequested.load() != 0;
}

// The masks that match the entry, as positions in the order typed; returns how many. The names
// are those the listing gave, before trustName may put the short name in place of the long one.
int matchingMasks(const std::vector<FileMask>& masks, const WIN32_FIND_DATAA& entry,
                  uint8_t (&matched)[kMaxNameMasks]) {
    MaskName longName(entry.cFileName), shortName(entry.cAlternateFileName);
    const size_t count = std::min(masks.size(), size_t(kMaxNameMasks));
    int n = 0;
    for (size_t i = 0; i < count; ++i)
        if (masks[i].matches(longName, shortName)) matched[n++] = uint8_t(i);
    return n;
}

// The tests of the entry itself, made once for it however many masks matched it: the date and
// the size. A test that reads the file goes after these, so that it reads a file at most once.
bool passesEntryTests(const SearchCriteria& criteria, const WIN32_FIND_DATAA& entry) {
    return passesDateTest(criteria, entry.ftCreationTime, entry.ftLastAccessTime,
                          entry.ftLastWriteTime) &&
           passesSizeTest(criteria, entry.nFileSizeLow);
}

// Appends one hit; false once a stop is requested. The stop is looked at under storeLock: once
// a stop is requested no hit is added, so a walker that comes back from a server's call after
// its search was left behind can never add to a later search (which empties the store under
// storeLock).
bool storeHit(const WalkContext& context, const FoundItemRef& item) {
    LockHolder hold(context.store.storeLock());
    if (stopped(context)) return false;
    context.store.append(item); // storeLock is re-entrant; the copy sends nothing
    return true;
}

FoundItemRef hitOf(const WIN32_FIND_DATAA& entry, std::string_view folder) {
    FoundItemRef item;
    item.creationTime = entry.ftCreationTime;
    item.lastAccessTime = entry.ftLastAccessTime;
    item.lastWriteTime = entry.ftLastWriteTime;
    item.size = entry.nFileSizeLow;
    item.attributes = entry.dwFileAttributes;
    item.name = entry.cFileName; // cut at MAX_PATH - 1 before any test
    item.folder = folder;
    return item;
}

// The hits of one folder for the masks after the first. One listing per mask would report the
// first mask's hits, then the second's, and so on, each in listing order; the first mask's hits
// go to the store as the listing gives them, the others wait here until it has ended. An entry
// is kept once, however many masks matched it.
class LaterHits {
public:
    void clear() {
        entries_.clear();
        names_.clear();
        order_.clear();
    }
    void add(const WIN32_FIND_DATAA& entry, const uint8_t* masks, int count) {
        const uint32_t at = uint32_t(entries_.size());
        FoundItemRef item = hitOf(entry, {});
        const size_t nameLength = item.name.size();
        entries_.push_back({item, uint32_t(names_.size()), uint32_t(nameLength)});
        names_.append(item.name);
        for (int i = 0; i < count; ++i)
            order_.push_back({masks[i], at});
    }
    // Mask by mask, each mask's hits in listing order; false once a stop is requested.
    bool store(const WalkContext& context, const std::string& folder) {
        std::stable_sort(order_.begin(), order_.end(),
                         [](const Later& a, const Later& b) { return a.mask < b.mask; });
        for (const Later& later : order_) {
            const Waiting& waiting = entries_[later.entry];
            FoundItemRef item = waiting.item;
            item.name = std::string_view(names_).substr(waiting.nameAt, waiting.nameLength);
            item.folder = folder;
            if (!storeHit(context, item)) return false;
        }
        return true;
    }

private:
    struct Waiting {
        FoundItemRef item; // its texts are set when it is stored
        uint32_t nameAt;
        uint32_t nameLength;
    };
    struct Later {
        uint8_t mask;
        uint32_t entry;
    };
    std::vector<Waiting> entries_;
    std::string names_;
    std::vector<Later> order_;
};

// What the walk of one tree reuses from folder to folder. The reader (with its block buffer) is
// made at the first file the walk reads, so a walk without a text, or one whose entries all fail
// the cheaper tests, never makes one.
struct WalkScratch {
    LaterHits later;
    uint8_t matched[kMaxNameMasks];
    std::unique_ptr<ContentReader> reader;
};

enum class Contents { Hit, NoHit, Stop };

// The text test, after every other: the file is read as the walk reaches it, on this thread,
// while its folder's listing is open, and once however many masks matched it (the entry goes to
// the store or to LaterHits only when it holds the text). Without a text every entry passes. A
// file that cannot be opened or read is no hit and costs no message, like a folder that cannot
// be listed. A read held by a server that stopped answering holds this thread: the engine leaves
// it behind after a stop as it does one held in a listing, and when the read returns the stop
// keeps its answer out of the store.
Contents testContents(const WalkContext& context, WalkScratch& scratch, std::string_view folder,
                      const char* name) {
    const TextMatcher* text = context.criteria.containingText.get();
    if (!text) return Contents::Hit;
    if (!scratch.reader) scratch.reader = std::make_unique<ContentReader>(*text);
    switch (scratch.reader->read(folder, name, context.stopRequested)) {
    case ContentAnswer::Holds: return Contents::Hit;
    case ContentAnswer::Stopped: return Contents::Stop;
    default: return Contents::NoHit;
    }
}

void walkTree(const WalkContext& context, const std::string& path, WalkScratch& scratch) {
    if (stopped(context)) return;
    const SearchCriteria& criteria = context.criteria;

    // Every folder walked must pass the folder list, the share root included: a rejected folder
    // is skipped with everything below it.
    if (criteria.folderMode != FilterMode::All) {
        size_t slash = ansi::findLastChar(path, '\\');
        std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
        if (!listAccepts(criteria.folderMode, criteria.folderPatterns, criteria.folderPatternCount,
                         lowerAnsi(last)))
            return;
    }

    context.statusBar.set(path);

    // One listing of every entry, whatever the masks: on a network each listing costs round
    // trips. The listing is closed before the walk descends.
    const bool wantSubfolders = criteria.includeSubfolders != 0;
    std::vector<std::string> subfolders;
    LaterHits& later = scratch.later;
    later.clear();
    {
        WIN32_FIND_DATAA entry;
        Listing listing(path + "\\*", entry);
        if (!listing.open()) return; // access denied, path too long, gone
        do {
            if (stopped(context)) return;
            entry.cFileName[MAX_PATH - 1] = '\0';
            entry.cAlternateFileName[sizeof entry.cAlternateFileName - 1] = '\0';
            const bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const int matched = (criteria.typeMask & (folder ? 2u : 1u))
                                    ? matchingMasks(criteria.fileMasks, entry, scratch.matched)
                                    : 0;
            bool wildcard = false;
            if (!trustName(entry, wildcard)) continue;
            if (folder && wantSubfolders && !wildcard && isEnterableFolderName(entry.cFileName))
                subfolders.emplace_back(entry.cFileName);
            if (matched == 0 || !passesEntryTests(criteria, entry)) continue;
            const Contents contents = testContents(context, scratch, path, entry.cFileName);
            if (contents == Contents::Stop) return;
            if (contents == Contents::NoHit) continue;
            const uint8_t* masks = scratch.matched;
            int count = matched;
            if (masks[0] == 0) {
                if (!storeHit(context, hitOf(entry, path))) return;
                ++masks;
                --count;
            }
            if (count > 0) later.add(entry, masks, count);
        } while (listing.next(entry));
    }
    if (!later.store(context, path)) return;

    // Then the subfolders, depth-first in listing order.
    for (const std::string& name : subfolders) {
        if (stopped(context)) return;
        walkTree(context, path + "\\" + name, scratch);
    }
}

} // namespace

void walkFolder(const WalkContext& context, const std::string& path) {
    WalkScratch scratch;
    walkTree(context, path, scratch);
}

bool isEnterableFolderName(const char* name) {
    return name[0] != '\0' && !isTrimmedName(name) && !isDeviceName(name);
}
