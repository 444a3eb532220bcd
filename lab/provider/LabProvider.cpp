// The lab network provider: mpr loads this DLL and asks it for networks, domains, servers and
// shares, which it serves from the topology file named by CORVASK_LAB_TOPOLOGY (or the
// registry), in the batches, with the waits and with the failures that file asks for.
#include <windows.h>
#include <winnetwk.h>
extern "C" {
#include <npapi.h>
}

#include <atomic>
#include <cstring>
#include <mutex>
#include <set>

#include "Topology.h"

using lab::Node;
using lab::NodeKind;
using lab::Topology;

namespace {

const wchar_t kProviderName[] = L"Corvask Lab Network";
const wchar_t kParametersKey[] = L"System\\CurrentControlSet\\Services\\CorvaskLab\\Parameters";
constexpr DWORD kMaxFileBytes = 16u << 20;

// One open enumeration: a snapshot of the topology it was opened on, so that a reload by
// another thread never pulls records away from under it.
struct Enumeration {
    std::shared_ptr<const Topology> topology;
    size_t container = 0;
    std::vector<size_t> items; // children that pass the scope, type and usage of the open
    size_t next = 0;
    uint32_t callsServed = 0; // successful NPEnumResource calls so far
};

std::mutex g_mutex; // guards everything below
std::shared_ptr<const Topology> g_topology;
std::wstring g_path;
ULONGLONG g_stamp = 0;
bool g_loaded = false;
std::set<Enumeration*> g_open;
std::atomic<DWORD> g_opened{0}, g_closed{0};
std::atomic<DWORD> g_zeroCountCalls{0}; // NPEnumResource calls that asked for 0 records

// The last extended error this thread handed to mpr, kept for tests: mpr may lack the call.
thread_local DWORD t_errorCode = 0;
thread_local wchar_t t_errorText[256];
thread_local bool t_errorSet = false;

// The configured topology path, "" when none is configured. A Unix path is reached
// through drive Z:, which a Wine prefix maps to the root.
std::wstring configuredPath() {
    std::wstring path;
    wchar_t buf[1024];
    DWORD n = GetEnvironmentVariableW(L"CORVASK_LAB_TOPOLOGY", buf, 1024);
    if (n > 0 && n < 1024) path.assign(buf, n);
    if (path.empty()) {
        DWORD size = sizeof(buf) - sizeof(wchar_t), type = 0;
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kParametersKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            if (RegQueryValueExW(key, L"Topology", nullptr, &type, reinterpret_cast<BYTE*>(buf),
                                 &size) == ERROR_SUCCESS &&
                type == REG_SZ) {
                buf[size / sizeof(wchar_t)] = 0;
                path = buf;
            }
            RegCloseKey(key);
        }
    }
    if (!path.empty() && path[0] == L'/') {
        for (wchar_t& c : path)
            if (c == L'/') c = L'\\';
        path = L"Z:" + path;
    }
    return path;
}

// Size and write time together; a change of either means the file was rewritten.
ULONGLONG stampOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    ULONGLONG t =
        (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return t * 31 + data.nFileSizeLow + (ULONGLONG(data.nFileSizeHigh) << 40);
}

// Null when the file cannot be read whole (missing, locked, larger than 16 MB).
std::shared_ptr<const Topology> load(const std::wstring& path) {
    if (path.empty()) return Topology::parse("");
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size;
    std::string text;
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart <= kMaxFileBytes;
    if (ok) {
        text.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0, total = 0;
        while (ok && total < text.size()) {
            ok = ReadFile(h, text.data() + total, static_cast<DWORD>(text.size() - total), &got,
                          nullptr) &&
                 got > 0;
            total += got;
        }
    }
    CloseHandle(h);
    return ok ? Topology::parse(text) : nullptr;
}

