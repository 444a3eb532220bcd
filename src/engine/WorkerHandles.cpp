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
    GrowableArray<HANDLE>& handles = unlocked();
    // Each handle leaves this list as soon as it is closed or handed over: when handing one over
    // fails (no memory), it and the rest stay here, open, and no handle is ever closed twice.
    for (int32_t last = handles.count() - 1; last >= 0; --last) {
        HANDLE h = handles[last];
        if (threadHasEnded(h))
            CloseHandle(h);
        else
            other.append(h);
        handles.removeAt(last);
    }
    handles.setSize(0);
}
