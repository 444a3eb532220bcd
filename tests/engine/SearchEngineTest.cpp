// The search engine end to end: real WNet calls through the lab provider, real shares through
// the prefix, real worker threads, and a small owner window that receives the posted messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/SearchEngine.h"
#include "support/AllocationWatch.h"
#include "support/EngineTestHost.h"
#include "support/LabFixture.h"
#include "support/LabNetwork.h"
#include "support/NetworkTestSupport.h"
#include "support/ScratchFolder.h"
#include "support/StallingFolder.h"

using testing::UnorderedElementsAreArray;

namespace {

class SearchEngineLan : public LabNetworkTest {
protected:
    // Makes a file on a share and remembers its full path as expected when wanted.
    void file(const std::string& server, const std::string& share, const std::string& relative,
              bool wanted, unsigned size = 0) {
        const std::string path = LabNetwork::uncPath(server, share) + "\\" + relative;
        ASSERT_TRUE(LabNetwork::makeFile(path, size)) << path;
        if (wanted) expected.push_back(path);
    }
    void folder(const std::string& server, const std::string& share, const std::string& relative) {
        ASSERT_TRUE(LabNetwork::makeFolder(LabNetwork::uncPath(server, share) + "\\" + relative));
    }

    std::vector<std::string> expected;
};

// Number of store items whose folder lies on the given server.
int hitsOn(EngineTestHost& host, const std::string& server) {
    const std::string prefix = "\\\\" + server + "\\";
    int n = 0;
    for (const std::string& path : host.storePaths())
        if (path.rfind(prefix, 0) == 0) ++n;
    return n;
}

} // namespace

TEST_F(SearchEngineLan, WholeLanGivesEveryMatchingFileOnceAndTwiceWhenTwoMasksMatch) {
    LabNetwork lab("engall");
    lab.domain("ENGDOM1").batch = 1;
    lab.server("ENGALL1");
    lab.share("Docs");
    lab.share("Music");
    lab.server("ENGALL2").batch = 1;
    lab.share("Data");
    lab.printShare("Printer");
    lab.domain("ENGDOM2");
    lab.server("ENGALL3");
    lab.share("Public");
    ASSERT_TRUE(lab.apply()) << lab.error();

    file("ENGALL1", "Docs", "report.txt", true);
    file("ENGALL1", "Docs", "report.doc", false);
    folder("ENGALL1", "Docs", "2019");
    folder("ENGALL1", "Docs", "2019\\q1");
    file("ENGALL1", "Docs", "2019\\q1\\notes.TXT", true);
    file("ENGALL1", "Music", "song.mp3", false);
    file("ENGALL2", "Data", "readme.txt", true);
    file("ENGALL3", "Public", "agenda.txt", true);
    // Both masks match this one: reported twice.
    file("ENGALL3", "Public", "apple.txt", true);
    expected.push_back(LabNetwork::uncPath("ENGALL3", "Public") + "\\apple.txt");
    file("ENGALL3", "Public", "apple.png", true);

    EngineTestHost host;
    ASSERT_TRUE(host.start(lanOptions("*.txt ap*")));
    ASSERT_TRUE(host.waitForCompletion());

    EXPECT_THAT(host.storePaths(), UnorderedElementsAreArray(expected));
    // Level 1 lists every hit; every thread that began also ended.
    EXPECT_EQ(host.engine().history().levelCount(), 1);
    EXPECT_EQ(host.engine().itemCount(), int32_t(expected.size()));
    EXPECT_EQ(host.threadStarts, 1 + host.engine().workersStarted());
    EXPECT_EQ(host.threadEnds, host.threadStarts);
    EXPECT_EQ(host.engine().workerHandleCount(), 0);
    EXPECT_EQ(host.engine().queuedServers(), 0);
    EXPECT_FALSE(host.engine().isBusy());
}

