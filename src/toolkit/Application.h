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

// The application's message filter: given a message taken from the queue, it answers true when
// it has handled the message (an accelerator translated), so the message goes no further.
using MessageFilter = std::function<bool(MSG&)>;
void setMessageFilter(MessageFilter filter);
// Runs the filter on msg; false when no filter is set or the filter did not handle it.
bool applyMessageFilter(MSG& msg);

// Loads string id from the program's string table; empty when the table lacks it. The text is
// read into a buffer of bufferSize characters (terminator included), so longer strings are cut.
std::string loadString(UINT id, int bufferSize = 256);

} // namespace toolkit
