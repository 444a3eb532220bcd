// Start-up of the program and the accelerator filter.
#include "ui/CFindTestApp.h"

#include "resources/resource.h"
#include "toolkit/AnsiChars.h"
#include "toolkit/Application.h"
#include "toolkit/MessageBoxes.h"
#include "ui/CFindTestDlg.h"

#include <commctrl.h>
#include <ole2.h>

std::string helpFilePath() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string help(path, length < MAX_PATH ? length : 0);
    size_t dot = help.find_last_of('.');
    size_t slash = ansi::findLastChar(help, '\\'); // the folder may hold double-byte names
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) help.erase(dot);
    return help + ".HLP";
}

std::string fileArgument(const std::string& commandLine) {
    size_t start = commandLine.find_first_not_of(" \t");
    if (start == std::string::npos) return {};
    if (commandLine[start] == '"') {
        size_t end = commandLine.find('"', start + 1);
        return commandLine.substr(start + 1, end == std::string::npos ? std::string::npos
                                                                      : end - start - 1);
    }
    // Unquoted: the rest of the line (a path may hold blanks), trailing blanks removed.
    size_t end = commandLine.find_last_not_of(" \t");
    return commandLine.substr(start, end - start + 1);
}

void restrictLibrarySearch() {
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel = GetModuleHandleA("kernel32.dll")) {
        auto setDefault = reinterpret_cast<SetDefaultDirectories>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    SetDllDirectoryA("");
}

CFindTestApp::~CFindTestApp() {
    toolkit::removeMessageFilterHook();
    toolkit::setMessageFilter(nullptr);
    if (acceleratorTable) DestroyAcceleratorTable(acceleratorTable);
    if (oleStarted) OleUninitialize();
}

void CFindTestApp::installAccelerators() {
    if (!acceleratorTable)
        acceleratorTable =
            LoadAcceleratorsA(toolkit::instance(), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    toolkit::setMessageFilter([this](int code, MSG& msg) { return filterMessage(code, msg); });
    toolkit::installMessageFilterHook();
}

bool CFindTestApp::filterMessage(int code, MSG& msg) {
    (void)code;
    HWND main = toolkit::mainWindow();
    if (!acceleratorTable || !main) return false;
    // Keys typed in another window (a message box, the Find dialog) keep their own meaning.
    if (msg.hwnd != main && !IsChild(main, msg.hwnd)) return false;
    return TranslateAcceleratorA(main, acceleratorTable, &msg) != 0;
}

int CFindTestApp::run(const std::string& commandLine) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES |
                                                        ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                        ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (FAILED(OleInitialize(nullptr))) {
        showMessageBox(nullptr, toolkit::loadString(IDS_OLE_INIT_FAILED), kAppTitle, MB_OK);
        return 1;
    }
    oleStarted = true;

    installAccelerators();
    {
        CFindTestDlg dialog(nullptr);
        dialog.openAtStartup(fileArgument(commandLine));
        dialog.runModal();
        if (dialog.engine().threadsLeftBehind() > 0) {
            // Threads of a stopped search are still inside a call to a server that does not
            // answer, and they use the engine when it returns: the process ends here, after
            // what a normal exit does (OLE hands the clipboard over), before the engine goes.
            OleUninitialize();
            ExitProcess(0);
        }
    }
    return 0;
}
