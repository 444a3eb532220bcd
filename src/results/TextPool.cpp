// The text pool: bump allocation in 256 KiB blocks; a text too large for that gets a block of
// its own.
#include "results/TextPool.h"

#include <cstdint>
#include <cstring>
#include <new>

void TextPool::makeRoomForBlock() {
    // Done before the block is allocated, so that keeping it cannot fail.
    if (blocks_.size() == blocks_.capacity()) blocks_.reserve(blocks_.size() * 2 + 16);
}

const PooledText* TextPool::add(std::string_view text) {
    // The length must fit the header's 32 bits, and the block size below must not wrap in a
    // 32-bit size_t.
    if (text.size() > UINT32_MAX || text.size() > SIZE_MAX - sizeof(PooledText) - 4)
        throw std::bad_alloc();
    // Header, bytes and terminator, rounded up so that every header stays aligned.
    const size_t need = (sizeof(PooledText) + text.size() + 1 + 3) & ~size_t(3);
    char* at = nullptr;
    if (need <= left_) {
        at = next_;
        next_ += need;
        left_ -= need;
    } else if (need > kBlockBytes / 4) {
        // A long text: its own block, which leaves the current block's free space in use.
        makeRoomForBlock();
        at = static_cast<char*>(::operator new(need));
        blocks_.push_back(at);
        held_ += need;
    } else {
        makeRoomForBlock();
        char* block = static_cast<char*>(::operator new(kBlockBytes));
        blocks_.push_back(block);
        held_ += kBlockBytes;
        at = block;
        next_ = block + need;
        left_ = kBlockBytes - need;
    }
    auto* pooled = reinterpret_cast<PooledText*>(at);
    pooled->length = uint32_t(text.size());
    char* bytes = at + sizeof(PooledText);
    if (!text.empty()) std::memcpy(bytes, text.data(), text.size());
    bytes[text.size()] = '\0';
    return pooled;
}

void TextPool::clear() {
    for (char* block : blocks_)
        ::operator delete(block);
    blocks_.clear();
    blocks_.shrink_to_fit();
    next_ = nullptr;
    left_ = 0;
    held_ = 0;
}
