// Reading one file for the text: which names are opened, how, and the block loop.
#include "engine/ContentSearch.h"

#include <windows.h>

#include "toolkit/PathNames.h"

namespace {

bool isBlank(char c) {
    return c == ' ';
}

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool sameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    return true;
}

// The platform takes these names as devices, with any extension and blanks before it.
bool isDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && isBlank(base.back()))
        base.remove_suffix(1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (sameAscii(base, device)) return true;
    if (base.size() == 4 && base[3] >= '0' && base[3] <= '9' &&
        (sameAscii(base.substr(0, 3), "COM") || sameAscii(base.substr(0, 3), "LPT")))
        return true;
    return false;
}

// The file actions' own check of a name, until it lives in toolkit/PathNames beside isPlainName:
// a name the platform would trim when opening it (a trailing dot or blank, which takes in names
// of dots and blanks only) reaches another file, and a device name no file at all.
bool actionsAcceptName(std::string_view name) {
    if (!isPlainName(name, QuestionMarks::Refused)) return false;
    if (name.back() == '.' || isBlank(name.back())) return false;
    return !isDeviceName(name);
}

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

} // namespace

bool isReadableName(std::string_view name) {
    return actionsAcceptName(name);
}

ContentReader::ContentReader(const TextMatcher& text) : scanner_(text, kBlockBytes) {}

ContentAnswer ContentReader::read(const std::string& folder, const std::string& name,
                                  const std::atomic<int32_t>& stopRequested) {
    if (stopRequested.load()) return ContentAnswer::Stopped;
    if (!isPlainFolder(folder, QuestionMarks::Refused) || !isReadableName(name))
        return ContentAnswer::Unreadable;
    const std::string path = folder + "\\" + name;

    // The right to write attributes lets the last-access time be kept; a read-only share
    // refuses it, and the file is then read all the same.
    bool keepsAccessTime = true;
    HANDLE handle = openForReading(path, GENERIC_READ | FILE_WRITE_ATTRIBUTES);
    if (handle == INVALID_HANDLE_VALUE && !isGone(GetLastError())) {
        keepsAccessTime = false;
        handle = openForReading(path, GENERIC_READ);
    }
    if (handle == INVALID_HANDLE_VALUE) return ContentAnswer::Unreadable;
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
