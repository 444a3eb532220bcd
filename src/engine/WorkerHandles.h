// WorkerHandles: the thread handles of server workers not yet reaped, under workersLock.
#pragma once

#include <windows.h>

#include "toolkit/LockedArray.h"

// lock() is workersLock. Handles are owned: they are closed when reaped or by closeAll().
class WorkerHandles : public LockedArray<HANDLE> {
public:
    static constexpr int32_t kGrowthStep = 15;

    WorkerHandles() : LockedArray<HANDLE>(kGrowthStep) {}
    ~WorkerHandles() override { closeAll(); }

    // Visits the handles from the last to the first: an ended worker's handle is closed and
    // removed. Returns the number of workers still running.
    int32_t reapEnded();
    // True when some worker has not ended (a zero-timeout wait on each handle).
    bool anyRunning();
    // Closes every handle and empties the list.
    void closeAll();
    // Moves the handles of running workers to other (its lock is taken after this one's),
    // closes the others and empties the list.
    void passRunningTo(WorkerHandles& other);
};

// True when the thread behind handle has ended (a zero-timeout wait).
inline bool threadHasEnded(HANDLE thread) {
    return WaitForSingleObject(thread, 0) != WAIT_TIMEOUT;
}
