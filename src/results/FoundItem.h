// One file or folder that a search found or a result file supplied.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

// Field order and widths are those of a result-file record.
struct FoundItem {
    FILETIME creationTime{};
    FILETIME lastAccessTime{};
    FILETIME lastWriteTime{};
    uint32_t size = 0;       // low 32 bits of the entry's size
    uint32_t attributes = 0; // FILE_ATTRIBUTE_DIRECTORY (0x10) marks a folder
    std::string name;        // without any path
    std::string folder;      // containing folder, no trailing backslash ("C:" for a drive root)

    bool isFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // folder, one backslash, name.
    std::string fullPath() const { return folder + "\\" + name; }

    // Every field equal, texts byte for byte.
    friend bool operator==(const FoundItem& a, const FoundItem& b) {
        auto same = [](const FILETIME& x, const FILETIME& y) {
            return x.dwLowDateTime == y.dwLowDateTime && x.dwHighDateTime == y.dwHighDateTime;
        };
        return same(a.creationTime, b.creationTime) && same(a.lastAccessTime, b.lastAccessTime) &&
               same(a.lastWriteTime, b.lastWriteTime) && a.size == b.size &&
               a.attributes == b.attributes && a.name == b.name && a.folder == b.folder;
    }
};

// The fields of an item with its texts borrowed (from a directory entry, a file's bytes or an
// item), for storing without making strings first.
struct FoundItemRef {
    FILETIME creationTime{};
    FILETIME lastAccessTime{};
    FILETIME lastWriteTime{};
    uint32_t size = 0;
    uint32_t attributes = 0;
    std::string_view name;
    std::string_view folder;

    FoundItemRef() = default;
    FoundItemRef(const FoundItem& item)
        : creationTime(item.creationTime), lastAccessTime(item.lastAccessTime),
          lastWriteTime(item.lastWriteTime), size(item.size), attributes(item.attributes),
          name(item.name), folder(item.folder) {}
};
