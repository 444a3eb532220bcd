// SearchRun: what the threads of one network search share, apart from the engine's stores.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/SearchCriteria.h"
#include "network/CNetwork.h"

class SearchEngine;

// Each search gets a run of its own, and each of its threads holds the run by a shared pointer.
// A server that stops answering can keep a thread inside a platform call for minutes; once the
// user has stopped the search, the engine leaves such a thread behind and the next search gets
// a new run. The thread, when its call returns, still finds its own criteria, its own stop flag
// (set for good: a run is never started again) and its own walk object, so it ends at its next
// check without reading or changing anything of the new search.
struct SearchRun : std::enable_shared_from_this<SearchRun> {
    SearchRun(SearchEngine& engine, const SearchCriteria& criteria);
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;

    bool stopped() const { return stopRequested.load() != 0; }

    SearchEngine& engine;
    const SearchCriteria criteria; // a copy: the owner builds the next search's meanwhile
    std::atomic<int32_t> stopRequested{0};
    // Set when the engine stopped waiting for this run's threads: they post nothing any more.
    std::atomic<int32_t> leftBehind{0};
    // Workers that have not yet decided to end. Lowered only under queueLock, so that a server
    // appended under queueLock either meets a worker that will still look at the queue or sees
    // that none will and starts one.
    std::atomic<int32_t> runningWorkers{0};
    // The walk of this run's servers: its hooks get the run, its stop flag is the run's.
    CNetworkHooks network;

    // A refinement that reads files for a text can wait in a read of a server that stopped
    // answering: the engine may leave it behind then, but never once it has left its reads
    // (its closing message box waits for the user, not for a server). One exchange decides.
    void beginReading() { refineStage.store(kReading); }
    // The refinement has left its reads; false when it was left behind while reading.
    bool endReading() {
        int32_t expected = kReading;
        return refineStage.compare_exchange_strong(expected, kDoneReading) ||
               expected != kLeftWhileReading;
    }
    // The engine stops waiting for a refinement that still reads; false when it reads no more.
    bool leaveWhileReading() {
        int32_t expected = kReading;
        return refineStage.compare_exchange_strong(expected, kLeftWhileReading);
    }

private:
    static constexpr int32_t kNotReading = 0, kReading = 1, kDoneReading = 2,
                             kLeftWhileReading = 3;
    std::atomic<int32_t> refineStage{kNotReading};
};

// How a thread routine receives its run: a heap copy of the shared pointer (a ticket), which
// the routine takes over; whoever made a ticket that no thread took deletes it.
using RunTicket = std::shared_ptr<SearchRun>;
inline RunTicket* makeTicket(SearchRun& run) {
    return new RunTicket(run.shared_from_this());
}
inline std::shared_ptr<SearchRun> takeRun(void* ticket) {
    std::unique_ptr<RunTicket> owned(static_cast<RunTicket*>(ticket));
    return std::move(*owned);
}
