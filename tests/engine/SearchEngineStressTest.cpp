// Many servers, no pauses, a stop at a random moment, again and again: every search must end,
// every thread must be reaped, and what was found must all be in level 1.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/SearchEngine.h"
#include "support/EngineTestHost.h"
#include "support/LabNetwork.h"

TEST(SearchEngineStress, RandomStopsNeverHangLeakOrLoseHits) {
    if (!LabNetwork::providerLoaded()) GTEST_SKIP() << "the lab provider is not registered";
    const unsigned openBefore = LabNetwork::openEnumerations();
    constexpr int kServers = 40;
    LabNetwork lab("engstress");
    lab.domain("ENGSTRDOM1").batch = 3;
    for (int i = 1; i <= kServers; ++i) {
        if (i == kServers / 2) lab.domain("ENGSTRDOM2");
        lab.server("ENGSTRESS" + std::to_string(i));
        lab.share("A");
        lab.share("B");
    }
    ASSERT_TRUE(lab.apply()) << lab.error();
    int files = 0;
    for (int i = 1; i <= kServers; ++i)
        for (const char* share : {"A", "B"})
            for (int k = 0; k < 4; ++k, ++files)
                ASSERT_TRUE(LabNetwork::makeFile(
                    LabNetwork::uncPath("ENGSTRESS" + std::to_string(i), share) + "\\f" +
                    std::to_string(k) + ".dat"));

    std::mt19937 random(20261208);
    EngineTestHost host;
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        host.reapOnMessages = round % 3 != 0;
        ASSERT_TRUE(host.start(lanOptions("*.dat")));
        const bool stop = round % 5 != 4;
        if (stop) {
            const DWORD wait = std::uniform_int_distribution<DWORD>(0, 150)(random);
            const DWORD started = GetTickCount();
            host.pumpUntil([&] { return GetTickCount() - started >= wait; });
            host.engine().requestStop();
        }
        ASSERT_TRUE(host.waitForCompletion()) << "the search did not end";
        EXPECT_FALSE(host.engine().isBusy());
        EXPECT_EQ(host.engine().workerHandleCount(), 0);
        EXPECT_EQ(host.engine().activeThreadCount(), 0);
        EXPECT_EQ(host.threadEnds, host.threadStarts);
        EXPECT_LE(host.engine().workersStarted(), kServers);
        const int32_t hits = host.engine().store().count();
        EXPECT_EQ(host.engine().itemCount(), hits);
        if (!stop) {
            EXPECT_EQ(hits, files);
        }
        EXPECT_LE(hits, files);
    }
    EXPECT_EQ(LabNetwork::openEnumerations(), openBefore);
}
