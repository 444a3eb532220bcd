// PendingServer's own copies of its texts, and the ServerQueue's push and take.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "engine/ServerQueue.h"

namespace {

// A walk level's buffer: the record and its texts in one block, as the provider returns them.
struct WalkBuffer {
    std::vector<char> block = std::vector<char>(256, '\0');
    NETRESOURCEA record{};
    WalkBuffer(const char* remote, const char* provider, const char* comment = nullptr) {
        char* at = block.data();
        auto put = [&at](const char* s) -> char* {
            if (!s) return nullptr;
            char* start = at;
            std::strcpy(at, s);
            at += std::strlen(s) + 1;
            return start;
        };
        record.dwScope = RESOURCE_GLOBALNET;
        record.dwType = RESOURCETYPE_ANY;
        record.dwDisplayType = RESOURCEDISPLAYTYPE_SERVER;
        record.dwUsage = RESOURCEUSAGE_CONTAINER;
        record.lpRemoteName = put(remote);
        record.lpProvider = put(provider);
        record.lpComment = put(comment);
    }
    // What the walk does when its level ends.
    void release() {
        std::fill(block.begin(), block.end(), 'X');
        block.clear();
        block.shrink_to_fit();
    }
};

void expectOwnTexts(const PendingServer& s, const char* remote, const char* provider) {
    const NETRESOURCEA& r = s.resource();
    ASSERT_NE(r.lpRemoteName, nullptr);
    EXPECT_STREQ(r.lpRemoteName, remote);
    ASSERT_NE(r.lpProvider, nullptr);
    EXPECT_STREQ(r.lpProvider, provider);
    EXPECT_EQ(r.lpLocalName, nullptr);
    EXPECT_EQ(r.dwDisplayType, DWORD(RESOURCEDISPLAYTYPE_SERVER));
    EXPECT_EQ(r.dwUsage, DWORD(RESOURCEUSAGE_CONTAINER));
}

} // namespace

TEST(PendingServer, OutlivesTheBufferItsRecordCameFrom) {
    auto buffer = std::make_unique<WalkBuffer>("\\\\FILESRV1", "Lab Network", "");
    ServerQueue queue;
    EXPECT_EQ(queue.push(buffer->record, 9), 1);
    buffer->release();
    buffer.reset();

    std::optional<PendingServer> taken = queue.takeHead();
    ASSERT_TRUE(taken);
    expectOwnTexts(*taken, "\\\\FILESRV1", "Lab Network");
    ASSERT_NE(taken->resource().lpComment, nullptr); // an empty text is not a null one
    EXPECT_STREQ(taken->resource().lpComment, "");
    EXPECT_EQ(taken->flags(), 9u);
}

TEST(PendingServer, CopiesPointIntoTheirOwnTexts) {
    WalkBuffer buffer("\\\\A-VERY-LONG-SERVER-NAME-BEYOND-SMALL-STRINGS", "P");
    auto original = std::make_unique<PendingServer>(buffer.record, 1);
    PendingServer copy(*original);
    PendingServer assigned;
    assigned = *original;
    EXPECT_NE(copy.resource().lpRemoteName, original->resource().lpRemoteName);
    EXPECT_NE(copy.resource().lpProvider, buffer.record.lpProvider);
    original.reset();
    expectOwnTexts(copy, "\\\\A-VERY-LONG-SERVER-NAME-BEYOND-SMALL-STRINGS", "P");
    expectOwnTexts(assigned, "\\\\A-VERY-LONG-SERVER-NAME-BEYOND-SMALL-STRINGS", "P");

    PendingServer empty;
    EXPECT_EQ(empty.resource().lpRemoteName, nullptr);
}

TEST(ServerQueue, KeepsOrderAndSurvivesGrowth) {
    ServerQueue queue;
    std::vector<std::string> names;
    for (int i = 0; i < 200; ++i) {
        names.push_back("\\\\SERVER" + std::to_string(i));
        WalkBuffer buffer(names.back().c_str(), "Lab");
        ASSERT_EQ(queue.push(buffer.record, 9), i + 1);
        if (i == 0) {
            ASSERT_EQ(queue.unlocked().capacity(), 1);
        }
        if (i == 1) {
            ASSERT_EQ(queue.unlocked().capacity(), 64); // 1 + 63
        }
    }
    EXPECT_EQ(queue.length(), 200);
    for (int i = 0; i < 200; ++i) {
        std::optional<PendingServer> s = queue.takeHead();
        ASSERT_TRUE(s);
        EXPECT_STREQ(s->resource().lpRemoteName, names[size_t(i)].c_str());
        EXPECT_EQ(queue.length(), 199 - i);
    }
    EXPECT_FALSE(queue.takeHead());
    EXPECT_EQ(queue.length(), 0);
}

namespace {

struct PushJob {
    ServerQueue* queue;
    int count;
};

DWORD WINAPI pushMany(void* param) {
    auto job = static_cast<PushJob*>(param);
    for (int i = 0; i < job->count; ++i) {
        std::string name = "\\\\S" + std::to_string(i);
        WalkBuffer buffer(name.c_str(), "Lab");
        job->queue->push(buffer.record, 9);
    }
    return 0;
}

} // namespace

TEST(ServerQueue, PushesFromSeveralThreadsWhileOneTakes) {
    ServerQueue queue;
    PushJob job{&queue, 500};
    HANDLE threads[3];
    for (HANDLE& t : threads) {
        t = CreateThread(nullptr, 0, pushMany, &job, 0, nullptr);
        ASSERT_NE(t, nullptr);
    }
    int taken = 0;
    while (WaitForMultipleObjects(3, threads, TRUE, 0) == WAIT_TIMEOUT) {
        if (queue.takeHead()) ++taken;
    }
    while (queue.takeHead())
        ++taken;
    for (HANDLE t : threads)
        CloseHandle(t);
    EXPECT_EQ(taken, 1500);
}
