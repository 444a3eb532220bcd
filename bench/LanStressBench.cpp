// LAN stress: a lab network of many servers in several domains, a tenth of them failing in each
// way the lab provider can fail, searched again and again with stops at random moments. Every
// search must end, leave no thread and no handle behind, and every search that was not stopped
// must find exactly the matching files of what the failing servers still let it see.
//
//   bench_lan_stress [--servers N] [--searches N] [--seed N]
// Exit code 0 when every check held; the figures are printed either way.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/SearchEngine.h"
#include "support/EngineTestHost.h"
#include "support/HandleCount.h"
#include "support/LabNetwork.h"

namespace {

int threadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int n = 0;
    for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++n;
    CloseHandle(snapshot);
    return n;
}

long handleCount() {
    return processHandleCount();
}

// How a server of the stress network behaves.
enum Fault { OpenFails, EnumFailsAfterOneShare, ExtendedError, Slow, EmptyFirst, LostShare, Sound };
const char* const kFaultNames[] = {"open fails",     "listing breaks after a share",
                                   "extended error", "slow answers",
                                   "empty batches",  "share folder gone",
                                   "sound"};

Fault faultOf(int server) {
    const int slot = server % 10;
    return slot < 6 ? Fault(slot) : Sound; // six tenths fail, one tenth in each way
}

} // namespace

