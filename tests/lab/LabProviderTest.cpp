// The lab provider seen through the platform's network calls, as the program sees it: the walk,
// batches, injected failures, topology switches and hostile topology files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "LabWalk.h"
#include "support/LabNetwork.h"

using testing::ElementsAre;
using testing::ElementsAreArray;

namespace {

class LabProvider : public testing::Test {
protected:
    void SetUp() override {
        if (!LabNetwork::providerLoaded())
            GTEST_SKIP() << "the lab provider is not registered in this prefix "
                            "(scripts/ctest.sh registers it)";
        openBefore = LabNetwork::openEnumerations();
    }
    void TearDown() override {
        if (LabNetwork::providerLoaded()) {
            EXPECT_EQ(LabNetwork::openEnumerations(), openBefore) << "an enumeration was left open";
        }
    }

    // The record of `remote` among the children of `container`.
    static LabRecord child(const LabRecord& container, const std::string& remote) {
        for (const LabRecord& r : labList(&container).records)
            if (r.remote == remote) return r;
        ADD_FAILURE() << remote << " not listed below " << container.remote;
        return {};
    }
    static LabRecord top() {
        LabRecord r;
        EXPECT_TRUE(labProviderRecord(r));
        return r;
    }
    unsigned openBefore = 0;
};

TEST_F(LabProvider, WalkFromNetworkToSharesReturnsTheTopologyInItsOrder) {
    LabNetwork lab("walk");
    lab.domain("WORKGROUP").comment = "Office workgroup";
    lab.server("LABWALK1").comment = "File server";
    lab.share("Public", "Everyone's files");
    lab.share("Music");
    lab.printShare("Printer");
    lab.server("\\\\LABWALK2");
    lab.domain("EMPTYDOM");
    lab.network("OTHERNET");
    lab.domain("INNER");
    lab.server("LABWALK3");
    lab.share("Data");
    ASSERT_TRUE(lab.apply()) << lab.error();
    EXPECT_TRUE(LabNetwork::isRegistered());

    EXPECT_THAT(labTree(), ElementsAre("1 WORKGROUP", "2 \\\\LABWALK1", "3 \\\\LABWALK1\\Public",
                                       "3 \\\\LABWALK1\\Music", "3 \\\\LABWALK1\\Printer",
                                       "2 \\\\LABWALK2", "1 EMPTYDOM", "6 OTHERNET", "1 INNER",
                                       "2 \\\\LABWALK3", "3 \\\\LABWALK3\\Data"));

    LabRecord domain = child(top(), "WORKGROUP");
    EXPECT_EQ(domain.comment, "Office workgroup");
    EXPECT_EQ(domain.usage, DWORD(RESOURCEUSAGE_CONTAINER));
    EXPECT_EQ(domain.provider, "Corvask Lab Network");
    LabRecord server = child(domain, "\\\\LABWALK1");
    EXPECT_EQ(server.comment, "File server");
    EXPECT_EQ(server.usage, DWORD(RESOURCEUSAGE_CONTAINER));
    LabListing shares = labList(&server);
    ASSERT_EQ(shares.records.size(), 3u);
    EXPECT_EQ(shares.records[0].comment, "Everyone's files");
    EXPECT_EQ(shares.records[0].usage, DWORD(RESOURCEUSAGE_CONNECTABLE));
    EXPECT_EQ(shares.records[0].type, DWORD(RESOURCETYPE_DISK));
    EXPECT_EQ(shares.records[2].type, DWORD(RESOURCETYPE_PRINT));
    EXPECT_EQ(shares.endResult, DWORD(ERROR_NO_MORE_ITEMS));

    // The resource type and usage of the open filter what is listed.
    EXPECT_THAT(labList(&server, RESOURCETYPE_DISK).names(),
                ElementsAre("\\\\LABWALK1\\Public", "\\\\LABWALK1\\Music"));
    EXPECT_THAT(labList(&server, RESOURCETYPE_PRINT).names(), ElementsAre("\\\\LABWALK1\\Printer"));
    EXPECT_THAT(labList(&domain, RESOURCETYPE_ANY, RESOURCEUSAGE_CONNECTABLE).names(),
                ElementsAre());
    EXPECT_THAT(labList(&domain, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER).names(),
                ElementsAre("\\\\LABWALK1", "\\\\LABWALK2"));
}

TEST_F(LabProvider, ContainersAnswerInBatchesOfTheirChosenSize) {
    LabNetwork lab("batch");
    lab.provider().batch = 1;
    lab.domain("BATCHED").batch = 2;
    for (int i = 1; i <= 5; ++i)
        lab.server("LABBATCH" + std::to_string(i));
    lab.domain("WHOLE");
    for (int i = 1; i <= 5; ++i)
        lab.server("LABWHOLE" + std::to_string(i));
    lab.domain("HESITANT").emptyBatches = 2;
    lab.server("LABHES1");
    lab.server("LABHES2");
    ASSERT_TRUE(lab.apply()) << lab.error();

    LabRecord root = top();
    LabListing domains = labList(&root);
    EXPECT_THAT(domains.batches, ElementsAre(1u, 1u, 1u));
    LabListing batched = labList(&domains.records[0]);
    EXPECT_THAT(batched.batches, ElementsAre(2u, 2u, 1u));
    EXPECT_EQ(batched.records.size(), 5u);
    EXPECT_EQ(batched.endResult, DWORD(ERROR_NO_MORE_ITEMS));
    EXPECT_THAT(labList(&domains.records[1]).batches, ElementsAre(5u));
    // Empty batches come with result 0; the next call (asking for 0) still gets the records.
    LabListing hesitant = labList(&domains.records[2]);
    EXPECT_THAT(hesitant.batches, ElementsAre(0u, 0u, 2u));
    EXPECT_EQ(hesitant.endResult, DWORD(ERROR_NO_MORE_ITEMS));

    // A buffer that holds a few records gets a few per call and every record in the end; one
    // that holds none gets 234.
    LabListing small = labList(&domains.records[1], RESOURCETYPE_ANY, 0, 200);
    EXPECT_EQ(small.records.size(), 5u);
    EXPECT_GT(small.batches.size(), 1u);
    EXPECT_EQ(labList(&domains.records[1], RESOURCETYPE_ANY, 0, 40).endResult,
              DWORD(ERROR_MORE_DATA));
}

TEST_F(LabProvider, WaitPerCallSlowsEveryOpenAndBatch) {
    LabNetwork lab("wait");
    auto& slow = lab.domain("SLOW");
    slow.batch = 1;
    slow.waitMs = 60;
    lab.server("LABSLOW1");
    lab.server("LABSLOW2");
    ASSERT_TRUE(lab.apply()) << lab.error();
    LabRecord domain = child(top(), "SLOW");
    DWORD start = GetTickCount();
    LabListing l = labList(&domain);
    DWORD took = GetTickCount() - start;
    EXPECT_EQ(l.records.size(), 2u);
    // One open and three calls (two batches, then the end): at least four waits. Only the lower
    // bound is certain on a busy machine.
    EXPECT_GE(took, 4u * 60u - 40u);
}

TEST_F(LabProvider, InjectedFailuresGiveTheirCodes) {
    LabNetwork lab("fail");
    lab.domain("DENIED").openError = 5;
    lab.domain("GONE").openError = 67;
    auto& flaky = lab.domain("FLAKY");
    flaky.batch = 1;
    flaky.enumError = 59;
    flaky.enumAfter = 2;
    lab.server("LABFLAKY1");
    lab.server("LABFLAKY2");
    lab.server("LABFLAKY3");
    lab.domain("BROKEN").enumError = 59;
    lab.server("LABBROKEN1");
    ASSERT_TRUE(lab.apply()) << lab.error();

    LabRecord root = top();
    EXPECT_EQ(labList(&root).records.size(), 4u);
    EXPECT_EQ(labList(child(root, "DENIED")).openResult, DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(labList(child(root, "GONE")).openResult, DWORD(ERROR_BAD_NET_NAME));
    // Two batches served, then the failure; what came before stays.
    LabListing flakyList = labList(child(root, "FLAKY"));
    EXPECT_THAT(flakyList.names(), ElementsAre("\\\\LABFLAKY1", "\\\\LABFLAKY2"));
    EXPECT_EQ(flakyList.endResult, 59u);
    LabListing broken = labList(child(root, "BROKEN"));
    EXPECT_EQ(broken.openResult, 0u);
    EXPECT_TRUE(broken.batches.empty());
    EXPECT_EQ(broken.endResult, 59u);

    // Names the provider does not know, and shares, are not containers it can open.
    LabRecord unknown = child(root, "DENIED");
    unknown.remote = "NOSUCHDOMAIN";
    EXPECT_EQ(labList(&unknown).openResult, DWORD(ERROR_BAD_NET_NAME));
}

TEST_F(LabProvider, NoNetworkAndExtendedErrorsCarryTheProvidersCodeAndText) {
    LabNetwork lab("extended");
    auto& ext = lab.domain("EXTENDED");
    ext.enumError = 1208;
    ext.errorCode = 4242;
    ext.errorText = "The lab server is on fire";
    auto& extOpen = lab.domain("EXTOPEN");
    extOpen.openError = 1208;
    extOpen.errorCode = 17;
    extOpen.errorText = "Cannot open";
    ASSERT_TRUE(lab.apply()) << lab.error();
    LabRecord root = top();

    EXPECT_EQ(labList(child(root, "EXTENDED")).endResult, DWORD(ERROR_EXTENDED_ERROR));
    DWORD code = 0;
    char text[256] = "", name[256] = "";
    DWORD r = WNetGetLastErrorA(&code, text, sizeof(text), name, sizeof(name));
    if (r == NO_ERROR) { // an mpr that keeps the provider's error (Windows)
        EXPECT_EQ(code, 4242u);
        EXPECT_STREQ(text, "The lab server is on fire");
        EXPECT_STREQ(name, "Corvask Lab Network");
    } else { // Wine 8's mpr: WNetGetLastErrorA is a stub
        EXPECT_EQ(r, DWORD(ERROR_NO_NETWORK));
    }
    unsigned providerCode = 0;
    std::string providerText;
    ASSERT_TRUE(LabNetwork::lastExtendedError(providerCode, providerText));
    EXPECT_EQ(providerCode, 4242u);
    EXPECT_EQ(providerText, "The lab server is on fire");

    EXPECT_EQ(labList(child(root, "EXTOPEN")).openResult, DWORD(ERROR_EXTENDED_ERROR));
    ASSERT_TRUE(LabNetwork::lastExtendedError(providerCode, providerText));
    EXPECT_EQ(providerCode, 17u);
    EXPECT_EQ(providerText, "Cannot open");

    // The provider's own top level can fail too, e.g. with "no network".
    LabNetwork down("down");
    down.provider().openError = 1222;
    ASSERT_TRUE(down.apply()) << down.error();
    EXPECT_EQ(labList(&root).openResult, DWORD(ERROR_NO_NETWORK));
}

TEST_F(LabProvider, TopologySwitchesInsideOneProcess) {
    LabNetwork first("first");
    first.domain("FIRSTDOM");
    first.server("LABFIRST");
    ASSERT_TRUE(first.apply()) << first.error();
    EXPECT_THAT(labTree(), ElementsAre("1 FIRSTDOM", "2 \\\\LABFIRST"));
    {
        LabNetwork second("second");
        second.domain("SECONDDOM");
        ASSERT_TRUE(second.apply()) << second.error();
        EXPECT_THAT(labTree(), ElementsAre("1 SECONDDOM"));
    }
    EXPECT_THAT(labTree(), ElementsAre("1 FIRSTDOM", "2 \\\\LABFIRST"));
}

TEST_F(LabProvider, EveryOpenedEnumerationIsCountedUntilClosed) {
    LabNetwork lab("count");
    lab.domain("COUNTDOM");
    lab.server("LABCOUNT");
    ASSERT_TRUE(lab.apply()) << lab.error();
    LabRecord domain = child(top(), "COUNTDOM");
    NETRESOURCEA raw = domain.raw();
    HANDLE h = nullptr;
    ASSERT_EQ(WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, &raw, &h), DWORD(NO_ERROR));
    unsigned opened = 0, closed = 0, openedAfter = 0, closedAfter = 0;
    ASSERT_TRUE(LabNetwork::enumerationTotals(opened, closed));
    EXPECT_EQ(LabNetwork::openEnumerations(), openBefore + 1);
    EXPECT_EQ(WNetCloseEnum(h), DWORD(NO_ERROR));
    EXPECT_EQ(LabNetwork::openEnumerations(), openBefore);
    ASSERT_TRUE(LabNetwork::enumerationTotals(openedAfter, closedAfter));
    EXPECT_EQ(openedAfter, opened);
    EXPECT_EQ(closedAfter, closed + 1);
}

TEST_F(LabProvider, ShareFolderIsListedThroughItsUncPath) {
    LabNetwork lab("unc");
    lab.domain("UNCDOM");
    lab.server("LABUNC1");
    lab.share("Docs");
    ASSERT_TRUE(lab.apply()) << lab.error();
    std::string share = LabNetwork::uncPath("LABUNC1", "Docs");
    ASSERT_TRUE(LabNetwork::makeFile(share + "\\report.txt", 1234));
    ASSERT_TRUE(LabNetwork::makeFolder(share + "\\Sub"));
    ASSERT_TRUE(LabNetwork::makeFile(share + "\\Sub\\deep.doc", 70000));

    // Any case reaches the folder.
    for (const char* mask : {"\\\\LABUNC1\\Docs\\*", "\\\\labunc1\\DOCS\\*.txt"}) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(mask, &fd);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << mask << ": error " << GetLastError();
        std::vector<std::string> seen;
        do {
            std::string n = fd.cFileName;
            if (n == "." || n == "..") continue;
            seen.push_back(n + ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                                    ? "/"
                                    : " " + std::to_string(fd.nFileSizeLow)));
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        std::sort(seen.begin(), seen.end());
        if (std::string(mask).find("*.txt") != std::string::npos)
            EXPECT_THAT(seen, ElementsAre("report.txt 1234"));
        else
            EXPECT_THAT(seen, ElementsAre("Sub/", "report.txt 1234"));
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(
        GetFileAttributesExA("\\\\LABUNC1\\Docs\\Sub\\deep.doc", GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 70000u);
}

TEST_F(LabProvider, HostileTopologyLinesAreSkippedWithoutHarm) {
    LabNetwork lab("hostile");
    const std::vector<std::string> bad = {
        "server | LABORPHAN", // before any domain
        std::string(5000, 'A'),
        "frobnicate | X",
        "domain |",
        "domain | X | batch=abc",
        "domain | X | batch=99999999999",
        "domain | X | wait=999999",
        "domain | X | open-error",
        "domain | X | colour=blue",
        "domain | " + std::string(300, 'D'),
        "domain | BAD\x01NAME",
        "domain | \xff\xfe\xfd not text",
        std::string("domain | NUL\0BYTE", 16),
        "||||||",
        "domain | X | listed=no", // only a server can be left out of its domain's listing
        "domain | PARENTBAD | unknown=1",
        "server | LABUNDERBAD", // below the rejected domain: skipped with it
        "share | Under",
    };
    for (const std::string& line : bad)
        lab.rawLine(line);
    lab.domain("GOOD");
    lab.rawLine("share | ..");    // no server yet in GOOD
    lab.rawLine("server | \\\\"); // no name after the backslashes
    lab.server("LABGOOD");
    for (const char* line :
         {"share | ..", "share | a\\b", "share | a/b", "share | x | type=tape",
          "share | y | batch=2", "share | z | comment=\x07", "share | w | listed=no"})
        lab.rawLine(line);
    lab.share("Fine");
    ASSERT_TRUE(lab.apply()) << lab.error();

    EXPECT_THAT(labTree(), ElementsAre("1 GOOD", "2 \\\\LABGOOD", "3 \\\\LABGOOD\\Fine"));
    std::vector<std::string> problems;
    EXPECT_EQ(LabNetwork::topologyProblems(&problems), bad.size() + 9);
    for (const std::string& p : problems)
        EXPECT_EQ(p.rfind("line ", 0), 0u) << p;
}

TEST_F(LabProvider, RandomLinesNeverBreakTheProvider) {
    // Lines glued together from the format's own pieces and some junk, half of them shaped like
    // resources: the provider lists whatever survives and keeps every enumeration balanced.
    const std::vector<std::string> kinds = {"domain", "server", "share", "network", "provider"};
    const std::vector<std::string> pieces = {
        " | ",         "|",           "=",          "batch=", "after=", "empty=",   "open-error=",
        "enum-error=", "error-text=", "type=",      "print",  "path=",  "comment=", "0",
        "1",           "3",           "4294967295", "0x",     "-1",     "\\\\",     "..",
        "LABRND",      "A b",         "\xc3\xa9",   "\xff",   "\t",     "#",        "  ",
        "\x01",        "1208",        "59",         "server", "share"};
    unsigned x = 20261208;
    auto next = [&x](unsigned n) { return ((x = x * 1664525u + 1013904223u) >> 8) % n; };
    auto any = [&](const std::vector<std::string>& v) {
        return v[next(static_cast<unsigned>(v.size()))];
    };
    LabNetwork lab("random");
    for (int line = 0; line < 3000; ++line) {
        std::string text;
        if (next(2)) text = any(kinds) + " | LABRND" + std::to_string(line) + " | ";
        for (unsigned k = next(6); k > 0; --k)
            text += any(pieces);
        lab.rawLine(text);
    }
    ASSERT_TRUE(lab.apply()) << lab.error();
    std::vector<std::string> tree = labTree();
    unsigned problems = LabNetwork::topologyProblems();
    EXPECT_GT(tree.size(), 20u);
    EXPECT_LE(tree.size() + problems, 3000u);
}

TEST_F(LabProvider, UnreadableOrHugeTopologyMeansNoNetwork) {
    LabNetwork lab("unreadable");
    lab.domain("SOON");
    ASSERT_TRUE(lab.apply()) << lab.error();
    LabRecord root = top();
    ASSERT_TRUE(DeleteFileA(lab.topologyPath().c_str()));
    EXPECT_EQ(labList(&root).openResult, DWORD(ERROR_NO_NETWORK));

    ASSERT_TRUE(LabNetwork::makeFile(lab.topologyPath(), 17u << 20));
    EXPECT_EQ(labList(&root).openResult, DWORD(ERROR_NO_NETWORK));

    // Bytes that are no topology at all: nothing is listed, nothing breaks.
    HANDLE h = CreateFileA(lab.topologyPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::string junk(65536, '\0');
    unsigned x = 12345;
    for (char& c : junk)
        c = static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
    DWORD written = 0;
    WriteFile(h, junk.data(), static_cast<DWORD>(junk.size()), &written, nullptr);
    CloseHandle(h);
    LabListing l = labList(&root);
    EXPECT_EQ(l.openResult, 0u);
    EXPECT_TRUE(l.records.empty());
}

TEST_F(LabProvider, ConcurrentWalksSurviveTopologySwitches) {
    LabNetwork a("concurrent-a"), b("concurrent-b");
    for (LabNetwork* lab : {&a, &b}) {
        lab->domain(lab == &a ? "ADOM" : "BDOM").batch = 1;
        for (int i = 0; i < 4; ++i)
            lab->server((lab == &a ? "LABA" : "LABB") + std::to_string(i));
    }
    ASSERT_TRUE(a.apply()) << a.error();
    ASSERT_TRUE(b.apply()) << b.error();
    std::atomic<bool> stop{false};
    std::atomic<int> walks{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            while (!stop) {
                labTree();
                ++walks;
            }
        });
    // Switch while the walks run, until the threads have made a fair number of walks.
    for (int i = 0; walks < 60 && i < 100000; ++i) {
        SetEnvironmentVariableA("CORVASK_LAB_TOPOLOGY", (i % 2 ? a : b).topologyPath().c_str());
        Sleep(1);
    }
    stop = true;
    for (std::thread& t : threads)
        t.join();
    SetEnvironmentVariableA("CORVASK_LAB_TOPOLOGY", b.topologyPath().c_str());
    EXPECT_EQ(LabNetwork::openEnumerations(), openBefore);
}

TEST_F(LabProvider, DemoLanHasItsDomainsServersAndShares) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                      "System\\CurrentControlSet\\Services\\CorvaskLab\\Parameters", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        GTEST_SKIP() << "no demo LAN registered (lab/demo-lan.sh)";
    RegCloseKey(key);
    LabNetwork::useDemo();
    int domains = 0, servers = 0, shares = 0;
    std::string firstShare;
    for (const std::string& line : labTree()) {
        domains += line[0] == '1';
        servers += line[0] == '2';
        if (line[0] == '3') {
            ++shares;
            if (firstShare.empty()) firstShare = line.substr(2);
        }
    }
    EXPECT_GE(domains, 3);
    EXPECT_GE(servers, 8);
    EXPECT_GE(shares, 20);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((firstShare + "\\*").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << firstShare;
    int entries = 0;
    do
        entries++;
    while (FindNextFileA(h, &fd));
    FindClose(h);
    EXPECT_GT(entries, 2);
}

// Runs in a child process that the lab provider refused to load into.
TEST(LabNoProvider, RootAnswersNoNetwork) {
    if (!LabNetwork::providerDisabled()) GTEST_SKIP() << "runs only as the child of the next test";
    EXPECT_FALSE(LabNetwork::providerLoaded());
    HANDLE h = nullptr;
    EXPECT_EQ(WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, nullptr, &h),
              DWORD(ERROR_NO_NETWORK));
}

TEST_F(LabProvider, AProcessCanRunWithoutAnyProvider) {
    EXPECT_EQ(LabNetwork::runWithoutProvider("LabNoProvider.RootAnswersNoNetwork"), 0);
}

} // namespace
