// The network half of a LAN search: the enumeration thread that queues accepted servers, the
// server workers that take them and search their shares, and the two walk hooks.
#include "engine/FolderWalker.h"
#include "engine/SearchEngine.h"
#include "engine/UserMessages.h"

#include <memory>

namespace {

// The name a record carries, or "" when the provider gave none.
const char* remoteNameOf(const NETRESOURCEA& resource) {
    return resource.lpRemoteName ? resource.lpRemoteName : "";
}

} // namespace

DWORD WINAPI SearchEngine::enumerationThread(LPVOID ticket) {
    const std::shared_ptr<SearchRun> run = takeRun(ticket);
    SearchEngine& engine = run->engine;
    engine.postToOwner(*run, WM_WORKER_STATE, 1);
    int32_t walkResult = 1;
    try {
        walkResult = run->network.enumerate(kNetworkStopType, kLanWalkFlags);
    } catch (...) {
        // Out of memory somewhere in the walk: the servers queued so far are still searched.
    }
    try {
        engine.queueNamedServers(*run, walkResult);
    } catch (...) {
        // No memory for a named server's record: the servers queued so far are still searched.
    }
    engine.adoptOrphanedServers(*run);
    engine.postToOwner(*run, WM_WORKER_STATE, 0);
    return 0;
}

int32_t SearchEngine::onNetworkNode(void* parameter, NETRESOURCEA* resource, uint32_t walkFlags) {
    auto& run = *static_cast<SearchRun*>(parameter);
    if (run.stopped()) return -1;
    const SearchCriteria& criteria = run.criteria;
    switch (resource->dwDisplayType) {
    case RESOURCEDISPLAYTYPE_DOMAIN:
        return listAccepts(criteria.domainMode, criteria.domainPatterns,
                           criteria.domainPatternCount, lowerAnsi(remoteNameOf(*resource)))
                   ? 1
                   : 0;
    case RESOURCEDISPLAYTYPE_SERVER:
        if (!listAccepts(criteria.serverMode, criteria.serverPatterns, criteria.serverPatternCount,
                         lowerAnsi(remoteNameOf(*resource))))
            return 0;
        run.engine.queueServer(run, *resource, walkFlags);
        return 1;
    default: return 1;
    }
}

int32_t SearchEngine::onNetworkShare(void* parameter, NETRESOURCEA* resource) {
    auto& run = *static_cast<SearchRun*>(parameter);
    if (resource->dwDisplayType == RESOURCEDISPLAYTYPE_SHARE && resource->lpRemoteName) {
        const WalkContext context{run.criteria, run.stopRequested, run.engine.store_,
                                  run.engine.statusBar_};
        walkFolder(context, resource->lpRemoteName);
    }
    return 1;
}

void SearchEngine::queueServer(SearchRun& run, const NETRESOURCEA& server, uint32_t walkFlags) {
    int32_t queued = 0;
    bool noWorkerLooks = false;
    {
        LockHolder queue(serverQueue_.lock());
        if (run.stopped()) return;
        // A server the network lists under two workgroups, or that the user also named, is
        // searched once.
        if (!queuedServerNames_.insert(lowerAnsi(remoteNameOf(server))).second) return;
        queued = serverQueue_.push(server, walkFlags);
        // Workers lower this count only under queueLock when they decide to end: if it is 0
        // now, no worker will look at the queue again and this server needs a worker of its own.
        noWorkerLooks = run.runningWorkers.load() == 0;
    }
    int32_t workers = 0;
    if (noWorkerLooks) {
        // Every counted worker has decided to end; reap those that have, so that an ended
        // worker never keeps a queued server from being searched. A worker between its
        // decision and its end is waited for (it only posts its end message).
        for (;;) {
            workerHandles_.reapEnded();
            workers = workerHandles_.count();
            if (workers < kMostWorkers || run.stopped()) break;
            Sleep(1);
        }
    } else {
        workers = workerHandles_.count(); // under workersLock; queueLock is not held
    }
    if (noWorkerLooks || (queued > kServersPerWorker * workers && workers < kMostWorkers))
        startWorker(run);
}

