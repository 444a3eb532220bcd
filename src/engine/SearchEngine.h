// SearchEngine: runs one search at a time for the main dialog — compiles the options, starts
// and counts the search threads, owns the stores they fill, stops on request and reports to its
// owner window by posted messages (engine/UserMessages.h).
#pragma once

#include <windows.h>
#include <winnetwk.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "engine/SearchCriteria.h"
#include "engine/SearchRun.h"
#include "engine/ServerQueue.h"
#include "engine/WorkerHandles.h"
#include "network/CNetwork.h"
#include "options/SearchOptions.h"
#include "results/FoundItem.h"
#include "results/ResultHistory.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"
#include "toolkit/LatestText.h"

// The pauses that pace a network search. The program uses the defaults; tests and benchmarks
// shorten them.
struct SearchEngineSettings {
    DWORD serverTakePauseMs = 1000; // before every take from the server queue, under queueLock
    DWORD workerStartPauseMs = 100; // after every attempt to start a server worker
    DWORD workerStatePauseMs = 200; // in the owner's thread-state handler, so an ending thread
                                    // that has just posted its end has time to end
    // Creates a server worker's thread (started at once) or returns null; null here means
    // CreateThread. Tests put a failing one here to see that queued servers are still searched.
    HANDLE (*createWorkerThread)(LPTHREAD_START_ROUTINE routine, LPVOID engine) = nullptr;
    // The same for the search's first thread (the enumeration or the refinement); tests put a
    // failing one here to see that a search that cannot start leaves the session idle.
    HANDLE (*createSearchThread)(LPTHREAD_START_ROUTINE routine, LPVOID engine) = nullptr;
};

// Locks (all re-entrant, all owned here): storeLock (the ResultSet), queueLock (the
// ServerQueue), workersLock (the worker handles), levelsLock (the level array) and viewLock (a
// level's contents while it is filled or sorted). viewLock may be held while levelsLock or
// storeLock is taken, never the reverse; queueLock and workersLock are never held together. No
// lock is held across a window message that the interface thread may need to answer.
class SearchEngine {
public:
    // Walk flags and stop types of the network search.
    static constexpr uint32_t kLanWalkFlags = 9; // the whole network, every resource type
    static constexpr DWORD kNetworkStopType = RESOURCEDISPLAYTYPE_SERVER; // servers not entered
    static constexpr DWORD kShareStopType = RESOURCEDISPLAYTYPE_SHARE;    // shares not entered
    static constexpr int32_t kMostWorkers = 10;
    static constexpr int32_t kServersPerWorker = 5;

    explicit SearchEngine(const SearchEngineSettings& settings = {});
    // Empties every store; does not wait for threads (the owner refuses to close while busy).
    // Threads left behind still use the engine: the program ends its process before the engine
    // is destroyed while any of them lives (threadsLeftBehind).
    ~SearchEngine();
    SearchEngine(const SearchEngine&) = delete;
    SearchEngine& operator=(const SearchEngine&) = delete;

    // Keeps the owner window (target of the posted messages), sets up the result list's columns
    // and icons and the status bar whose first pane shows the folder being searched. Either
    // control may be null. Once, from the owner's initialisation. The search threads never send
    // to either: while a search runs, the list (a ResultListCtrl) follows the rows of the view
    // being filled, and the status bar (one that answers toolkit::followPaneTextMessage) shows
    // the folder the walkers recorded last.
    void attach(HWND owner, HWND resultList, HWND statusBar);
    void setSettings(const SearchEngineSettings& settings) { settings_ = settings; }
    const SearchEngineSettings& settings() const { return settings_; }

    // Compiles the options into the criteria and records the scope; a scope other than LAN or
    // last result searches the LAN. Interface thread, never while busy.
    void buildCriteria(const SearchOptions& options);
    // The scope of the criteria last built.
    SearchScope scope() const;
    // Starts the threads of a search: false when one still runs or a thread could not be made;
    // in the latter case the list's watch, the folder text and the held rows are undone.
    bool startSearch();
    // True while the refine thread, the enumeration thread or any server worker runs.
    bool isBusy();
    // Asks every search thread to end at its next check; what was found stays, and nothing is
    // added after it.
    void requestStop();
    bool stopRequested() const { return stopRequested_.load() != 0; }
    // After a stop request: stops waiting for the network threads that have not ended, each
    // held in a call to a server that does not answer. Their handles go to the left-behind
    // list and the search no longer counts as busy, so it can complete with what it found.
    // When their calls return they end at once: they add no hit, queue and take no server and
    // post no message. Does nothing without a stop request or while the refine thread runs.
    // Returns the number of threads left behind now.
    int32_t leaveStoppedThreads();
    // Threads left behind that are still alive (those that ended are forgotten here).
    int32_t threadsLeftBehind() { return leftBehind_.reapEnded(); }
    // Running network threads (the enumeration thread and the workers); closes the handles of
    // ended workers. The refine thread is not counted.
    int32_t activeThreadCount();
    // False while busy. Otherwise makes level 1 of a network search (when none exists), brings
    // the list up to the final count, stops following the walkers' folder text, closes every
    // thread handle, clears the stop request and returns true.
    bool finishSearch();
    // False while busy. Otherwise clears the stop request, the list's rows and the sort state,
    // and unless keepStores also empties every store (clearAll).
    bool resetSession(bool keepStores);
    // Empties the ResultSet, the ServerQueue and the ResultHistory and frees the worker list.
    void clearAll();

