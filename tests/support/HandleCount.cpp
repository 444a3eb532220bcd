// Counting this process's handles.
#include "support/HandleCount.h"

#include <windows.h>

#include <vector>

namespace {

// The layout of SystemHandleInformation (class 16) entries on the 32-bit platform.
struct HandleEntry {
    ULONG processId;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};
struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

} // namespace

long processHandleCount() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return long(count);
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    std::vector<char> buffer(1 << 20);
    for (int attempt = 0; attempt < 5; ++attempt) {
        ULONG needed = 0;
        const LONG status = query(16, buffer.data(), ULONG(buffer.size()), &needed);
        if (status == 0) {
            const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
            long mine = 0;
            for (ULONG i = 0; i < table->count; ++i)
                if (table->entries[i].processId == GetCurrentProcessId()) ++mine;
            return mine;
        }
        buffer.resize(buffer.size() * 4);
    }
    return -1;
}
