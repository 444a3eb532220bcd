// LAN search benchmark: the whole network (the demo LAN of the lab) searched by the engine with
// the pacing pauses at zero, against a minimal one-thread FindFirstFileA walk of the same shares
// in the same run; then one search with the default pauses, for the time to the first hit and
// the total. Ends with one table of figure, goal and baseline.
//
//   bench_lan [--rounds N] [--no-default] [--servers \\A,\\B]
//
// --servers: only these servers, on both sides (the search names them in "Only these" mode).
// With one server the figure has the goal of every search; with several it shows what the
// search gains over walking them one after the other (bench/run-smb.sh, over real SMB).
#include <windows.h>
#include <winnetwk.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/FolderWalker.h"
#include "engine/SearchCriteria.h"
#include "engine/SearchEngine.h"
#include "results/ResultStore.h"
#include "toolkit/LatestText.h"
#include "network/CNetwork.h"

namespace {

double nowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// Collects the share paths of the whole network (not timed).
int32_t collectShare(void* user, NETRESOURCEA* resource) {
    if (resource->dwDisplayType == RESOURCEDISPLAYTYPE_SHARE && resource->lpRemoteName &&
        resource->dwType != RESOURCETYPE_PRINT)
        static_cast<std::vector<std::string>*>(user)->push_back(resource->lpRemoteName);
    return 1;
}

int32_t acceptAll(void*, NETRESOURCEA*, uint32_t) {
    return 1;
}

// The baseline: every entry below path, one listing per folder, one thread.
long walkPlain(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    long found = 0;
    do {
        if (!strcmp(entry.cFileName, ".") || !strcmp(entry.cFileName, "..")) continue;
        ++found;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            found += walkPlain(path + "\\" + entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return found;
}

// The search's own walker over the same shares on one thread, with no network enumeration: the
// same listings as the engine (one per mask, one more for the subfolders of each folder).
long walkWithWalker(const std::vector<std::string>& shares) {
    SearchOptions options;
    options.namePattern = "*.*";
    SearchCriteria criteria;
    buildCriteria(criteria, options);
    std::atomic<int32_t> stop{0};
    ResultSet store;
    toolkit::LatestText folderText;
    const WalkContext context{criteria, stop, store, folderText};
    for (const std::string& share : shares)
        walkFolder(context, share);
    return store.count();
}

struct EngineRun {
    double totalMs = 0;
    double firstHitMs = -1;
    int32_t hits = 0;
    int32_t workers = 0;
};

// The servers of --servers ("\\NAME" each); empty: the whole network.
std::vector<std::string> onlyServers;

bool onAServerAsked(const std::string& share) {
    if (onlyServers.empty()) return true;
    for (const std::string& server : onlyServers)
        if (lowerAnsi(share).rfind(lowerAnsi(server) + "\\", 0) == 0) return true;
    return false;
}

EngineRun searchLan(const SearchEngineSettings& settings) {
    SearchEngine engine(settings);
    engine.attach(nullptr, nullptr, nullptr);
    SearchOptions options;
    options.namePattern = "*.*";
    options.scope = SearchScope::Lan;
    if (!onlyServers.empty()) options.servers = {FilterMode::OnlyThese, onlyServers};
    engine.buildCriteria(options);
    EngineRun run;
    const double started = nowMs();
    if (!engine.startSearch()) return run;
    while (engine.isBusy()) {
        if (run.firstHitMs < 0 && engine.store().count() > 0) run.firstHitMs = nowMs() - started;
        Sleep(1);
    }
    run.totalMs = nowMs() - started;
    if (run.firstHitMs < 0 && engine.store().count() > 0) run.firstHitMs = run.totalMs;
    run.workers = engine.workersStarted();
    engine.finishSearch();
    run.hits = engine.store().count();
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    int rounds = 9;
    bool withDefault = true;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--rounds") && i + 1 < argc) rounds = std::max(1, atoi(argv[++i]));
        if (!strcmp(argv[i], "--no-default")) withDefault = false;
        if (!strcmp(argv[i], "--servers") && i + 1 < argc) {
            std::string list = argv[++i];
            for (size_t at = 0; at <= list.size();) {
                size_t comma = list.find(',', at);
                if (comma == std::string::npos) comma = list.size();
                if (comma > at) onlyServers.push_back(list.substr(at, comma - at));
                at = comma + 1;
            }
        }
    }

    std::vector<std::string> shares;
    CNetworkHooks lister(&shares, collectShare, acceptAll);
    lister.enumerate(RESOURCEDISPLAYTYPE_SHARE, SearchEngine::kLanWalkFlags);
    std::erase_if(shares, [](const std::string& share) { return !onAServerAsked(share); });
    if (shares.empty()) {
        printf("no shares on the network (is the lab registered? bench/run-lan.sh does it)\n");
        return 1;
    }

    // Warm the directory caches once, so neither side pays for the first read.
    long baselineEntries = 0;
    for (const std::string& share : shares)
        baselineEntries += walkPlain(share);

    SearchEngineSettings zero;
    zero.serverTakePauseMs = 0;
    zero.workerStartPauseMs = 0;
    std::vector<double> engineMs, plainMs;
    int32_t engineHits = 0, workers = 0;
    // The three take turns at going first: on a shared machine a slow spell should not always
    // fall on the same one.
    std::vector<double> walkerMs;
    long walkerHits = 0;
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 3; ++turn) {
            const int way = (round + turn) % 3;
            const double started = nowMs();
            if (way == 0) {
                long entries = 0;
                for (const std::string& share : shares)
                    entries += walkPlain(share);
                plainMs.push_back(nowMs() - started);
                baselineEntries = entries;
            } else if (way == 1) {
                walkerHits = walkWithWalker(shares);
                walkerMs.push_back(nowMs() - started);
            } else {
                EngineRun run = searchLan(zero);
                engineMs.push_back(run.totalMs);
                engineHits = run.hits;
                workers = run.workers;
            }
        }
        printf("round %d: engine %.0f ms, one-thread walk %.0f ms, the walker on one thread %.0f "
               "ms\n",
               round + 1, engineMs.back(), plainMs.back(), walkerMs.back());
    }
    const double engineMedian = median(engineMs), plainMedian = median(plainMs),
                 walkerMedian = median(walkerMs);
    printf("shares: %zu, entries (baseline walk): %ld, engine hits: %d, walker hits: %ld, "
           "workers: %d\n",
           shares.size(), baselineEntries, int(engineHits), walkerHits, int(workers));

