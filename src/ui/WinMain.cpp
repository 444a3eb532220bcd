// The program's entry point: the application object runs everything.
#include "ui/CFindTestApp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    restrictLibrarySearch(); // before anything else loads
    CFindTestApp app;
    return app.run(commandLine ? commandLine : "");
}
