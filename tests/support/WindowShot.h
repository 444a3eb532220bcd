// Screenshots of test windows: what a window shows on the screen, saved as a 24-bit BMP file.
#pragma once

#include <windows.h>

#include <string>

// Pumps pending messages so that the window has painted, then copies its rectangle from the
// screen into path. False when the file cannot be written. Without pumping (pump false) it can
// be called inside a platform loop such as an open menu's, whose messages it must not take.
bool saveWindowShot(HWND window, const std::string& path, bool pump = true);

// The folder named by the environment variable CORVASK_SHOTS, or empty when unset (the
// screenshot tests then do nothing).
std::string screenshotFolder();
