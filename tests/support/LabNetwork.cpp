// Builds lab topologies for tests, writes them where the lab provider reads them and makes the
// share folders that \\SERVER\share paths reach.
#include "support/LabNetwork.h"

#include <windows.h>

#include <cstdio>

#include "support/ScratchFolder.h"

namespace {

const char kTopologyVariable[] = "CORVASK_LAB_TOPOLOGY";
const char kProviderDll[] = "corvask_labnp.dll";

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string stripBackslashes(const std::string& server) {
    return server.compare(0, 2, "\\\\") == 0 ? server.substr(2) : server;
}

// A Linux path as this process reaches it: drive Z: is the root in a Wine prefix.
std::string throughZ(std::string unixPath) {
    for (char& c : unixPath)
        if (c == '/') c = '\\';
    while (unixPath.size() > 1 && unixPath.back() == '\\')
        unixPath.pop_back();
    return "Z:" + unixPath;
}

FARPROC providerFunction(const char* name) {
    HMODULE dll = GetModuleHandleA(kProviderDll);
    return dll ? GetProcAddress(dll, name) : nullptr;
}

} // namespace

LabNetwork::LabNetwork(std::string tag) : tag_(std::move(tag)) {
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(kTopologyVariable, buf, MAX_PATH);
    hadPrevious_ = n > 0 && n < MAX_PATH;
    if (hadPrevious_) previous_.assign(buf, n);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "corvask-" + tag_ + "-" + std::to_string(GetCurrentProcessId()) +
            ".topology";
}

LabNetwork::~LabNetwork() {
    if (applied_) {
        SetEnvironmentVariableA(kTopologyVariable, hadPrevious_ ? previous_.c_str() : nullptr);
        DeleteFileA(path_.c_str());
    }
    for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it)
        removeTree(*it);
}

LabNetwork::Entry& LabNetwork::add(const char* kind, const std::string& name) {
    entries_.push_back(Entry{kind, name, {}, {}});
    return entries_.back();
}

LabNetwork::Container& LabNetwork::network(const std::string& name) {
    return add("network", name).options;
}
LabNetwork::Container& LabNetwork::domain(const std::string& name) {
    return add("domain", name).options;
}
LabNetwork::Container& LabNetwork::server(const std::string& name) {
    return add("server", stripBackslashes(name)).options;
}
void LabNetwork::share(const std::string& name, const std::string& comment) {
    add("share", name).options.comment = comment;
}
void LabNetwork::printShare(const std::string& name) {
    add("print", name);
}
void LabNetwork::rawLine(const std::string& line) {
    entries_.push_back(Entry{"", "", {}, line});
}

std::string LabNetwork::optionText(const Container& c) {
    std::string s;
    auto number = [&s](const char* key, unsigned v) {
        if (v) s += std::string(" | ") + key + "=" + std::to_string(v);
    };
    if (!c.comment.empty()) s += " | comment=" + c.comment;
    number("batch", c.batch);
    number("wait", c.waitMs);
    number("empty", c.emptyBatches);
    if (!c.gate.empty()) s += " | gate=" + c.gate;
    number("open-error", c.openError);
    number("enum-error", c.enumError);
    number("after", c.enumAfter);
    number("error-code", c.errorCode);
    if (!c.errorText.empty()) s += " | error-text=" + c.errorText;
    if (c.unlisted) s += " | listed=no";
    return s;
}

std::string LabNetwork::text() const {
    std::string t = "# lab topology written by the tests (" + tag_ + ")\n";
    t += "provider" + optionText(root_) + "\n";
    for (const Entry& e : entries_) {
        if (e.kind.empty())
            t += e.raw + "\n";
        else if (e.kind == "print")
            t += "share | " + e.name + " | type=print\n";
        else if (e.kind == "share")
            t += "share | " + e.name +
                 (e.options.comment.empty() ? "" : " | comment=" + e.options.comment) + "\n";
        else
            t += e.kind + " | " + e.name + optionText(e.options) + "\n";
    }
    return t;
}

bool LabNetwork::apply() {
    error_.clear();
    std::string t = text();
    HANDLE h = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = h != INVALID_HANDLE_VALUE &&
              WriteFile(h, t.data(), static_cast<DWORD>(t.size()), &written, nullptr) &&
              written == t.size();
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    if (!ok) {
        error_ = "cannot write " + path_;
        return false;
    }
    SetEnvironmentVariableA(kTopologyVariable, path_.c_str());
    applied_ = true;

    std::string root = uncRoot();
    if (root.empty()) {
        error_ = "the prefix's dosdevices\\unc folder is unknown";
        return false;
    }
    CreateDirectoryA(root.c_str(), nullptr);
    std::string server;
    for (const Entry& e : entries_) {
        if (e.kind == "server") server = e.name;
        if (e.kind != "share" || server.empty()) continue;
        for (const std::string& folder :
             {root + "\\" + lower(server), root + "\\" + lower(server) + "\\" + lower(e.name)}) {
            if (GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
            if (!CreateDirectoryA(folder.c_str(), nullptr)) {
                error_ = "cannot create " + folder;
                return false;
            }
            madeFolders_.push_back(folder);
        }
    }
    return true;
}

std::string LabNetwork::uncPath(const std::string& server, const std::string& share) {
    return "\\\\" + stripBackslashes(server) + "\\" + share;
}

bool LabNetwork::makeFile(const std::string& path, unsigned size) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = SetFilePointer(h, static_cast<LONG>(size), nullptr, FILE_BEGIN) !=
                  INVALID_SET_FILE_POINTER &&
              SetEndOfFile(h);
    CloseHandle(h);
    return ok;
}

