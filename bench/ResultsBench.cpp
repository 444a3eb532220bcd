// Benchmark of the result side: a folder walk into a visible result list against a plain listing
// walk, and a million found items sorted, saved, loaded and exported against plain baselines.
// Every figure is a ratio against a baseline measured in the same run, on the same machine; the
// run ends with one table of figure, goal and baseline.
//
//   bench_results <share> [--items N] [--walk 0|1] [--rounds N] [--announced 0|1]
//
// --items 10000000 shows that ten million items load, sort and export in the 32-bit program
// (large-address aware); from 2,000,000 items up the baselines that need a second copy of every
// item are left out. Each figure is the best of --rounds (3) runs, its baseline's too.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <map>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/FolderWalker.h"
#include "engine/SearchCriteria.h"
#include "results/HtmlExport.h"
#include "results/ResultFile.h"
#include "results/ResultHistory.h"
#include "results/ResultListCtrl.h"
#include "results/ResultSorter.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"
#include "ui/dialogex/DialogStatusBar.h"

namespace {

constexpr UINT WM_BENCH_HIT = WM_APP + 1;  // one hit of the plain walk, answered at once
constexpr UINT WM_BENCH_DONE = WM_APP + 2; // a worker has finished

double now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(frequency.QuadPart);
}

double timed(const std::function<void()>& work) {
    double start = now();
    work();
    return now() - start;
}

// The best of rounds of a step and its baseline, which take turns at going first (on a shared
// machine a slow spell should not always fall on the same one). Without a baseline only the
// step is timed. afterPlain, untimed, drops what the baseline made.
struct BestOf {
    double real = 1e9, plain = 0;
};
BestOf bestOf(
    int rounds, const std::function<void()>& real, const std::function<void()>& plain,
    bool withPlain, const std::function<void()>& afterPlain = [] {}) {
    BestOf best;
    if (withPlain) best.plain = 1e9;
    auto timePlain = [&] {
        best.plain = std::min(best.plain, timed(plain));
        afterPlain();
    };
    for (int round = 0; round < rounds; ++round) {
        if (withPlain && round % 2 == 1) timePlain();
        best.real = std::min(best.real, timed(real));
        if (withPlain && round % 2 == 0) timePlain();
    }
    return best;
}

void say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fflush(stdout);
}

// Committed and resident bytes of the process. (Wine reports no private usage; commit and the
// working set both follow the heap closely, and every byte of an item is written when it is
// stored.)
struct MemoryUse {
    size_t committed = 0;
    size_t resident = 0;
};

MemoryUse memoryUse() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return MemoryUse{counters.PagefileUsage, counters.WorkingSetSize};
}

// ---------------------------------------------------------------------------------------------
// The window the user would look at: a visible frame with the result list and a status bar.

