// CNetwork: a walk over the network provider's resource tree with hooks for the caller, its
// hook-driven subclass CNetworkHooks, and the two exceptions that carry a walk's result.
#pragma once

#include <windows.h>
#include <winnetwk.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

// Carries a walk's result out of nested levels.
class CNetworkBreak {
public:
    explicit CNetworkBreak(int32_t value) : value(value) {}
    int32_t value;
};

// A provider failure on its way out of a level; caught wherever a CNetworkBreak is.
class CNetworkError : public CNetworkBreak {
public:
    explicit CNetworkError(int32_t value) : CNetworkBreak(value) {}
};

// Bits of the walk flags that a walk passes unchanged to every level and to filterResource.
// Bit 0x02 selects the connected resources, 0x04 the remembered ones, neither the whole
// network; 0x10 disk resources, 0x20 printers, neither any type. Other bits are carried through.
namespace walkflags {
inline constexpr uint32_t kConnected = 0x02;
inline constexpr uint32_t kRemembered = 0x04;
inline constexpr uint32_t kDisk = 0x10;
inline constexpr uint32_t kPrint = 0x20;
} // namespace walkflags

// Walks the resources below a starting point depth-first in the provider's order. The walk
// keeps every level's state on the walking thread's stack, so several threads may walk at once
// on one object.
class CNetwork {
public:
    // Bytes of the first batch buffer of every level.
    static constexpr DWORD kFirstBatchBytes = 16384;
    // A provider may ask for a larger buffer for the next batch; never more than this.
    static constexpr DWORD kMostBatchBytes = 1024 * 1024;
    // The longest error text kept (a longer one is cut).
    static constexpr size_t kMostErrorTextLength = 511;

    CNetwork() = default;
    CNetwork(const CNetwork&) = delete;
    CNetwork& operator=(const CNetwork&) = delete;

    virtual ~CNetwork();
    // Called for each resource that filterResource accepted; 0 abandons the whole walk.
    virtual int32_t handleResource(NETRESOURCEA* resource) = 0;
    // -1 skips the rest of the current batch, 0 skips this resource (neither handled nor
    // entered), anything else accepts it.
    virtual int32_t filterResource(NETRESOURCEA* resource, uint32_t walkFlags) = 0;
    // Called for every provider failure; what it returns is what the failing level returns.
    // Formats the failure's text, keeps it as the last error text, shows it in a stop box when
    // showBox is set, and returns 0.
    virtual int32_t reportError(DWORD code, const char* functionName, bool showBox);
    // Read before every batch: true ends each level at once, as if the provider had no more
    // records, so that a provider that keeps answering can never hold a stopped walk.
    virtual bool walkStopped() const { return false; }

    // Walks the whole network from its root. Returns the root level's result, or the value a
    // CNetworkBreak carried out of the walk (0 when the walk was abandoned).
    int32_t enumerate(DWORD stopType, uint32_t walkFlags);
    // Walks below one container (the root when container is null). A container whose display
    // type is stopType is handed to the hooks but not entered. Returns 1 when the level ended
    // normally or was stopped, else reportError's result for the failing call; abandonment
    // leaves it as a CNetworkBreak carrying 0. Each batch asks for as many records as the
    // previous one gave, and for as many as fit again after a batch that gave none.
    int32_t enumerateContainer(NETRESOURCEA* container, uint32_t walkFlags, DWORD stopType);

    // WNetAddConnection2A; on failure reports the thread's last error and returns false.
    bool addConnection(NETRESOURCEA* resource, DWORD connectionFlags, const char* password,
                       const char* userName);
    // WNetCancelConnection2A; on failure reports the thread's last error and returns false.
    bool cancelConnection(const char* name, DWORD flags, BOOL force);

    // The text of a failure as reportError words it (at most kMostErrorTextLength characters).
    // Each call builds its own text, so failures on different threads never share a buffer.
    static std::string formatError(DWORD code, const char* functionName);
    // The text of an extended error as the provider gave it: its name, its own code and its
    // text without the last two characters (the provider's line end; a shorter text stays
    // whole).
    static std::string formatProviderError(const char* providerName, DWORD providerCode,
                                           const char* providerText);
    // The text of the last failure that reportError formatted on this object ("" before any).
    std::string lastErrorText() const;

private:
    mutable std::mutex errorTextLock_;
    std::string errorText_;
};

// A CNetwork whose operations are function pointers called with a user pointer (the engine).
class CNetworkHooks : public CNetwork {
public:
    using HandleHook = int32_t (*)(void* user, NETRESOURCEA* resource);
    using FilterHook = int32_t (*)(void* user, NETRESOURCEA* resource, uint32_t walkFlags);
    using ErrorHook = int32_t (*)(void* user, DWORD code, const char* functionName);

    CNetworkHooks() = default;
    CNetworkHooks(void* user, HandleHook handle, FilterHook filter, ErrorHook error = nullptr)
        : user_(user), handleHook_(handle), filterHook_(filter), errorHook_(error) {}

    void setHooks(void* user, HandleHook handle, FilterHook filter, ErrorHook error = nullptr) {
        user_ = user;
        handleHook_ = handle;
        filterHook_ = filter;
        errorHook_ = error;
    }

    // The hook's result; a missing hook accepts and goes on (1).
    int32_t handleResource(NETRESOURCEA* resource) override;
    int32_t filterResource(NETRESOURCEA* resource, uint32_t walkFlags) override;
    // With an error hook: the hook's result. Without one: 1222 (no network) shows the failure
    // in a stop box (unless the walk was stopped) and ends the walk (0); any other failure is
    // only recorded and the walk goes on (1).
    int32_t reportError(DWORD code, const char* functionName, bool showBox) override;

    // The flag that stops every walk of this object when it is not 0 (the engine's stop
    // request); none by default.
    void setStopFlag(const std::atomic<int32_t>* flag) { stopFlag_ = flag; }
    bool walkStopped() const override { return stopFlag_ && stopFlag_->load() != 0; }

private:
    const std::atomic<int32_t>* stopFlag_ = nullptr;
    void* user_ = nullptr;
    HandleHook handleHook_ = nullptr;
    FilterHook filterHook_ = nullptr;
    ErrorHook errorHook_ = nullptr;
};
