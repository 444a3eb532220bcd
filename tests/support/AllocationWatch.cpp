// The replaced global operator new behind AllocationWatch.
#include "support/AllocationWatch.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<int> watching{0};
std::atomic<size_t> largestSeen{0};
std::atomic<long long> liveGrowth{0}, peakSeen{0};

void raise(std::atomic<size_t>& seenMost, size_t value) {
    size_t seen = seenMost.load(std::memory_order_relaxed);
    while (value > seen && !seenMost.compare_exchange_weak(seen, value)) {
    }
}

thread_local size_t failFrom = 0;
thread_local int failuresLeft = 0;

void* allocate(size_t n) {
    if (failuresLeft > 0 && n >= failFrom) {
        --failuresLeft;
        throw std::bad_alloc();
    }
    void* p = std::malloc(n ? n : 1);
    if (watching.load(std::memory_order_relaxed)) {
        raise(largestSeen, n);
        if (p) {
            const long long live = liveGrowth += static_cast<long long>(_msize(p));
            long long seen = peakSeen.load(std::memory_order_relaxed);
            while (live > seen && !peakSeen.compare_exchange_weak(seen, live)) {
            }
        }
    }
    if (!p) throw std::bad_alloc();
    return p;
}

void release(void* p) noexcept {
    if (p && watching.load(std::memory_order_relaxed))
        liveGrowth -= static_cast<long long>(_msize(p));
    std::free(p);
}
} // namespace

void* operator new(size_t n) {
    return allocate(n);
}
void* operator new[](size_t n) {
    return allocate(n);
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, size_t) noexcept {
    release(p);
}
void operator delete[](void* p, size_t) noexcept {
    release(p);
}

AllocationWatch::AllocationWatch() {
    largestSeen = 0;
    liveGrowth = 0;
    peakSeen = 0;
    watching = 1;
}
AllocationWatch::~AllocationWatch() {
    watching = 0;
}
void AllocationWatch::failLargeAllocationsOnThisThread(size_t bytes, int count) {
    failFrom = bytes;
    failuresLeft = count;
}
size_t AllocationWatch::largest() const {
    return largestSeen.load();
}
size_t AllocationWatch::peakGrowth() const {
    return static_cast<size_t>(peakSeen.load());
}
