// Screenshots of test windows: what a window shows on the screen, saved as a 24-bit BMP file.
#pragma once

#include <windows.h>

#include <string>

// Pumps pending messages so that the window has painted, then copies its rectangle from the
// screen into path. False when the file cannot be written.
bool saveWindowShot(HWND window, const std::string& path);

// The folder named by the environment variable CORVASK_SHOTS, or empty when unset (the
// screenshot tests then do nothing).
std::string screenshotFolder();
