// A Windows user's whole path with the release, in a fresh prefix: install silently, start
// Corvask from the Start menu, open a saved result and a saved search through the shell, remove
// it silently without a trace, and run the portable program from a folder of one's own.
// run-test.sh makes the prefix and unpacks the zip; it names the installer and the unpacked
// program in CORVASK_SETUP and CORVASK_PORTABLE (Windows paths).
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>

#include "options/OptionFile.h"
#include "options/SearchOptions.h"
#include "resources/resource.h"
#include "results/ResultFile.h"
#include "support/Bytes.h"
#include "support/MessagePump.h"
#include "support/ResultTestHost.h"
#include "support/ScratchFolder.h"

namespace {

// A limit, not a timing: a start takes seconds; the limit only ends a run that hangs.
constexpr DWORD kStartLimitMs = 300000;
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvask";

std::string environment(const char* name) {
    char value[MAX_PATH * 2] = "";
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::string knownFolder(int csidl) {
    char path[MAX_PATH] = "";
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? path : "";
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a command line to its end; its exit code, or -1 when it could not start or did not end.
long run(std::string commandLine) {
    STARTUPINFOA start{sizeof(start)};
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &start, &process))
        return -1;
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(process.hProcess, kStartLimitMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return long(code);
}

// The registry as the installer sees it: the installer and this test are built for one
// architecture, so both see the same view.
bool keyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string keyText(HKEY root, const std::string& path, const char* value) {
    char text[1024] = "";
    DWORD size = sizeof text;
    if (RegGetValueA(root, path.c_str(), value, RRF_RT_REG_SZ, nullptr,
                     text, &size) != ERROR_SUCCESS)
        return "<none>";
    return text;
}

// Corvask's main window, once it appears (the test's prefix runs one Corvask at a time).
HWND corvaskWindow() {
    HWND found = nullptr;
    (void)pumpUntil([&] {
        found = FindWindowA("#32770", "Corvask");
        return found && IsWindowVisible(found) && GetDlgItem(found, IDC_RESULT_LIST);
    }, kStartLimitMs);
    return found && GetDlgItem(found, IDC_RESULT_LIST) ? found : nullptr;
}

// Closes Corvask's window and waits for its process to end.
void closeCorvask(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (process) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, kStartLimitMs));
        CloseHandle(process);
    }
}

struct ControlSearch {
    HWND window;
    int id;
    HWND found;
};

BOOL CALLBACK matchControl(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ControlSearch*>(data);
    if (GetDlgCtrlID(child) != search->id || GetParent(child) == search->window) return TRUE;
    search->found = child;
    return FALSE;
}

// The text of the first control with id on one of window's option pages (they are nested, and
// the window's own controls use the same numbers).
std::string pageControlText(HWND window, int id) {
    ControlSearch search{window, id, nullptr};
    EnumChildWindows(window, matchControl, reinterpret_cast<LPARAM>(&search));
    char text[256] = "";
    if (search.found) SendMessageA(search.found, WM_GETTEXT, sizeof text, LPARAM(text));
    return text;
}

// Opens a document (or starts a program or shortcut) as Explorer does: `start` follows the
// file type's association.
void openThroughTheShell(const std::string& document) {
    EXPECT_EQ(0, run("cmd.exe /c start \"\" \"" + document + "\""));
}

} // namespace

TEST(WindowsUser, InstallOpenDocumentsUninstallAndRunThePortableProgram) {
    const std::string setup = environment("CORVASK_SETUP");
    ASSERT_FALSE(setup.empty()) << "run-test.sh names the installer in CORVASK_SETUP";
    const std::string folder = knownFolder(CSIDL_PROGRAM_FILES) + "\\Corvask";
    const std::string program = folder + "\\Corvask.exe";
    const std::string shortcut = knownFolder(CSIDL_COMMON_PROGRAMS) + "\\Corvask.lnk";

    // A silent install: no question, the program, its shortcut and its entry in the list of
    // installed programs.
    ASSERT_EQ(0, run("\"" + setup + "\" /S"));
    ASSERT_TRUE(exists(program)) << program;
    EXPECT_TRUE(exists(folder + "\\LICENSE.txt"));
    EXPECT_TRUE(exists(folder + "\\THIRD-PARTY-NOTICES.txt"));
    ASSERT_TRUE(exists(shortcut)) << shortcut;
    EXPECT_EQ("Corvask", keyText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ(program + ",0", keyText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon"));
    const std::string quietUninstall =
        keyText(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString");

    // The Start-menu shortcut starts Corvask.
    openThroughTheShell(shortcut);
    HWND started = corvaskWindow();
    ASSERT_TRUE(started) << "no Corvask window after starting the shortcut";
    closeCorvask(started);

    // A saved result opened through the shell shows its rows.
    ScratchFolder documents;
    std::string result = le32(200) + le32(3);
    for (const char* name : {"budget.xls", "minutes.doc", "photo.jpg"})
        appendResultRecord(result, makeItem(name, "\\\\FILESRV1\\Public", 1234));
    const std::string resultFile = documents.file("saved search.sr");
    writeWholeFile(resultFile, result);
    openThroughTheShell(resultFile);
    HWND withResult = corvaskWindow();
    ASSERT_TRUE(withResult) << "the .sr file did not open in Corvask";
    HWND list = GetDlgItem(withResult, IDC_RESULT_LIST);
    EXPECT_TRUE(pumpUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; },
                          kStartLimitMs));
    closeCorvask(withResult);

    // A saved search fills the pages.
    SearchOptions options;
    options.namePattern = "quarterly*.xls";
    const std::string optionFile = documents.file("my search.opt");
    writeOptionFile(optionFile, options);
    openThroughTheShell(optionFile);
    HWND withOptions = corvaskWindow();
    ASSERT_TRUE(withOptions) << "the .opt file did not open in Corvask";
    EXPECT_TRUE(pumpUntil(
        [&] { return pageControlText(withOptions, IDC_MAIN_NAME) == "quarterly*.xls"; },
        kStartLimitMs))
        << pageControlText(withOptions, IDC_MAIN_NAME);
    closeCorvask(withOptions);

    // Another program takes .opt after the install: the uninstaller leaves it that program's.
    HKEY other = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.opt", 0,
                                             nullptr, 0, KEY_SET_VALUE, nullptr,
                                             &other, nullptr));
    RegSetValueExA(other, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("Other.Options"), 14);
    RegCloseKey(other);

    // A silent uninstall (the uninstaller finishes from a copy of itself after the call ends).
    ASSERT_EQ(0, run(quietUninstall));
    EXPECT_TRUE(pumpUntil([&] { return !exists(folder); }, kStartLimitMs)) << folder << " is left";
    EXPECT_FALSE(exists(shortcut));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "Software\\Classes\\.sr"));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "Software\\Classes\\Corvask.Result"));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "Software\\Classes\\Corvask.Options"));
    EXPECT_EQ("Other.Options", keyText(HKEY_LOCAL_MACHINE, "Software\\Classes\\.opt", ""));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.opt");

    // The portable program runs from the folder it was unpacked into.
    const std::string portable = environment("CORVASK_PORTABLE");
    ASSERT_TRUE(exists(portable)) << "run-test.sh names the unpacked program: " << portable;
    openThroughTheShell(portable);
    HWND fromZip = corvaskWindow();
    ASSERT_TRUE(fromZip) << "the portable program showed no window";
    closeCorvask(fromZip);
}
