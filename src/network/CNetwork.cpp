// The network resource walk, its failure texts and the hook-driven subclass.
#include "network/CNetwork.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "toolkit/MessageBoxes.h"

namespace {

// Closes an enumeration handle exactly once, on every way out of a level.
class EnumHandle {
public:
    explicit EnumHandle(HANDLE handle) : handle_(handle) {}
    ~EnumHandle() { WNetCloseEnum(handle_); }
    EnumHandle(const EnumHandle&) = delete;
    EnumHandle& operator=(const EnumHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

DWORD scopeOf(uint32_t walkFlags) {
    if (walkFlags & walkflags::kConnected) return RESOURCE_CONNECTED;
    if (walkFlags & walkflags::kRemembered) return RESOURCE_REMEMBERED;
    return RESOURCE_GLOBALNET;
}

DWORD typeOf(uint32_t walkFlags) {
    if (walkFlags & walkflags::kDisk) return RESOURCETYPE_DISK;
    if (walkFlags & walkflags::kPrint) return RESOURCETYPE_PRINT;
    return RESOURCETYPE_ANY;
}

// snprintf into a std::string, cut at the longest kept error text.
template <typename... Args> std::string formatted(const char* format, Args... args) {
    char text[CNetwork::kMostErrorTextLength + 1];
    snprintf(text, sizeof(text), format, args...);
    return text;
}

} // namespace

CNetwork::~CNetwork() = default;

int32_t CNetwork::enumerate(DWORD stopType, uint32_t walkFlags) {
    try {
        return enumerateContainer(nullptr, walkFlags, stopType);
    } catch (const CNetworkBreak& walkEnd) {
        return walkEnd.value;
    }
}

int32_t CNetwork::enumerateContainer(NETRESOURCEA* container, uint32_t walkFlags, DWORD stopType) {
    HANDLE opened = nullptr;
    DWORD result = WNetOpenEnumA(scopeOf(walkFlags), typeOf(walkFlags), 0, container, &opened);
    if (result != NO_ERROR) return reportError(result, "WNetOpenEnum", false);
    EnumHandle handle(opened);

    DWORD bufferBytes = kFirstBatchBytes;
    DWORD count = 0xFFFFFFFF; // as many as fit; later, as many as the provider gave last
    int32_t levelResult = 1;
    for (;;) {
        if (walkStopped()) break;
        // The provider leaves the size it wants for the next batch; keep that within bounds.
        if (bufferBytes > kMostBatchBytes) bufferBytes = kMostBatchBytes;
        if (bufferBytes < sizeof(NETRESOURCEA)) bufferBytes = kFirstBatchBytes;
        // A batch that gave no record would make the next ask for none, and the provider would
        // answer none for ever: after such a batch ask for as many as fit again.
        if (count == 0) count = 0xFFFFFFFF;
        std::unique_ptr<char[]> buffer(new char[bufferBytes ? bufferBytes : 1]());
        result = WNetEnumResourceA(handle.get(), &count, buffer.get(), &bufferBytes);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != NO_ERROR) {
            try {
                throw CNetworkError(reportError(result, "WNetEnumResource", false));
            } catch (const CNetworkError& failure) {
                levelResult = failure.value;
            }
            break;
        }
        // Never read records past the buffer, whatever count the provider claims.
        const DWORD fits = bufferBytes / sizeof(NETRESOURCEA);
        const DWORD records = count < fits ? count : fits;
        auto* record = reinterpret_cast<NETRESOURCEA*>(buffer.get());
        for (DWORD i = 0; i < records; ++i, ++record) {
            const int32_t verdict = filterResource(record, walkFlags);
            if (verdict == -1) break;
            if (verdict == 0) continue;
            if (handleResource(record) == 0) throw CNetworkBreak(0);
            if ((record->dwUsage & RESOURCEUSAGE_CONTAINER) && record->dwDisplayType != stopType) {
                if (enumerateContainer(record, walkFlags, stopType) == 0) throw CNetworkBreak(0);
            }
        }
    }
    return levelResult;
}

std::string CNetwork::formatError(DWORD code, const char* functionName) {
    if (code == ERROR_EXTENDED_ERROR) {
        DWORD providerCode = 0;
        char providerText[256] = "";
        char providerName[256] = "";
        DWORD e = WNetGetLastErrorA(&providerCode, providerText, sizeof(providerText), providerName,
                                    sizeof(providerName));
        if (e != NO_ERROR) return formatted("WNetGetLastError failed; error %ld", long(e));
        providerText[sizeof(providerText) - 1] = '\0';
        providerName[sizeof(providerName) - 1] = '\0';
        return formatProviderError(providerName, providerCode, providerText);
    }
    char systemText[256] = "";
    // Inserts are ignored: a system text with %1 in it and no arguments must not be expanded.
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                        0x400, systemText, sizeof(systemText), nullptr))
        systemText[0] = '\0';
    systemText[sizeof(systemText) - 1] = '\0';
    return formatted("%s failed; Result is %ld (\"%s\")", functionName ? functionName : "",
                     long(code), systemText);
}

std::string CNetwork::formatProviderError(const char* providerName, DWORD providerCode,
                                          const char* providerText) {
    // Providers end their texts with a line end; drop those two characters.
    std::string text = providerText ? providerText : "";
    if (text.size() >= 2) text.resize(text.size() - 2);
    return formatted("%s failed with code %ld (\"%s\")", providerName ? providerName : "",
                     long(providerCode), text.c_str());
}

int32_t CNetwork::reportError(DWORD code, const char* functionName, bool showBox) {
    // The text is built for this failure alone and the box shows that text; the object keeps
    // a copy as its last error text.
    const std::string text = formatError(code, functionName);
    {
        std::lock_guard<std::mutex> hold(errorTextLock_);
        errorText_ = text;
    }
    if (showBox)
        showMessageBox(nullptr, "CNetwork: " + text + "\n", kAppTitle, MB_OK | MB_ICONSTOP);
    return 0;
}

std::string CNetwork::lastErrorText() const {
    std::lock_guard<std::mutex> hold(errorTextLock_);
    return errorText_;
}

bool CNetwork::addConnection(NETRESOURCEA* resource, DWORD connectionFlags, const char* password,
                             const char* userName) {
    if (WNetAddConnection2A(resource, password, userName, connectionFlags) == NO_ERROR) return true;
    reportError(GetLastError(), "WNetAddConnection2", false);
    return false;
}

bool CNetwork::cancelConnection(const char* name, DWORD flags, BOOL force) {
    if (WNetCancelConnection2A(name, flags, force) == NO_ERROR) return true;
    reportError(GetLastError(), "WNetCancelConnection2", false);
    return false;
}

int32_t CNetworkHooks::handleResource(NETRESOURCEA* resource) {
    return handleHook_ ? handleHook_(user_, resource) : 1;
}

int32_t CNetworkHooks::filterResource(NETRESOURCEA* resource, uint32_t walkFlags) {
    return filterHook_ ? filterHook_(user_, resource, walkFlags) : 1;
}

int32_t CNetworkHooks::reportError(DWORD code, const char* functionName, bool /*showBox*/) {
    if (errorHook_) return errorHook_(user_, code, functionName);
    // After a stop the failure is only recorded: a thread whose call to a hung server returns
    // long after the user stopped (perhaps during a later search) must not put up a box.
    if (code == ERROR_NO_NETWORK) return CNetwork::reportError(code, functionName, !walkStopped());
    CNetwork::reportError(code, functionName, false);
    return 1;
}
