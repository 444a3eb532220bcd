// Process-wide pieces of the window layer: the module handle, the application's main window and
// the application's message filter (accelerators), which every modal loop asks first.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace toolkit {

// The module whose resources (templates, strings, tool bars) the program loads.
HINSTANCE instance();

// The application's main window (the main dialog while it runs); null when none is set.
HWND mainWindow();
void setMainWindow(HWND window);

// The application's message filter: given the filter code (MSGF_DIALOGBOX for the modal loops of
// this layer, MSGF_MENU, MSGF_MESSAGEBOX...) and a message taken from the queue, it answers true
// when it has handled the message (an accelerator translated), so the message goes no further.
using MessageFilter = std::function<bool(int code, MSG& msg)>;
void setMessageFilter(MessageFilter filter);
// Runs the filter on msg; false when no filter is set or the filter did not handle it.
bool applyMessageFilter(int code, MSG& msg);
// Also runs the filter for the loops of menus, message boxes and other platform loops of the
// calling thread (a WH_MSGFILTER hook); the modal loops of this layer ask the filter themselves.
// Removed by removeMessageFilterHook or at the end of the thread.
bool installMessageFilterHook();
void removeMessageFilterHook();

// Loads string id from the program's string table; empty when the table lacks it. The text is
// read into a buffer of bufferSize characters (terminator included), so longer strings are cut.
std::string loadString(UINT id, int bufferSize = 256);

} // namespace toolkit
