// CFindTestApp: the program's start-up — OLE, common controls, the accelerator table and the
// message filter that translates it for the main dialog — and the modal run of that dialog.
#pragma once

#include <windows.h>

#include <string>

// The help file beside the program: its own path with the extension replaced by ".HLP".
std::string helpFilePath();

class CFindTestApp {
public:
    CFindTestApp() = default;
    ~CFindTestApp();
    CFindTestApp(const CFindTestApp&) = delete;
    CFindTestApp& operator=(const CFindTestApp&) = delete;

    // Runs the whole life of the program with the command line after the program's name (a file
    // to open, or nothing). Returns the process's exit code.
    int run(const std::string& commandLine);

    // Loads accelerator table 146 and makes filterMessage the application's message filter, for
    // the dialog's own loop and for those of menus and message boxes.
    void installAccelerators();
    // Translates an accelerator for the main dialog, whichever of its controls has the focus.
    // True when the message was handled.
    bool filterMessage(int code, MSG& msg);

    HACCEL accelerators() const { return acceleratorTable; }

private:
    HACCEL acceleratorTable = nullptr;
    bool oleStarted = false;
};

// Keeps every library the process loads from now on out of the current folder, which each file
// dialog moves to wherever the user picked a file (possibly a share): libraries come from the
// system folder only where the system can say so (SetDefaultDllDirectories, looked up because
// older systems lack it), and the current folder leaves the search order (SetDllDirectoryA("")).
// The first thing the program does.
void restrictLibrarySearch();

// The file named on a command line: the first argument, its quotes removed; "" when none.
std::string fileArgument(const std::string& commandLine);