bool LabNetwork::makeFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string LabNetwork::uncRoot() {
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("WINEPREFIX", buf, MAX_PATH);
    if (n > 0 && n < MAX_PATH && buf[0] == '/')
        return throughZ(std::string(buf, n)) + "\\dosdevices\\unc";
    // Without WINEPREFIX: C:\ is <prefix>/dosdevices/c: (or <prefix>/drive_c) in Linux terms.
    using UnixName = char*(CDECL*)(LPCWSTR);
    auto fn = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn) return "";
    char* unix = fn(L"C:\\");
    if (!unix) return "";
    std::string p = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    while (!p.empty() && p.back() == '/')
        p.pop_back();
    p = p.substr(0, p.rfind('/')); // drops "c:" or "drive_c"
    if (p.size() > 11 && p.compare(p.size() - 11, 11, "/dosdevices") == 0) p.resize(p.size() - 11);
    return throughZ(p) + "\\dosdevices\\unc";
}

bool LabNetwork::isRegistered() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                      "System\\CurrentControlSet\\Control\\NetworkProvider\\Order", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return false;
    char order[1024] = {};
    DWORD size = sizeof(order) - 1, type = 0;
    bool listed = RegQueryValueExA(key, "ProviderOrder", nullptr, &type,
                                   reinterpret_cast<BYTE*>(order), &size) == ERROR_SUCCESS &&
                  type == REG_SZ &&
                  ("," + std::string(order) + ",").find(",CorvaskLab,") != std::string::npos;
    RegCloseKey(key);
    return listed;
}

bool LabNetwork::providerLoaded() {
    return GetModuleHandleA(kProviderDll) != nullptr;
}

void LabNetwork::useDemo() {
    SetEnvironmentVariableA(kTopologyVariable, nullptr);
}

unsigned LabNetwork::openEnumerations() {
    using Fn = DWORD(WINAPI*)();
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(providerFunction("CorvaskLabOpenEnumerations")));
    return fn ? fn() : 0xFFFFFFFF;
}

unsigned LabNetwork::topologyProblems(std::vector<std::string>* texts) {
    using Fn = DWORD(WINAPI*)(DWORD, LPSTR, DWORD);
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(providerFunction("CorvaskLabTopologyProblems")));
    if (!fn) return 0xFFFFFFFF;
    DWORD n = fn(0, nullptr, 0);
    if (texts && n != 0xFFFFFFFF) {
        texts->clear();
        char buf[512];
        for (DWORD i = 0; i < n && i < 100 && fn(i, buf, sizeof(buf)) == n; ++i)
            texts->push_back(buf);
    }
    return n;
}

int LabNetwork::runWithoutProvider(const std::string& gtestFilter) {
    char exe[MAX_PATH];
    if (!GetModuleFileNameA(nullptr, exe, MAX_PATH)) return -1;
    std::string cmd = "\"" + std::string(exe) + "\" --gtest_filter=" + gtestFilter;
    fflush(stdout);
    fflush(stderr);
    SetEnvironmentVariableA("CORVASK_LAB_DISABLE", "1");
    // The child fails when the filter leaves it no test that runs (TestMain.cpp), so a renamed
    // test cannot make this pass by running nothing.
    SetEnvironmentVariableA(kMustRunATestVariable, "1");
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    BOOL started =
        CreateProcessA(exe, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA("CORVASK_LAB_DISABLE", nullptr);
    SetEnvironmentVariableA(kMustRunATestVariable, nullptr);
    if (!started) return -1;
    DWORD code = 0;
    if (WaitForSingleObject(pi.hProcess, 300000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        code = DWORD(-1);
    } else {
        GetExitCodeProcess(pi.hProcess, &code);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

bool LabNetwork::providerDisabled() {
    char buf[8];
    return GetEnvironmentVariableA("CORVASK_LAB_DISABLE", buf, sizeof(buf)) > 0;
}

bool LabNetwork::lastExtendedError(unsigned& code, std::string& text) {
    using Fn = DWORD(WINAPI*)(LPDWORD, LPSTR, DWORD);
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(providerFunction("CorvaskLabLastExtendedError")));
    char buf[512];
    DWORD c = 0;
    if (!fn || !fn(&c, buf, sizeof(buf))) return false;
    code = c;
    text = buf;
    return true;
}

bool LabNetwork::enumerationTotals(unsigned& opened, unsigned& closed) {
    using Fn = DWORD(WINAPI*)(LPDWORD, LPDWORD);
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(providerFunction("CorvaskLabEnumerationTotals")));
    DWORD o = 0, c = 0;
    if (!fn) return false;
    fn(&o, &c);
    opened = o;
    closed = c;
    return true;
}

unsigned LabNetwork::zeroCountCalls() {
    using Fn = DWORD(WINAPI*)();
    auto fn =
        reinterpret_cast<Fn>(reinterpret_cast<void*>(providerFunction("CorvaskLabZeroCountCalls")));
    return fn ? fn() : 0xFFFFFFFF;
}

LabGate::LabGate(const std::string& name)
    : name_(name + "-" + std::to_string(GetCurrentProcessId())),
      event_(CreateEventA(nullptr, FALSE, FALSE, name_.c_str())) {}

LabGate::~LabGate() {
    // Whatever still waits goes on: the event is set for good before it is closed.
    if (event_) {
        SetEvent(event_);
        CloseHandle(event_);
    }
}

void LabGate::pass() {
    if (event_) SetEvent(event_);
}