class BenchWindow {
public:
    explicit BenchWindow(ResultView& view) : view_(view) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &BenchWindow::proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
        wc.lpszClassName = "CorvaskBenchFrame";
        RegisterClassA(&wc);
        frame_ = CreateWindowExA(0, wc.lpszClassName, "Corvask benchmark",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 800, 600, nullptr,
                                 nullptr, wc.hInstance, this);
        RECT area{0, 0, 780, 520};
        list_ = listCtrl_.create(frame_, 1000, area);
        // The program's own status bar, which applies pane texts lazily.
        statusBar_.create(frame_);
        const UINT panes[2] = {0, 0};
        statusBar_.setIndicators(panes, 2);
        status_ = statusBar_.hwnd();
        view_.attach(list_, status_);
        ShowWindow(frame_, SW_SHOW);
        UpdateWindow(frame_);
    }
    ~BenchWindow() {
        view_.detach();
        DestroyWindow(frame_);
    }

    HWND frame() const { return frame_; }
    HWND list() const { return list_; }
    HWND status() const { return status_; }
    ResultListCtrl& listCtrl() { return listCtrl_; }

    // Runs the message loop until a worker posts WM_BENCH_DONE.
    void pumpUntilDone() {
        done_ = false;
        MSG msg;
        while (!done_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // Handles what is waiting (paints, timers) without blocking.
    void pumpPending() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // Shows the list as the user would see it: the recorded count applied and the rows painted.
    void showList() {
        listCtrl_.flush();
        UpdateWindow(list_);
    }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, LONG_PTR(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<BenchWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        switch (message) {
        case WM_BENCH_HIT: return 0;
        case WM_BENCH_DONE:
            if (self) self->done_ = true;
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (self && header->hwndFrom == self->list_ && header->code == LVN_GETDISPINFOA)
                return self->view_.onGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(lParam));
            break;
        }
        default: break;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    ResultView& view_;
    ResultListCtrl listCtrl_;
    dialogex::DialogStatusBar statusBar_;
    HWND frame_ = nullptr;
    HWND list_ = nullptr;
    HWND status_ = nullptr;
    bool done_ = false;
};

// Runs work on a thread of its own (as the search workers do) while this thread keeps the
// window's message loop going; returns the seconds from start to the worker's end.
struct WorkerRun {
    std::function<void()> work;
    HWND notify;
};

DWORD WINAPI workerMain(void* parameter) {
    auto* run = static_cast<WorkerRun*>(parameter);
    run->work();
    PostMessageA(run->notify, WM_BENCH_DONE, 0, 0);
    return 0;
}

double onWorker(BenchWindow& window, std::function<void()> work) {
    WorkerRun run{std::move(work), window.frame()};
    double start = now();
    HANDLE thread = CreateThread(nullptr, 0, &workerMain, &run, 0, nullptr);
    window.pumpUntilDone();
    double seconds = now() - start;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return seconds;
}

// ---------------------------------------------------------------------------------------------
// The walk.

// The least a walk over the same tree and masks must do: one listing per mask, every entry
// looked at once, hits counted (and, when notify is set, announced with one synchronous message
// each); the subfolders come from the listing of a mask that lists everything, else from one
// more listing per folder.
struct PlainWalk {
    std::vector<std::string> masks;
    HWND notify = nullptr;
    long hits = 0;

    void walk(const std::string& path) {
        WIN32_FIND_DATAA entry;
        std::vector<std::string> subfolders;
        bool subfoldersKnown = false;
        for (const std::string& mask : masks) {
            const bool collect = !subfoldersKnown && (mask == "*" || mask == "*.*");
            HANDLE h = FindFirstFileA((path + "\\" + mask).c_str(), &entry);
            if (h == INVALID_HANDLE_VALUE) continue;
            do {
                bool folder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
                if (folder && isDots(entry.cFileName)) continue;
                hit();
                if (folder && collect) subfolders.emplace_back(entry.cFileName);
            } while (FindNextFileA(h, &entry));
            FindClose(h);
            subfoldersKnown = subfoldersKnown || collect;
        }
        if (subfoldersKnown) {
            for (const std::string& name : subfolders)
                walk(path + "\\" + name);
            return;
        }
        HANDLE h = FindFirstFileA((path + "\\*.*").c_str(), &entry);
        if (h == INVALID_HANDLE_VALUE) return;
        do {
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !isDots(entry.cFileName))
                walk(path + "\\" + entry.cFileName);
        } while (FindNextFileA(h, &entry));
        FindClose(h);
    }
    static bool isDots(const char* name) {
        return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
    }
    void hit() {
        ++hits;
        if (notify) SendMessageA(notify, WM_BENCH_HIT, 0, 0);
    }
};

// Criteria of a plain search with the given masks: files and folders, subfolders included, no
// folder list, date or size test.
void fillWalkCriteria(SearchCriteria& criteria, const std::vector<std::string>& masks) {
    criteria = SearchCriteria{};
    for (size_t i = 0; i < masks.size() && i < size_t(kMaxNameMasks); ++i)
        criteria.nameMasks[i] = masks[i];
    compileFileMasks(criteria);
    criteria.typeMask = 3;
    criteria.includeSubfolders = 1;
    criteria.folderMode = FilterMode::All;
    criteria.dateField = -1;
}

// One row of the final table.
struct Row {
    std::string step, figure, goal, baseline;
};
std::vector<Row> table;

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
    char text[256];
    va_list args;
    va_start(args, pattern);
    vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return text;
}

void printTable() {
    size_t widths[3] = {4, 6, 4};
    for (const Row& row : table) {
        widths[0] = std::max(widths[0], row.step.size());
        widths[1] = std::max(widths[1], row.figure.size());
        widths[2] = std::max(widths[2], row.goal.size());
    }
    say("\n| %-*s | %-*s | %-*s | %s |\n", int(widths[0]), "Step", int(widths[1]), "Figure",
        int(widths[2]), "Goal", "Baseline (same run)");
    say("|%s|%s|%s|---|\n", std::string(widths[0] + 2, '-').c_str(),
        std::string(widths[1] + 2, '-').c_str(), std::string(widths[2] + 2, '-').c_str());
    for (const Row& row : table)
        say("| %-*s | %-*s | %-*s | %s |\n", int(widths[0]), row.step.c_str(), int(widths[1]),
            row.figure.c_str(), int(widths[2]), row.goal.c_str(), row.baseline.c_str());
}

