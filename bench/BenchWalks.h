// What the walk benchmarks share: the bare walk that is their baseline, the sets of names they
// search for, the clock, and the file-side listing count (bench/listing-count.sh).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace bench {

inline double nowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// On a machine shared with other work a slow spell only ever adds time: the best of the rounds
// is the steadier figure, the median the more typical one.
inline double best(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

// The name texts every walk benchmark searches for: every entry, one mask, three masks.
inline std::vector<std::string> defaultNameSets() {
    return {"*", "*.mp3", "*.txt *.mp3 *.doc"};
}

// The least any search of a tree must do, its true limit: each folder listed once with "\*",
// every entry looked at once, no name tested; the listing stays open while the walk descends.
struct BareWalk {
    long entries = 0;
    long folders = 0;

    void walk(const std::string& path) {
        ++folders;
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            const char* name = entry.cFileName;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            ++entries;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) walk(path + "\\" + name);
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
};

// Folder reads from the start that the file side has seen so far (the first number of the
// count file); -1 when the file cannot be read.
inline long listingsSoFar(const std::string& countFile) {
    HANDLE file = CreateFileA(countFile.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    char text[64] = {};
    DWORD got = 0;
    ReadFile(file, text, sizeof text - 1, &got, nullptr);
    CloseHandle(file);
    return got > 0 ? strtol(text, nullptr, 10) : -1;
}

// "N (x.xx per folder)" for one pass's listings.
inline std::string perFolder(long listings, long folders) {
    char text[96];
    snprintf(text, sizeof text, "%ld (%.2f per folder)", listings,
             folders > 0 ? double(listings) / double(folders) : 0.0);
    return text;
}

} // namespace bench
