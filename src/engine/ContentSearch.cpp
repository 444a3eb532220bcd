// Reading one file for the text: which names are opened, how, and the block loop.
#include "engine/ContentSearch.h"

#include <windows.h>

#include "toolkit/AnsiChars.h"
#include "toolkit/PathNames.h"

namespace {

// A file handle closed on every way out.
class ReadHandle {
public:
    explicit ReadHandle(HANDLE handle) : handle_(handle) {}
    ~ReadHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    ReadHandle(const ReadHandle&) = delete;
    ReadHandle& operator=(const ReadHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

constexpr DWORD kEveryShareMode = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE openForReading(const std::string& path, DWORD access) {
    return CreateFileA(path.c_str(), access, kEveryShareMode, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// Errors after which asking again for less cannot help: the file or its path is not there.
bool isGone(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME ||
           error == ERROR_INVALID_NAME;
}

// The share a folder lies on ("\\server\share") or its drive ("X:"): what grants or refuses the
// rights of all its files. The folder is a plain one (isActionableFolder).
std::string_view volumeOf(std::string_view folder) {
    if (folder.size() < 2 || folder[0] != '\\' || folder[1] != '\\') return folder.substr(0, 2);
    const size_t server = ansi::findChar(folder, '\\', 2);
    const size_t share = server == std::string_view::npos
                             ? std::string_view::npos
                             : ansi::findChar(folder, '\\', server + 1);
    return folder.substr(0, share);
}

} // namespace

ContentReader::ContentReader(const TextMatcher& text) : scanner_(text, kBlockBytes) {}

ContentAnswer ContentReader::read(std::string_view folder, std::string_view name,
                                  const std::atomic<int32_t>& stopRequested) {
    if (stopRequested.load()) return ContentAnswer::Stopped;
    // Only what the actions would touch: a name the platform trims or reads as a device would
    // open another file, or no file at all.
    if (!isActionableFolder(folder) || !isActionableName(name))
        return ContentAnswer::Unreadable;
    path_.assign(folder);
    path_ += '\\';
    path_.append(name);

    // The right to write attributes lets the last-access time be kept; a read-only share
    // refuses it, and the file is then read all the same. Such a share refuses it for every
    // file, so once it refused it for a file it let be read, its other files are opened for
    // reading alone: one open each instead of two, and on a network each open is a round trip.
    const std::string_view volume = volumeOf(folder);
    const bool askAttributes = volume != refusingVolume_;
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (askAttributes) {
        handle = openForReading(path_, GENERIC_READ | FILE_WRITE_ATTRIBUTES);
        if (handle == INVALID_HANDLE_VALUE && isGone(GetLastError()))
            return ContentAnswer::Unreadable;
    }
    const bool keepsAccessTime = handle != INVALID_HANDLE_VALUE;
    if (!keepsAccessTime) {
        handle = openForReading(path_, GENERIC_READ);
        if (handle == INVALID_HANDLE_VALUE) return ContentAnswer::Unreadable;
        if (askAttributes) refusingVolume_.assign(volume);
    }
    ReadHandle file(handle);
    // A device, a pipe or a console behind a name is never read: a read could wait for ever.
    if (GetFileType(handle) != FILE_TYPE_DISK) return ContentAnswer::Unreadable;
    if (keepsAccessTime) {
        // All ones: reads through this handle leave the last-access time alone.
        FILETIME unchanged{0xFFFFFFFF, 0xFFFFFFFF};
        SetFileTime(handle, nullptr, &unchanged, nullptr);
    }

    scanner_.startFile();
    for (;;) {
        if (stopRequested.load()) return ContentAnswer::Stopped;
        DWORD got = 0;
        if (!ReadFile(handle, scanner_.blockSpace(), DWORD(scanner_.blockBytes()), &got, nullptr))
            return ContentAnswer::Unreadable;
        if (got == 0) return scanner_.finishFile() ? ContentAnswer::Holds : ContentAnswer::Lacks;
        if (scanner_.takeBlock(got)) return ContentAnswer::Holds;
    }
}