void benchWalk(const std::string& share, int rounds, bool announced) {
    say("\n== Walk of %s into a visible result list (masks *.*, files and folders)\n",
        share.c_str());
    ResultSet store;
    ResultHistory history(store);
    ResultView view(store, history);
    BenchWindow window(view);
    const std::vector<std::string> masks = {"*.*"};

    SearchCriteria criteria;
    fillWalkCriteria(criteria, masks);
    std::atomic<int32_t> stop{0};
    // As during a search: the list follows the store, the status bar the walkers' folder text.
    toolkit::LatestText folderText;
    WalkContext context{criteria, stop, store, folderText};
    SendMessageA(window.status(), toolkit::followPaneTextMessage(), 0, LPARAM(&folderText));
    view.watchRows(true);

    double best[3] = {1e9, 1e9, 1e9}, bestBare = 1e9;
    long hits[3] = {0, 0, 0};
    // A first plain walk fills the file system's caches; then each way is timed, best of rounds.
    // The ways take turns at going first: on a shared machine a slow spell should not always
    // fall on the same one.
    {
        PlainWalk warmUp{masks, nullptr, 0};
        onWorker(window, [&] { warmUp.walk(share); });
    }
    const std::function<double()> ways[] = {
        [&] {
            PlainWalk plain{masks, nullptr, 0};
            const double seconds = onWorker(window, [&] { plain.walk(share); });
            best[0] = std::min(best[0], seconds);
            hits[0] = plain.hits;
            return seconds;
        },
        [&] {
            // The same walker into a store that no list shows: what the walk itself costs.
            ResultSet bare;
            WalkContext bareContext{criteria, stop, bare, folderText};
            const double seconds = onWorker(window, [&] { walkFolder(bareContext, share); });
            bestBare = std::min(bestBare, seconds);
            return seconds;
        },
        [&] {
            history.clearAll();
            setListRowCount(window.list(), 0, LVSICF_NOINVALIDATEALL);
            const double seconds = onWorker(window, [&] { walkFolder(context, share); });
            window.showList();
            window.pumpPending();
            best[2] = std::min(best[2], seconds);
            hits[2] = store.count();
            return seconds;
        },
        [&] {
            PlainWalk withMessages{masks, window.frame(), 0};
            const double seconds = onWorker(window, [&] { withMessages.walk(share); });
            best[1] = std::min(best[1], seconds);
            hits[1] = withMessages.hits;
            return seconds;
        },
    };
    const int wayCount = announced ? 4 : 3;
    for (int round = 0; round < rounds; ++round) {
        double seconds[4] = {0, 0, 0, 0};
        for (int turn = 0; turn < wayCount; ++turn) {
            const int way = (round + turn) % wayCount;
            seconds[way] = ways[way]();
        }
        say("  round %d: plain %.3f s, walker without list %.3f s, into the list %.3f s\n",
            round + 1, seconds[0], seconds[1], seconds[2]);
    }
    view.watchRows(false);
    SendMessageA(window.status(), toolkit::followPaneTextMessage(), 0, 0);
    say("  hits: plain %ld, real walker %ld (list rows %d)\n", hits[0], hits[2],
        int(SendMessageA(window.list(), LVM_GETITEMCOUNT, 0, 0)));
    say("  plain FindFirstFileA walk            %8.3f s\n", best[0]);
    if (announced) say("  plain walk + 1 SendMessage per hit   %8.3f s\n", best[1]);
    say("  real walker, no list                 %8.3f s\n", bestBare);
    say("  real walker into the visible list    %8.3f s\n", best[2]);
    table.push_back({"walk into the visible list",
                     format("%.2f (%.2f s)", best[2] / best[0], best[2]), "<= 1.2",
                     format("plain one-thread FindFirstFileA walk: %.2f s", best[0])});
    table.push_back({"  (the same walk into a store no list shows)",
                     format("%.2f (%.2f s)", bestBare / best[0], bestBare), "-",
                     "the same plain walk"});
    if (announced)
        table.push_back({"  (plain walk + 1 SendMessage per hit)",
                         format("%.2f (%.2f s)", best[1] / best[0], best[1]), "-",
                         "the same plain walk"});
}