TEST_F(SearchEngineLan, DomainAndServerListsDecideWhatIsQueued) {
    LabNetwork lab("englists");
    lab.domain("ENGLDOM");
    lab.server("ENGLST1");
    lab.share("S");
    lab.server("ENGLST2");
    lab.share("S");
    lab.server("ENGLST3");
    lab.share("S");
    ASSERT_TRUE(lab.apply()) << lab.error();
    file("ENGLST1", "S", "one.txt", true);
    file("ENGLST2", "S", "two.txt", false);
    file("ENGLST3", "S", "three.txt", true);

    EngineTestHost host;
    {
        // Domain OnlyThese with no names: nothing queued, no worker, no hit.
        SearchOptions options = lanOptions("*.txt");
        options.domains.mode = FilterMode::OnlyThese;
        ASSERT_TRUE(host.start(options));
        ASSERT_TRUE(host.waitForCompletion());
        EXPECT_EQ(host.engine().store().count(), 0);
        EXPECT_EQ(host.engine().workersStarted(), 0);
        EXPECT_EQ(host.threadStarts, 1);
        EXPECT_EQ(host.threadEnds, 1);
    }
    {
        // A server excluded in another case than the provider's is neither queued nor searched.
        SearchOptions options = lanOptions("*.txt");
        options.servers.mode = FilterMode::AllExcept;
        options.servers.names = {"\\\\engLst2"};
        ASSERT_TRUE(host.start(options));
        ASSERT_TRUE(host.waitForCompletion());
        EXPECT_THAT(host.storePaths(), UnorderedElementsAreArray(expected));
    }
    {
        // An entry without the leading backslashes never matches a server.
        SearchOptions options = lanOptions("*.txt");
        options.servers.mode = FilterMode::OnlyThese;
        options.servers.names = {"ENGLST1"};
        ASSERT_TRUE(host.start(options));
        ASSERT_TRUE(host.waitForCompletion());
        EXPECT_EQ(host.engine().store().count(), 0);
    }
}

namespace {

// Server workers made suspended: the start rule then meets a queue that no worker has touched,
// and the test lets them run when it has seen what it wanted.
std::mutex heldLock;
std::vector<HANDLE> heldWorkers;

HANDLE createHeldWorker(LPTHREAD_START_ROUTINE routine, LPVOID engine) {
    HANDLE thread = CreateThread(nullptr, 0, routine, engine, CREATE_SUSPENDED, nullptr);
    HANDLE own = nullptr;
    if (thread && DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &own, 0, FALSE,
                                  DUPLICATE_SAME_ACCESS)) {
        std::lock_guard<std::mutex> hold(heldLock);
        heldWorkers.push_back(own);
    }
    return thread;
}

void releaseHeldWorkers() {
    std::lock_guard<std::mutex> hold(heldLock);
    for (HANDLE worker : heldWorkers) {
        ResumeThread(worker);
        CloseHandle(worker);
    }
    heldWorkers.clear();
}

// Workers whose first large allocation (the first server's listing buffer) fails.
struct WorkerStart {
    LPTHREAD_START_ROUTINE routine;
    LPVOID engine;
};
DWORD WINAPI workerWithoutMemoryAtFirst(LPVOID parameter) {
    const WorkerStart start = *static_cast<WorkerStart*>(parameter);
    delete static_cast<WorkerStart*>(parameter);
    AllocationWatch::failLargeAllocationsOnThisThread(4096, 1);
    return start.routine(start.engine);
}
HANDLE createWorkerWithoutMemoryAtFirst(LPTHREAD_START_ROUTINE routine, LPVOID engine) {
    return createHeldWorker(workerWithoutMemoryAtFirst, new WorkerStart{routine, engine});
}

HANDLE failToCreate(LPTHREAD_START_ROUTINE, LPVOID) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

} // namespace

