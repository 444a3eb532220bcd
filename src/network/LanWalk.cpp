// The network half of a LAN search: the enumeration thread that queues accepted servers, the
// server workers that take them and search their shares, and the two walk hooks.
#include "engine/FolderWalker.h"
#include "engine/SearchEngine.h"
#include "engine/UserMessages.h"

namespace {

// The name a record carries, or "" when the provider gave none.
const char* remoteNameOf(const NETRESOURCEA& resource) {
    return resource.lpRemoteName ? resource.lpRemoteName : "";
}

} // namespace

DWORD WINAPI SearchEngine::enumerationThread(LPVOID parameter) {
    auto* engine = static_cast<SearchEngine*>(parameter);
    engine->postToOwner(WM_WORKER_STATE, 1);
    int32_t walkResult = 1;
    try {
        walkResult = engine->network_.enumerate(kNetworkStopType, kLanWalkFlags);
    } catch (...) {
        // Out of memory somewhere in the walk: the servers queued so far are still searched.
    }
    try {
        engine->queueNamedServers(walkResult);
    } catch (...) {
        // No memory for a named server's record: the servers queued so far are still searched.
    }
    engine->adoptOrphanedServers();
    engine->postToOwner(WM_WORKER_STATE, 0);
    return 0;
}

int32_t SearchEngine::onNetworkNode(void* parameter, NETRESOURCEA* resource, uint32_t walkFlags) {
    auto* engine = static_cast<SearchEngine*>(parameter);
    if (engine->stopRequested()) return -1;
    const SearchCriteria& criteria = engine->criteria_;
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
        engine->queueServer(*resource, walkFlags);
        return 1;
    default: return 1;
    }
}

int32_t SearchEngine::onNetworkShare(void* parameter, NETRESOURCEA* resource) {
    auto* engine = static_cast<SearchEngine*>(parameter);
    if (resource->dwDisplayType == RESOURCEDISPLAYTYPE_SHARE && resource->lpRemoteName) {
        const WalkContext context{engine->criteria_, engine->stopRequested_, engine->store_,
                                  engine->statusBar_};
        walkFolder(context, resource->lpRemoteName);
    }
    return 1;
}

void SearchEngine::queueServer(const NETRESOURCEA& server, uint32_t walkFlags, bool unlessQueued) {
    int32_t queued = 0;
    bool noWorkerLooks = false;
    {
        LockHolder queue(serverQueue_.lock());
        const bool isNew = queuedServerNames_.insert(lowerAnsi(remoteNameOf(server))).second;
        if (unlessQueued && !isNew) return;
        queued = serverQueue_.push(server, walkFlags);
        // Workers lower this count only under queueLock when they decide to end: if it is 0
        // now, no worker will look at the queue again and this server needs a worker of its own.
        noWorkerLooks = runningWorkers_.load() == 0;
    }
    int32_t workers = 0;
    if (noWorkerLooks) {
        // Every counted worker has decided to end; reap those that have, so that an ended
        // worker never keeps a queued server from being searched. A worker between its
        // decision and its end is waited for (it only posts its end message).
        for (;;) {
            workerHandles_.reapEnded();
            workers = workerHandles_.count();
            if (workers < kMostWorkers) break;
            Sleep(1);
        }
    } else {
        workers = workerHandles_.count(); // under workersLock; queueLock is not held
    }
    if (noWorkerLooks || (queued > kServersPerWorker * workers && workers < kMostWorkers))
        startWorker();
}

void SearchEngine::queueNamedServers(int32_t walkResult) {
    // A walk that ended for want of a network (0, its failure already shown) would only fail
    // again for each named server, each time with a box of its own.
    if (walkResult == 0) return;
    for (const std::string& name : criteria_.namedServers) {
        if (stopRequested()) return;
        // A server as the network would list it; its shares are listed through this record.
        std::string remoteName = name;
        NETRESOURCEA server{};
        server.dwScope = RESOURCE_GLOBALNET;
        server.dwType = RESOURCETYPE_ANY;
        server.dwDisplayType = RESOURCEDISPLAYTYPE_SERVER;
        server.dwUsage = RESOURCEUSAGE_CONTAINER;
        server.lpRemoteName = remoteName.data();
        queueServer(server, kLanWalkFlags, true);
    }
}

void SearchEngine::adoptOrphanedServers() {
    if (stopRequested()) return;
    {
        LockHolder queue(serverQueue_.lock());
        // Only when no worker could be created for them: nothing will take these servers but
        // this thread, which exists and has nothing left to do.
        if (serverQueue_.length() == 0 || runningWorkers_.load() != 0) return;
        runningWorkers_.fetch_add(1);
    }
    workerLoop();
}

void SearchEngine::startWorker() {
    // Counted before it exists, so that it cannot decide to end before it was counted.
    runningWorkers_.fetch_add(1);
    HANDLE worker = settings_.createWorkerThread
                        ? settings_.createWorkerThread(&SearchEngine::serverWorker, this)
                        : CreateThread(nullptr, 0, &SearchEngine::serverWorker, this, 0, nullptr);
    if (!worker) runningWorkers_.fetch_sub(1);
    Sleep(settings_.workerStartPauseMs);
    if (worker) {
        workersStarted_.fetch_add(1);
        workerHandles_.append(worker);
    }
}

DWORD WINAPI SearchEngine::serverWorker(LPVOID parameter) {
    auto* engine = static_cast<SearchEngine*>(parameter);
    engine->postToOwner(WM_WORKER_STATE, 1);
    engine->workerLoop();
    engine->postToOwner(WM_WORKER_STATE, 0);
    return 0;
}

void SearchEngine::workerLoop() {
    ServerQueue& queue = serverQueue_;
    {
        LockHolder hold(queue.lock());
        if (queue.length() == 0) {
            runningWorkers_.fetch_sub(1);
            return;
        }
    }
    for (;;) {
        std::optional<PendingServer> server;
        try {
            // The pause is taken under queueLock: at most one server leaves the queue per pause,
            // however many workers run.
            LockHolder hold(queue.lock());
            Sleep(settings_.serverTakePauseMs);
            server = queue.takeHead();
        } catch (...) {
            // No memory for the copy of the head: that server is dropped (takeHead removed it),
            // the others are still taken.
        }
        if (stopRequested()) break; // a server taken in this cycle is dropped
        if (server) {
            NETRESOURCEA resource = server->resource();
            try {
                network_.enumerateContainer(&resource, server->flags(), kShareStopType);
            } catch (const CNetworkBreak&) {
                // A failure deep in this server's shares ends this server only.
            } catch (...) {
                // Out of memory while searching this server: go on with the next.
            }
        }
        LockHolder hold(queue.lock());
        if (queue.length() == 0) {
            runningWorkers_.fetch_sub(1);
            return;
        }
    }
    LockHolder hold(queue.lock());
    runningWorkers_.fetch_sub(1);
}
