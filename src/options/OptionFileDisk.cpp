// Writing and reading option files on disk, through the buffered file archive.
#include "options/OptionFile.h"

#include <new>
#include <stdexcept>

#include "toolkit/FileArchive.h"

void writeOptionFile(const std::string& path, const SearchOptions& options) {
    try {
        std::string bytes;
        encodeOptions(bytes, options);
        FileArchive out = FileArchive::createForWriting(path);
        out.writeBytes(bytes.data(), bytes.size());
        out.close();
    } catch (const std::bad_alloc&) {
        throw FileError::outOfMemory(path);
    } catch (const std::exception&) {
        // std::length_error and anything else a hostile file could provoke: the generic text.
        throw FileError::outOfMemory(path);
    }
}

void readOptionFile(const std::string& path, SearchOptions& into) {
    try {
        FileArchive in = FileArchive::openForReading(path);
        decodeOptions(in, into);
        in.close();
    } catch (const std::bad_alloc&) {
        throw FileError::outOfMemory(path);
    } catch (const std::exception&) {
        // std::length_error and anything else a hostile file could provoke: the generic text.
        throw FileError::outOfMemory(path);
    }
}