    printf("\n| Step | Figure | Goal | Baseline (same run) |\n|---|---|---|---|\n");
    if (onlyServers.size() > 1)
        printf("| search of %zu servers / the sum of their one-thread walks, zero pauses (median "
               "of %d) | %.2f (%.0f ms) | a figure | one-thread FindFirstFileA walks of their "
               "shares, one after the other: %.0f ms |\n",
               onlyServers.size(), rounds, engineMedian / plainMedian, engineMedian, plainMedian);
    else
        printf("| engine / one-thread walk, zero pauses (median of %d) | %.2f (%.0f ms) | <= 1.1 "
               "| one-thread FindFirstFileA walk of the same shares: %.0f ms |\n",
               rounds, engineMedian / plainMedian, engineMedian, plainMedian);
    printf("| engine / the search's walker on one thread, zero pauses | %.2f | - | the same "
           "listings, one thread, no network enumeration: %.0f ms |\n",
           engineMedian / walkerMedian, walkerMedian);
    if (withDefault) {
        EngineRun run = searchLan(SearchEngineSettings{});
        printf("| default pauses (1000 ms per take, 100 ms per worker start) | first hit %.0f ms, "
               "total %.0f ms, %d hits, %d workers | - | - |\n",
               run.firstHitMs, run.totalMs, int(run.hits), int(run.workers));
    }
    fflush(stdout);
    return 0;
}
