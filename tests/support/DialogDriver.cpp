// Drives modal dialogs from a thread timer.
#include "support/DialogDriver.h"

namespace {

std::string wantedTitle;
std::function<void(HWND)> pendingAction;
bool answered = false;
UINT_PTR timerId = 0;

struct Search {
    DWORD thread;
    HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    char title[256] = "";
    char className[64] = "";
    GetWindowTextA(window, title, sizeof title);
    GetClassNameA(window, className, sizeof className);
    if (IsWindowVisible(window) && wantedTitle == title && lstrcmpA(className, "#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) {
    Search search{GetCurrentThreadId(), nullptr};
    EnumThreadWindows(search.thread, findDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.found || !pendingAction) return;
    KillTimer(nullptr, timerId);
    timerId = 0;
    auto action = std::move(pendingAction);
    pendingAction = nullptr;
    answered = true;
    action(search.found);
}

} // namespace

void whenDialogAppears(const std::string& title, std::function<void(HWND)> action) {
    wantedTitle = title;
    pendingAction = std::move(action);
    answered = false;
    if (timerId) KillTimer(nullptr, timerId);
    timerId = SetTimer(nullptr, 0, 20, onTimer);
}

bool dialogWasAnswered() {
    return answered;
}

void pressButton(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
