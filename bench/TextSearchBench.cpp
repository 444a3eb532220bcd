// Text search benchmark: a tree of files searched for a text by the program's content reader
// (every file opened as a search opens it, read in blocks until the text is found) against a
// one-thread walk that reads every byte of every file with ReadFile, in the same run. Both walk
// the tree with FindFirstFileA, taking turns folder by folder so that both meet the same cache
// and load.
//
//   bench_text TREE TEXT [--rounds N] [--expect N]
//
// --expect: the number of files that hold the text; the run fails when the search finds
// another number. Ends with one table of figure, time and goal.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/ContainingText.h"
#include "engine/ContentSearch.h"

namespace {

double nowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

struct Totals {
    long files = 0;
    long hits = 0;
    unsigned long long bytes = 0;
};

template <typename OnFile> void walk(const std::string& path, OnFile& onFile) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (!strcmp(entry.cFileName, ".") || !strcmp(entry.cFileName, "..")) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            walk(path + "\\" + entry.cFileName, onFile);
        else if (entry.cFileName[0] != '.')
            onFile(path, entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

// The baseline: every byte of every file, 64 KiB at a time.
Totals readEveryByte(const std::string& tree) {
    Totals totals;
    std::vector<char> block(ContentReader::kBlockBytes);
    auto onFile = [&](const std::string& folder, const char* name) {
        HANDLE file = CreateFileA((folder + "\\" + name).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        ++totals.files;
        DWORD got = 0;
        while (ReadFile(file, block.data(), DWORD(block.size()), &got, nullptr) && got)
            totals.bytes += got;
        CloseHandle(file);
    };
    walk(tree, onFile);
    return totals;
}

Totals searchText(const std::string& tree, const TextMatcher& text) {
    Totals totals;
    ContentReader reader(text);
    std::atomic<int32_t> stop{0};
    auto onFile = [&](const std::string& folder, const char* name) {
        ++totals.files;
        if (reader.read(folder, name, stop) == ContentAnswer::Holds) ++totals.hits;
    };
    walk(tree, onFile);
    return totals;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: bench_text TREE TEXT [--rounds N] [--expect N]\n");
        return 2;
    }
    const std::string tree = argv[1], text = argv[2];
    int rounds = 5;
    long expect = -1;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (!strcmp(argv[i], "--rounds")) rounds = std::max(1, atoi(argv[i + 1]));
        if (!strcmp(argv[i], "--expect")) expect = atol(argv[i + 1]);
    }
    const auto matcher = compileContainingText(text, false);
    if (!matcher) {
        fprintf(stderr, "bench_text: the text is blank\n");
        return 2;
    }

    // One untimed pass of each brings the tree into the cache.
    const Totals all = readEveryByte(tree);
    Totals found = searchText(tree, *matcher);
    // The two sides take turns folder by folder (each first in every other folder), so that a
    // load that comes and goes on the machine weighs on both alike; a round sums its folders.
    std::vector<std::string> folders;
    {
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((tree + "\\*.*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && entry.cFileName[0] != '.')
                    folders.push_back(tree + "\\" + entry.cFileName);
            } while (FindNextFileA(find, &entry));
            FindClose(find);
        }
    }
    std::vector<double> readMs, searchMs, ratios;
    for (int r = 0; r < rounds; ++r) {
        double reading = 0, searching = 0;
        found = Totals{};
        for (size_t i = 0; i < folders.size(); ++i) {
            for (int turn = 0; turn < 2; ++turn) {
                const double t0 = nowMs();
                if ((turn + int(i)) % 2 == 0) {
                    readEveryByte(folders[i]);
                    reading += nowMs() - t0;
                } else {
                    found.hits += searchText(folders[i], *matcher).hits;
                    searching += nowMs() - t0;
                }
            }
        }
        readMs.push_back(reading);
        searchMs.push_back(searching);
        ratios.push_back(searching / reading);
    }
    const double baseline = median(readMs), search = median(searchMs);
    printf("tree: %ld files, %.1f MiB; text \"%s\" (any case, ANSI, UTF-8, UTF-16 LE/BE)\n",
           all.files, double(all.bytes) / 1048576.0, text.c_str());
    printf("files holding the text: %ld%s\n", found.hits,
           expect < 0 ? "" : found.hits == expect ? " (as planted)" : " (NOT as planted)");
    printf("%-44s %10s %10s\n", "figure (median of the rounds)", "ms", "goal");
    printf("%-44s %10.0f %10s\n", "walk reading every byte (ReadFile, 1 thread)", baseline, "");
    printf("%-44s %10.0f %10s\n", "text search (content reader, 1 thread)", search, "");
    printf("%-44s %10.2f %10s   (rounds: %.2f to %.2f)\n",
           "ratio text search / reading every byte", median(ratios), "<= 1.2",
           *std::min_element(ratios.begin(), ratios.end()),
           *std::max_element(ratios.begin(), ratios.end()));
    printf("%-44s %10.0f\n", "throughput of the text search (MiB/s)",
           double(all.bytes) / 1048576.0 / (search / 1000.0));
    fflush(stdout);
    return expect >= 0 && found.hits != expect ? 1 : 0;
}
