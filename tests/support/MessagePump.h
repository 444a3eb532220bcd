// The tests' one message pump: answers the messages of the calling thread (those that other
// threads send to it included), and waits for a condition with a time limit, so that a test
// waiting for a thread fails instead of hanging the run.
#pragma once

#include <windows.h>

#include <functional>

// Long enough for any honest wait on a loaded machine; a limit, not a timing.
inline constexpr DWORD kPumpLimitMs = 300000;

// Dispatches every waiting message of this thread.
void pumpMessages();
// Keeps answering this thread's messages until done() is true; false when limitMs passed first.
[[nodiscard]] bool pumpUntil(const std::function<bool()>& done, DWORD limitMs = kPumpLimitMs);