// The topology to serve. The provider's top level always reads the file again, so tests
// may switch topology between walks; deeper levels reuse it unless the file changed.
std::shared_ptr<const Topology> currentTopology(bool topLevel) {
    std::wstring path = configuredPath();
    ULONGLONG stamp = stampOf(path);
    std::lock_guard<std::mutex> hold(g_mutex);
    if (!topLevel && g_loaded && path == g_path && stamp == g_stamp) return g_topology;
    g_topology = load(path);
    g_path = path;
    g_stamp = stamp;
    g_loaded = true;
    return g_topology;
}

void pause(uint32_t ms) {
    if (ms) Sleep(ms);
}

// Holds the call until the test sets the named event (an auto-reset event lets one call
// through per set). No such event: no wait.
void passGate(const std::wstring& gate) {
    if (gate.empty()) return;
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, gate.c_str());
    if (!event) return;
    WaitForSingleObject(event, lab::kMaxGateWaitMs);
    CloseHandle(event);
}

// The extended-error case: hand the provider's code and text to mpr, where
// WNetGetLastError finds them. Looked up by name: Wine 8's mpr does not export it (and
// answers WNetGetLastError with 1222), and the import library's declaration lacks WINAPI.
DWORD failWith(const Node& node, DWORD code) {
    if (code == ERROR_EXTENDED_ERROR) {
        using SetLastErrorFn = VOID(WINAPI*)(DWORD, LPWSTR, LPWSTR);
        HMODULE mpr = GetModuleHandleW(L"mpr.dll");
        auto fn = mpr ? reinterpret_cast<SetLastErrorFn>(
                            reinterpret_cast<void*>(GetProcAddress(mpr, "WNetSetLastErrorW")))
                      : nullptr;
        std::wstring text = node.errorText;
        t_errorCode = node.errorCode;
        lstrcpynW(t_errorText, node.errorText.c_str(), 256);
        t_errorSet = true;
        if (fn) fn(node.errorCode, text.data(), const_cast<LPWSTR>(kProviderName));
    }
    return code;
}

bool passes(const Node& child, DWORD type, DWORD usage) {
    bool container = child.kind != NodeKind::Share;
    if (!container && type == RESOURCETYPE_DISK && child.printShare) return false;
    if (!container && type == RESOURCETYPE_PRINT && !child.printShare) return false;
    DWORD u = usage & (RESOURCEUSAGE_CONNECTABLE | RESOURCEUSAGE_CONTAINER);
    if (u == RESOURCEUSAGE_CONTAINER && !container) return false;
    if (u == RESOURCEUSAGE_CONNECTABLE && container) return false;
    return true;
}

DWORD displayTypeOf(NodeKind k) {
    switch (k) {
    case NodeKind::Network: return RESOURCEDISPLAYTYPE_NETWORK;
    case NodeKind::Domain: return RESOURCEDISPLAYTYPE_DOMAIN;
    case NodeKind::Server: return RESOURCEDISPLAYTYPE_SERVER;
    case NodeKind::Share: return RESOURCEDISPLAYTYPE_SHARE;
    default: return RESOURCEDISPLAYTYPE_GENERIC;
    }
}

size_t bytesOf(const std::wstring& s) {
    return (s.size() + 1) * sizeof(wchar_t);
}

size_t recordBytes(const Node& n) {
    return sizeof(NETRESOURCEW) + bytesOf(n.remoteName) + sizeof(kProviderName) +
           (n.comment.empty() ? 0 : bytesOf(n.comment));
}

bool isOpen(Enumeration* e) {
    std::lock_guard<std::mutex> hold(g_mutex);
    return g_open.count(e) != 0;
}

} // namespace

