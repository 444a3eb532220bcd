// The About box (filled in by the About-box work).
#include "about/AboutBox.h"

void showAboutBox(HWND) {}
