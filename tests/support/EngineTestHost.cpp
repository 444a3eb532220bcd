// The search engine's owner window for tests.
#include "support/EngineTestHost.h"

#include "engine/UserMessages.h"
#include "support/ResultTestHost.h"

namespace {
const char* const kClassName = "CorvaskEngineTestOwner";

void registerClassOnce() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    registered = true;
}
} // namespace

SearchEngineSettings fastSettings() {
    SearchEngineSettings settings;
    settings.serverTakePauseMs = 0;
    settings.workerStartPauseMs = 0;
    return settings;
}

SearchOptions lanOptions(const std::string& names) {
    SearchOptions options;
    options.namePattern = names;
    options.scope = SearchScope::Lan;
    return options;
}

EngineTestHost::EngineTestHost(const SearchEngineSettings& settings)
    : engine_(std::make_unique<SearchEngine>(settings)) {
    registerClassOnce();
    // A message-only window: it receives posted messages and is never shown.
    owner_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(owner_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(owner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProc));
    ResultTestHost& host = ResultTestHost::shared();
    host.reset();
    engine_->attach(owner_, host.list(), host.statusBar());
}

EngineTestHost::~EngineTestHost() {
    // Never leave a thread behind that could touch the engine after it is gone.
    engine_->requestStop();
    if (!pumpUntil([this] { return !engine_->isBusy(); }) ||
        !pumpUntil([this] { return engine_->threadsLeftBehind() == 0; })) {
        // A thread that never ended still uses the engine: leave it to the thread, not freed.
        (void)engine_.release();
        return;
    }
    engine_->finishSearch();
    engine_.reset();
    DestroyWindow(owner_);
    pumpMessages();
    ResultTestHost::shared().reset();
}

bool EngineTestHost::start(const SearchOptions& options) {
    threadStarts = threadEnds = searchFinished = completions = 0;
    completed = false;
    engine_->buildCriteria(options);
    return engine_->startSearch();
}

void EngineTestHost::complete() {
    if (engine_->finishSearch()) {
        ++completions;
        completed = true;
    }
}

bool EngineTestHost::waitForCompletion(DWORD safetyMs) {
    DWORD lastCheck = GetTickCount();
    const bool ended = pumpUntil(
        [&] {
            // The periodic end check of the owner's timer: a message may have come too early.
            if (!completed && GetTickCount() - lastCheck > 250) {
                lastCheck = GetTickCount();
                if (!engine_->isBusy()) complete();
            }
            return completed;
        },
        safetyMs);
    // A completion found by the periodic check can come before the end messages that the
    // threads posted as their last act; every thread has ended, so all of them are queued now.
    if (ended) pump();
    return ended;
}

std::vector<std::string> EngineTestHost::storePaths() {
    std::vector<std::string> paths;
    ResultSet& store = engine_->store();
    for (int32_t i = 0, n = store.count(); i < n; ++i) {
        FoundItem item;
        if (store.copyAt(i, item)) paths.push_back(item.fullPath());
    }
    return paths;
}

LRESULT CALLBACK EngineTestHost::windowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    auto* host = reinterpret_cast<EngineTestHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (host && host->engine_) {
        if (message == WM_WORKER_STATE) {
            (wParam ? host->threadStarts : host->threadEnds)++;
            if (host->reapOnMessages) {
                const int32_t running = host->engine_->activeThreadCount();
                if (wParam == 0 && running == 0) host->complete();
            }
            return 0;
        }
        if (message == WM_SEARCH_FINISHED) {
            ++host->searchFinished;
            host->complete();
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
