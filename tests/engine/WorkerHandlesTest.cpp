// Reaping and closing the worker handles with real threads.
#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "engine/WorkerHandles.h"
#include "support/AllocationWatch.h"

namespace {

DWORD WINAPI waitForEvent(void* event) {
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 0;
}

} // namespace

TEST(WorkerHandles, ReapsEndedWorkersAndKeepsRunningOnes) {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    WorkerHandles workers;
    // Workers 0 and 2 end when release is set; 1 and 3 keep running until never is set.
    HANDLE waitable[2];
    for (int i = 0; i < 4; ++i) {
        HANDLE event = i % 2 ? never : release;
        HANDLE t = CreateThread(nullptr, 0, waitForEvent, event, 0, nullptr);
        ASSERT_NE(t, nullptr);
        if (i % 2 == 0) {
            HANDLE copy;
            DuplicateHandle(GetCurrentProcess(), t, GetCurrentProcess(), &copy, 0, FALSE,
                            DUPLICATE_SAME_ACCESS);
            waitable[i / 2] = copy;
        }
        workers.append(t);
    }
    EXPECT_EQ(workers.unlocked().growthStep(), 15);
    EXPECT_EQ(workers.reapEnded(), 4);
    EXPECT_EQ(workers.count(), 4);
    EXPECT_TRUE(workers.anyRunning());

    SetEvent(release);
    WaitForMultipleObjects(2, waitable, TRUE, INFINITE);
    EXPECT_EQ(workers.reapEnded(), 2);
    EXPECT_EQ(workers.count(), 2);
    EXPECT_TRUE(workers.anyRunning());

    SetEvent(never);
    GrowableArray<HANDLE> remaining;
    {
        LockHolder hold(workers.lock());
        for (HANDLE h : workers.unlocked()) {
            HANDLE copy;
            DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &copy, 0, FALSE,
                            DUPLICATE_SAME_ACCESS);
            remaining.append(copy);
        }
    }
    WaitForMultipleObjects(DWORD(remaining.count()), remaining.begin(), TRUE, INFINITE);
    EXPECT_FALSE(workers.anyRunning());
    workers.closeAll();
    EXPECT_EQ(workers.count(), 0);
    EXPECT_EQ(workers.unlocked().capacity(), 0);
    EXPECT_EQ(workers.reapEnded(), 0);

    for (HANDLE h : waitable)
        CloseHandle(h);
    for (HANDLE h : remaining)
        CloseHandle(h);
    CloseHandle(release);
    CloseHandle(never);
}

// Handing the running workers over when memory runs out: the handles not yet handed over stay
// in the list, open, none is in both lists and none is closed twice.
TEST(WorkerHandles, RunningOutOfMemoryWhileHandingOverKeepsEachHandleOnce) {
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE ended = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    WorkerHandles workers, other;
    std::vector<HANDLE> all;
    // Ended, running, ended, running, running.
    for (HANDLE event : {ended, never, ended, never, never}) {
        HANDLE t = CreateThread(nullptr, 0, waitForEvent, event, 0, nullptr);
        ASSERT_NE(t, nullptr);
        if (event == ended) WaitForSingleObject(t, INFINITE);
        workers.append(t);
        all.push_back(t);
    }
    auto open = [](HANDLE h) {
        DWORD flags = 0;
        return GetHandleInformation(h, &flags) != 0;
    };
    {
        // The first growth of the other list (one slot) succeeds, the second (sixteen) fails.
        AllocationWatch watch;
        AllocationWatch::failLargeAllocationsOnThisThread(8 * sizeof(HANDLE), 1);
        EXPECT_THROW(workers.passRunningTo(other), std::bad_alloc);
    }
    int32_t kept = 0, passed = 0;
    {
        LockHolder hold(workers.lock());
        for (HANDLE h : workers.unlocked()) {
            EXPECT_TRUE(open(h)) << "a closed handle stayed in the list";
            for (HANDLE o : other.unlocked())
                EXPECT_NE(h, o) << "a handle is in both lists";
            ++kept;
        }
        passed = other.count();
    }
    EXPECT_GE(passed, 1);
    EXPECT_GE(kept, 1);

    workers.passRunningTo(other);
    EXPECT_EQ(workers.count(), 0);
    EXPECT_EQ(other.count(), 3) << "every running worker once";
    SetEvent(never);
    other.closeAll();
    for (HANDLE h : all)
        EXPECT_FALSE(open(h));
    CloseHandle(never);
    CloseHandle(ended);
}
