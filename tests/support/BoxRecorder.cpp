// The message-box recorder.
#include "support/BoxRecorder.h"

BoxRecorder::BoxRecorder(int answer) {
    setMessageBoxResponder([this, answer](const MessageBoxRequest& box) {
        std::lock_guard<std::mutex> hold(lock_);
        boxes_.push_back(box);
        return answer;
    });
}

BoxRecorder::~BoxRecorder() {
    setMessageBoxResponder({});
}

size_t BoxRecorder::size() const {
    std::lock_guard<std::mutex> hold(lock_);
    return boxes_.size();
}

MessageBoxRequest BoxRecorder::operator[](size_t i) const {
    std::lock_guard<std::mutex> hold(lock_);
    return boxes_.at(i);
}

void BoxRecorder::clear() {
    std::lock_guard<std::mutex> hold(lock_);
    boxes_.clear();
}