TEST_F(SearchEngineLan, WorkersStartAtTheFirstSixthAndEleventhServerAndNeverMoreThanTen) {
    constexpr int kServers = 60;
    LabNetwork lab("engrule");
    lab.domain("ENGRDOM");
    for (int i = 1; i <= kServers; ++i) {
        lab.server("ENGRULE" + std::to_string(i));
        lab.share("S");
    }
    ASSERT_TRUE(lab.apply()) << lab.error();
    for (int i = 1; i <= kServers; ++i)
        file("ENGRULE" + std::to_string(i), "S", "f.txt", false);

    SearchEngineSettings settings = fastSettings();
    settings.createWorkerThread = createHeldWorker;
    EngineTestHost host(settings);
    const struct {
        int servers, workers;
    } rows[] = {{1, 1}, {5, 1}, {6, 2}, {10, 2}, {11, 3}, {45, 9}, {46, 10}, {60, 10}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.servers) + " servers");
        SearchOptions options = lanOptions("*.txt");
        options.servers.mode = FilterMode::OnlyThese;
        for (int i = 1; i <= row.servers; ++i)
            options.servers.names.push_back("\\\\ENGRULE" + std::to_string(i));
        ASSERT_TRUE(host.start(options));
        // The enumeration ends while every worker it started is still held.
        ASSERT_TRUE(host.pumpUntil([&] { return host.threadEnds == 1; }));
        EXPECT_EQ(host.engine().workersStarted(), row.workers);
        EXPECT_EQ(host.engine().queuedServers(), row.servers);
        releaseHeldWorkers();
        ASSERT_TRUE(host.waitForCompletion());
        EXPECT_EQ(host.engine().store().count(), row.servers);
    }
}

TEST_F(SearchEngineLan, ServerQueuedAfterTheLastWorkerEndedIsStillSearched) {
    // The domain answers one server per batch, each when the gate lets it: the second comes
    // only after the first server's worker has ended, while its handle still counts.
    LabGate gate("englate");
    LabNetwork lab("englate");
    auto& domain = lab.domain("ENGLDOM2");
    domain.batch = 1;
    domain.gate = gate.name();
    lab.server("ENGLATE1");
    lab.share("S");
    lab.server("ENGLATE2");
    lab.share("S");
    ASSERT_TRUE(lab.apply()) << lab.error();
    file("ENGLATE1", "S", "early.txt", true);
    file("ENGLATE2", "S", "late.txt", true);

    EngineTestHost host;
    host.reapOnMessages = false;
    ASSERT_TRUE(host.start(lanOptions("*.txt")));
    gate.pass();
    ASSERT_TRUE(host.pumpUntil([&] { return host.threadEnds == 1; })); // the worker ended
    gate.pass();
    ASSERT_TRUE(host.pumpUntil([&] { return host.engine().queuedServers() == 0; }));
    gate.pass(); // the end of the domain
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_THAT(host.storePaths(), UnorderedElementsAreArray(expected));
    EXPECT_EQ(host.engine().workersStarted(), 2);
}

TEST_F(SearchEngineLan, ServersAreSearchedWhenNoWorkerThreadCanBeCreated) {
    LabNetwork lab("engnothread");
    lab.domain("ENGNTDOM");
    for (int i = 1; i <= 7; ++i) {
        lab.server("ENGNOTHR" + std::to_string(i));
        lab.share("S");
    }
    ASSERT_TRUE(lab.apply()) << lab.error();
    for (int i = 1; i <= 7; ++i)
        file("ENGNOTHR" + std::to_string(i), "S", "f.txt", true);

    SearchEngineSettings settings = fastSettings();
    settings.createWorkerThread = failToCreate;
    EngineTestHost host(settings);
    ASSERT_TRUE(host.start(lanOptions("*.txt")));
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_THAT(host.storePaths(), UnorderedElementsAreArray(expected));
    EXPECT_EQ(host.engine().workersStarted(), 0);
    EXPECT_EQ(host.engine().queuedServers(), 0);
}

TEST_F(SearchEngineLan, NoMemoryInAWorkerEndsThatServerOnly) {
    LabNetwork lab("engnomem");
    lab.domain("ENGNMDOM");
    for (int i = 1; i <= 4; ++i) {
        lab.server("ENGNOMEM" + std::to_string(i));
        lab.share("S");
    }
    ASSERT_TRUE(lab.apply()) << lab.error();
    // One worker takes the servers in order; the first one's listing finds no memory.
    for (int i = 1; i <= 4; ++i)
        file("ENGNOMEM" + std::to_string(i), "S", "f.txt", i > 1);

    SearchEngineSettings settings = fastSettings();
    settings.createWorkerThread = createWorkerWithoutMemoryAtFirst;
    EngineTestHost host(settings);
    ASSERT_TRUE(host.start(lanOptions("*.txt")));
    ASSERT_TRUE(host.pumpUntil([&] { return host.threadEnds == 1; })); // all four queued
    releaseHeldWorkers();
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_THAT(host.storePaths(), UnorderedElementsAreArray(expected));
    EXPECT_EQ(host.engine().workersStarted(), 1);
}