extern "C" {

DWORD WINAPI NPGetCaps(DWORD index) {
    switch (index) {
    case WNNC_SPEC_VERSION: return WNNC_SPEC_VERSION51;
    case WNNC_NET_TYPE: return 0x00FE0000;
    case WNNC_DRIVER_VERSION: return 1;
    case WNNC_ENUMERATION: return WNNC_ENUM_GLOBAL;
    default: return 0;
    }
}

DWORD WINAPI NPOpenEnum(DWORD scope, DWORD type, DWORD usage, LPNETRESOURCEW resource,
                        LPHANDLE handle) {
    if (!handle) return WN_BAD_POINTER;
    *handle = nullptr;
    if (scope != RESOURCE_GLOBALNET) return WN_NOT_SUPPORTED;
    const wchar_t* remote = resource ? resource->lpRemoteName : nullptr;
    bool topLevel = !remote || !*remote || lstrcmpiW(remote, kProviderName) == 0;
    std::shared_ptr<const Topology> topology = currentTopology(topLevel);
    if (!topology) return WN_NO_NETWORK;
    long at = topLevel ? 0 : topology->find(remote, resource->dwDisplayType);
    if (at < 0) return WN_BAD_NETNAME;
    const Node& node = topology->nodes[static_cast<size_t>(at)];
    if (node.kind == NodeKind::Share) return WN_NOT_CONTAINER;
    pause(node.waitMs);
    if (node.openError) return failWith(node, node.openError);

    auto* e = new (std::nothrow) Enumeration;
    if (!e) return WN_OUT_OF_MEMORY;
    e->topology = topology;
    e->container = static_cast<size_t>(at);
    for (size_t child : node.children)
        if (passes(topology->nodes[child], type, usage)) e->items.push_back(child);
    {
        std::lock_guard<std::mutex> hold(g_mutex);
        g_open.insert(e);
    }
    ++g_opened;
    *handle = e;
    return WN_SUCCESS;
}

DWORD WINAPI NPEnumResource(HANDLE handle, LPDWORD count, LPVOID buffer, LPDWORD bufferSize) {
    auto* e = static_cast<Enumeration*>(handle);
    if (!isOpen(e)) return WN_BAD_HANDLE;
    if (!count || !bufferSize || (!buffer && *bufferSize)) return WN_BAD_POINTER;
    const Node& node = e->topology->nodes[e->container];
    if (*count == 0) ++g_zeroCountCalls;
    passGate(node.gate);
    pause(node.waitMs);
    if (node.enumError && e->callsServed >= node.enumAfter) return failWith(node, node.enumError);
    if (node.emptyBatches == lab::kEndlessEmptyBatches || e->callsServed < node.emptyBatches) {
        if (e->callsServed < 0xFFFFFFFF) ++e->callsServed;
        *count = 0;
        return WN_SUCCESS;
    }
    if (e->next >= e->items.size()) return WN_NO_MORE_ENTRIES;

    // 0 and 0xFFFFFFFF both mean "as many as fit", so a caller that repeats the count of an
    // empty batch is not stuck at zero.
    DWORD want = *count == 0 ? 0xFFFFFFFF : *count;
    if (node.batch && want > node.batch) want = node.batch;
    // Texts are UTF-16: they start at an even offset from the end of the buffer.
    const DWORD usable = *bufferSize & ~DWORD(1);
    size_t n = 0, stringBytes = 0;
    while (n < want && e->next + n < e->items.size()) {
        const Node& r = e->topology->nodes[e->items[e->next + n]];
        size_t need =
            (n + 1) * sizeof(NETRESOURCEW) + stringBytes + recordBytes(r) - sizeof(NETRESOURCEW);
        if (need > usable) {
            if (n == 0) {
                *bufferSize = static_cast<DWORD>(need);
                return WN_MORE_DATA;
            }
            break;
        }
        stringBytes += recordBytes(r) - sizeof(NETRESOURCEW);
        ++n;
    }

    // Records from the front, their texts packed from the end of the buffer.
    auto* records = static_cast<NETRESOURCEW*>(buffer);
    char* strings = static_cast<char*>(buffer) + usable;
    auto put = [&strings](const wchar_t* s, size_t bytes) {
        strings -= bytes;
        memcpy(strings, s, bytes);
        return reinterpret_cast<LPWSTR>(strings);
    };
    for (size_t i = 0; i < n; ++i) {
        const Node& r = e->topology->nodes[e->items[e->next + i]];
        NETRESOURCEW& out = records[i];
        out.dwScope = RESOURCE_GLOBALNET;
        out.dwType = r.kind != NodeKind::Share ? RESOURCETYPE_ANY
                     : r.printShare            ? RESOURCETYPE_PRINT
                                               : RESOURCETYPE_DISK;
        out.dwDisplayType = displayTypeOf(r.kind);
        out.dwUsage =
            r.kind == NodeKind::Share ? RESOURCEUSAGE_CONNECTABLE : RESOURCEUSAGE_CONTAINER;
        out.lpLocalName = nullptr;
        out.lpRemoteName = put(r.remoteName.c_str(), bytesOf(r.remoteName));
        out.lpComment = r.comment.empty() ? nullptr : put(r.comment.c_str(), bytesOf(r.comment));
        out.lpProvider = put(kProviderName, sizeof(kProviderName));
    }
    e->next += n;
    ++e->callsServed;
    *count = static_cast<DWORD>(n);
    return WN_SUCCESS;
}

DWORD WINAPI NPCloseEnum(HANDLE handle) {
    auto* e = static_cast<Enumeration*>(handle);
    {
        std::lock_guard<std::mutex> hold(g_mutex);
        if (!g_open.erase(e)) return WN_BAD_HANDLE;
    }
    ++g_closed;
    delete e;
    return WN_SUCCESS;
}

// ---- for tests: what the provider saw, read through GetProcAddress

// Enumerations opened and not yet closed.
DWORD WINAPI CorvaskLabOpenEnumerations() {
    std::lock_guard<std::mutex> hold(g_mutex);
    return static_cast<DWORD>(g_open.size());
}

// NPOpenEnum successes and NPCloseEnum successes since the process started.
DWORD WINAPI CorvaskLabEnumerationTotals(LPDWORD opened, LPDWORD closed) {
    if (opened) *opened = g_opened;
    if (closed) *closed = g_closed;
    return 0;
}

// NPEnumResource calls since the process started that asked for 0 records.
DWORD WINAPI CorvaskLabZeroCountCalls() {
    return g_zeroCountCalls;
}

// Lines of the last loaded topology that were rejected; 0xFFFFFFFF when none is loaded or the
// file could not be read. With a buffer, copies the text of problem `index` (UTF-8; the first
// 100 problems keep their texts).
DWORD WINAPI CorvaskLabTopologyProblems(DWORD index, LPSTR text, DWORD size) {
    std::lock_guard<std::mutex> hold(g_mutex);
    if (!g_topology) return 0xFFFFFFFF;
    const auto& problems = g_topology->problems;
    if (text && size) {
        text[0] = 0;
        if (index < problems.size())
            lstrcpynA(text, problems[index].c_str(), static_cast<int>(size));
    }
    return static_cast<DWORD>(g_topology->problemCount);
}

// The provider code and text of the last 1208 this thread returned (UTF-8); 0 when none.
// This is what WNetGetLastError answers where mpr keeps it (Wine 8 mpr does not).
DWORD WINAPI CorvaskLabLastExtendedError(LPDWORD code, LPSTR text, DWORD size) {
    if (!t_errorSet) return 0;
    if (code) *code = t_errorCode;
    if (text && size) {
        int n = WideCharToMultiByte(CP_UTF8, 0, t_errorText, -1, text, static_cast<int>(size),
                                    nullptr, nullptr);
        if (n <= 0) text[0] = 0;
        text[size - 1] = 0;
    }
    return 1;
}

} // extern "C"

// CORVASK_LAB_DISABLE in a process's environment refuses the load, so that process runs as a
// machine without any network provider (mpr then answers 1222).
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t buf[8];
        if (GetEnvironmentVariableW(L"CORVASK_LAB_DISABLE", buf, 8) > 0) return FALSE;
    }
    return TRUE;
}