int main(int argc, char** argv) {
    int servers = 200, searches = 100;
    unsigned seed = 20261208;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!strcmp(argv[i], "--servers")) servers = atoi(argv[i + 1]);
        if (!strcmp(argv[i], "--searches")) searches = atoi(argv[i + 1]);
        if (!strcmp(argv[i], "--seed")) seed = unsigned(atoi(argv[i + 1]));
    }
    if (!LabNetwork::providerLoaded()) {
        printf("the lab provider is not registered in this prefix\n");
        return 2;
    }

    LabNetwork lab("lanstress");
    std::set<std::string> expected; // what a search that is not stopped must find
    std::vector<std::pair<std::string, bool>> files;
    std::vector<std::string> lostShares;
    const int domains = 4;
    for (int i = 0; i < servers; ++i) {
        if (i % ((servers + domains - 1) / domains) == 0)
            lab.domain("STRESSDOM" + std::to_string(i)).batch = 7;
        const std::string name = "STRESS" + std::to_string(i);
        auto& server = lab.server(name);
        const Fault fault = faultOf(i);
        switch (fault) {
        case OpenFails: server.openError = ERROR_ACCESS_DENIED; break;
        case EnumFailsAfterOneShare:
            server.batch = 1;
            server.enumError = ERROR_NETNAME_DELETED;
            server.enumAfter = 1;
            break;
        case ExtendedError:
            server.openError = ERROR_EXTENDED_ERROR;
            server.errorCode = 42;
            server.errorText = "the server is resting";
            break;
        case Slow: server.waitMs = 40; break;
        case EmptyFirst: server.emptyBatches = 3; break;
        default: break;
        }
        for (const char* share : {"A", "B"}) {
            lab.share(share);
            const std::string root = LabNetwork::uncPath(name, share);
            // What the search still sees of this share.
            const bool seen = fault != OpenFails && fault != ExtendedError &&
                              !(fault == EnumFailsAfterOneShare && share[0] == 'B') &&
                              !(fault == LostShare && share[0] == 'B');
            if (fault == LostShare && share[0] == 'B') lostShares.push_back(root);
            for (int k = 0; k < 2; ++k)
                files.push_back({root + "\\f" + std::to_string(k) + ".dat", seen});
            files.push_back({root + "\\other.txt", false});
            files.push_back({root + "\\sub\\deep" + std::to_string(i) + ".dat", seen});
        }
    }
    if (!lab.apply()) {
        printf("lab: %s\n", lab.error().c_str());
        return 2;
    }
    for (const auto& [path, wanted] : files) {
        const size_t sub = path.find("\\sub\\");
        if (sub != std::string::npos) LabNetwork::makeFolder(path.substr(0, sub + 4));
        if (!LabNetwork::makeFile(path)) {
            printf("cannot make %s\n", path.c_str());
            return 2;
        }
        if (wanted) expected.insert(path);
    }
    // A share that the provider lists but whose folder is gone: its walk finds nothing.
    for (const std::string& share : lostShares) {
        for (const auto& [path, wanted] : files)
            if (path.rfind(share + "\\", 0) == 0) DeleteFileA(path.c_str());
        RemoveDirectoryA((share + "\\sub").c_str());
        RemoveDirectoryA(share.c_str());
    }

    std::mt19937 random(seed);
    EngineTestHost host;
    SearchOptions options = lanOptions("*.dat");
    // Two searches first, one of them stopped, so that what the platform opens once and keeps
    // (the provider router, its threads, cached keys) is not counted as left behind.
    host.start(options);
    host.waitForCompletion(600000);
    host.start(options);
    host.engine().requestStop();
    host.waitForCompletion(600000);
    const int threadsAtStart = threadsOfThisProcess();
    const long handlesAtStart = handleCount();
    const unsigned enumerationsAtStart = LabNetwork::openEnumerations();

    int ended = 0, hangs = 0, stopped = 0, exact = 0, inexact = 0, leftThreads = 0, leftHandles = 0,
        unstopped = 0;
    double unstoppedMs = 0, slowestMs = 0;
    long mostHandlesAbove = 0;
    for (int round = 0; round < searches; ++round) {
        host.reapOnMessages = round % 4 != 0;
        const DWORD started = GetTickCount();
        if (!host.start(options)) {
            printf("round %d: the search did not start\n", round);
            ++hangs;
            break;
        }
        const bool stop = std::uniform_int_distribution<int>(0, 9)(random) < 7;
        if (stop) {
            const DWORD wait = std::uniform_int_distribution<DWORD>(0, 400)(random);
            (void)host.pumpUntil([&] { return GetTickCount() - started >= wait; });
            host.engine().requestStop();
            ++stopped;
        }
        if (!host.waitForCompletion(120000)) {
            printf("round %d: the search did not end within 120 s\n", round);
            ++hangs;
            break;
        }
        ++ended;
        const double ms = double(GetTickCount() - started);
        slowestMs = std::max(slowestMs, ms);
        // Threads end after their last message: give the platform a moment to let them go.
        int threads = threadsOfThisProcess();
        for (int i = 0; i < 200 && threads > threadsAtStart; ++i) {
            Sleep(5);
            threads = threadsOfThisProcess();
        }
        if (threads > threadsAtStart || host.engine().isBusy()) ++leftThreads;
        // The same for handles that the platform lets go of shortly after.
        long handles = handleCount();
        for (int i = 0; i < 200 && handles > handlesAtStart; ++i) {
            Sleep(5);
            handles = handleCount();
        }
        mostHandlesAbove = std::max(mostHandlesAbove, handles - handlesAtStart);
        // One above the start is the event that a long-lived lock of the thread library makes the
        // first time threads contend for it, and keeps: a leak would grow with the searches.
        if (handles > handlesAtStart + 1) ++leftHandles;
        if (!stop) {
            ++unstopped;
            unstoppedMs += ms;
            std::vector<std::string> paths = host.storePaths();
            std::set<std::string> found(paths.begin(), paths.end());
            if (found == expected && paths.size() == expected.size()) {
                ++exact;
            } else {
                ++inexact;
                printf("round %d: found %zu, expected %zu\n", round, paths.size(), expected.size());
            }
        }
    }
    const long handlesAtEnd = handleCount();
    const int threadsAtEnd = threadsOfThisProcess();

    int perFault[7] = {};
    for (int i = 0; i < servers; ++i)
        ++perFault[faultOf(i)];
    printf("LAN stress: %d servers in %d domains, %zu files, %zu to be found\n", servers, domains,
           files.size(), expected.size());
    for (int f = 0; f < 7; ++f)
        printf("  %-30s %d servers\n", kFaultNames[f], perFault[f]);
    printf("searches %d, ended %d, hung %d; stopped at random %d, not stopped %d\n", searches,
           ended, hangs, stopped, unstopped);
    printf("not stopped: exactly the expected files %d, other %d; mean %.0f ms, slowest search "
           "%.0f ms\n",
           exact, inexact, unstopped ? unstoppedMs / unstopped : 0.0, slowestMs);
    printf("searches leaving a thread %d, leaving more than one handle %d (at most %ld above the "
           "start)\n",
           leftThreads, leftHandles, mostHandlesAbove);
    printf("threads at start %d, at end %d; handles at start %ld, at end %ld; open enumerations "
           "at start %u, at end %u\n",
           threadsAtStart, threadsAtEnd, handlesAtStart, handlesAtEnd, enumerationsAtStart,
           LabNetwork::openEnumerations());
    fflush(stdout);
    const bool ok = hangs == 0 && ended == searches && inexact == 0 && leftThreads == 0 &&
                    leftHandles == 0 && handlesAtStart > 0 && handlesAtEnd <= handlesAtStart + 1 &&
                    LabNetwork::openEnumerations() == enumerationsAtStart;
    printf("%s\n", ok ? "PASS" : "FAIL");
    fflush(stdout);
    return ok ? 0 : 1;
}
