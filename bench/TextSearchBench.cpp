// Text search benchmark: the program's LAN search for a text (the engine with its pauses at zero,
// the text test in its walk) over one share of the lab network, against a one-thread walk of the
// same share that reads every byte of every file with ReadFile, in the same run; beside them the
// search's walker on one thread without the engine. The three take turns at going first, round by
// round, so that the machine's changing load weighs on all alike.
//
//   bench_text TOPOLOGY SHARE TEXT [--rounds N] [--expect N]
//
// TOPOLOGY: a lab topology whose network holds the share (the search walks the whole network).
// --expect: the number of files that hold the text; the run fails when a search finds another
// number. Ends with one table of figure, goal and baseline.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchWalks.h"
#include "engine/ContentSearch.h"
#include "engine/FolderWalker.h"
#include "engine/SearchCriteria.h"
#include "engine/SearchEngine.h"
#include "results/ResultStore.h"
#include "toolkit/LatestText.h"

namespace {

using bench::nowMs;

struct Totals {
    long files = 0;
    unsigned long long bytes = 0;
};

// The baseline: every byte of every file below path, 64 KiB at a time, one listing per folder.
void readEveryByte(const std::string& path, std::vector<char>& block, Totals& totals) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const char* name = entry.cFileName;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        const std::string child = path + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            readEveryByte(child, block, totals);
            continue;
        }
        HANDLE file = CreateFileA(child.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        ++totals.files;
        DWORD got = 0;
        while (ReadFile(file, block.data(), DWORD(block.size()), &got, nullptr) && got)
            totals.bytes += got;
        CloseHandle(file);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

Totals readShare(const std::string& share) {
    Totals totals;
    std::vector<char> block(ContentReader::kBlockBytes);
    readEveryByte(share, block, totals);
    return totals;
}

// Every name ("*"), for the text.
SearchOptions textOptions(const std::string& text) {
    static const std::string everyName(1, '*');
    SearchOptions options;
    options.namePattern = everyName;
    options.scope = SearchScope::Lan;
    options.containingText = text;
    return options;
}

// The search's walker on one thread, without the engine and the network.
long walkShare(const std::string& share, const std::string& text) {
    SearchCriteria criteria;
    buildCriteria(criteria, textOptions(text));
    std::atomic<int32_t> stop{0};
    ResultSet store;
    toolkit::LatestText folderText;
    walkFolder(WalkContext{criteria, stop, store, folderText}, share);
    return store.count();
}

// The program's search of the whole network, as Search Now starts it, without its pauses.
long searchLan(const std::string& text) {
    SearchEngineSettings zero;
    zero.serverTakePauseMs = 0;
    zero.workerStartPauseMs = 0;
    SearchEngine engine(zero);
    engine.attach(nullptr, nullptr, nullptr);
    engine.buildCriteria(textOptions(text));
    if (!engine.startSearch()) return -1;
    // Looked at every 5 ms, so that the looking costs the search next to nothing.
    while (engine.isBusy())
        Sleep(5);
    engine.finishSearch();
    return engine.store().count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: bench_text TOPOLOGY SHARE TEXT [--rounds N] [--expect N]\n");
        return 2;
    }
    // The lab provider reads the topology named here at every top-level enumeration.
    SetEnvironmentVariableA("CORVASK_LAB_TOPOLOGY", argv[1]);
    const std::string share = argv[2], text = argv[3];
    int rounds = 5;
    long expect = -1;
    for (int i = 4; i + 1 < argc; i += 2) {
        if (!strcmp(argv[i], "--rounds")) rounds = std::max(1, atoi(argv[i + 1]));
        if (!strcmp(argv[i], "--expect")) expect = atol(argv[i + 1]);
    }

    // One untimed pass of each brings the tree into the caches.
    const Totals all = readShare(share);
    if (all.files == 0) {
        printf("no files in %s (is the share mapped?)\n", share.c_str());
        return 1;
    }
    long engineHits = searchLan(text), walkerHits = walkShare(share, text);
    std::vector<double> readMs, engineMs, walkerMs, ratios;
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 3; ++turn) {
            const int way = (round + turn) % 3;
            const double started = nowMs();
            if (way == 0) {
                readShare(share);
                readMs.push_back(nowMs() - started);
            } else if (way == 1) {
                engineHits = searchLan(text);
                engineMs.push_back(nowMs() - started);
            } else {
                walkerHits = walkShare(share, text);
                walkerMs.push_back(nowMs() - started);
            }
        }
        ratios.push_back(engineMs.back() / readMs.back());
        printf("round %d: search %.0f ms, reading every byte %.0f ms, walker on one thread %.0f "
               "ms\n",
               round + 1, engineMs.back(), readMs.back(), walkerMs.back());
    }
    const double baseline = bench::median(readMs), search = bench::median(engineMs),
                 walker = bench::median(walkerMs);
    auto planted = [&](long hits) {
        return expect < 0 ? "" : hits == expect ? " (as planted)" : " (NOT as planted)";
    };
    printf("share %s: %ld files, %.1f MiB; text \"%s\" (any case, ANSI, UTF-8, UTF-16 LE/BE)\n",
           share.c_str(), all.files, double(all.bytes) / 1048576.0, text.c_str());
    printf("\n| Figure | Value | Goal | Baseline (same run) |\n|---|---|---|---|\n");
    printf("| LAN search for the text / reading every byte: median of %d (best of each; rounds "
           "%.2f to %.2f) | %.2f (%.2f; %.0f ms, %ld hits%s) | <= 1.2 | one-thread walk reading "
           "every byte with ReadFile: %.0f ms (best %.0f ms) |\n",
           rounds, *std::min_element(ratios.begin(), ratios.end()),
           *std::max_element(ratios.begin(), ratios.end()), search / baseline,
           bench::best(engineMs) / bench::best(readMs), search, engineHits, planted(engineHits),
           baseline, bench::best(readMs));
    printf("| the search's walker on one thread / reading every byte | %.2f (%.0f ms, %ld "
           "hits%s) | - | the same |\n",
           walker / baseline, walker, walkerHits, planted(walkerHits));
    printf("| throughput of the LAN search (MiB/s) | %.0f | - | reading every byte: %.0f |\n",
           double(all.bytes) / 1048576.0 / (search / 1000.0),
           double(all.bytes) / 1048576.0 / (baseline / 1000.0));
    fflush(stdout);
    return expect >= 0 && (engineHits != expect || walkerHits != expect) ? 1 : 0;
}
