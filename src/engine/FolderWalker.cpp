// Walking one folder tree with the search's masks, and turning directory entries into hits.
#include "engine/FolderWalker.h"

#include <cstring>
#include <vector>

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

// A mask is a name pattern, never a path: one that holds a separator or a drive colon would make
// the listing reach another folder ("..\*" lists the parent) and record its entries here. No
// name holds those characters, so such a mask matches nothing.
bool isNameMask(const std::string& mask) {
    return ansi::findCharOf(mask, "\\/:") == std::string::npos;
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
    if (ansi::findCharOf(name, "\\/:*") != std::string_view::npos) return false;
    if (ansi::findChar(name, '?') == std::string_view::npos) return true;
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

} // namespace

void walkFolder(const WalkContext& context, const std::string& path) {
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

    // The folder's own hits: one listing per mask, in the order typed. A mask that lists every
    // entry also gives the subfolders, so that such a folder is listed once, not twice: on a
    // network every listing is a round trip, and the default search lists everything.
    const bool wantSubfolders = criteria.includeSubfolders != 0;
    std::vector<std::string> subfolders;
    bool subfoldersKnown = false;
    WIN32_FIND_DATAA entry;
    for (const std::string& mask : criteria.nameMasks) {
        // After a stop no further listing is opened: on a slow share each one costs a round trip.
        if (mask.empty() || stopped(context)) break;
        if (!isNameMask(mask)) continue;
        const bool collect = wantSubfolders && !subfoldersKnown && listsEveryEntry(mask);
        Listing listing(path + "\\" + mask, entry);
        if (!listing.open()) continue; // nothing matches, access denied, path too long
        do {
            if (stopped(context)) break;
            bool wildcard = false;
            if (!trustName(entry, wildcard)) continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (criteria.typeMask & 2) addHit(context, entry, path);
                if (collect && !wildcard && isEnterableFolderName(entry.cFileName))
                    subfolders.emplace_back(entry.cFileName);
            } else if (criteria.typeMask & 1) {
                addHit(context, entry, path);
            }
        } while (listing.next(entry));
        subfoldersKnown = subfoldersKnown || collect;
    }

    // Then the subfolders, depth-first in listing order.
    if (!wantSubfolders || stopped(context)) return;
    if (subfoldersKnown) {
        for (const std::string& name : subfolders) {
            if (stopped(context)) return;
            walkFolder(context, path + "\\" + name);
        }
        return;
    }
    // No mask listed everything: one more listing, which stays open while the walk descends.
    Listing listing(path + "\\*.*", entry);
    if (!listing.open()) return;
    do {
        bool wildcard = false;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && trustName(entry, wildcard) &&
            !wildcard && isEnterableFolderName(entry.cFileName))
            walkFolder(context, path + "\\" + entry.cFileName);
    } while (!stopped(context) && listing.next(entry));
}

bool listsEveryEntry(const std::string& mask) {
    return mask == "*" || mask == "*.*";
}

bool isEnterableFolderName(const char* name) {
    return name[0] != '\0' && !isTrimmedName(name) && !isDeviceName(name);
}

void addHit(const WalkContext& context, const WIN32_FIND_DATAA& entry, const std::string& folder) {
    if (!passesDateTest(context.criteria, entry.ftCreationTime, entry.ftLastAccessTime,
                        entry.ftLastWriteTime) ||
        !passesSizeTest(context.criteria, entry.nFileSizeLow))
        return;
    FoundItemRef item;
    item.creationTime = entry.ftCreationTime;
    item.lastAccessTime = entry.ftLastAccessTime;
    item.lastWriteTime = entry.ftLastWriteTime;
    item.size = entry.nFileSizeLow;
    item.attributes = entry.dwFileAttributes;
    item.name = entry.cFileName; // the walker has cut it at MAX_PATH - 1
    item.folder = folder;
    // The stop is looked at under storeLock: once a stop is requested no hit is added, so a
    // walker that comes back from a server's call after its search was left behind can never
    // add to a later search (which empties the store under storeLock).
    LockHolder hold(context.store.storeLock());
    if (stopped(context)) return;
    context.store.append(item); // storeLock is re-entrant; the copy sends nothing
}
