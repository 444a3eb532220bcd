// Watches the largest single allocation and the peak of live allocations while a watch is active,
// so tests can show that hostile input never leads to a huge allocation. Link
// support/AllocationWatch.cpp, which replaces the global operator new of the test executable.
#pragma once

#include <cstddef>

class AllocationWatch {
public:
    AllocationWatch();  // starts watching with a largest size of 0
    ~AllocationWatch(); // stops watching
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;

    // The largest single request seen since construction.
    size_t largest() const;
    // Makes the next `count` allocations of at least `bytes` on the calling thread throw
    // std::bad_alloc, as an exhausted heap would (for threads that tests start themselves).
    static void failLargeAllocationsOnThisThread(size_t bytes, int count);

    // The highest that the bytes allocated and not yet freed rose above their level at
    // construction (blocks freed meanwhile that were allocated before count against it).
    size_t peakGrowth() const;
};
