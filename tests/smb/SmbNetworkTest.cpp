// Corvask against real SMB servers: the Samba servers of lab/smb, reached through smbnetfs as
// \\SERVER\share. Run by lab/smb/with-lab.sh, which starts the servers, points the lab provider
// of this process at their topology and carries out this test's requests to kill and start a
// server (files in the folder CORVASK_SMB_CONTROL names).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "support/DialogDriver.h"
#include "support/EngineTestHost.h"
#include "support/LabFixture.h"
#include "support/ScratchFolder.h"
#include "toolkit/Application.h"
#include "toolkit/FrameworkMessages.h"
#include "toolkit/MessageBoxes.h"
#include "ui/CFindTestApp.h"
#include "ui/CFindTestDlg.h"

using testing::IsSupersetOf;
using testing::UnorderedElementsAreArray;

namespace {

// Entries by server ("\\SERVER"), each as "path | low 32 bits of the size | write time | kind".
using ByServer = std::map<std::string, std::vector<std::string>>;

void add(ByServer& out, const std::string& path, DWORD size, FILETIME written, DWORD attributes) {
    out[path.substr(0, path.find('\\', 2))].push_back(
        path + " | " + std::to_string(size) + " | " + std::to_string(written.dwHighDateTime) + ":" +
        std::to_string(written.dwLowDateTime) +
        ((attributes & FILE_ATTRIBUTE_DIRECTORY) ? " | folder" : ""));
}

// The baseline: every entry below a folder as FindFirstFileA lists it.
void plainWalk(const std::string& folder, ByServer& out) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName, path = folder + "\\" + name;
        if (name == "." || name == "..") continue;
        add(out, path, entry.nFileSizeLow, entry.ftLastWriteTime, entry.dwFileAttributes);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) plainWalk(path, out);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

// The plain walk of every disk share the network lists.
int32_t walkDiskShare(void* out, NETRESOURCEA* resource) {
    if (resource->dwDisplayType == RESOURCEDISPLAYTYPE_SHARE && resource->lpRemoteName &&
        resource->dwType != RESOURCETYPE_PRINT)
        plainWalk(resource->lpRemoteName, *static_cast<ByServer*>(out));
    return 1;
}
int32_t acceptAll(void*, NETRESOURCEA*, uint32_t) {
    return 1;
}

ByServer found(SearchEngine& engine) {
    ByServer out;
    for (int32_t i = 0, n = engine.store().count(); i < n; ++i) {
        FoundItem item;
        if (engine.store().copyAt(i, item))
            add(out, item.fullPath(), item.size, item.lastWriteTime, item.attributes);
    }
    return out;
}

std::vector<std::string> all(const ByServer& byServer) {
    std::vector<std::string> out;
    for (const auto& [server, entries] : byServer)
        out.insert(out.end(), entries.begin(), entries.end());
    return out;
}