// ---------------------------------------------------------------------------------------------
// A million found items.

// Deterministic, shuffled items that look like a network search's: names of 14 to 22
// characters in mixed case, folders of about 30, one after the other.
class ItemMaker {
public:
    void next(FoundItem& item) {
        static const char* const kinds[] = {"Report", "photo", "Notes", "song", "Budget", "readme"};
        static const char* const extensions[] = {".doc", ".jpg", ".txt", ".mp3", ".xls", ""};
        uint32_t r = random();
        int kind = int(r % 6);
        char name[64], folder[64];
        snprintf(name, sizeof name, "%s %07u%s", kinds[kind], unsigned(random() % 10000000u),
                 extensions[kind]);
        snprintf(folder, sizeof folder, "\\\\SERVER%02u\\Share\\Project %04u",
                 unsigned(r >> 8) % 40, unsigned(r >> 16) % 5000);
        item.name = name;
        item.folder = folder;
        item.size = random() % 5000000u;
        item.attributes = FILE_ATTRIBUTE_ARCHIVE;
        uint64_t written = 0x01D0000000000000ull + uint64_t(random()) * 100000ull;
        item.lastWriteTime = FILETIME{DWORD(written), DWORD(written >> 32)};
        item.creationTime = item.lastWriteTime;
        item.lastAccessTime = item.lastWriteTime;
    }

private:
    uint32_t random() { return seed_ = seed_ * 1664525u + 1013904223u; }
    uint32_t seed_ = 20021207;
};

