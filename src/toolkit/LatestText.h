// LatestText: the newest of many texts set from any thread, for a control that shows it when it
// next looks, so that the threads setting it never wait for the window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace toolkit {

// One writer or many, one reader (the interface thread). set() copies the text under a short lock
// and returns; it never sends a message. The storage is reused, so a text no longer than any
// before it costs no allocation.
class LatestText {
public:
    LatestText() { InitializeCriticalSection(&lock_); }
    ~LatestText() { DeleteCriticalSection(&lock_); }
    LatestText(const LatestText&) = delete;
    LatestText& operator=(const LatestText&) = delete;

    void set(std::string_view text) {
        EnterCriticalSection(&lock_);
        text_.assign(text.data(), text.size());
        ++serial_;
        LeaveCriticalSection(&lock_);
    }
    // Copies the text into out when it was set since the last takeNewer; false otherwise.
    bool takeNewer(std::string& out) {
        bool newer = false;
        EnterCriticalSection(&lock_);
        if (serial_ != taken_) {
            out.assign(text_);
            taken_ = serial_;
            newer = true;
        }
        LeaveCriticalSection(&lock_);
        return newer;
    }
    // Forgets what was set and not yet taken.
    void dropPending() {
        EnterCriticalSection(&lock_);
        taken_ = serial_;
        LeaveCriticalSection(&lock_);
    }

private:
    CRITICAL_SECTION lock_;
    std::string text_;
    uint32_t serial_ = 0;
    uint32_t taken_ = 0;
};

// Sent (from the window's own thread) to a status bar that can show a LatestText in one of its
// panes: wParam = pane index, lParam = the LatestText (null stops showing one; what was set and
// not yet shown is dropped). The bar answers TRUE when it follows the text: it shows the newest
// one at its next tick and before it answers any other status-bar message. A bar that does not
// know the message answers 0 and shows nothing of it.
inline UINT followPaneTextMessage() {
    static const UINT id = RegisterWindowMessageA("CorvaskFollowPaneText");
    return id;
}

} // namespace toolkit
