// LAN search benchmark: the whole network (the demo LAN of the lab) searched by the engine with
// the pacing pauses at zero, and by the search's walker on one thread, against the bare walk of
// the same shares in the same run (each folder listed once, no name tested: the true limit), for
// every entry, for one mask and for three masks; then one search with the default pauses, for the
// time to the first hit and the total. Ends with one table of figure, goal and baseline.
//
//   bench_lan [--rounds N] [--no-default] [--servers \\A,\\B] [--names TEXT]...
//             [--listings COUNT_FILE]
//
// --servers: only these servers, on both sides (the search names them in "Only these" mode).
// With one server the figure has the goal of every search; with several it shows what the
// search gains over walking them one after the other (bench/run-smb.sh, over real SMB).
// --names: the name texts to search for, instead of "*", "*.mp3" and "*.txt *.mp3 *.doc".
// --listings: no timing; one pass of each kind per name text, each counted by the file side
// (bench/listing-count.sh keeps COUNT_FILE), and the listings per folder of each.
#include <windows.h>
#include <winnetwk.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchWalks.h"
#include "engine/FolderWalker.h"
#include "engine/SearchCriteria.h"
#include "engine/SearchEngine.h"
#include "results/ResultStore.h"
#include "toolkit/LatestText.h"
#include "network/CNetwork.h"