// A server that stops answering holds its worker inside a platform call. After a stop the
// search completes without that worker, with every hit found before; when the call returns the
// worker adds nothing and posts nothing, also while the next search runs, which finds
// everything once.
TEST_F(SearchEngineLan, AStoppedSearchCompletesWithoutAServerThatDoesNotAnswer) {
    LabGate gate("enghung");
    LabNetwork lab("enghung");
    lab.domain("ENGHDOM");
    lab.server("ENGHUNG1");
    lab.share("S");
    lab.server("ENGHUNG2");
    lab.share("S");
    // Searched last by the one worker; its share list comes only when the gate lets it.
    lab.server("ENGHUNG3").gate = gate.name();
    lab.share("S");
    ASSERT_TRUE(lab.apply()) << lab.error();
    for (int i = 1; i <= 3; ++i)
        for (int k = 0; k < 3; ++k)
            file("ENGHUNG" + std::to_string(i), "S", "f" + std::to_string(k) + ".txt", i < 3);
    const std::vector<std::string> answering = expected;
    for (int k = 0; k < 3; ++k)
        expected.push_back(LabNetwork::uncPath("ENGHUNG3", "S") + "\\f" + std::to_string(k) +
                           ".txt");

    EngineTestHost host;
    ASSERT_TRUE(host.start(lanOptions("*.txt")));
    // The worker has taken the last server and found everything of the two others.
    ASSERT_TRUE(host.pumpUntil([&] {
        return host.engine().queuedServers() == 0 &&
               host.engine().store().count() == int32_t(answering.size());
    }));
    host.engine().requestStop();
    host.pump();
    EXPECT_TRUE(host.engine().isBusy()) << "the worker should still wait for the server";
    const DWORD stoppedAt = GetTickCount();
    EXPECT_GE(host.engine().leaveStoppedThreads(), 1);
    ASSERT_TRUE(host.waitForCompletion());
    // The gate would hold the worker for a minute.
    EXPECT_LT(GetTickCount() - stoppedAt, 10000u);
    EXPECT_THAT(host.storePaths(), UnorderedElementsAreArray(answering));
    EXPECT_EQ(host.engine().itemCount(), int32_t(answering.size())) << "level 1 was not made";
    EXPECT_GE(host.engine().threadsLeftBehind(), 1);

    // The next search starts while that call still waits; then the server answers both.
    ASSERT_TRUE(host.start(lanOptions("*.txt")));
    std::atomic<bool> answer{true};
    std::thread server([&] {
        while (answer.load()) {
            gate.pass();
            Sleep(10);
        }
    });
    const bool completed = host.waitForCompletion();
    EXPECT_TRUE(host.pumpUntil([&] { return host.engine().threadsLeftBehind() == 0; }));
    answer.store(false);
    server.join();
    ASSERT_TRUE(completed);
    EXPECT_THAT(host.storePaths(), UnorderedElementsAreArray(expected));
    EXPECT_EQ(host.threadEnds, host.threadStarts) << "a thread left behind posted to the owner";
}

namespace {
std::atomic<int> workersMade{0};
HANDLE countingCreate(LPTHREAD_START_ROUTINE routine, LPVOID parameter) {
    HANDLE thread = CreateThread(nullptr, 0, routine, parameter, 0, nullptr);
    if (thread) ++workersMade;
    return thread;
}
} // namespace

