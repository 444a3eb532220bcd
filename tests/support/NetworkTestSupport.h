// Test helpers for the network walk and the search engine: a recorder that answers message
// boxes, and a probe for a machine without any network provider.
#pragma once

#include <windows.h>

#include <mutex>
#include <vector>

#include "toolkit/MessageBoxes.h"

// Answers every message box with OK while it lives and keeps what each box asked.
class BoxRecorder {
public:
    BoxRecorder();
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    int count();
    MessageBoxRequest at(int i);

private:
    std::mutex lock_;
    std::vector<MessageBoxRequest> boxes_;
};

namespace netsupport {
// True when the network provider router answers 1222 (no network) for the root.
bool noNetworkHere();
} // namespace netsupport
