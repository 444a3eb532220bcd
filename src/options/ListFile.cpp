// Reading and writing of list files.
#include "options/ListFile.h"

#include "toolkit/FileArchive.h"

#include <algorithm>

bool ListFileReader::feed(const char* data, size_t size) {
    for (size_t i = 0; i < size && !done_; ++i) {
        char c = data[i];
        if (skipNext_) {
            skipNext_ = false;
            continue;
        }
        if (c == '\n') {
            endLine();
        } else if (c == '\r') {
            skipNext_ = true;
            endLine();
        } else {
            line_.push_back(c);
        }
    }
    return !done_;
}

void ListFileReader::finish() {
    if (!done_ && !line_.empty()) endLine();
    line_.clear();
    done_ = true;
}

void ListFileReader::endLine() {
    if (line_.empty()) {
        done_ = true;
        return;
    }
    // The name's object, the room the list grows by when it is full, and the name's own block.
    if (names_.size() == names_.capacity())
        budget_.chargeElements(names_.capacity() ? names_.capacity() : 1, sizeof(std::string));
    budget_.charge(ReadBudget::stringHeapBytes(line_.size()));
    names_.push_back(std::move(line_));
    line_.clear();
}

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
    } catch (const std::length_error&) {
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
