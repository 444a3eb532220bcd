// A small owner window for the search engine in tests: it receives the engine's posted thread
// messages and completes the search the way the main dialog does, while the test pumps messages.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/SearchEngine.h"
#include "support/MessagePump.h"
#include "options/SearchOptions.h"

// Settings without the pacing pauses.
SearchEngineSettings fastSettings();

class EngineTestHost {
public:
    explicit EngineTestHost(const SearchEngineSettings& settings = fastSettings());
    ~EngineTestHost();
    EngineTestHost(const EngineTestHost&) = delete;
    EngineTestHost& operator=(const EngineTestHost&) = delete;

    SearchEngine& engine() { return *engine_; }
    HWND owner() const { return owner_; }

    // When false, the thread-state handler only counts messages and reaps no worker handles,
    // so that ended workers keep counting in the start rule.
    bool reapOnMessages = true;

    // buildCriteria + startSearch; false when the search did not start.
    bool start(const SearchOptions& options);
    // Pumps messages until the search has completed (the handler or the periodic end check ran
    // finishSearch). False when it did not within the safety limit (a hang, not a timing test).
    bool waitForCompletion(DWORD safetyMs = 300000);
    // Pumps until the predicate holds; false when the limit passed first.
    [[nodiscard]] bool pumpUntil(const std::function<bool()>& done, DWORD limitMs = kPumpLimitMs) {
        return ::pumpUntil(done, limitMs);
    }
    void pump() { pumpMessages(); }

    // Messages received since the last start.
    int threadStarts = 0;   // WM_WORKER_STATE 1
    int threadEnds = 0;     // WM_WORKER_STATE 0
    int searchFinished = 0; // WM_SEARCH_FINISHED
    int completions = 0;    // finishSearch succeeded after a message or an end check
    bool completed = false;

    // Full paths of every item in the store, in store order.
    std::vector<std::string> storePaths();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void complete();

    HWND owner_ = nullptr;
    std::unique_ptr<SearchEngine> engine_;
};

// Options for a LAN search with the given name text and everything else at its default.
SearchOptions lanOptions(const std::string& names);