    // The current view (rows of the current level).
    int32_t itemCount() { return view_.itemCount(); }
    std::optional<FoundItem> itemAt(int32_t row) { return view_.itemAt(row); }

    ResultSet& store() { return store_; }
    ResultHistory& history() { return history_; }
    ResultView& view() { return view_; }
    const SearchCriteria& criteria() const { return criteria_; }
    // The network walk of the current (or last) search.
    CNetworkHooks& network() { return run_->network; }

    ReentrantLock& storeLock() { return store_.storeLock(); }
    ReentrantLock& queueLock() { return serverQueue_.lock(); }
    ReentrantLock& workersLock() { return workerHandles_.lock(); }
    ReentrantLock& levelsLock() { return history_.levelsLock(); }
    ReentrantLock& viewLock() { return history_.viewLock(); }

    // Queue and worker figures, for tests and the benchmark.
    int32_t queuedServers() { return serverQueue_.length(); }
    int32_t workerHandleCount() { return workerHandles_.count(); }
    // Workers started during the current search (including those already ended).
    int32_t workersStarted() const { return workersStarted_.load(); }

    // Thread routines, each returning 0. The network threads take a run ticket (SearchRun.h),
    // the refine thread the engine.
    static DWORD WINAPI enumerationThread(LPVOID ticket);
    static DWORD WINAPI serverWorker(LPVOID ticket);
    static DWORD WINAPI refineThread(LPVOID engine);

    // The network walk's hooks, called with the run: the filter hook (-1 skip the rest of the
    // batch, 0 skip, 1 accept; queues accepted servers) and the handle hook (searches shares;
    // always 1).
    static int32_t onNetworkNode(void* run, NETRESOURCEA* resource, uint32_t walkFlags);
    static int32_t onNetworkShare(void* run, NETRESOURCEA* resource);

    // Filters the current level into a new one with the criteria; runs to its end.
    void refineLastResult();

private:
    void postToOwner(UINT message, WPARAM wParam);
    // The same from a thread of run: nothing once the run was left behind.
    void postToOwner(const SearchRun& run, UINT message, WPARAM wParam);
    // Lets the status bar show statusBar_ in its first pane (or stop, with follow false).
    void followFolderText(bool follow);
    // Queues a server and starts a worker for it where the worker rule says so; a server
    // already queued in this search (its name compared without case) is left out. Nothing once
    // run was stopped: a thread left behind never queues into a later search.
    void queueServer(SearchRun& run, const NETRESOURCEA& server, uint32_t walkFlags);
    // At the end of the enumeration: the servers the user named (criteria_.namedServers) that
    // the enumeration did not queue are queued as servers of their own, whatever domain they
    // belong to; none after a stop request or a walk that found no network.
    void queueNamedServers(SearchRun& run, int32_t walkResult);
    void startWorker(SearchRun& run);
    // At the end of the enumeration: servers still queued with no worker left to take them
    // (no worker thread could be created) are searched by the enumeration thread itself.
    void adoptOrphanedServers(SearchRun& run);
    void closeThreadHandle(HANDLE& thread);
    void workerLoop(SearchRun& run);

    // Members in the order the owner relies on: the store before the history and the view,
    // which keep references to it.
    ServerQueue serverQueue_;
    WorkerHandles workerHandles_;
    // Threads of stopped searches that were still in a server's call when left behind.
    WorkerHandles leftBehind_;
    HANDLE refineThread_ = nullptr;
    HANDLE enumerationThread_ = nullptr;
    std::atomic<int32_t> stopRequested_{0};
    ResultSet store_;
    ResultHistory history_;
    ResultView view_;
    SearchCriteria criteria_;
    HWND owner_ = nullptr;
    HWND resultList_ = nullptr;
    HWND statusBarWindow_ = nullptr;
    // The folder pane as the walkers see it (the network walk hands it to every walk).
    toolkit::LatestText statusBar_;
    SearchEngineSettings settings_;
    // The current search's run (the last one's between searches); never null.
    std::shared_ptr<SearchRun> run_;
    // Lower-cased names of the servers queued during this search, under queueLock, so that a
    // server listed twice, or listed and named, is queued once.
    std::set<std::string> queuedServerNames_;
    std::atomic<int32_t> workersStarted_{0};
};
