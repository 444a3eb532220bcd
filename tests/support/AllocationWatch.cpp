// The replaced global operator new behind AllocationWatch.
#include "support/AllocationWatch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<int> watching{0};
std::atomic<size_t> largestSeen{0};

void* allocate(size_t n) {
    if (watching.load(std::memory_order_relaxed)) {
        size_t seen = largestSeen.load(std::memory_order_relaxed);
        while (n > seen && !largestSeen.compare_exchange_weak(seen, n)) {
        }
    }
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
} // namespace

void* operator new(size_t n) {
    return allocate(n);
}
void* operator new[](size_t n) {
    return allocate(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}

AllocationWatch::AllocationWatch() {
    largestSeen = 0;
    watching = 1;
}
AllocationWatch::~AllocationWatch() {
    watching = 0;
}
size_t AllocationWatch::largest() const {
    return largestSeen.load();
}