// Stop, then close while the enumeration thread still pauses after starting a worker: that
// worker is already known, so it is left behind with the others (and the program would end its
// process rather than destroy the engine under it). When its server answers at last, with "no
// network", the stopped search puts up no box.
TEST_F(SearchEngineLan, StopThenCloseLeavesEveryWorkerBehindAndNoBoxComesLater) {
    LabGate gate("engrace");
    LabNetwork lab("engrace");
    lab.domain("ENGRDOM");
    auto& hung = lab.server("ENGRACE1");
    hung.gate = gate.name();
    hung.enumError = ERROR_NO_NETWORK;
    lab.share("S");
    ASSERT_TRUE(lab.apply()) << lab.error();

    BoxRecorder boxes;
    SearchEngineSettings settings = fastSettings();
    settings.workerStartPauseMs = 1500;
    settings.createWorkerThread = &countingCreate;
    workersMade = 0;
    EngineTestHost host(settings);
    ASSERT_TRUE(host.start(lanOptions("*")));
    ASSERT_TRUE(host.pumpUntil([] { return workersMade.load() == 1; }));
    Sleep(300); // the worker reaches the server, which holds it

    // What closing after Stop Search does: stop, leave the stopped threads, close when idle.
    host.engine().requestStop();
    host.engine().leaveStoppedThreads();
    EXPECT_FALSE(host.engine().isBusy());
    ASSERT_TRUE(host.waitForCompletion());
    Sleep(1700); // past the start pause: the enumeration thread has ended
    EXPECT_EQ(host.engine().workerHandleCount(), 0) << "a worker was recorded after the stop";
    EXPECT_EQ(host.engine().threadsLeftBehind(), 1) << "the worker the server holds";

    ASSERT_TRUE(host.pumpUntil([&] {
        gate.pass();
        return host.engine().threadsLeftBehind() == 0;
    }));
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
}

TEST_F(SearchEngineLan, StopKeepsEveryHitAndTakesNoFurtherServer) {
    LabNetwork lab("engstop");
    lab.domain("ENGSTDOM");
    for (int i = 1; i <= 8; ++i) {
        lab.server("ENGSTOP" + std::to_string(i));
        lab.share("S");
    }
    // A domain that answers empty batches for ever: only the stop ends its listing.
    lab.domain("ENGSTEND").emptyBatches = LabNetwork::kEndless;
    ASSERT_TRUE(lab.apply()) << lab.error();
    for (int i = 1; i <= 8; ++i)
        for (int k = 0; k < 5; ++k)
            file("ENGSTOP" + std::to_string(i), "S", "f" + std::to_string(k) + ".txt", true);

    SearchEngineSettings settings = fastSettings();
    settings.serverTakePauseMs = 400; // one server per 0.4 s
    EngineTestHost host(settings);
    ASSERT_TRUE(host.start(lanOptions("*.txt")));
    ASSERT_TRUE(host.pumpUntil([&] { return host.engine().store().count() > 0; }));
    host.engine().requestStop();
    const int32_t queuedAtStop = host.engine().queuedServers();
    ASSERT_TRUE(host.waitForCompletion());

    const int32_t hits = host.engine().store().count();
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, int32_t(expected.size()));
    // Every hit is in level 1, and only servers taken before the stop have hits.
    EXPECT_EQ(host.engine().itemCount(), hits);
    int serversWithHits = 0;
    for (int i = 1; i <= 8; ++i)
        if (hitsOn(host, "ENGSTOP" + std::to_string(i)) > 0) ++serversWithHits;
    EXPECT_LE(serversWithHits, 8 - queuedAtStop);
    EXPECT_FALSE(host.engine().stopRequested()); // cleared by the completion
    EXPECT_EQ(host.threadEnds, host.threadStarts);
}

TEST_F(SearchEngineLan, FailingServersAreSkippedAndTheWalkGoesOn) {
    LabNetwork lab("engfail");
    lab.domain("ENGFDOM");
    lab.server("ENGFAIL1").openError = ERROR_ACCESS_DENIED;
    lab.share("S");
    auto& broken = lab.server("ENGFAIL2");
    broken.batch = 1;
    broken.enumError = ERROR_BAD_NETPATH;
    broken.enumAfter = 1;
    lab.share("First");
    lab.share("Second");
    auto& extended = lab.server("ENGFAIL3");
    extended.openError = ERROR_EXTENDED_ERROR;
    extended.errorCode = 77;
    extended.errorText = "lab server is resting";
    lab.share("S");
    lab.server("ENGFAIL4");
    lab.share("S");
    ASSERT_TRUE(lab.apply()) << lab.error();
    file("ENGFAIL1", "S", "hidden.txt", false);
    file("ENGFAIL2", "First", "first.txt", true);
    file("ENGFAIL2", "Second", "second.txt", false);
    file("ENGFAIL3", "S", "resting.txt", false);
    file("ENGFAIL4", "S", "fine.txt", true);

    BoxRecorder boxes;
    EngineTestHost host;
    ASSERT_TRUE(host.start(lanOptions("*.txt")));
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_THAT(host.storePaths(), UnorderedElementsAreArray(expected));
    EXPECT_EQ(boxes.size(), 0u); // only "no network" is shown
    EXPECT_NE(host.engine().network().lastErrorText(), "");
}

