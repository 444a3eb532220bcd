// The tests' one recorder of message boxes: while it lives, every box of the program is answered
// with OK (or a chosen button) and kept, from whichever thread it came.
#pragma once

#include <windows.h>

#include <mutex>
#include <vector>

#include "toolkit/MessageBoxes.h"

class BoxRecorder {
public:
    explicit BoxRecorder(int answer = IDOK);
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    size_t size() const;
    bool empty() const { return size() == 0; }
    // A copy of box i (boxes are kept in the order they were shown).
    MessageBoxRequest operator[](size_t i) const;
    void clear();

private:
    mutable std::mutex lock_;
    std::vector<MessageBoxRequest> boxes_;
};
