// The search session: criteria, thread start and reaping, completion, reset, and the search in
// the last result. The network threads and hooks live in network/LanWalk.cpp.
#include "engine/SearchEngine.h"

#include <cstdio>

#include "engine/RefineReads.h"
#include "engine/UserMessages.h"
#include "toolkit/MessageBoxes.h"

SearchRun::SearchRun(SearchEngine& engine, const SearchCriteria& criteria)
    : engine(engine), criteria(criteria),
      network(this, &SearchEngine::onNetworkShare, &SearchEngine::onNetworkNode) {
    network.setStopFlag(&stopRequested);
}

SearchEngine::SearchEngine(const SearchEngineSettings& settings)
    : history_(store_), view_(store_, history_), settings_(settings),
      run_(std::make_shared<SearchRun>(*this, criteria_)) {}

SearchEngine::~SearchEngine() {
    followFolderText(false);
    serverQueue_.clear();
    history_.clearAll();
    view_.detach();
    closeThreadHandle(refineThread_);
    closeThreadHandle(enumerationThread_);
}

void SearchEngine::attach(HWND owner, HWND resultList, HWND statusBar) {
    owner_ = owner;
    resultList_ = resultList;
    statusBarWindow_ = statusBar;
    view_.attach(resultList, statusBar);
}

void SearchEngine::followFolderText(bool follow) {
    if (!statusBarWindow_ || !IsWindow(statusBarWindow_)) return;
    SendMessageA(statusBarWindow_, toolkit::followPaneTextMessage(), 0,
                 reinterpret_cast<LPARAM>(follow ? &statusBar_ : nullptr));
}

void SearchEngine::buildCriteria(const SearchOptions& options) {
    ::buildCriteria(criteria_, options);
    // An option file may carry a scope the program does not know: such a search walks the LAN.
    if (criteria_.scope != SearchScope::LastResult) criteria_.scope = SearchScope::Lan;
}

SearchScope SearchEngine::scope() const {
    return criteria_.scope == SearchScope::LastResult ? SearchScope::LastResult : SearchScope::Lan;
}

void SearchEngine::closeThreadHandle(HANDLE& thread) {
    if (thread) CloseHandle(thread);
    thread = nullptr;
}

bool SearchEngine::startSearch() {
    if (!resetSession(true)) return false;
    if (scope() == SearchScope::LastResult)
        history_.truncateAfterCurrent();
    else
        clearAll();
    capturePatternCounts(criteria_);

    // Handles of an earlier search that was never finished belong to ended threads.
    closeThreadHandle(refineThread_);
    closeThreadHandle(enumerationThread_);
    workersStarted_.store(0);
    view_.watchRows(true);
    followFolderText(true);
    const bool refine = scope() == SearchScope::LastResult;
    run_ = std::make_shared<SearchRun>(*this, criteria_);
    LPTHREAD_START_ROUTINE routine =
        refine ? &SearchEngine::refineThread : &SearchEngine::enumerationThread;
    void* parameter = makeTicket(*run_);
    HANDLE thread = settings_.createSearchThread
                        ? settings_.createSearchThread(routine, parameter)
                        : CreateThread(nullptr, 0, routine, parameter, 0, nullptr);
    (refine ? refineThread_ : enumerationThread_) = thread;
    if (thread) return true;
    takeRun(parameter); // the ticket no thread took
    // No search runs: everything begun above is undone, and the list shows its level again.
    history_.releaseRows();
    view_.watchRows(false);
    followFolderText(false);
    return false;
}

bool SearchEngine::isBusy() {
    if (refineThread_ && !threadHasEnded(refineThread_)) return true;
    if (enumerationThread_ && !threadHasEnded(enumerationThread_)) return true;
    return workerHandles_.anyRunning();
}

void SearchEngine::requestStop() {
    stopRequested_.store(1);
    // The hits already stored stay; the walkers add none from now on (they look at the stop under
    // storeLock before each hit).
    run_->stopRequested.store(1);
}

int32_t SearchEngine::leaveStoppedThreads() {
    if (!stopRequested()) return 0;
    if (refineThread_ && !threadHasEnded(refineThread_)) {
        if (!run_->leaveWhileReading()) return 0;
        leftBehind_.append(refineThread_);
        refineThread_ = nullptr;
    }
    run_->leftBehind.store(1);
    if (enumerationThread_ && !threadHasEnded(enumerationThread_)) {
        leftBehind_.append(enumerationThread_);
        enumerationThread_ = nullptr;
    }
    closeThreadHandle(enumerationThread_);
    workerHandles_.passRunningTo(leftBehind_);
    return threadsLeftBehind();
}