// A network without a browse list: one domain lists one of its servers, another fails with
// 6118. Servers the user names are searched all the same, each once, whatever their domain; a
// server that two workgroups list is searched once too.
TEST_F(SearchEngineLan, ServersAreSearchedOnceListedTwiceNamedOrNotListed) {
    LabNetwork lab("engnamed");
    lab.domain("ENGNDOM1");
    lab.server("ENGNLIST");
    lab.share("S");
    lab.server("ENGNHIDE").unlisted = true;
    lab.share("S");
    lab.share("T");
    lab.server("ENGNWILD").unlisted = true;
    lab.share("S");
    lab.domain("ENGNDOM2").openError = 6118; // "no browser servers found"
    lab.server("ENGNAWAY").unlisted = true;
    lab.share("S");
    lab.domain("ENGNDOM3"); // lists ENGNLIST too
    lab.server("engnlist");
    lab.share("S");
    ASSERT_TRUE(lab.apply()) << lab.error();
    file("ENGNLIST", "S", "listed.txt", true);
    file("ENGNHIDE", "S", "hidden.txt", true);
    file("ENGNHIDE", "T", "more.txt", true);
    file("ENGNWILD", "S", "wild.txt", false);
    file("ENGNAWAY", "S", "away.txt", true);

    BoxRecorder boxes;
    EngineTestHost host;
    SearchOptions options = lanOptions("*.txt");
    options.servers.mode = FilterMode::OnlyThese;
    // Listed and named; named twice in two cases; a pattern that only an unlisted server would
    // match; a server of the failing domain; a server that does not exist.
    options.servers.names = {"\\\\ENGNLIST", "\\\\engnhide", "\\\\ENGNHIDE",
                             "\\\\engnw*",   "\\\\ENGNAWAY", "\\\\ENGNGONE"};
    ASSERT_TRUE(host.start(options));
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_THAT(host.storePaths(), UnorderedElementsAreArray(expected));
    EXPECT_EQ(boxes.size(), 0u);
    EXPECT_EQ(host.engine().queuedServers(), 0);
    EXPECT_EQ(host.threadEnds, host.threadStarts);

    // The domain list does not apply to a named server: it belongs to no listed domain.
    options.domains = {FilterMode::OnlyThese, {"ENGNDOM1"}};
    options.servers.names = {"\\\\ENGNAWAY"};
    ASSERT_TRUE(host.start(options));
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_THAT(host.storePaths(),
                UnorderedElementsAreArray({LabNetwork::uncPath("ENGNAWAY", "S") + "\\away.txt"}));
}

