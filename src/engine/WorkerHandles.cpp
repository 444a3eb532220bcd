// Reaping and closing the worker handles.
#include "engine/WorkerHandles.h"

int32_t WorkerHandles::reapEnded() {
    LockHolder hold(lock());
    GrowableArray<HANDLE>& handles = unlocked();
    int32_t running = 0;
    for (int32_t i = handles.count() - 1; i >= 0; --i) {
        if (threadHasEnded(handles[i])) {
            CloseHandle(handles[i]);
            handles.removeAt(i);
        } else {
            ++running;
        }
    }
    return running;
}

bool WorkerHandles::anyRunning() {
    LockHolder hold(lock());
    for (HANDLE h : unlocked())
        if (!threadHasEnded(h)) return true;
    return false;
}

void WorkerHandles::closeAll() {
    LockHolder hold(lock());
    for (HANDLE h : unlocked())
        CloseHandle(h);
    unlocked().setSize(0);
}

void WorkerHandles::passRunningTo(WorkerHandles& other) {
    LockHolder hold(lock());
    for (HANDLE h : unlocked()) {
        if (threadHasEnded(h))
            CloseHandle(h);
        else
            other.append(h);
    }
    unlocked().setSize(0);
}
