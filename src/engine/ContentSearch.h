// ContentSearch: whether a file holds the search's text, read in blocks on the searching thread
// as the search reaches the file, without changing it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/TextMatcher.h"

enum class ContentAnswer {
    Holds,      // the text was found
    Lacks,      // the whole file was read and the text is not in it
    Unreadable, // not opened, not a disk file, or a read failed: no hit, and no message
    Stopped,    // the stop flag was set before the file was read to its end
};

// One per reading thread: it holds the block buffer and the path of the file being read, so
// that reading one file after another allocates nothing once the paths stop growing. A file is
// opened for reading with every share mode and sequential scan, together with the right to write
// its attributes where that is granted: then its last-access time is kept as it was, where the
// platform honours that (Windows does). A share that refuses that right for a file it lets be
// read (a read-only share refuses it for all) is not asked for it again by this reader, which
// remembers the last share that refused. A handle that is not a disk file is closed unread. The stop flag
// is read before every block of 64 KiB; the search stops at the first match.
class ContentReader {
public:
    static constexpr size_t kBlockBytes = 64 * 1024;

    explicit ContentReader(const TextMatcher& text);

    // Reads folder + "\" + name. Unreadable without opening anything when the folder or the
    // name is one the actions refuse (toolkit/PathNames.h: isActionableFolder, isActionableName).
    ContentAnswer read(std::string_view folder, std::string_view name,
                       const std::atomic<int32_t>& stopRequested);

private:
    TextScanner scanner_;
    std::string path_;
    std::string refusingVolume_; // the share ("\\server\share") or drive that refused last
};
