// The folder walker over real folder trees and a real share, with a real status bar and list.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <thread>
#include <vector>

#include "engine/FolderWalker.h"
#include "toolkit/NamePattern.h"
#include "engine/SearchCriteria.h"
#include "results/ResultFile.h"
#include "results/ResultHistory.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"
#include "support/HandleCount.h"
#include "support/ResultTestHost.h"

namespace {

struct WalkFixture : testing::Test {
    ResultTestHost& host = ResultTestHost::shared();
    SearchCriteria criteria;
    std::atomic<int32_t> stop{0};
    ResultSet store;
    toolkit::LatestText folderText;
    TempFolder temp;

    // The list follows the store and the status bar the walker's folder text, as during a search.
    void SetUp() override {
        host.listCtrl().followRows(&store);
        host.statusBarCtrl().followText(0, &folderText);
        masks({"*.*"});
    }
    void TearDown() override { host.reset(); }
    void masks(std::initializer_list<const char*> list) {
        int i = 0;
        for (const char* mask : list)
            criteria.nameMasks[i++] = mask;
        criteria.nameMasks[i].clear();
        compileFileMasks(criteria);
    }
    void folderList(FilterMode mode, std::initializer_list<const char*> names) {
        criteria.folderMode = mode;
        criteria.folderPatterns.setSize(0);
        for (const char* name : names)
            criteria.folderPatterns.append(NamePattern::compile(name));
        capturePatternCounts(criteria);
    }
    void walk(const std::string& path) {
        WalkContext context{criteria, stop, store, folderText};
        walkFolder(context, path);
    }
    std::vector<FoundItem> items() {
        std::vector<FoundItem> all;
        for (int32_t i = 0; i < store.count(); ++i) {
            FoundItem item;
            store.copyAt(i, item);
            all.push_back(item);
        }
        return all;
    }
    // "folder-relative-to-root/name" of every hit, sorted.
    std::vector<std::string> hits(const std::string& root) {
        std::vector<std::string> all;
        for (const FoundItem& item : items()) {
            std::string folder = item.folder.substr(std::min(item.folder.size(), root.size()));
            all.push_back(folder + "/" + item.name);
        }
        std::sort(all.begin(), all.end());
        return all;
    }
};

using Hits = std::vector<std::string>;

TEST_F(WalkFixture, MasksInOrderThenSubfoldersDepthFirst) {
    temp.makeFile("a.txt", 1);
    temp.makeFile("b.doc", 1500);
    std::string hidden = temp.makeFile("h.txt");
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    temp.makeFile("sub\\c.txt");
    temp.makeFile("sub\\deep\\d.txt");
    temp.makeFile("other\\e.doc");
    masks({"*.txt", "a*"});
    walk(temp.path());

    // a.txt matches both masks and is reported twice; hidden entries count like any other.
    EXPECT_EQ((Hits{"/a.txt", "/a.txt", "/h.txt", "\\sub/c.txt", "\\sub\\deep/d.txt"}),
              hits(temp.path()));
    // The folder's own hits come first, each mask's listing in turn, then the subfolders.
    std::vector<FoundItem> found = items();
    ASSERT_EQ(5u, found.size());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(temp.path(), found[i].folder);
    EXPECT_EQ("a.txt", found[2].name);
    EXPECT_EQ(temp.path() + "\\sub", found[3].folder);
    EXPECT_EQ(temp.path() + "\\sub\\deep", found[4].folder);
    EXPECT_EQ(5, host.listCount());
    // The status pane shows the folder entered last, whichever the listing gave last.
    std::string pane = host.paneText(0);
    EXPECT_TRUE(pane == temp.path() + "\\other" || pane == temp.path() + "\\sub" ||
                pane == temp.path() + "\\sub\\deep")
        << pane;

    FoundItem a = found[0].name == "a.txt" ? found[0] : found[1];
    EXPECT_EQ(1u, a.size);
    EXPECT_FALSE(a.isFolder());
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(
        GetFileAttributesExA((temp.path() + "\\a.txt").c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, a.lastWriteTime.dwLowDateTime);
    EXPECT_EQ(data.dwFileAttributes, a.attributes);
}

TEST_F(WalkFixture, TypeMaskSubfoldersAndTheDotEntries) {
    temp.makeFile("x.txt");
    temp.makeFile("docs.d\\y.txt");
    temp.makeFile("docs.d\\inner\\z.txt");
    criteria.typeMask = 2; // folders only
    walk(temp.path());
    EXPECT_EQ((Hits{"/docs.d", "\\docs.d/inner"}), hits(temp.path()));
    for (const FoundItem& item : items())
        EXPECT_TRUE(item.isFolder());

    // Files only: the folders a listing of everything gives are still entered, whichever mask
    // it is and wherever it stands, and the folder's own hits still come before theirs.
    for (const char* everything : {"*.*", "*"}) {
        store.clear();
        criteria.typeMask = 1;
        masks({"x*", everything});
        walk(temp.path());
        EXPECT_EQ((Hits{"/x.txt", "/x.txt", "\\docs.d/y.txt", "\\docs.d\\inner/z.txt"}),
                  hits(temp.path()));
        std::vector<FoundItem> found = items();
        ASSERT_EQ(4u, found.size());
        EXPECT_EQ(temp.path(), found[1].folder);
        EXPECT_EQ(temp.path() + "\\docs.d", found[2].folder);
    }

    store.clear();
    masks({"*.*"});
    criteria.typeMask = 3;
    criteria.includeSubfolders = 0;
    walk(temp.path());
    EXPECT_EQ((Hits{"/docs.d", "/x.txt"}), hits(temp.path()));
}

TEST_F(WalkFixture, PlatformMasksMatchWithoutCase) {
    temp.makeFile("Play List.MP3");
    temp.makeFile("play.mp3.bak");
    temp.makeFile("player.mp3");
    masks({"play*.mp3"});
    walk(temp.path());
    EXPECT_EQ((Hits{"/Play List.MP3", "/player.mp3"}), hits(temp.path()));
}

TEST_F(WalkFixture, SizeAndDateTestsFilterHits) {
    temp.makeFile("empty.bin", 0);
    temp.makeFile("exact.bin", 1024);
    temp.makeFile("more.bin", 1025);
    criteria.largerThanOn = 1;
    criteria.minSize = 1024;
    walk(temp.path());
    EXPECT_EQ((Hits{"/more.bin"}), hits(temp.path()));

    store.clear();
    criteria.largerThanOn = 0;
    criteria.dateField = 0;
    criteria.dateMode = 1;
    criteria.dateFrom = 0xFFFFFFFFFFFFFFFFull; // nothing is that new
    walk(temp.path());
    EXPECT_EQ(0, store.count());
}

TEST_F(WalkFixture, MissingFoldersAndLongPathsAreSkippedQuietly) {
    walk(temp.path() + "\\no such folder");
    EXPECT_EQ(0, store.count());
    std::string deep = temp.path();
    while (deep.size() < 300)
        deep += "\\abcdefghijklmnopqrstuvwxyz";
    walk(deep);
    EXPECT_EQ(0, store.count());
}

TEST_F(WalkFixture, MasksArePatternsNeverPathsAndUnconvertibleNamesReachTheirFiles) {
    temp.makeFile("inner\\in.txt");
    temp.makeFile("up.txt");
    // A mask that would lead the listing into another folder matches nothing.
    masks({"..\\*", "C:*", "../*.txt"});
    walk(temp.path() + "\\inner");
    EXPECT_EQ(0, store.count());

    // Names the ANSI code page cannot hold arrive with a '?' for each such character: every hit
    // names its own file (by its short name, when it has one) or keeps the '?', and the walk
    // never uses such a name as a wildcard to enter a folder.
    const std::wstring root(temp.path().begin(), temp.path().end());
    const std::wstring folder = root + L"\\\u041f\u0430\u043f\u043a\u0430";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    HANDLE f = CreateFileW((folder + L"\\\u0444\u0430\u0439\u043b.txt").c_str(), GENERIC_WRITE, 0,
                           nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    CloseHandle(f);
    masks({"*.*"});
    walk(temp.path());
    // inner, in.txt, up.txt, the folder, and its file when the folder had a short name to enter.
    bool enteredByShortName = false;
    for (const FoundItem& item : items()) {
        if (item.name.find('?') != std::string::npos) continue;
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(item.fullPath().c_str()))
            << item.fullPath();
        enteredByShortName = enteredByShortName ||
                             (item.folder != temp.path() && item.folder != temp.path() + "\\inner");
    }
    EXPECT_EQ(enteredByShortName ? 5u : 4u, items().size());
}

// Names the platform trims or reads as devices exist on servers (made here through "\\?\",
// which keeps them as they are): they are hits, a folder so named is never entered (listing
// "abc.\*" lists "abc"), and a result saved after such a search loads with every row.
TEST_F(WalkFixture, NamesTheSystemTrimsAreHitsNeverEnteredAndTheirResultReloadsWhole) {
    temp.makeFile("abc\\x.txt");
    const std::string raw = "\\\\?\\" + temp.path() + "\\";
    for (const char* folder : {"abc.", "con"})
        ASSERT_TRUE(CreateDirectoryA((raw + folder).c_str(), nullptr)) << folder;
    for (const char* file : {"abc.\\y.txt", "con\\z.txt", "b ", "nul.txt", "...", "a.txt."}) {
        HANDLE h = CreateFileA((raw + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h) << file;
        CloseHandle(h);
    }
    walk(temp.path());
    EXPECT_EQ((Hits{"/...", "/a.txt.", "/abc", "/abc.", "/b ", "/con", "/nul.txt", "\\abc/x.txt"}),
              hits(temp.path()));

    ResultHistory history(store);
    ResultView view(store, history);
    history.pushIdentityLevel();
    TempFolder files;
    const std::string saved = files.path() + "\\hostile.sr";
    ASSERT_TRUE(saveResultFile(view, saved, nullptr));
    ResultSet loaded;
    ASSERT_TRUE(loadResultFile(loaded, saved, nullptr));
    ASSERT_EQ(store.count(), loaded.count());
    for (int32_t i = 0; i < loaded.count(); ++i) {
        FoundItem before, after;
        ASSERT_TRUE(store.copyAt(i, before) && loaded.copyAt(i, after));
        EXPECT_TRUE(before == after) << before.name;
    }
}

// A share under the prefix's UNC folder, walked as \\CVWALKSRV\Docs.
struct ShareFixture : WalkFixture {
    TestShare share{"CVWALKSRV", "Docs"};
    void SetUp() override {
        WalkFixture::SetUp();
        ASSERT_TRUE(share.ok()) << "no UNC share through the Wine prefix";
        share.makeFile("top.txt");
        share.makeFile("keep\\k.txt");
        share.makeFile("skip\\s.txt");
        share.makeFile("skip\\keep\\hidden-below.txt");
    }
};

TEST_F(ShareFixture, WalksTheShareByItsUncPath) {
    walk(share.uncPath());
    EXPECT_EQ((Hits{"/keep", "/skip", "/top.txt", "\\keep/k.txt", "\\skip/keep", "\\skip/s.txt",
                    "\\skip\\keep/hidden-below.txt"}),
              hits(share.uncPath()));
    EXPECT_EQ(share.uncPath(), items()[0].folder);
}

TEST_F(ShareFixture, OnlyTheseTestsEveryLevelFromTheShareRoot) {
    folderList(FilterMode::OnlyThese, {"docs", "keep"});
    walk(share.uncPath());
    // "skip" is not listed, so the "keep" below it is never reached.
    EXPECT_EQ((Hits{"/keep", "/skip", "/top.txt", "\\keep/k.txt"}), hits(share.uncPath()));

    store.clear();
    folderList(FilterMode::OnlyThese, {"keep"}); // the share's own name is not listed
    walk(share.uncPath());
    EXPECT_EQ(0, store.count());
}

TEST_F(ShareFixture, AllExceptSkipsAFolderWithEverythingBelow) {
    folderList(FilterMode::AllExcept, {"sk*"});
    walk(share.uncPath());
    EXPECT_EQ((Hits{"/keep", "/skip", "/top.txt", "\\keep/k.txt"}), hits(share.uncPath()));

    store.clear();
    folderList(FilterMode::AllExcept, {"DOCS"});
    walk(share.uncPath());
    EXPECT_EQ(0, store.count());
}

// What one platform listing per mask finds: the folder's hits mask by mask, each in listing
// order, then the subfolders from a listing of every entry, depth-first. "folder|name" each.
void listPerMask(const std::string& path, const std::vector<std::string>& masks, uint32_t typeMask,
                 bool subfolders, std::vector<std::string>& found) {
    auto list = [&](const std::string& mask, auto&& take) {
        WIN32_FIND_DATAA entry;
        HANDLE h = FindFirstFileA((path + "\\" + mask).c_str(), &entry);
        if (h == INVALID_HANDLE_VALUE) return;
        do {
            const std::string name = entry.cFileName;
            if (name != "." && name != "..") take(entry, name);
        } while (FindNextFileA(h, &entry));
        FindClose(h);
    };
    for (const std::string& mask : masks)
        list(mask, [&](const WIN32_FIND_DATAA& entry, const std::string& name) {
            const bool folder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            if (typeMask & (folder ? 2u : 1u)) found.push_back(path + "|" + name);
        });
    if (!subfolders) return;
    std::vector<std::string> below;
    list("*", [&](const WIN32_FIND_DATAA& entry, const std::string& name) {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) below.push_back(name);
    });
    for (const std::string& name : below)
        listPerMask(path + "\\" + name, masks, typeMask, subfolders, found);
}

// One listing per folder finds exactly what one listing per mask finds, in the same order, for
// the masks where the platform under test agrees with Windows: wildcards, a short name, exact
// names, trailing dots, several masks at once; files, folders or both; with and without
// subfolders. (No name here puts a dot where a mask has '?': Wine's listing lets '?' take a dot,
// "a?c" lists "a.c", which Windows never does. FileMaskTest holds the masks where they differ.)
TEST_F(ShareFixture, OneListingFindsWhatEachMaskListingFinds) {
    for (const char* name : {"a.txt", "B.TXT", "a.txt.txt", "notes.txt2", "abc", "aXc", "AYC.doc",
                             "ab", "xb", "b", "README", "a.b", "page.html", "index.htm",
                             "Report 2024.doc", "x.tet", "sub\\c.txt", "sub\\abc",
                             "sub\\deep\\d.htm", "sub\\deep\\zb", "tab.txt\\in.txt",
                             "ab.d\\a1c"})
        share.makeFile(name, 7);
    share.makeFolder("xb.folder");
    const std::vector<std::vector<std::string>> maskSets = {
        {"*.txt"}, {"a?c"},       {"*.htm"}, {"?b"},       {"*.t?t"},       {"abc"},
        {"readme"}, {"a.b."},     {"*.txt."}, {"a.*"},     {"*.txt", "a*"}, {"?b", "*.htm", "abc", "*.txt"},
        {"*"},     {"*.*", "*.doc"}};
    for (const std::vector<std::string>& set : maskSets) {
        for (const uint32_t typeMask : {3u, 1u, 2u}) {
            for (const int32_t subfolders : {1, 0}) {
                std::string text;
                for (const std::string& mask : set)
                    text += mask + " ";
                SCOPED_TRACE(text + "type " + std::to_string(typeMask) +
                             (subfolders ? " with subfolders" : " without subfolders"));
                store.clear();
                int i = 0;
                for (const std::string& mask : set)
                    criteria.nameMasks[size_t(i++)] = mask;
                criteria.nameMasks[size_t(i)].clear();
                compileFileMasks(criteria);
                criteria.typeMask = typeMask;
                criteria.includeSubfolders = subfolders;
                walk(share.uncPath());
                std::vector<std::string> walked, expected;
                for (const FoundItem& item : items())
                    walked.push_back(item.folder + "|" + item.name);
                listPerMask(share.uncPath(), set, typeMask, subfolders != 0, expected);
                EXPECT_EQ(expected, walked);
            }
        }
    }
}

TEST_F(WalkFixture, StopEndsTheWalkAtTheNextEntryAndKeepsTheHits) {
    for (int f = 0; f < 4; ++f)
        for (int i = 0; i < 10; ++i)
            temp.makeFile("f" + std::to_string(f) + "\\file" + std::to_string(i) + ".txt");
    // The walk runs on a worker, as in a search; the stop comes once 13 hits are in. After the
    // flag is set the walker may finish the entry in hand, and nothing after it.
    std::atomic<bool> go{false}, ended{false};
    std::thread walker([&] {
        while (!go)
            Sleep(1);
        walk(temp.path());
        ended = true;
    });
    const long handlesBefore = processHandleCount();
    go = true;
    ASSERT_TRUE(pumpUntil([&] { return ended || store.count() >= 13; }));
    stop = 1;
    const int32_t atStop = store.count();
    ASSERT_TRUE(pumpUntil([&] { return ended.load(); }));
    const long handlesAfter = processHandleCount();
    walker.join();
    ASSERT_GT(handlesBefore, 0);
    EXPECT_GE(store.count(), 13);
    EXPECT_LE(store.count(), atStop + 1);
    EXPECT_EQ(store.count(), host.listCount());
    // The walk was stopped inside a listing: every listing it opened was closed (the platform
    // may close a handle of its own meanwhile, so fewer is fine).
    EXPECT_LE(handlesAfter, handlesBefore);
}

TEST_F(WalkFixture, WalkersOnSeveralThreadsShareTheStore) {
    for (int f = 0; f < 3; ++f)
        for (int i = 0; i < 40; ++i)
            temp.makeFile("t" + std::to_string(f) + "\\n" + std::to_string(i) + ".txt");
    std::atomic<int> running{3};
    std::vector<std::thread> workers;
    for (int f = 0; f < 3; ++f)
        workers.emplace_back([this, f, &running] {
            walk(temp.path() + "\\t" + std::to_string(f));
            --running;
        });
    ASSERT_TRUE(pumpUntil([&] { return running == 0; }));
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(120, store.count());
    EXPECT_EQ(120, host.listCount());
    EXPECT_EQ(0u, host.paneText(0).find(temp.path() + "\\t"));
}

TEST(FolderNames, NamesTheSystemTrimsOrReadsAsDevicesAreNeverEntered) {
    for (const char* trimmed : {"", ".", "..", "...", ". ", " ", ". .", "a.", "b ", "con", "LPT1.x"})
        EXPECT_FALSE(isEnterableFolderName(trimmed)) << '"' << trimmed << '"';
    for (const char* real : {"a", ".git", " a", "..x", "console"})
        EXPECT_TRUE(isEnterableFolderName(real)) << '"' << real << '"';
}

} // namespace
