// TextPool: texts stored back to back in large blocks that the pool owns, so that a million names
// cost a few hundred allocations instead of a million.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// A text in a pool: its length, then its bytes and a terminating zero. Never moves while the pool
// lives.
struct PooledText {
    uint32_t length;

    const char* data() const { return reinterpret_cast<const char*>(this + 1); }
    std::string_view view() const { return {data(), length}; }
};

// Not locked: the owner (the result store) guards it with its own lock.
class TextPool {
public:
    TextPool() = default;
    ~TextPool() { clear(); }
    TextPool(const TextPool&) = delete;
    TextPool& operator=(const TextPool&) = delete;

    // A copy of text that lives until clear(). May throw std::bad_alloc.
    const PooledText* add(std::string_view text);
    // Frees every text.
    void clear();
    // Bytes the pool holds in its blocks.
    size_t bytesHeld() const { return held_; }

private:
    static constexpr size_t kBlockBytes = 256 * 1024;
    void makeRoomForBlock();

    std::vector<char*> blocks_;
    char* next_ = nullptr; // free space of the newest block
    size_t left_ = 0;
    size_t held_ = 0;
};
