// Corvask against real SMB servers: the Samba servers of lab/smb, reached through smbnetfs as
// \\SERVER\share. Run by lab/smb/with-lab.sh, which starts the servers, points the lab provider
// of this process at their topology and carries out this test's requests to stop and start a
// server (CORVASK_SMB_CONTROL).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "resources/resource.h"
#include "support/DialogDriver.h"
#include "support/EngineTestHost.h"
#include "support/LabFixture.h"
#include "toolkit/Application.h"
#include "toolkit/FrameworkMessages.h"
#include "toolkit/MessageBoxes.h"
#include "ui/CFindTestApp.h"
#include "ui/CFindTestDlg.h"

using testing::IsSupersetOf;
using testing::UnorderedElementsAreArray;

namespace {

// One entry as a test compares it: full path, low 32 bits of the size, last write time and
// whether it is a folder.
std::string keyOf(const std::string& path, DWORD size, const FILETIME& written, DWORD attributes) {
    return path + " | " + std::to_string(size) + " | " + std::to_string(written.dwHighDateTime) +
           ":" + std::to_string(written.dwLowDateTime) +
           ((attributes & FILE_ATTRIBUTE_DIRECTORY) ? " | folder" : "");
}

// The baseline: every entry below a folder as FindFirstFileA lists it, one listing per folder.
void plainWalk(const std::string& folder, std::vector<std::string>& out) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        out.push_back(
            keyOf(path, entry.nFileSizeLow, entry.ftLastWriteTime, entry.dwFileAttributes));
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) plainWalk(path, out);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

struct Shares {
    std::vector<std::string> disk, print;
};
int32_t collectShare(void* user, NETRESOURCEA* resource) {
    auto* shares = static_cast<Shares*>(user);
    if (resource->dwDisplayType == RESOURCEDISPLAYTYPE_SHARE && resource->lpRemoteName)
        (resource->dwType == RESOURCETYPE_PRINT ? shares->print : shares->disk)
            .push_back(resource->lpRemoteName);
    return 1;
}
int32_t acceptAll(void*, NETRESOURCEA*, uint32_t) {
    return 1;
}
Shares networkShares() {
    Shares shares;
    CNetworkHooks lister(&shares, collectShare, acceptAll);
    lister.enumerate(RESOURCEDISPLAYTYPE_SHARE, SearchEngine::kLanWalkFlags);
    return shares;
}

// The plain walk of every disk share, by server ("\\SERVER").
std::map<std::string, std::vector<std::string>> walkByServer(const Shares& shares) {
    std::map<std::string, std::vector<std::string>> walked;
    for (const std::string& share : shares.disk)
        plainWalk(share, walked[share.substr(0, share.find('\\', 2))]);
    return walked;
}

std::map<std::string, std::vector<std::string>> foundByServer(SearchEngine& engine) {
    std::map<std::string, std::vector<std::string>> found;
    ResultSet& store = engine.store();
    for (int32_t i = 0, n = store.count(); i < n; ++i) {
        FoundItem item;
        if (!store.copyAt(i, item)) continue;
        const std::string path = item.fullPath();
        found[path.substr(0, path.find('\\', 2))].push_back(
            keyOf(path, item.size, item.lastWriteTime, item.attributes));
    }
    return found;
}

