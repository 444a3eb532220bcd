// The real main window searching a 100,000-file share, against the bare walk of the same share in
// the same run (each folder listed once, no name tested: the true limit), for "*.*", "*.mp3" and
// "*.txt *.mp3 *.doc"; and how long the window takes to answer a message while hits arrive. The
// dialog runs its own modal loop on the main thread, with the pacing pauses at zero or
// subtracted (the second per server take, the pause per worker start and the pause after a
// thread's end are waits on purpose, not work); a probe thread walks and starts each search as a
// click would, and in one more search per name text times a message through the window's queue
// every 10 ms until the search has completed. Run by bench/run-window.sh:
//   bench_window.exe TOPOLOGY_FILE [--rounds N] [--names TEXT]... [--listings COUNT_FILE]
// --listings: no timing; one bare walk and one search per name text, each counted by the file
// side (bench/listing-count.sh keeps COUNT_FILE), and the listings per folder of each.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchWalks.h"
#include "resources/resource.h"
#include "ui/CFindTestDlg.h"

namespace {

using bench::nowMs;

const char* const kShare = "\\\\BENCHSRV\\tree";
// The one pacing pause left in a search of one share: after the last thread's end notice the
// window waits this long before it counts the threads (with none, it would find the thread
// still ending and complete only at its two-second poll).
constexpr DWORD kStatePauseMs = 200;

struct Figures {
    std::string names;
    std::vector<double> windowMs, bareMs;
    int32_t hits = 0;
    long listings = -1, bareListings = -1;
};

struct Probe {
    CFindTestDlg* dialog = nullptr;
    std::vector<std::string> nameSets = {"*.*", "*.mp3", "*.txt *.mp3 *.doc"};
    int rounds = 5;
    std::string countFile;
    std::vector<Figures> figures;
    std::vector<double> latenciesMs;
    long folders = 0;
    bool completed = true;
};

// One search in the window as the user starts it; returns its time from the click to the end
// of its completion, less the pause the window takes on purpose after a thread's end, or a
// negative time when it did not complete. With timeAnswers, a message is timed through the
// window's queue every 10 ms meanwhile.
double searchInWindow(Probe& probe, const std::string& names, int32_t& hits, bool timeAnswers) {
    CFindTestDlg& dialog = *probe.dialog;
    HWND page = dialog.optionSheet().pageMain.hwnd();
    SendMessageA(GetDlgItem(page, IDC_MAIN_NAME), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(names.c_str()));
    const double started = nowMs();
    PostMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_SEARCH_NOW, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog.hwnd(), IDC_SEARCH_NOW)));
    // Wait until the click has been taken, then until the search has completed.
    while (!dialog.searchPending() && nowMs() - started < 10000)
        Sleep(1);
    while (dialog.searchPending() && nowMs() - started < 600000) {
        if (!timeAnswers) {
            Sleep(1);
            continue;
        }
        const double sent = nowMs();
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(dialog.hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
        probe.latenciesMs.push_back(nowMs() - sent);
        Sleep(10);
    }
    const double elapsed = nowMs() - started - double(kStatePauseMs);
    hits = dialog.engine().store().count();
    return dialog.searchPending() ? -1 : elapsed;
}

double bareWalk(Probe& probe) {
    const double started = nowMs();
    bench::BareWalk walk;
    walk.walk(kShare);
    probe.folders = walk.folders;
    return nowMs() - started;
}

void timeAll(Probe& probe) {
    bareWalk(probe); // the file system's caches are warm for both sides
    for (const std::string& names : probe.nameSets) {
        Figures figures;
        figures.names = names;
        // The two take turns at going first.
        for (int round = 0; round < probe.rounds; ++round) {
            for (int turn = 0; turn < 2; ++turn) {
                if ((round + turn) % 2 == 0) {
                    figures.bareMs.push_back(bareWalk(probe));
                } else {
                    const double ms = searchInWindow(probe, names, figures.hits, false);
                    probe.completed = probe.completed && ms >= 0;
                    figures.windowMs.push_back(ms);
                }
            }
            std::printf("%s round %d: window %.0f ms, bare walk %.0f ms\n", names.c_str(),
                        round + 1, figures.windowMs.back(), figures.bareMs.back());
            std::fflush(stdout);
        }
        // One more search for the window's answers while hits arrive.
        probe.completed = searchInWindow(probe, names, figures.hits, true) >= 0 && probe.completed;
        probe.figures.push_back(figures);
    }
}

