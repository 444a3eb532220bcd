// Test helpers for the network walk and the search engine.
#include "support/NetworkTestSupport.h"

#include <winnetwk.h>

BoxRecorder::BoxRecorder() {
    setMessageBoxResponder([this](const MessageBoxRequest& box) {
        std::lock_guard<std::mutex> hold(lock_);
        boxes_.push_back(box);
        return IDOK;
    });
}

BoxRecorder::~BoxRecorder() {
    setMessageBoxResponder({});
}

int BoxRecorder::count() {
    std::lock_guard<std::mutex> hold(lock_);
    return int(boxes_.size());
}

MessageBoxRequest BoxRecorder::at(int i) {
    std::lock_guard<std::mutex> hold(lock_);
    return boxes_.at(size_t(i));
}

namespace netsupport {
bool noNetworkHere() {
    HANDLE handle = nullptr;
    DWORD result = WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, nullptr, &handle);
    if (result == NO_ERROR) WNetCloseEnum(handle);
    return result == ERROR_NO_NETWORK;
}
} // namespace netsupport
