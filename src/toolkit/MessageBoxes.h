// The program's one place for message boxes: every box goes through showMessageBox, so that
// tests can answer boxes without a person and see what was asked.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The caption of the program's message boxes.
inline constexpr const char* kAppTitle = "Corvask";

struct MessageBoxRequest {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type; // MB_ flags as given to MessageBoxA
};

// Answers a box instead of a person: returns the button id (IDOK, IDYES, ...).
using MessageBoxResponder = std::function<int(const MessageBoxRequest&)>;

// Shows a modal box with MessageBoxA, or hands it to the responder when one is set. Callable
// from any thread.
int showMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

// Sets the responder for every later box (an empty function restores the real boxes).
void setMessageBoxResponder(MessageBoxResponder responder);
