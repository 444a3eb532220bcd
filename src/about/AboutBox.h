// The About box: the program's name, icon and version, and two links.
#pragma once

#include <windows.h>

// Shows the About box modally over owner (command 32784).
void showAboutBox(HWND owner);
