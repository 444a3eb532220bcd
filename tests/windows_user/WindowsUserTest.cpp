// A Windows user's whole path with the release, in a fresh prefix: install silently, start
// Corvask from the Start menu and see which build it is, open a saved result and a saved search
// through the shell, remove it silently without a trace, find that the installer refuses to put
// itself beside the other build, and run the portable program from a folder of one's own.
// run-test.sh makes the prefix and unpacks the zip; it names the installer and the unpacked
// program of this test's own build (64-bit or 32-bit) in CORVASK_SETUP and CORVASK_PORTABLE
// (Windows paths).
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// A process started from a command line; it is not waited for.
struct Started {
    HANDLE process = nullptr;
    DWORD id = 0;
};

Started start(std::string commandLine) {
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return {};
    CloseHandle(process.hThread);
    return {process.hProcess, process.dwProcessId};
}

// Waits for a started process to end: its exit code, or -1 when it did not start or end.
long finish(Started started) {
    if (!started.process) return -1;
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(started.process, kStartLimitMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(started.process, &code);
    CloseHandle(started.process);
    return long(code);
}

// Runs a command line to its end; its exit code, or -1 when it could not start or did not end.
long run(std::string commandLine) {
    return finish(start(std::move(commandLine)));
}

// The installer writes into the registry view of its own build, as this test is built for the
// same one; the other build's Add/Remove entry lives in the other view.
constexpr bool kIs64Bit = sizeof(void*) == 8;
constexpr REGSAM kOwnView = kIs64Bit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
constexpr REGSAM kOtherView = kIs64Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
const std::string kBits = kIs64Bit ? "64-bit" : "32-bit";
const std::string kOtherBits = kIs64Bit ? "32-bit" : "64-bit";

bool keyExists(HKEY root, const std::string& path, REGSAM view = kOwnView) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string keyText(HKEY root, const std::string& path, const char* value,
                    REGSAM view = kOwnView) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return "<none>";
    char text[1024] = "";
    DWORD size = sizeof text;
    LSTATUS status = RegGetValueA(key, nullptr, value, RRF_RT_REG_SZ, nullptr, text, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? text : "<none>";
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

struct ProcessDialogSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchProcessDialog(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ProcessDialogSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner != search->processId || !IsWindowVisible(window) ||
        lstrcmpA(className, "#32770") != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

// The first dialog (a message box) that the process shows, once it appears.
HWND dialogOfProcess(DWORD processId) {
    ProcessDialogSearch search{processId, nullptr};
    (void)pumpUntil([&] {
        EnumWindows(matchProcessDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, kStartLimitMs);
    return search.found;
}

std::string controlText(HWND control) {
    char text[1024] = "";
    SendMessageA(control, WM_GETTEXT, sizeof text, LPARAM(text));
    return text;
}

BOOL CALLBACK appendStaticText(HWND child, LPARAM data) {
    char className[16] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0)
        *reinterpret_cast<std::string*>(data) += controlText(child) + "\n";
    return TRUE;
}

// What a message box says: the text of its static controls.
std::string staticTexts(HWND window) {
    std::string texts;
    EnumChildWindows(window, appendStaticText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// A text of a program's version resource (English, Unicode), as Explorer shows it.
std::string versionText(const std::string& file, const std::string& name) {
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(file.c_str(), &ignored));
    void* value = nullptr;
    UINT length = 0;
    if (block.empty() || !GetFileVersionInfoA(file.c_str(), 0, DWORD(block.size()), block.data()) ||
        !VerQueryValueA(block.data(), ("\\StringFileInfo\\040904b0\\" + name).c_str(), &value,
                        &length) || length == 0)
        return "<none>";
    return static_cast<const char*>(value);
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
    EXPECT_EQ("Corvask (" + kBits + ")", keyText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ(program + ",0", keyText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon"));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kOtherView))
        << "the entry belongs in the " << kBits << " registry view only";
    const std::string quietUninstall =
        keyText(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString");

    // The Start-menu shortcut starts Corvask, and its About box and its file's properties say
    // which build it is.
    openThroughTheShell(shortcut);
    HWND started = corvaskWindow();
    ASSERT_TRUE(started) << "no Corvask window after starting the shortcut";
    PostMessageA(started, WM_COMMAND, ID_HELP_ABOUT, 0);
    HWND about = nullptr;
    EXPECT_TRUE(pumpUntil([&] {
        about = FindWindowA("#32770", "About Corvask");
        return about && IsWindowVisible(about);
    }, kStartLimitMs));
    if (about) {
        EXPECT_EQ("Version " + versionText(program, "ProductVersion") + " (" + kBits + ")",
                  controlText(GetDlgItem(about, IDC_ABOUT_VERSION)));
        PostMessageA(about, WM_COMMAND, IDOK, 0);
    }
    EXPECT_NE(std::string::npos, versionText(program, "FileDescription").find(kBits))
        << versionText(program, "FileDescription");
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

    // The other build is installed (its entry in Add/Remove Programs, in its own registry view):
    // this installer refuses to go beside it, silently with an error code (2: the install script
    // stopped it) and otherwise with a message that says where to remove the other one.
    HKEY planted = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0,
                                             KEY_SET_VALUE | kOtherView, nullptr, &planted,
                                             nullptr));
    const std::string otherName = "Corvask (" + kOtherBits + ")";
    const std::string otherUninstall = kIs64Bit
        ? "\"C:\\Program Files (x86)\\Corvask\\uninstall.exe\""
        : "\"C:\\Program Files\\Corvask\\uninstall.exe\"";
    RegSetValueExA(planted, "DisplayName", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(otherName.c_str()), DWORD(otherName.size() + 1));
    RegSetValueExA(planted, "UninstallString", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(otherUninstall.c_str()),
                   DWORD(otherUninstall.size() + 1));
    RegCloseKey(planted);
    ASSERT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << "the two views are one";

    EXPECT_EQ(2, run("\"" + setup + "\" /S"));
    EXPECT_FALSE(exists(folder)) << folder;
    EXPECT_FALSE(exists(shortcut));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(otherName, keyText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", kOtherView));

    Started installer = start("\"" + setup + "\"");
    ASSERT_TRUE(installer.process) << setup;
    HWND refusal = dialogOfProcess(installer.id);
    EXPECT_TRUE(refusal) << "the installer showed no message";
    if (refusal) {
        const std::string said = staticTexts(refusal);
        EXPECT_NE(std::string::npos, said.find("The " + kOtherBits + " Corvask is installed")) << said;
        EXPECT_NE(std::string::npos, said.find("\"" + otherName + "\"")) << said;
        EXPECT_NE(std::string::npos, said.find("Apps")) << said;
        EXPECT_NE(std::string::npos, said.find("Programs and Features")) << said;
        PostMessageA(refusal, WM_COMMAND, IDOK, 0);
    }
    EXPECT_EQ(2, finish(installer));
    EXPECT_FALSE(exists(folder)) << folder;
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, kOtherView, 0);

    // The portable program runs from the folder it was unpacked into.
    const std::string portable = environment("CORVASK_PORTABLE");
    ASSERT_TRUE(exists(portable)) << "run-test.sh names the unpacked program: " << portable;
    openThroughTheShell(portable);
    HWND fromZip = corvaskWindow();
    ASSERT_TRUE(fromZip) << "the portable program showed no window";
    closeCorvask(fromZip);
}