void SearchEngine::queueNamedServers(SearchRun& run, int32_t walkResult) {
    // A walk that ended for want of a network (0, its failure already shown) would only fail
    // again for each named server, each time with a box of its own.
    if (walkResult == 0) return;
    for (const std::string& name : run.criteria.namedServers) {
        if (run.stopped()) return;
        // A server as the network would list it; its shares are listed through this record.
        std::string remoteName = name;
        NETRESOURCEA server{};
        server.dwScope = RESOURCE_GLOBALNET;
        server.dwType = RESOURCETYPE_ANY;
        server.dwDisplayType = RESOURCEDISPLAYTYPE_SERVER;
        server.dwUsage = RESOURCEUSAGE_CONTAINER;
        server.lpRemoteName = remoteName.data();
        queueServer(run, server, kLanWalkFlags);
    }
}

void SearchEngine::adoptOrphanedServers(SearchRun& run) {
    if (run.stopped()) return;
    {
        LockHolder queue(serverQueue_.lock());
        // Only when no worker could be created for them: nothing will take these servers but
        // this thread, which exists and has nothing left to do.
        if (serverQueue_.length() == 0 || run.runningWorkers.load() != 0) return;
        run.runningWorkers.fetch_add(1);
    }
    workerLoop(run);
}

void SearchEngine::startWorker(SearchRun& run) {
    // Counted before it exists, so that it cannot decide to end before it was counted.
    run.runningWorkers.fetch_add(1);
    HANDLE worker = nullptr;
    try {
        // The thread is made and recorded under workersLock, the lock the interface thread takes
        // to leave a stopped search's threads behind: either the handle is in the list when they
        // are left behind, or the run was left behind first and no worker is made. So no worker
        // ever runs that closing the program does not know of.
        worker = workerHandles_.startRecorded([this, &run]() -> HANDLE {
            if (run.leftBehind.load()) return nullptr;
            std::unique_ptr<RunTicket> ticket(makeTicket(run));
            HANDLE thread =
                settings_.createWorkerThread
                    ? settings_.createWorkerThread(&SearchEngine::serverWorker, ticket.get())
                    : CreateThread(nullptr, 0, &SearchEngine::serverWorker, ticket.get(), 0, nullptr);
            if (thread) ticket.release(); // the thread takes it
            return thread;
        });
    } catch (...) {
        run.runningWorkers.fetch_sub(1); // no memory: no worker was made
        throw;
    }
    if (worker)
        workersStarted_.fetch_add(1);
    else
        run.runningWorkers.fetch_sub(1);
    Sleep(settings_.workerStartPauseMs);
}

DWORD WINAPI SearchEngine::serverWorker(LPVOID ticket) {
    const std::shared_ptr<SearchRun> run = takeRun(ticket);
    SearchEngine& engine = run->engine;
    engine.postToOwner(*run, WM_WORKER_STATE, 1);
    engine.workerLoop(*run);
    engine.postToOwner(*run, WM_WORKER_STATE, 0);
    return 0;
}

void SearchEngine::workerLoop(SearchRun& run) {
    ServerQueue& queue = serverQueue_;
    {
        LockHolder hold(queue.lock());
        if (queue.length() == 0) {
            run.runningWorkers.fetch_sub(1);
            return;
        }
    }
    // A worker whose run was stopped takes nothing more: once left behind, the queue it would
    // take from may already be a later search's.
    while (!run.stopped()) {
        std::optional<PendingServer> server;
        try {
            // The pause is taken under queueLock: at most one server leaves the queue per pause,
            // however many workers run.
            LockHolder hold(queue.lock());
            Sleep(settings_.serverTakePauseMs);
            if (!run.stopped()) server = queue.takeHead();
        } catch (...) {
            // No memory for the copy of the head: that server is dropped (takeHead removed it),
            // the others are still taken.
        }
        if (run.stopped()) break; // a server taken in this cycle is dropped
        if (server) {
            NETRESOURCEA resource = server->resource();
            try {
                run.network.enumerateContainer(&resource, server->flags(), kShareStopType);
            } catch (const CNetworkBreak&) {
                // A failure deep in this server's shares ends this server only.
            } catch (...) {
                // Out of memory while searching this server: go on with the next.
            }
        }
        LockHolder hold(queue.lock());
        if (queue.length() == 0) {
            run.runningWorkers.fetch_sub(1);
            return;
        }
    }
    LockHolder hold(queue.lock());
    run.runningWorkers.fetch_sub(1);
}