std::string controlFolder() {
    char folder[MAX_PATH] = "";
    DWORD n = GetEnvironmentVariableA("CORVASK_SMB_CONTROL", folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? folder : "";
}

class SmbNetwork : public LabNetworkTest {
protected:
    void SetUp() override {
        if (controlFolder().empty())
            GTEST_SKIP() << "not started by lab/smb/with-lab.sh (no SMB lab around this run)";
        LabNetworkTest::SetUp();
    }

    // Asks the lab to stop, kill or start a server and waits for its answer, running pump
    // meanwhile. True when the lab carried it out.
    template <typename Pump> bool askLab(const std::string& request, Pump pump) {
        const std::string folder = controlFolder();
        const std::string answer = folder + "\\answer";
        DeleteFileA(answer.c_str());
        HANDLE file = CreateFileA((folder + "\\request.tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        const std::string line = request + "\n";
        DWORD written = 0;
        WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
        CloseHandle(file);
        if (!MoveFileA((folder + "\\request.tmp").c_str(), (folder + "\\request").c_str()))
            return false;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 60000;) {
            pump();
            char text[128] = "";
            HANDLE reply = CreateFileA(answer.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (reply == INVALID_HANDLE_VALUE) {
                Sleep(20);
                continue;
            }
            DWORD got = 0;
            ReadFile(reply, text, sizeof(text) - 1, &got, nullptr);
            CloseHandle(reply);
            DeleteFileA(answer.c_str());
            return text[0] == '0';
        }
        return false;
    }
};

// The program's main window, modeless, pumped as its own modal loop would.
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
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (toolkit::applyMessageFilter(MSGF_DIALOGBOX, msg)) continue;
            if (IsDialogMessageA(dialog.hwnd(), &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        SendMessageA(dialog.hwnd(), toolkit::WM_KICKIDLE, MSGF_DIALOGBOX, 0);
        Sleep(5);
    }
    template <typename Done> bool pumpUntil(Done done, DWORD safetyMs) {
        for (DWORD start = GetTickCount(); !done(); pump())
            if (GetTickCount() - start > safetyMs) return false;
        return true;
    }
    void searchEverything() {
        SetDlgItemTextA(dialog.optionSheet().pageMain.hwnd(), IDC_MAIN_NAME, "*");
        pressButton(dialog.hwnd(), IDC_SEARCH_NOW);
    }

    CFindTestApp app;
    CFindTestDlg dialog;
    std::vector<std::string> boxes;
};

// Sends the window a message every 50 ms from another thread and keeps the longest wait for
// its answer.
class AnswerWatch {
public:
    explicit AnswerWatch(HWND window)
        : thread_([this, window] {
              while (watching_) {
                  const DWORD start = GetTickCount();
                  DWORD_PTR result = 0;
                  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
                  longest_ = std::max<DWORD>(longest_, GetTickCount() - start);
                  Sleep(50);
              }
          }) {}
    ~AnswerWatch() { stop(); }
    void stop() {
        watching_ = false;
        if (thread_.joinable()) thread_.join();
    }
    DWORD longestMs() const { return longest_; }

private:
    std::atomic<bool> watching_{true};
    std::atomic<DWORD> longest_{0};
    std::thread thread_;
};

std::vector<std::string> all(const std::map<std::string, std::vector<std::string>>& byServer) {
    std::vector<std::string> out;
    for (const auto& [server, keys] : byServer)
        out.insert(out.end(), keys.begin(), keys.end());
    return out;
}

} // namespace

TEST_F(SmbNetwork, SearchFindsWhatAPlainWalkListsAndNothingBehindPrintersOrDeniedShares) {
    const Shares shares = networkShares();
    ASSERT_FALSE(shares.disk.empty()) << "the lab provider lists no SMB share";
    EXPECT_EQ(shares.print.size(), 1u);
    const std::vector<std::string> walked = all(walkByServer(shares));
    ASSERT_GT(walked.size(), 1000u) << "the shares are not reachable through the mount";

    EngineTestHost host;
    ASSERT_TRUE(host.start(lanOptions("*")));
    ASSERT_TRUE(host.waitForCompletion(300000)) << "the search over SMB did not end";
    EXPECT_THAT(all(foundByServer(host.engine())), UnorderedElementsAreArray(walked));

    // A name outside ASCII arrives (in the program's code page); a size past 4 GiB keeps its low
    // 32 bits; nothing is reported behind the printer or the share that refuses guests.
    const std::vector<std::string> paths = host.storePaths();
    int outsideAscii = 0;
    for (const std::string& path : paths) {
        EXPECT_NE(path.rfind("\\\\SMBFILES\\Staff\\", 0), 0u) << path;
        EXPECT_NE(path.rfind("\\\\SMBFILES\\Printer\\", 0), 0u) << path;
        if (path.size() > 17 && path.compare(path.size() - 17, 17, "bersicht 2024.txt") == 0)
            ++outsideAscii;
    }
    EXPECT_EQ(outsideAscii, 4) << "one at the top of each share that guests may read";
    bool bigFile = false;
    for (int32_t i = 0; i < host.engine().store().count(); ++i) {
        FoundItem item;
        if (host.engine().store().copyAt(i, item) && item.name == "disk image.img")
            bigFile = bigFile || item.size == 17;
    }
    EXPECT_TRUE(bigFile) << "the 5 GiB file lost its low 32 bits";
}

// A server killed while its shares are being searched: the search ends by itself, the other
// servers' hits are all there, the window answers throughout; once the server is back the next
// search is complete again.
TEST_F(SmbNetwork, AServerDyingMidSearchCostsOnlyItsOwnHits) {
    const Shares shares = networkShares();
    const auto walked = walkByServer(shares);
    const std::string victim = "\\\\SMBDOCS";
    ASSERT_EQ(walked.count(victim), 1u);

    Window w;
    AnswerWatch watch(w.dialog.hwnd());

    w.searchEverything();
    ASSERT_TRUE(w.dialog.searchPending());
    // The victim is the first server of the list: kill it as soon as its first hit arrives.
    ASSERT_TRUE(
        w.pumpUntil([&] { return foundByServer(w.dialog.engine()).count(victim); }, 120000));
    ASSERT_TRUE(askLab("kill SMBDOCS", [&] { w.pump(); }));
    EXPECT_TRUE(w.pumpUntil([&] { return !w.dialog.searchPending(); }, 300000))
        << "the search did not end by itself";
    auto found = foundByServer(w.dialog.engine());
    for (const auto& [server, keys] : walked) {
        if (server == victim)
            EXPECT_THAT(keys, IsSupersetOf(found[server])) << "hits that the server never had";
        else
            EXPECT_THAT(found[server], UnorderedElementsAreArray(keys)) << server;
    }
    printf("[ info     ] %zu of %zu entries of %s found before it died\n", found[victim].size(),
           walked.at(victim).size(), victim.c_str());

    // Back again: the mount answers for it after a few seconds, and a search is complete.
    ASSERT_TRUE(askLab("start SMBDOCS", [&] { w.pump(); }));
    EXPECT_TRUE(w.pumpUntil(
        [] {
            WIN32_FIND_DATAA entry;
            HANDLE find = FindFirstFileA("\\\\SMBDOCS\\Docs\\*", &entry);
            if (find == INVALID_HANDLE_VALUE) return false;
            FindClose(find);
            return true;
        },
        60000));
    w.searchEverything();
    EXPECT_TRUE(w.pumpUntil([&] { return !w.dialog.searchPending(); }, 300000));
    EXPECT_THAT(all(foundByServer(w.dialog.engine())), UnorderedElementsAreArray(all(walked)));

    watch.stop();
    EXPECT_LT(watch.longestMs(), 5000u) << "the window stopped answering";
    EXPECT_TRUE(w.boxes.empty()) << w.boxes.front();
}