int32_t SearchEngine::activeThreadCount() {
    int32_t count = 0;
    if (enumerationThread_ && !threadHasEnded(enumerationThread_)) ++count;
    return count + workerHandles_.reapEnded();
}

bool SearchEngine::finishSearch() {
    if (isBusy()) return false;
    if (scope() != SearchScope::LastResult) history_.pushIdentityLevel();
    // A refinement that made no level leaves the rows held.
    history_.releaseRows();
    view_.watchRows(false);
    followFolderText(false);
    closeThreadHandle(refineThread_);
    closeThreadHandle(enumerationThread_);
    workerHandles_.closeAll();
    stopRequested_.store(0);
    return true;
}

bool SearchEngine::resetSession(bool keepStores) {
    if (isBusy()) return false;
    stopRequested_.store(0);
    // The list stays as cleared here until the next view exists (a refinement's new level).
    history_.holdRows();
    if (resultList_) {
        setListRowCount(resultList_, 0, LVSICF_NOINVALIDATEALL);
        InvalidateRect(resultList_, nullptr, TRUE);
    }
    history_.resetStoreSortState();
    if (!keepStores) clearAll();
    return true;
}

void SearchEngine::clearAll() {
    {
        LockHolder queue(serverQueue_.lock());
        serverQueue_.clear();
        queuedServerNames_.clear();
    }
    history_.clearAll(); // every level deleted, the ResultSet emptied
    // Only ended workers can be left here (clearAll never runs while busy): close what is left.
    workerHandles_.closeAll();
}

void SearchEngine::postToOwner(UINT message, WPARAM wParam) {
    if (owner_) PostMessageA(owner_, message, wParam, 0);
}

void SearchEngine::postToOwner(const SearchRun& run, UINT message, WPARAM wParam) {
    // A notice that slips past this test after the run was left behind is harmless: the
    // owner counts the threads of its current search when a notice comes.
    if (!run.leftBehind.load()) postToOwner(message, wParam);
}

DWORD WINAPI SearchEngine::refineThread(LPVOID ticket) {
    const std::shared_ptr<SearchRun> run = takeRun(ticket);
    SearchEngine* engine = &run->engine;
    const DWORD started = GetTickCount();
    try {
        engine->refineLastResult(*run);
    } catch (...) {
        // An allocation failure ends the refinement; the levels made so far stay.
    }
    // Left behind in a read: the search has completed without this thread.
    if (!run->endReading()) return 0;
    const DWORD elapsed = GetTickCount() - started;
    const int32_t items = engine->store_.count();
    char text[64];
    snprintf(text, sizeof(text), "number: %d, Time:%d", int(items), int(elapsed));
    // The search counts as running until the box is dismissed.
    showMessageBox(nullptr, text, "", MB_OK);
    engine->postToOwner(WM_SEARCH_FINISHED, 0);
    return 0;
}

void SearchEngine::refineLastResult(SearchRun& run) {
    const SearchCriteria& criteria = run.criteria;
    if (store_.count() == 0) return;
    int32_t oldLevel = 0;
    {
        LockHolder view(history_.viewLock());
        oldLevel = history_.currentLevel();
        if (oldLevel == 0 || history_.levelLength(oldLevel) == 0) return;
    }
    const int32_t newLevel = history_.pushEmptyLevel(); // viewLock, then levelsLock

    const int32_t storeCount = store_.count();
    const int32_t patternCount = criteria.refinePatterns.count();
    RefineReads reads(run, statusBar_);
    const int32_t oldLength = history_.levelLength(oldLevel);
    for (int32_t i = 0; i < oldLength; ++i) {
        int32_t position = -1;
        if (!history_.levelEntry(oldLevel, i, position)) break;
        if (position < 0 || position >= storeCount) continue;
        FoundItem item;
        if (!store_.copyAt(position, item)) continue;
        if (!matchesItem(criteria, item.attributes, item.creationTime, item.lastAccessTime,
                         item.lastWriteTime, item.size))
            continue;
        const std::string lowerName = lowerAnsi(item.name);
        for (int32_t k = 0; k < patternCount; ++k) {
            const NamePattern* pattern = criteria.refinePatterns.at(k);
            if (!pattern || !pattern->matches(lowerName)) continue;
            const RefineReads::Answer answer = reads.test(item);
            if (answer == RefineReads::Answer::Stop) return;
            // A stop looked at under viewLock: a refinement left behind in a read never adds
            // to a level once the next search may have changed the levels.
            LockHolder view(history_.viewLock());
            if (answer == RefineReads::Answer::Keep && !reads.stopped())
                history_.appendToLevel(newLevel, position); // the list follows the length
            break;
        }
    }
}
