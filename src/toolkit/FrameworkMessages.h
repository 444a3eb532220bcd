// The private window messages of the dialog framework, each with its meaning, in one place.
#pragma once

#include <windows.h>

namespace toolkit {

// wParam = string id of a prompt to show in the status bar; answers the id shown before.
inline constexpr UINT WM_SETMESSAGESTRING = 0x0362;
// Sent to a bar by its dialog in idle time: wParam = disable commands without a handler.
inline constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;
// Sent by a modal loop while the queue is empty: lParam = idle count (0, 1, 2, ... since the last
// message). The window answers nonzero while it wants more idle time.
inline constexpr UINT WM_KICKIDLE = 0x036A;
// Like WM_SETMESSAGESTRING, unless the window suppresses popped prompts.
inline constexpr UINT WM_POPMESSAGESTRING = 0x0375;

} // namespace toolkit
