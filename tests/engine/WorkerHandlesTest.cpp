// Reaping and closing the worker handles with real threads.
#include <gtest/gtest.h>

#include "engine/WorkerHandles.h"

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
