// The program's one place for message boxes.
#include "toolkit/MessageBoxes.h"

#include <mutex>

namespace {
std::mutex responderMutex;
MessageBoxResponder responder;
} // namespace

int showMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    MessageBoxResponder answer;
    {
        std::lock_guard<std::mutex> hold(responderMutex);
        answer = responder;
    }
    if (answer) return answer(MessageBoxRequest{owner, text, caption, type});
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

void setMessageBoxResponder(MessageBoxResponder r) {
    std::lock_guard<std::mutex> hold(responderMutex);
    responder = std::move(r);
}
