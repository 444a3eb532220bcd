// ServerQueue: the servers that the enumeration thread found and the server workers have not
// taken yet, under queueLock.
#pragma once

#include <optional>

#include "toolkit/LockedArray.h"
#include "engine/PendingServer.h"

// lock() is queueLock. A worker holds it across its pacing pause and takeHead, so that while
// one worker waits the others and the enumeration thread wait too.
class ServerQueue : public LockedArray<PendingServer> {
public:
    static constexpr int32_t kGrowthStep = 63;

    ServerQueue() : LockedArray<PendingServer>(kGrowthStep) {}

    // Appends a copy of the record and its texts; returns the new length.
    int32_t push(const NETRESOURCEA& resource, uint32_t flags);
    int32_t length() { return count(); }
    // Removes and returns the first server (the rest move down by one place); nothing when the
    // queue is empty, which then stays unchanged. When the copy cannot be made (no memory) the
    // head is removed all the same and the failure is thrown.
    std::optional<PendingServer> takeHead();
};
