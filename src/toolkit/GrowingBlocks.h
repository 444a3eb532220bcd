// Blocks that grow in place: address space reserved beyond what is asked for, committed as the
// block grows. The largest arrays of the program (the result store holds 40 bytes for each of
// perhaps millions of hits) would otherwise be copied into a fresh block at every growth step,
// touching every page of every copy; a block that grows in place touches each page once.
//
// Platform-neutral interface; the program's implementation is toolkit/GrowingBlocks.cpp
// (VirtualAlloc). Natively built tools define their own (the heap: they never grow in place).
#pragma once

#include <cstddef>

namespace toolkit {

// A block of at least bytes bytes, aligned for any element, whose range may later grow in place;
// null when none can be had (the caller then uses the heap).
void* reserveGrowingBlock(size_t bytes);
// Makes block hold at least bytes bytes without moving it; false when its reserved range is too
// small or the memory cannot be had (the caller then moves to a new block).
bool growBlockInPlace(void* block, size_t bytes);
// Releases a block made by reserveGrowingBlock.
void releaseGrowingBlock(void* block);

} // namespace toolkit