TEST_F(SearchEngineLan, RefinementsAddLevelsAndReportWithAnEmptyCaption) {
    LabNetwork lab("engref");
    lab.domain("ENGRFDOM");
    lab.server("ENGREF1");
    lab.share("S");
    ASSERT_TRUE(lab.apply()) << lab.error();
    file("ENGREF1", "S", "alpha.txt", true);
    file("ENGREF1", "S", "beta.txt", true);
    file("ENGREF1", "S", "alpine.doc", true);

    BoxRecorder boxes;
    EngineTestHost host;
    {
        // Before any result exists: no level, the box counts 0.
        SearchOptions options = lanOptions("*");
        options.scope = SearchScope::LastResult;
        ASSERT_TRUE(host.start(options));
        ASSERT_TRUE(host.waitForCompletion());
        EXPECT_EQ(host.engine().history().levelCount(), 0);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text.rfind("number: 0, Time:", 0), 0u) << boxes[0].text;
        EXPECT_EQ(boxes[0].caption, "");
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_EQ(host.searchFinished, 1);
    }
    ASSERT_TRUE(host.start(lanOptions("*.txt *.doc")));
    ASSERT_TRUE(host.waitForCompletion());
    ASSERT_EQ(host.engine().itemCount(), 3);
    EXPECT_EQ(boxes.size(), 1u); // a network search shows no box

    SearchOptions refine = lanOptions("AL*");
    refine.scope = SearchScope::LastResult;
    ASSERT_TRUE(host.start(refine));
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_EQ(host.engine().history().levelCount(), 2);
    EXPECT_EQ(host.engine().history().currentLevel(), 2);
    EXPECT_EQ(host.engine().itemCount(), 2); // alpha.txt, alpine.doc
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text.rfind("number: 3, Time:", 0), 0u) << boxes[1].text;
    EXPECT_EQ(host.engine().store().count(), 3); // the store is untouched

    refine.namePattern = "*.doc";
    ASSERT_TRUE(host.start(refine));
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_EQ(host.engine().history().levelCount(), 3);
    ASSERT_EQ(host.engine().itemCount(), 1);
    EXPECT_EQ(host.engine().itemAt(0)->name, "alpine.doc");

    // Back, then a refinement drops the level after the current one before adding its own.
    ASSERT_TRUE(host.engine().history().goBack(false, host.engine().isBusy()));
    refine.namePattern = "nothing*";
    ASSERT_TRUE(host.start(refine));
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_EQ(host.engine().history().levelCount(), 3);
    EXPECT_EQ(host.engine().itemCount(), 0);
    // From an empty level no level is added.
    ASSERT_TRUE(host.start(refine));
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_EQ(host.engine().history().levelCount(), 3);
}

// Searches that read files for a text, stopped while a server holds one of their reads: first a
// search of the network (its worker held in the read of a file deep in a share), then a
// refinement. Each completes without the thread held there, with what it found before. When the
// reads return at last, the threads add nothing, show no box and post nothing, also while the
// next search runs.
TEST_F(SearchEngineLan, AStoppedSearchIsLeftBehindInAReadThatDoesNotReturn) {
    LabNetwork lab("engstall");
    lab.domain("ENGSTDOM");
    lab.server("ENGSTALL1");
    lab.share("Mail");
    ASSERT_TRUE(lab.apply()) << lab.error();
    const std::string share = LabNetwork::uncPath("ENGSTALL1", "Mail");
    writeWholeFile(share + "\\first.txt", "Invoice 2024-117");
    writeWholeFile(share + "\\last.txt", "Invoice 2024-117");
    // The share's subfolder Stalled holds the file whose reads do not return.
    StallingFolder stall(LabNetwork::uncRoot() + "\\engstall1\\mail\\Stalled");
    if (!stall.ready()) GTEST_SKIP() << stall.why();
    BoxRecorder boxes;
    EngineTestHost host;
    SearchEngine& engine = host.engine();

    // The share's own files are read before the walk enters Stalled.
    SearchOptions search = lanOptions("*");
    search.containingText = "invoice 2024-117";
    ASSERT_TRUE(host.start(search));
    ASSERT_TRUE(host.pumpUntil([&] { return engine.store().count() == 2; }));
    Sleep(200);
    EXPECT_TRUE(engine.isBusy()) << "the read of stalled.txt should still wait";
    engine.requestStop();
    EXPECT_EQ(engine.leaveStoppedThreads(), 1);
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_THAT(host.storePaths(),
                UnorderedElementsAreArray({share + "\\first.txt", share + "\\last.txt"}));

    // Level 1 as a loaded result file makes it: the file that stalls between two that hold the
    // text. The search's worker still waits in its read meanwhile.
    ASSERT_TRUE(engine.resetSession(false));
    for (const auto& [folder, name] : {std::pair{share, "first.txt"},
                                       std::pair{stall.path(), "stalled.txt"},
                                       std::pair{share, "last.txt"}}) {
        FoundItem item;
        item.folder = folder;
        item.name = name;
        engine.store().append(item);
    }
    engine.history().pushIdentityLevel();
    SearchOptions refine;
    refine.scope = SearchScope::LastResult;
    refine.containingText = "invoice 2024-117";
    ASSERT_TRUE(host.start(refine));
    ASSERT_TRUE(host.pumpUntil([&] { return engine.history().levelLength(2) == 1; }));
    Sleep(200);
    EXPECT_TRUE(engine.isBusy()) << "the read of stalled.txt should still wait";
    // Not left behind before the stop, and then only as a thread that reads.
    EXPECT_EQ(engine.leaveStoppedThreads(), 0);
    engine.requestStop();
    EXPECT_EQ(engine.leaveStoppedThreads(), 2); // with the first search's worker
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_EQ(engine.itemCount(), 1);
    EXPECT_EQ(engine.itemAt(0)->name, "first.txt");
    EXPECT_EQ(boxes.size(), 0u);
    EXPECT_EQ(host.searchFinished, 0);

    // The next refinement runs while both reads wait; then the server answers.
    refine.containingText = "";
    ASSERT_TRUE(host.start(refine));
    ASSERT_TRUE(host.waitForCompletion());
    ASSERT_EQ(boxes.size(), 1u);
    stall.release();
    ASSERT_TRUE(host.pumpUntil([&] { return engine.threadsLeftBehind() == 0; }));
    host.pump();
    EXPECT_EQ(boxes.size(), 1u) << boxes[boxes.size() - 1].text;
    EXPECT_EQ(host.searchFinished, 1);
    EXPECT_EQ(host.threadEnds, 0); // the search's worker posts no end when its read returns
    EXPECT_EQ(engine.store().count(), 3);
    EXPECT_EQ(engine.history().levelCount(), 3);
    EXPECT_EQ(engine.history().levelLength(2), 1);
    EXPECT_EQ(engine.history().levelLength(3), 1);
}

