// The reader of list files' bytes (platform-neutral: no windows.h, so that it can also be built
// natively for fuzzing).
#include "options/ListFile.h"

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
