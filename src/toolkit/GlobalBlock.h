// GlobalBlock: owns one global memory block (HGLOBAL) the way the clipboard and drag and drop
// want it. The block is freed when the holder goes, unless it was handed on with release() to
// whoever takes it over (the clipboard, a data object's reader); no caller frees by hand.
#pragma once

#include <windows.h>

#include <cstring>
#include <utility>

namespace toolkit {

class GlobalBlock {
public:
    GlobalBlock() = default;
    // Takes over a block (which may be null).
    explicit GlobalBlock(HGLOBAL block) : block_(block) {}
    ~GlobalBlock() { reset(); }
    GlobalBlock(GlobalBlock&& other) noexcept : block_(other.release()) {}
    GlobalBlock& operator=(GlobalBlock&& other) noexcept {
        if (this != &other) {
            reset();
            block_ = other.release();
        }
        return *this;
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    // A new movable, shareable block of bytes, zeroed; empty when it cannot be had.
    static GlobalBlock allocate(size_t bytes) {
        return GlobalBlock(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, bytes));
    }
    // A new block holding the same bytes as block; empty when it cannot be had or read.
    static GlobalBlock copyOf(HGLOBAL block) {
        if (!block) return {};
        SIZE_T size = GlobalSize(block);
        GlobalBlock copy = allocate(size);
        if (!copy) return {};
        Locked from(block), to(copy.get());
        if (!from || !to) return {};
        std::memcpy(to.bytes(), from.bytes(), size);
        return copy;
    }

    HGLOBAL get() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }
    SIZE_T size() const { return block_ ? GlobalSize(block_) : 0; }
    // Hands the block on: the holder forgets it and the caller (or whom it gives it to) owns it.
    [[nodiscard]] HGLOBAL release() { return std::exchange(block_, nullptr); }
    void reset() {
        if (block_) GlobalFree(std::exchange(block_, nullptr));
    }

    // The block's bytes while the object lives (GlobalLock / GlobalUnlock); null when the block
    // cannot be locked.
    class Locked {
    public:
        explicit Locked(HGLOBAL block)
            : block_(block), bytes_(block ? static_cast<char*>(GlobalLock(block)) : nullptr) {}
        ~Locked() {
            if (bytes_) GlobalUnlock(block_);
        }
        Locked(const Locked&) = delete;
        Locked& operator=(const Locked&) = delete;
        char* bytes() const { return bytes_; }
        explicit operator bool() const { return bytes_ != nullptr; }

    private:
        HGLOBAL block_;
        char* bytes_;
    };

private:
    HGLOBAL block_ = nullptr;
};

} // namespace toolkit
