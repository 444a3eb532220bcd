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
    // Makes a thread with start (which returns its handle, or null when it made none) and
    // records the handle in one step under workersLock: the slot is made before start runs, so
    // a thread that exists is always in the list, and whoever takes the lock next sees it. A
    // failure to make the slot (no memory) is thrown before start is called; one thrown by
    // start leaves the list as it was.
    template <typename Start> HANDLE startRecorded(Start&& start) {
        LockHolder hold(lock());
        GrowableArray<HANDLE>& handles = unlocked();
        handles.append(nullptr);
        HANDLE thread = nullptr;
        try {
            thread = start();
        } catch (...) {
            handles.removeAt(handles.count() - 1);
            throw;
        }
        if (thread)
            handles[handles.count() - 1] = thread;
        else
            handles.removeAt(handles.count() - 1);
        return thread;
    }
    // Moves the handles of running workers to other (its lock is taken after this one's),
    // closes the others and empties the list. When other cannot grow (no memory) the failure is
    // thrown and the handles not yet moved or closed stay here, open.
    void passRunningTo(WorkerHandles& other);
};

// True when the thread behind handle has ended (a zero-timeout wait).
inline bool threadHasEnded(HANDLE thread) {
    return WaitForSingleObject(thread, 0) != WAIT_TIMEOUT;
}