void countAll(Probe& probe) {
    auto counted = [&](auto&& pass) {
        const long before = bench::listingsSoFar(probe.countFile);
        pass();
        const long after = bench::listingsSoFar(probe.countFile);
        return before < 0 || after < 0 ? -1 : after - before;
    };
    for (const std::string& names : probe.nameSets) {
        Figures figures;
        figures.names = names;
        figures.bareListings = counted([&] { bareWalk(probe); });
        figures.listings = counted([&] {
            probe.completed =
                searchInWindow(probe, names, figures.hits, false) >= 0 && probe.completed;
        });
        probe.figures.push_back(figures);
    }
}

DWORD WINAPI probeThread(LPVOID parameter) {
    auto& probe = *static_cast<Probe*>(parameter);
    CFindTestDlg& dialog = *probe.dialog;
    while (!dialog.hwnd() || !IsWindowVisible(dialog.hwnd()))
        Sleep(10);
    Sleep(300);
    if (probe.countFile.empty())
        timeAll(probe);
    else
        countAll(probe);
    PostMessageA(dialog.hwnd(), WM_COMMAND, ID_FILE_EXIT, 0);
    return 0;
}

void printTimes(const Probe& probe) {
    std::printf("\nThe main window searching %s (%ld folders), pacing pauses at zero but the "
                "%u ms after a thread's end, subtracted\n\n",
                kShare, probe.folders, unsigned(kStatePauseMs));
    std::printf("| Names | Step | Figure | Goal | Baseline (same run) |\n|---|---|---|---|---|\n");
    for (const Figures& f : probe.figures) {
        const double window = bench::median(f.windowMs), bare = bench::median(f.bareMs);
        std::printf("| `%s` | search in the window / bare walk, pacing subtracted: median of %zu "
                    "(best of each) | %.2f (%.2f; %.0f ms, %d hits) | <= 1.1 | bare one-thread "
                    "walk of the share (each folder listed once, no name tested): %.0f ms "
                    "(best %.0f ms) |\n",
                    f.names.c_str(), f.windowMs.size(), window / bare,
                    bench::best(f.windowMs) / bench::best(f.bareMs), window, int(f.hits), bare,
                    bench::best(f.bareMs));
    }
    std::vector<double> sorted = probe.latenciesMs;
    std::sort(sorted.begin(), sorted.end());
    auto at = [&](double share) {
        return sorted.empty() ? 0.0 : sorted[size_t(share * double(sorted.size() - 1))];
    };
    std::printf("| all | longest answer to a message while hits arrive | %.1f ms | <= 100 ms | "
                "%zu probes every 10 ms; median %.1f ms, 99th percentile %.1f ms |\n",
                sorted.empty() ? 0.0 : sorted.back(), sorted.size(), at(0.5), at(0.99));
}

void printListings(const Probe& probe) {
    std::printf("\nListings of %s seen by the file side (%ld folders)\n\n", kShare, probe.folders);
    std::printf("| Names | Bare walk | Search in the window | Hits |\n|---|---|---|---|\n");
    for (const Figures& f : probe.figures)
        std::printf("| `%s` | %s | %s | %d |\n", f.names.c_str(),
                    bench::perFolder(f.bareListings, probe.folders).c_str(),
                    bench::perFolder(f.listings, probe.folders).c_str(), int(f.hits));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_window TOPOLOGY [--rounds N] [--names TEXT]... "
                             "[--listings COUNT_FILE]\n");
        return 2;
    }
    Probe probe;
    std::vector<std::string> names;
    for (int i = 2; i + 1 < argc; ++i) {
        if (!strcmp(argv[i], "--rounds")) probe.rounds = std::max(1, atoi(argv[++i]));
        else if (!strcmp(argv[i], "--names")) names.push_back(argv[++i]);
        else if (!strcmp(argv[i], "--listings")) probe.countFile = argv[++i];
    }
    if (!names.empty()) probe.nameSets = names;
    // The lab provider reads the topology named here at every top-level enumeration.
    SetEnvironmentVariableA("CORVASK_LAB_TOPOLOGY", argv[1]);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES |
                                                        ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                        ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);

    SearchEngineSettings unpaced;
    unpaced.serverTakePauseMs = 0;
    unpaced.workerStartPauseMs = 0;
    unpaced.workerStatePauseMs = kStatePauseMs;
    CFindTestDlg dialog(nullptr, unpaced);
    probe.dialog = &dialog;
    HANDLE thread = CreateThread(nullptr, 0, &probeThread, &probe, 0, nullptr);
    dialog.runModal();
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    OleUninitialize();

    if (probe.countFile.empty())
        printTimes(probe);
    else
        printListings(probe);
    if (!probe.completed) std::printf("A search did NOT complete.\n");
    std::fflush(stdout);
    return probe.completed ? 0 : 1;
}
