// Answers the program's own modal dialogs in tests: an action runs on the dialog once it is up,
// from a timer of the test's thread, which the dialog's modal loop serves.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The next dialog window with this title that appears on the calling thread gets action (for
// example: fill a field, then press OK). Call before the code that runs the dialog.
void whenDialogAppears(const std::string& title, std::function<void(HWND)> action);

// Whether the action given to whenDialogAppears has run (and so the dialog was seen).
bool dialogWasAnswered();

// Presses a dialog's button as a click would (BN_CLICKED from the button).
void pressButton(HWND dialog, int id);
