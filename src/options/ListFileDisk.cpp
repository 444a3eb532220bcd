// Reading and writing list files on disk, through the buffered file archive.
#include "options/ListFile.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "toolkit/FileArchive.h"

void readListFile(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    try {
        FileArchive file = FileArchive::openForReading(path);
        ListFileReader reader(names, file.bytesLeft());
        // Read in buffer-sized pieces; the reader's budget bounds what the names take.
        char piece[FileArchive::kBufferSize];
        while (uint64_t left = file.bytesLeft()) {
            size_t n = static_cast<size_t>(std::min<uint64_t>(left, sizeof piece));
            file.readBytes(piece, n);
            if (!reader.feed(piece, n)) break;
        }
        reader.finish();
        file.close();
    } catch (const std::bad_alloc&) {
        throw FileError::outOfMemory(path);
    } catch (const std::exception&) {
        // std::length_error and anything else a hostile file could provoke: the generic text.
        throw FileError::outOfMemory(path);
    }
}

void writeListFile(const std::string& path, const std::vector<std::string>& names) {
    FileArchive file = FileArchive::createForWriting(path);
    for (const std::string& name : names) {
        file.writeBytes(name.data(), name.size());
        file.writeBytes("\n", 1);
    }
    file.close();
}