namespace {

using bench::nowMs;

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

bench::BareWalk walkBare(const std::vector<std::string>& shares) {
    bench::BareWalk walk;
    for (const std::string& share : shares)
        walk.walk(share);
    return walk;
}

// The search's own walker over the same shares on one thread, with no network enumeration.
long walkWithWalker(const std::vector<std::string>& shares, const std::string& names) {
    SearchOptions options;
    options.namePattern = names;
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

EngineRun searchLan(const SearchEngineSettings& settings, const std::string& names) {
    SearchEngine engine(settings);
    engine.attach(nullptr, nullptr, nullptr);
    SearchOptions options;
    options.namePattern = names;
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

// No timing: one pass of each kind per name text, each counted by the file side.
int countListings(const std::vector<std::string>& shares, const std::vector<std::string>& nameSets,
                  const std::string& countFile) {
    SearchEngineSettings zero;
    zero.serverTakePauseMs = 0;
    zero.workerStartPauseMs = 0;
    long before = bench::listingsSoFar(countFile);
    if (before < 0) {
        printf("cannot read the listing count %s\n", countFile.c_str());
        return 1;
    }
    auto counted = [&](auto&& pass) {
        before = bench::listingsSoFar(countFile);
        pass();
        return bench::listingsSoFar(countFile) - before;
    };
    long folders = 0;
    const long bare = counted([&] { folders = walkBare(shares).folders; });
    printf("\nListings seen by the file side (%ld folders; the bare walk lists each once)\n\n",
           folders);
    printf("| Names | Bare walk | The walker on one thread | The engine |\n|---|---|---|---|\n");
    for (const std::string& names : nameSets) {
        const long walker = counted([&] { walkWithWalker(shares, names); });
        const long engine = counted([&] { searchLan(zero, names); });
        printf("| `%s` | %s | %s | %s |\n", names.c_str(), bench::perFolder(bare, folders).c_str(),
               bench::perFolder(walker, folders).c_str(),
               bench::perFolder(engine, folders).c_str());
    }
    fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int rounds = 9;
    bool withDefault = true;
    std::vector<std::string> nameSets;
    std::string countFile;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--rounds") && i + 1 < argc) rounds = std::max(1, atoi(argv[++i]));
        if (!strcmp(argv[i], "--no-default")) withDefault = false;
        if (!strcmp(argv[i], "--names") && i + 1 < argc) nameSets.push_back(argv[++i]);
        if (!strcmp(argv[i], "--listings") && i + 1 < argc) countFile = argv[++i];
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
    if (nameSets.empty()) nameSets = bench::defaultNameSets();

    std::vector<std::string> shares;
    CNetworkHooks lister(&shares, collectShare, acceptAll);
    lister.enumerate(RESOURCEDISPLAYTYPE_SHARE, SearchEngine::kLanWalkFlags);
    std::erase_if(shares, [](const std::string& share) { return !onAServerAsked(share); });
    if (shares.empty()) {
        printf("no shares on the network (is the lab registered? bench/run-lan.sh does it)\n");
        return 1;
    }
    if (!countFile.empty()) return countListings(shares, nameSets, countFile);

    // Warm the directory caches once, so neither side pays for the first read.
    const bench::BareWalk tree = walkBare(shares);

    SearchEngineSettings zero;
    zero.serverTakePauseMs = 0;
    zero.workerStartPauseMs = 0;
    struct Figures {
        std::string names;
        std::vector<double> engineMs, walkerMs, bareMs;
        long engineHits, walkerHits;
    };
    std::vector<Figures> figures;
    int32_t workers = 0;
    for (const std::string& names : nameSets) {
        std::vector<double> engineMs, bareMs, walkerMs;
        long engineHits = 0, walkerHits = 0;
        printf("== %s\n", names.c_str());
        // The three take turns at going first: on a shared machine a slow spell should not always
        // fall on the same one.
        for (int round = 0; round < rounds; ++round) {
            for (int turn = 0; turn < 3; ++turn) {
                const int way = (round + turn) % 3;
                const double started = nowMs();
                if (way == 0) {
                    walkBare(shares);
                    bareMs.push_back(nowMs() - started);
                } else if (way == 1) {
                    walkerHits = walkWithWalker(shares, names);
                    walkerMs.push_back(nowMs() - started);
                } else {
                    EngineRun run = searchLan(zero, names);
                    engineMs.push_back(run.totalMs);
                    engineHits = run.hits;
                    workers = run.workers;
                }
            }
            printf("round %d: engine %.0f ms, bare walk %.0f ms, the walker on one thread %.0f ms\n",
                   round + 1, engineMs.back(), bareMs.back(), walkerMs.back());
        }
        figures.push_back({names, engineMs, walkerMs, bareMs, engineHits, walkerHits});
    }
    printf("shares: %zu, folders: %ld, entries: %ld, workers: %d\n", shares.size(), tree.folders,
           tree.entries, int(workers));

    printf("\n| Names | Step | Figure | Goal | Baseline (same run) |\n|---|---|---|---|---|\n");
    for (const Figures& f : figures) {
        const char* bare = "bare one-thread walk of the same shares (each folder listed once, no "
                           "name tested)";
        const double engine = bench::median(f.engineMs), walker = bench::median(f.walkerMs),
                     plain = bench::median(f.bareMs);
        const double bestPlain = bench::best(f.bareMs);
        if (onlyServers.size() > 1)
            printf("| `%s` | search of %zu servers / the sum of their bare walks, zero pauses: "
                   "median of %d (best of each) | %.2f (%.2f; %.0f ms, %ld hits) | a figure | "
                   "%s, one after the other: %.0f ms (best %.0f ms) |\n",
                   f.names.c_str(), onlyServers.size(), rounds, engine / plain,
                   bench::best(f.engineMs) / bestPlain, engine, f.engineHits, bare, plain,
                   bestPlain);
        else
            printf("| `%s` | engine / bare walk, zero pauses: median of %d (best of each) | %.2f "
                   "(%.2f; %.0f ms, %ld hits) | <= 1.1 | %s: %.0f ms (best %.0f ms) |\n",
                   f.names.c_str(), rounds, engine / plain, bench::best(f.engineMs) / bestPlain,
                   engine, f.engineHits, bare, plain, bestPlain);
        printf("| `%s` | the search's walker on one thread / bare walk | %.2f (%.2f; %.0f ms, %ld "
               "hits) | - | the same bare walk |\n",
               f.names.c_str(), walker / plain, bench::best(f.walkerMs) / bestPlain, walker,
               f.walkerHits);
    }
    if (withDefault) {
        EngineRun run = searchLan(SearchEngineSettings{}, "*.*");
        printf("| `*.*` | default pauses (1000 ms per take, 100 ms per worker start) | first hit "
               "%.0f ms, total %.0f ms, %d hits, %d workers | - | - |\n",
               run.firstHitMs, run.totalMs, int(run.hits), int(run.workers));
    }
    fflush(stdout);
    return 0;
}
