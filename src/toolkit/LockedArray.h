// Re-entrant locks and the growable array paired with one, shared by the search threads.
#pragma once

#include <windows.h>

#include "toolkit/GrowableArray.h"

// A re-entrant critical section: the owning thread may take it again; every take is matched by
// one release.
class ReentrantLock {
public:
    ReentrantLock() { InitializeCriticalSection(&section_); }
    ~ReentrantLock() { DeleteCriticalSection(&section_); }
    ReentrantLock(const ReentrantLock&) = delete;
    ReentrantLock& operator=(const ReentrantLock&) = delete;

    void lock() { EnterCriticalSection(&section_); }
    void unlock() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

// Holds a lock for one scope.
class LockHolder {
public:
    explicit LockHolder(ReentrantLock& lock) : lock_(lock) { lock_.lock(); }
    ~LockHolder() { lock_.unlock(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

private:
    ReentrantLock& lock_;
};

// A growable array and its own lock. The single operations take the lock themselves; a caller
// that needs several of them to see one state holds lock() around them (the lock re-enters).
// Elements are returned by copy: the storage moves when another thread appends.
template <typename T> class LockedArray {
public:
    explicit LockedArray(int32_t growthStep) : items_(growthStep) {}
    virtual ~LockedArray() = default;

    ReentrantLock& lock() { return lock_; }

    int32_t count() {
        LockHolder hold(lock_);
        return items_.count();
    }
    // Returns the new element's index.
    int32_t append(const T& value) {
        LockHolder hold(lock_);
        return items_.append(value);
    }
    // Copies element i into out; false when i is out of range.
    bool copyAt(int32_t i, T& out) {
        LockHolder hold(lock_);
        const T* p = items_.at(i);
        if (!p) return false;
        out = *p;
        return true;
    }
    void removeAt(int32_t i) {
        LockHolder hold(lock_);
        items_.removeAt(i);
    }
    void clear() {
        LockHolder hold(lock_);
        items_.setSize(0);
    }

    // Direct access to the array; only while holding lock().
    GrowableArray<T>& unlocked() { return items_; }

private:
    ReentrantLock lock_;
    GrowableArray<T> items_;
};