std::string controlFolder() {
    char folder[MAX_PATH] = "";
    DWORD n = GetEnvironmentVariableA("CORVASK_SMB_CONTROL", folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? folder : "";
}

// The program's main window, modeless, pumped as its own modal loop would; it keeps the longest
// time one round of its messages took, so a handler that waits on the network shows.
class Window {
public:
    Window() : dialog(nullptr, fastSettings()) {
        app.installAccelerators();
        setMessageBoxResponder([this](const MessageBoxRequest& box) {
            boxes.push_back(box.text);
            return IDOK;
        });
        EXPECT_TRUE(dialog.createModeless());
        ShowWindow(dialog.hwnd(), SW_SHOW);
    }
    ~Window() { setMessageBoxResponder(nullptr); }

    void pump() {
        const DWORD start = GetTickCount();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (toolkit::applyMessageFilter(MSGF_DIALOGBOX, msg)) continue;
            if (IsDialogMessageA(dialog.hwnd(), &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        SendMessageA(dialog.hwnd(), toolkit::WM_KICKIDLE, MSGF_DIALOGBOX, 0);
        longestRoundMs = std::max(longestRoundMs, GetTickCount() - start);
        Sleep(5);
    }
    template <typename Done> bool pumpUntil(Done done, DWORD safetyMs = 300000) {
        for (DWORD start = GetTickCount(); !done(); pump())
            if (GetTickCount() - start > safetyMs) return false;
        return true;
    }
    // A search for names, and for a text on the Text page when one is given.
    void search(const char* names, const char* text = "") {
        COptionSheet& sheet = dialog.optionSheet();
        if (*text) {
            EXPECT_TRUE(sheet.setActivePage(4));
            SetDlgItemTextA(sheet.pageText.hwnd(), IDC_TEXT_CONTAINING, text);
            EXPECT_TRUE(sheet.setActivePage(0));
        }
        SetDlgItemTextA(sheet.pageMain.hwnd(), IDC_MAIN_NAME, names);
        pressButton(dialog.hwnd(), IDC_SEARCH_NOW);
        EXPECT_TRUE(dialog.searchPending());
    }
    void searchEverything() { search("*"); }
    // Asks the lab to kill or start a server and pumps until it answers; true when done.
    bool askLab(const std::string& request) {
        const std::string folder = controlFolder(), answer = folder + "\\answer";
        DeleteFileA(answer.c_str());
        FILE* file = fopen((folder + "\\request.tmp").c_str(), "w");
        if (!file) return false;
        fprintf(file, "%s\n", request.c_str());
        fclose(file);
        MoveFileA((folder + "\\request.tmp").c_str(), (folder + "\\request").c_str());
        char status[16] = "";
        pumpUntil(
            [&] {
                FILE* reply = fopen(answer.c_str(), "r");
                if (reply && !fgets(status, sizeof status, reply)) status[0] = '?';
                if (reply) fclose(reply);
                return reply != nullptr;
            },
            60000);
        return status[0] == '0';
    }

    CFindTestApp app;
    CFindTestDlg dialog;
    std::vector<std::string> boxes;
    DWORD longestRoundMs = 0;
};

class SmbNetwork : public LabNetworkTest {
protected:
    void SetUp() override {
        if (controlFolder().empty())
            GTEST_SKIP() << "not started by lab/smb/with-lab.sh (no SMB lab around this run)";
        LabNetworkTest::SetUp();
    }
};

} // namespace

// The user's path over real SMB: a search during which one server dies ends by itself with every
// other server's hits and the window answering throughout; once the server is back, a search
// finds exactly what a plain walk of the shares lists (names, sizes, dates), nothing behind the
// printer or the share that refuses guests, names outside ASCII and sizes past 4 GiB included;
// a search for a text finds exactly the files that hold it.
TEST_F(SmbNetwork, SearchSurvivesAServerDyingAndThenFindsWhatAPlainWalkLists) {
    ByServer walked;
    CNetworkHooks walker(&walked, walkDiskShare, acceptAll);
    walker.enumerate(RESOURCEDISPLAYTYPE_SHARE, SearchEngine::kLanWalkFlags);
    ASSERT_GT(all(walked).size(), 1000u) << "the SMB shares are not reachable";
    const std::string victim = "\\\\SMBDOCS"; // the first server listed, so searched first
    ASSERT_EQ(walked.count(victim), 1u);

    Window w;
    w.searchEverything();
    ASSERT_TRUE(w.pumpUntil([&] { return found(w.dialog.engine()).count(victim) != 0; }));
    ASSERT_TRUE(w.askLab("kill SMBDOCS"));
    EXPECT_TRUE(w.pumpUntil([&] { return !w.dialog.searchPending(); }))
        << "the search did not end by itself";
    ByServer first = found(w.dialog.engine());
    for (const auto& [server, entries] : walked) {
        if (server == victim)
            EXPECT_THAT(entries, IsSupersetOf(first[server])) << "hits the server never had";
        else
            EXPECT_THAT(first[server], UnorderedElementsAreArray(entries)) << server;
    }
    printf("[ info     ] %zu of %zu entries of %s were found before it died\n",
           first[victim].size(), walked[victim].size(), victim.c_str());

    // Back again: the mount answers for the server after a few seconds.
    ASSERT_TRUE(w.askLab("start SMBDOCS"));
    ASSERT_TRUE(w.pumpUntil(
        [] {
            WIN32_FIND_DATAA entry;
            HANDLE find = FindFirstFileA("\\\\SMBDOCS\\Docs\\*", &entry);
            if (find != INVALID_HANDLE_VALUE) FindClose(find);
            return find != INVALID_HANDLE_VALUE;
        },
        60000));
    w.searchEverything();
    ASSERT_TRUE(w.pumpUntil([&] { return !w.dialog.searchPending(); }));
    const std::vector<std::string> hits = all(found(w.dialog.engine()));
    EXPECT_THAT(hits, UnorderedElementsAreArray(all(walked)));
    int outsideAscii = 0, pastFourGiB = 0;
    for (const std::string& hit : hits) {
        EXPECT_NE(hit.rfind("\\\\SMBFILES\\Staff\\", 0), 0u) << hit;
        EXPECT_NE(hit.rfind("\\\\SMBFILES\\Printer\\", 0), 0u) << hit;
        outsideAscii += hit.find("bersicht 2024.txt | 4321 |") != std::string::npos;
        pastFourGiB += hit.find("\\disk image.img | 1073741841 |") != std::string::npos;
    }
    EXPECT_EQ(outsideAscii, 4) << "one at the top of each share of ordinary files";
    // 5 GiB and 17 bytes: the list keeps the low 32 bits, 1 GiB and 17 bytes.
    EXPECT_EQ(pastFourGiB, 4) << "a size past 4 GiB lost its low 32 bits";

    // The text share read for a text through Samba, whose shares are read-only: exactly the
    // files the lab planted it in, in whatever encoding and case.
    std::vector<std::string> planted;
    const std::string texts = "\\\\SMBFILES\\Texts\\";
    std::istringstream holders(readWholeFile(texts + ".holders"));
    for (std::string line; std::getline(holders, line);) {
        std::replace(line.begin(), line.end(), '/', '\\');
        if (!line.empty()) planted.push_back(texts + line);
    }
    ASSERT_FALSE(planted.empty());
    w.search("doc* blob*", "invoice 2024-117");
    ASSERT_TRUE(w.pumpUntil([&] { return !w.dialog.searchPending(); }));
    std::vector<std::string> holding;
    for (int32_t i = 0, n = w.dialog.engine().store().count(); i < n; ++i) {
        FoundItem item;
        if (w.dialog.engine().store().copyAt(i, item)) holding.push_back(item.fullPath());
    }
    EXPECT_THAT(holding, UnorderedElementsAreArray(planted));

    EXPECT_LT(w.longestRoundMs, 5000u) << "the window stopped answering";
    EXPECT_TRUE(w.boxes.empty()) << w.boxes.front();
}

// A server that hangs (its Samba frozen with SIGSTOP while the search lists one of its folders)
// holds a worker inside the listing call. Stop Search still completes the session at once with
// every hit of the other servers, and the window then closes at once; once the server goes on,
// the thread left behind ends without adding anything, and the next search is complete.
TEST_F(SmbNetwork, AServerThatHangsNeverHoldsTheUser) {
    ByServer walked;
    CNetworkHooks walker(&walked, walkDiskShare, acceptAll);
    walker.enumerate(RESOURCEDISPLAYTYPE_SHARE, SearchEngine::kLanWalkFlags);
    const std::string victim = "\\\\SMBMEDIA"; // listed last, so searched last
    ASSERT_EQ(walked.count(victim), 1u) << "the SMB shares are not reachable";

    {
        Window w;
        w.searchEverything();
        ASSERT_TRUE(w.pumpUntil([&] { return found(w.dialog.engine()).count(victim) != 0; }));
        ASSERT_TRUE(w.askLab("freeze SMBMEDIA"));
        const DWORD pumpedAt = GetTickCount();
        w.pumpUntil([] { return false; }, 1000); // the walk reaches a listing that hangs
        if (GetTickCount() - pumpedAt > 10000) {
            // Every thread of the process stood still, the window's too: under Wine an open
            // on the frozen share can hold the Wine server itself (which every call of every
            // Wine process goes through) until the mount gives up. That is Wine's limit, not
            // the program's; Windows has no such server.
            w.askLab("thaw SMBMEDIA");
            GTEST_SKIP() << "the Wine server was held by the frozen share for "
                         << GetTickCount() - pumpedAt << " ms";
        }
        ASSERT_TRUE(w.dialog.searchPending()) << "the walk of the server ended before it froze";
        const DWORD stoppedAt = GetTickCount();
        pressButton(w.dialog.hwnd(), IDC_STOP_SEARCH);
        EXPECT_TRUE(w.pumpUntil([&] { return !w.dialog.searchPending(); }, 10000));
        const DWORD stopMs = GetTickCount() - stoppedAt;
        printf("[ info     ] the stopped search completed after %lu ms\n", stopMs);
        EXPECT_LT(stopMs, 3000u) << "Stop Search waited for the hung server";
        EXPECT_GE(w.dialog.engine().threadsLeftBehind(), 1) << "no worker was held";
        ByServer first = found(w.dialog.engine());
        for (const auto& [server, entries] : walked) {
            if (server == victim)
                EXPECT_THAT(entries, IsSupersetOf(first[server]));
            else
                EXPECT_THAT(first[server], UnorderedElementsAreArray(entries)) << server;
        }
        const int32_t kept = w.dialog.engine().store().count();

        const DWORD closedAt = GetTickCount();
        PostMessageA(w.dialog.hwnd(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(w.pumpUntil([&] { return !IsWindow(w.dialog.hwnd()); }, 10000));
        const DWORD closeMs = GetTickCount() - closedAt;
        printf("[ info     ] the window closed after %lu ms\n", closeMs);
        EXPECT_LT(closeMs, 2000u);
        EXPECT_TRUE(w.boxes.empty()) << w.boxes.front();

        // The server goes on: the thread left behind ends and adds nothing. (The program would
        // have ended its process by now; this test keeps the engine to watch the thread.)
        ASSERT_TRUE(w.askLab("thaw SMBMEDIA"));
        EXPECT_TRUE(w.pumpUntil([&] { return w.dialog.engine().threadsLeftBehind() == 0; }));
        EXPECT_EQ(w.dialog.engine().store().count(), kept);
    }

    Window again;
    again.searchEverything();
    ASSERT_TRUE(again.pumpUntil([&] { return !again.dialog.searchPending(); }));
    EXPECT_THAT(all(found(again.dialog.engine())), UnorderedElementsAreArray(all(walked)));
}