std::string readAll(const std::string& path) {
    std::string bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size;
    GetFileSizeEx(h, &size);
    bytes.resize(size_t(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(h, bytes.data(), DWORD(bytes.size()), &got, nullptr);
    bytes.resize(got);
    CloseHandle(h);
    return bytes;
}

void writeAll(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

// The plain reader of the same records: one ReadFile, then fields taken straight from memory.
std::vector<FoundItem> plainLoad(const std::string& path) {
    std::string bytes = readAll(path);
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const uint8_t* end = p + bytes.size();
    auto u32 = [](const uint8_t* q) {
        return uint32_t(q[0]) | uint32_t(q[1]) << 8 | uint32_t(q[2]) << 16 | uint32_t(q[3]) << 24;
    };
    auto text = [&](std::string& out) {
        uint32_t length = *p++;
        if (length == 0xFF) {
            length = uint32_t(p[0]) | uint32_t(p[1]) << 8;
            p += 2;
        }
        out.assign(reinterpret_cast<const char*>(p), length);
        p += length;
    };
    std::vector<FoundItem> items;
    int32_t n = int32_t(u32(p + 4));
    p += 8;
    items.reserve(size_t(n));
    for (int32_t i = 0; i < n && p + 38 <= end; ++i) {
        FoundItem item;
        item.creationTime = FILETIME{u32(p + 4), u32(p + 8)};
        item.lastAccessTime = FILETIME{u32(p + 12), u32(p + 16)};
        item.lastWriteTime = FILETIME{u32(p + 20), u32(p + 24)};
        item.size = u32(p + 28);
        item.attributes = u32(p + 32);
        p += 36;
        text(item.name);
        text(item.folder);
        items.push_back(std::move(item));
    }
    return items;
}

// The plain writer of the same page: the same bytes made from the items with one snprintf per
// row and no shell call per row (the type names were asked for once per extension beforehand),
// written in 1 MiB pieces.
void plainExport(const std::vector<FoundItem>& items, const std::string& path) {
    std::map<std::string, std::string> types;
    for (const FoundItem& item : items) {
        size_t dot = item.name.rfind('.');
        std::string extension = dot == std::string::npos ? "" : item.name.substr(dot);
        if (!types.count(extension))
            types[extension] = typeNameFor(item.fullPath(), item.attributes);
    }
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::string page = htmlPageHeader();
    DWORD written = 0;
    const char* cell = "            <td width=\"20%%\"><font face=\"times new roman\">";
    std::string rowFormat =
        std::string("          <tr>\r\n") + cell + "%s</font></td>\r\n" + cell +
        "%s</font></td>\r\n" + cell + "%u KB</font></td>\r\n" + cell + "%s</font></td>\r\n" + cell +
        "%02u/%02u/%04u %02u:%02u %s</font></td>\r\n  </tr>\r\n          </tr>\r\n";
    char row[2048];
    for (const FoundItem& item : items) {
        FILETIME local;
        SYSTEMTIME t{};
        FileTimeToLocalFileTime(&item.lastWriteTime, &local);
        FileTimeToSystemTime(&local, &t);
        size_t dot = item.name.rfind('.');
        const std::string& type = types[dot == std::string::npos ? "" : item.name.substr(dot)];
        int n = snprintf(row, sizeof row, rowFormat.c_str(), item.name.c_str(), item.folder.c_str(),
                         item.size ? (item.size >> 10) + 1 : 0, type.c_str(), t.wMonth, t.wDay,
                         t.wYear, (t.wHour + 11) % 12 + 1, t.wMinute, t.wHour < 12 ? "AM" : "PM");
        page.append(row, size_t(n));
        if (page.size() >= (1u << 20)) {
            WriteFile(h, page.data(), DWORD(page.size()), &written, nullptr);
            page.clear();
        }
    }
    page += htmlPageFooter();
    WriteFile(h, page.data(), DWORD(page.size()), &written, nullptr);
    CloseHandle(h);
}

bool lessNoCase(const std::string& a, const std::string& b) {
    return compareNoCase(a, b) < 0;
}

void benchMillion(int32_t n, const std::string& folder, int rounds) {
    // With ten million items there is no room for a second copy of each: only the program's own
    // figures are measured.
    const bool baselines = n < 2000000;
    say("\n== %d found items in a visible result list\n", int(n));
    ResultSet store;
    ResultHistory history(store);
    ResultView view(store, history);
    BenchWindow window(view);
    std::string srPath = folder + "\\bench.sr", srPlain = folder + "\\bench-plain.sr";
    std::string htmlPath = folder + "\\bench.html", htmlPlain = folder + "\\bench-plain.html";

    MemoryUse before, after;
    {
        ItemMaker maker;
        FoundItem item;
        before = memoryUse();
        double t = timed([&] {
            if (!baselines) store.reserve(n);
            for (int32_t i = 0; i < n; ++i) {
                maker.next(item);
                store.append(item);
            }
            window.showList();
        });
        history.pushIdentityLevel(); // as at the end of a search: level 1 over every item
        after = memoryUse();
        say("  appending with the list attached     %8.3f s\n", t);
    }
    const double perItem = (double(after.committed) - double(before.committed)) / n;
    say("  memory per item (store + level 1)    %8.1f bytes committed, %.1f bytes resident\n",
        perItem, (double(after.resident) - double(before.resident)) / n);
    table.push_back({"memory per item (store + level 1)", format("%.1f B", perItem),
                     "<= 100 B, all texts included", format("- (%d items)", int(n))});

    // Save in the order found, before the sort: the store is read front to back. The figure
    // below, of the sorted level, gathers every record from a place of its own.
    std::string foundBytes;
    if (baselines) {
        saveResultFile(view, srPath, window.frame());
        foundBytes = readAll(srPath);
    }
    const BestOf saveFound = bestOf(
        rounds, [&] { saveResultFile(view, srPath, window.frame()); },
        [&] { writeAll(srPlain, foundBytes); }, baselines);
    foundBytes = std::string();
    say("  save, order found %8.3f s, one WriteFile           %8.3f s\n", saveFound.real,
        saveFound.plain);

    // Sort by name: the level of a finished search against std::sort of the same names.
    double plainSort = 0, realSort = 0;
    if (baselines) {
        std::vector<std::string> names;
        names.reserve(size_t(n));
        for (int32_t i = 0; i < n; ++i)
            names.push_back(view.itemAt(i)->name);
        plainSort = timed([&] { std::sort(names.begin(), names.end(), lessNoCase); });
    }
    realSort = timed([&] {
        sortByColumn(store, history, ColumnName, false);
        InvalidateRect(window.list(), nullptr, TRUE);
        window.showList();
    });
    say("  sort by name  %8.3f s, std::sort of the names %8.3f s\n", realSort, plainSort);
    bool sorted = true;
    for (int32_t row = 1; row < n && sorted; row += std::max(1, n / 100000))
        sorted = compareItems(*view.itemAt(row - 1), *view.itemAt(row), ColumnName) <= 0;
    auto ratio = [baselines](double real, double plain) {
        return baselines ? format("%.2f (%.2f s)", real / plain, real) : format("%.2f s", real);
    };
    auto base = [baselines](const char* what, double seconds) {
        return baselines ? format("%s: %.2f s", what, seconds) : std::string("-");
    };
    table.push_back({"sort by name", ratio(realSort, plainSort) + (sorted ? "" : " OUT OF ORDER"),
                     "<= 1.5", base("std::sort of the same names", plainSort)});

    // Save against writing the same bytes with one WriteFile.
    std::string savedBytes;
    if (baselines) {
        saveResultFile(view, srPath, window.frame());
        savedBytes = readAll(srPath);
        say("  result file: %u bytes\n", unsigned(savedBytes.size()));
    }
    const BestOf save = bestOf(
        rounds, [&] { saveResultFile(view, srPath, window.frame()); },
        [&] { writeAll(srPlain, savedBytes); }, baselines);
    const double realSave = save.real, plainSave = save.plain;
    savedBytes = std::string();
    say("  save          %8.3f s, one WriteFile           %8.3f s\n", realSave, plainSave);
    table.push_back({"save", ratio(realSave, plainSave), "<= 2",
                     base("one WriteFile of the same bytes", plainSave)});
    table.push_back({"  (save in the order found, before the sort)",
                     ratio(saveFound.real, saveFound.plain), "-",
                     base("one WriteFile of the same bytes", saveFound.plain)});

    // Export against the plain writer of the same page.
    std::vector<FoundItem> exportItems;
    if (baselines) {
        exportItems.reserve(size_t(n));
        for (int32_t i = 0; i < n; ++i)
            exportItems.push_back(*view.itemAt(i));
    }
    const BestOf exported = bestOf(
        rounds, [&] { exportHtml(view, htmlPath, window.frame()); },
        [&] { plainExport(exportItems, htmlPlain); }, baselines);
    const double realExport = exported.real, plainExportTime = exported.plain;
    exportItems = std::vector<FoundItem>();
    if (baselines && readAll(htmlPath) != readAll(htmlPlain))
        say("  (the plain page differs from the exported one)\n");
    say("  export        %8.3f s, plain writer            %8.3f s\n", realExport, plainExportTime);
    table.push_back({"export", ratio(realExport, plainExportTime), "<= 2",
                     base("the same HTML bytes, no shell call per row", plainExportTime)});
    DeleteFileA(htmlPath.c_str());
    DeleteFileA(htmlPlain.c_str());

    // Load into the visible list against one ReadFile and a plain parse into a vector.
    size_t plainItems = 0;
    std::vector<FoundItem> plainLoaded;
    const BestOf loaded = bestOf(
        rounds,
        [&] {
            openResultFile(history, store, srPath, window.frame());
            window.showList();
        },
        [&] { plainLoaded = plainLoad(srPlain); }, baselines,
        [&] {
            plainItems = plainLoaded.size();
            plainLoaded = std::vector<FoundItem>();
        });
    const double realLoad = loaded.real, plainLoadTime = loaded.plain;
    if (baselines && int32_t(plainItems) != n)
        say("  (plain load read %u items)\n", unsigned(plainItems));
    const int32_t rows = int32_t(SendMessageA(window.list(), LVM_GETITEMCOUNT, 0, 0));
    say("  load          %8.3f s, ReadFile + plain parse  %8.3f s  (rows %d)\n", realLoad,
        plainLoadTime, int(rows));
    table.push_back({"load into the visible list",
                     ratio(realLoad, plainLoadTime) + format(", %d rows", int(rows)), "<= 2",
                     base("ReadFile and a plain parse", plainLoadTime)});
    DeleteFileA(srPath.c_str());
    DeleteFileA(srPlain.c_str());
}

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc),
                             ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
    std::string share = argc > 1 ? argv[1] : "\\\\BENCHSRV\\tree";
    int32_t items = 1000000;
    bool walk = true, announced = false;
    int rounds = 3;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (strcmp(argv[i], "--items") == 0) items = atoi(argv[i + 1]);
        if (strcmp(argv[i], "--walk") == 0) walk = atoi(argv[i + 1]) != 0;
        if (strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, atoi(argv[i + 1]));
        if (strcmp(argv[i], "--announced") == 0) announced = atoi(argv[i + 1]) != 0;
    }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "corvask-bench";
    CreateDirectoryA(folder.c_str(), nullptr);

    if (walk) benchWalk(share, rounds, announced);
    if (items > 0) benchMillion(items, folder, rounds);
    printTable();
    RemoveDirectoryA(folder.c_str());
    OleUninitialize();
    return 0;
}
