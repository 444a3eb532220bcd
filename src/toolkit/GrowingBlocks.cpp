// Growing blocks on the platform's virtual memory: a reservation of several times the first size,
// committed page by page as the block grows.
#include "toolkit/GrowingBlocks.h"

#include <windows.h>

#include <cstdint>
#include <initializer_list>

namespace toolkit {

namespace {

// The bookkeeping lives in front of the block; its size keeps the block aligned for any element.
struct alignas(64) BlockHeader {
    size_t reserved;  // bytes of address space, header included
    size_t committed; // bytes usable now, header included
};
constexpr size_t kHeaderBytes = sizeof(BlockHeader);
constexpr size_t kPageBytes = 4096;
constexpr size_t kReservationGrain = 64 * 1024;
// Room reserved for later growth: seven times the size asked for, but no more than a 32-bit
// process can spare beside its other large blocks; where even that is not to be had, none.
constexpr size_t kMostSpareBytes = sizeof(void*) == 4 ? size_t(64) << 20 : size_t(1) << 30;
constexpr size_t kSpareFactor = 7;

// n rounded up to a multiple of grain; false when that does not fit in size_t.
bool roundUp(size_t n, size_t grain, size_t& out) {
    if (n > SIZE_MAX - (grain - 1)) return false;
    out = (n + grain - 1) / grain * grain;
    return true;
}

BlockHeader* headerOf(void* block) {
    return reinterpret_cast<BlockHeader*>(static_cast<char*>(block) - kHeaderBytes);
}

} // namespace

void* reserveGrowingBlock(size_t bytes) {
    if (bytes > SIZE_MAX - kHeaderBytes) return nullptr;
    const size_t need = bytes + kHeaderBytes;
    size_t commit = 0;
    if (!roundUp(need, kPageBytes, commit)) return nullptr;
    const size_t spare = need > kMostSpareBytes / kSpareFactor ? kMostSpareBytes : need * kSpareFactor;
    for (size_t extra : {spare, size_t(0)}) {
        size_t reserve = 0;
        if (need > SIZE_MAX - extra || !roundUp(need + extra, kReservationGrain, reserve)) continue;
        void* base = VirtualAlloc(nullptr, reserve, MEM_RESERVE, PAGE_NOACCESS);
        if (!base) continue;
        if (!VirtualAlloc(base, commit, MEM_COMMIT, PAGE_READWRITE)) {
            VirtualFree(base, 0, MEM_RELEASE);
            return nullptr;
        }
        auto* header = static_cast<BlockHeader*>(base);
        header->reserved = reserve;
        header->committed = commit;
        return static_cast<char*>(base) + kHeaderBytes;
    }
    return nullptr;
}

bool growBlockInPlace(void* block, size_t bytes) {
    BlockHeader* header = headerOf(block);
    if (bytes > SIZE_MAX - kHeaderBytes) return false;
    size_t commit = 0;
    if (!roundUp(bytes + kHeaderBytes, kPageBytes, commit) || commit > header->reserved) return false;
    if (commit <= header->committed) return true;
    char* base = reinterpret_cast<char*>(header);
    if (!VirtualAlloc(base + header->committed, commit - header->committed, MEM_COMMIT,
                      PAGE_READWRITE))
        return false;
    header->committed = commit;
    return true;
}

void releaseGrowingBlock(void* block) {
    if (block) VirtualFree(headerOf(block), 0, MEM_RELEASE);
}

} // namespace toolkit