TEST(SearchEngineSession, SearchNowWhileBusyAndNewSearchWhileBusyAreRefused) {
    if (!LabNetwork::providerLoaded()) GTEST_SKIP() << "the lab provider is not registered";
    LabNetwork lab("engbusy");
    lab.domain("ENGBDOM").waitMs = 1500;
    lab.server("ENGBUSY1");
    lab.share("S");
    ASSERT_TRUE(lab.apply()) << lab.error();

    EngineTestHost host;
    ASSERT_TRUE(host.start(lanOptions("*")));
    EXPECT_TRUE(host.engine().isBusy());
    EXPECT_FALSE(host.engine().startSearch());
    EXPECT_FALSE(host.engine().resetSession(false));
    EXPECT_FALSE(host.engine().finishSearch());
    ASSERT_TRUE(host.waitForCompletion());
    EXPECT_TRUE(host.engine().resetSession(false));
    EXPECT_EQ(host.engine().history().levelCount(), 0);
    EXPECT_EQ(host.engine().store().count(), 0);
}

TEST(SearchEngineSession, UnknownScopeSearchesTheLan) {
    SearchEngine engine;
    SearchOptions options = lanOptions("*");
    options.scope = static_cast<SearchScope>(-1);
    engine.buildCriteria(options);
    EXPECT_EQ(engine.scope(), SearchScope::Lan);
    options.scope = static_cast<SearchScope>(7);
    engine.buildCriteria(options);
    EXPECT_EQ(engine.scope(), SearchScope::Lan);
}

// Run in a child process without the lab provider: a machine without any network.
TEST(SearchEngineNoNetwork, OneBoxAndNoWorker) {
    if (!LabNetwork::providerDisabled() && !netsupport::noNetworkHere()) {
        EXPECT_EQ(LabNetwork::runWithoutProvider("SearchEngineNoNetwork.*"), 0);
        return;
    }
    ASSERT_TRUE(netsupport::noNetworkHere());
    BoxRecorder boxes;
    EngineTestHost host;
    // A server named by the user is not tried on a machine that has no network at all.
    SearchOptions options = lanOptions("*");
    options.servers = {FilterMode::OnlyThese, {"\\\\ENGNOWHERE"}};
    ASSERT_TRUE(host.start(options));
    ASSERT_TRUE(host.waitForCompletion());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("CNetwork: WNetOpenEnum failed; Result is 1222 (\"", 0), 0u)
        << boxes[0].text;
    EXPECT_EQ(boxes[0].caption, "Corvask");
    EXPECT_EQ(host.engine().workersStarted(), 0);
    EXPECT_EQ(host.threadStarts, 1);
    EXPECT_EQ(host.threadEnds, 1);
}
