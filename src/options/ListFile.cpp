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
    if (!done_ && !line_.empty()) names_.push_back(std::move(line_));
    line_.clear();
    done_ = true;
}

void ListFileReader::endLine() {
    if (line_.empty()) {
        done_ = true;
        return;
    }
    names_.push_back(std::move(line_));
    line_.clear();
}

void readListFile(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    FileArchive file = FileArchive::openForReading(path);
    ListFileReader reader(names);
    // Read in buffer-sized pieces: the names can never need more memory than the file holds.
    char piece[FileArchive::kBufferSize];
    while (uint64_t left = file.bytesLeft()) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(left, sizeof piece));
        file.readBytes(piece, n);
        if (!reader.feed(piece, n)) break;
    }
    reader.finish();
    file.close();
}

void writeListFile(const std::string& path, const std::vector<std::string>& names) {
    FileArchive file = FileArchive::createForWriting(path);
    for (const std::string& name : names) {
        file.writeBytes(name.data(), name.size());
        file.writeBytes("\n", 1);
    }
    file.close();
}
