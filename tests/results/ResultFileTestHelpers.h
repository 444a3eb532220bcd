// Message-box capture, a fixture with a result view and a scratch folder, and items with raw
// file times for the result-file, export and find tests.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "results/FoundItem.h"
#include "results/ResultHistory.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"
#include "support/BoxRecorder.h"
#include "support/ScratchFolder.h"

// An empty result store with its history and view, a scratch folder for the files a test writes,
// and the message boxes the test raised.
class ResultFileFixture : public testing::Test {
protected:
    ResultSet store;
    ResultHistory history{store};
    ResultView view{store, history};
    ScratchFolder dir;
    BoxRecorder boxes;
};

// An item whose three times lie around written (in file-time ticks; 0 gives zero times).
inline FoundItem rawItem(const std::string& name, const std::string& folder, uint32_t size,
                         uint32_t attributes = FILE_ATTRIBUTE_ARCHIVE, uint64_t written = 0) {
    auto time = [](uint64_t ticks) {
        return FILETIME{DWORD(ticks & 0xFFFFFFFF), DWORD(ticks >> 32)};
    };
    FoundItem item;
    item.name = name;
    item.folder = folder;
    item.size = size;
    item.attributes = attributes;
    item.creationTime = time(written ? written - 1000 : 0);
    item.lastAccessTime = time(written ? written + 1000 : 0);
    item.lastWriteTime = time(written);
    return item;
}
