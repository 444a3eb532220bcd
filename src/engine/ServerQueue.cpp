// ServerQueue's push and take.
#include "engine/ServerQueue.h"

int32_t ServerQueue::push(const NETRESOURCEA& resource, uint32_t flags) {
    PendingServer server(resource, flags);
    LockHolder hold(lock());
    unlocked().append(server);
    return unlocked().count();
}

std::optional<PendingServer> ServerQueue::takeHead() {
    LockHolder hold(lock());
    const PendingServer* head = unlocked().at(0);
    if (!head) return std::nullopt;
    std::optional<PendingServer> taken;
    try {
        taken.emplace(*head);
    } catch (...) {
        // A head that cannot be copied leaves the queue all the same, so it is not met again.
        unlocked().removeAt(0);
        throw;
    }
    unlocked().removeAt(0);
    return taken;
}
