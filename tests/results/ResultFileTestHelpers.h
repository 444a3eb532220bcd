// Temporary folders, whole-file reads and writes, and message-box capture for the result-file and
// export tests.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/FoundItem.h"
#include "toolkit/MessageBoxes.h"

// A fresh folder under the temporary folder, removed with its files at the end of the test.
class ScratchFolder {
public:
    ScratchFolder() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        static int serial = 0;
        path_ = std::string(base) + "corvask-g-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++serial);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAA entry;
        HANDLE h = FindFirstFileA((path_ + "\\*").c_str(), &entry);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileA((path_ + "\\" + entry.cFileName).c_str());
            } while (FindNextFileA(h, &entry));
            FindClose(h);
        }
        RemoveDirectoryA(path_.c_str());
    }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline std::string readWholeFile(const std::string& path) {
    std::string bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got)
        bytes.append(chunk, got);
    CloseHandle(h);
    return bytes;
}

inline void writeWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(written, bytes.size());
}

// Answers every message box with OK and keeps what was asked, for the length of a test.
class BoxRecorder {
public:
    BoxRecorder() {
        setMessageBoxResponder([this](const MessageBoxRequest& r) {
            boxes.push_back(r);
            return IDOK;
        });
    }
    ~BoxRecorder() { setMessageBoxResponder({}); }
    std::vector<MessageBoxRequest> boxes;
};

inline FILETIME fileTime(uint64_t ticks) {
    return FILETIME{DWORD(ticks & 0xFFFFFFFF), DWORD(ticks >> 32)};
}

inline FoundItem makeItem(const std::string& name, const std::string& folder, uint32_t size,
                          uint32_t attributes = FILE_ATTRIBUTE_ARCHIVE, uint64_t written = 0) {
    FoundItem item;
    item.name = name;
    item.folder = folder;
    item.size = size;
    item.attributes = attributes;
    item.creationTime = fileTime(written ? written - 1000 : 0);
    item.lastAccessTime = fileTime(written ? written + 1000 : 0);
    item.lastWriteTime = fileTime(written);
    return item;
}
