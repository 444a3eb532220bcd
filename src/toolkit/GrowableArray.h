// A growable array with an explicit growth step, the container behind every store of the engine.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "toolkit/GrowingBlocks.h"

// Elements live in one block that moves when the array grows: never keep a pointer or reference
// to an element past the point where another thread may append (see LockedArray). A large block
// of plain elements (1 MiB and up) is one that grows in place where it can (toolkit/
// GrowingBlocks.h): growing then copies nothing, and the capacity rules stay as they are.
template <typename T> class GrowableArray {
public:
    explicit GrowableArray(int32_t growthStep = 0) : step_(growthStep) {}
    GrowableArray(const GrowableArray& other) : step_(other.step_) { copyFrom(other); }
    GrowableArray& operator=(const GrowableArray& other) {
        if (this != &other) {
            setSize(0);
            step_ = other.step_;
            copyFrom(other);
        }
        return *this;
    }
    ~GrowableArray() { setSize(0); }

    int32_t count() const { return count_; }
    int32_t capacity() const { return capacity_; }
    int32_t growthStep() const { return step_; }
    bool empty() const { return count_ == 0; }

    // n = 0 releases the storage. Growing beyond the capacity takes max(n, capacity + step)
    // slots (at most INT32_MAX); a step of 0 means size/8 held between 4 and 1024. A step other
    // than -1 replaces the growth step first. Throws std::bad_alloc when the block's size in
    // bytes does not fit in size_t (a 32-bit process) or cannot be had.
    void setSize(int32_t n, int32_t step = -1) {
        if (step != -1) step_ = step;
        if (n <= 0) {
            destroyRange(0, count_);
            release();
            data_ = nullptr;
            count_ = capacity_ = 0;
            return;
        }
        if (!data_) {
            data_ = allocate(n);
            capacity_ = n;
        } else if (n > capacity_) {
            int64_t grow = step_ != 0 ? step_ : std::clamp(count_ / 8, 4, 1024);
            moveTo(int32_t(std::min<int64_t>(std::max<int64_t>(n, capacity_ + grow), INT32_MAX)));
        }
        if (n > count_) {
            for (int32_t i = count_; i < n; ++i)
                new (data_ + i) T();
        } else {
            destroyRange(n, count_);
        }
        count_ = n;
    }

    // Makes the capacity at least n (exactly n when it grows) without changing the count.
    void reserve(int32_t n) {
        if (n > capacity_) moveTo(n);
    }

    // Returns the new element's index.
    int32_t append(const T& value) {
        if (count_ == INT32_MAX) throw std::bad_alloc();
        if (count_ == capacity_) {
            // The value may live in this array: copy it before the storage moves.
            T copy(value);
            return append(std::move(copy));
        }
        setSize(count_ + 1);
        data_[count_ - 1] = value;
        return count_ - 1;
    }
    int32_t append(T&& value) {
        if (count_ == INT32_MAX) throw std::bad_alloc();
        setSize(count_ + 1);
        data_[count_ - 1] = std::move(value);
        return count_ - 1;
    }

    // Null when i is negative or not below the count.
    T* at(int32_t i) { return (i >= 0 && i < count_) ? data_ + i : nullptr; }
    const T* at(int32_t i) const { return (i >= 0 && i < count_) ? data_ + i : nullptr; }

    // Unchecked access for callers that already tested the index.
    T& operator[](int32_t i) { return data_[i]; }
    const T& operator[](int32_t i) const { return data_[i]; }

    void removeAt(int32_t i) {
        if (i < 0 || i >= count_) return;
        for (int32_t j = i; j + 1 < count_; ++j)
            data_[j] = std::move(data_[j + 1]);
        data_[count_ - 1].~T();
        --count_;
    }

    T* begin() { return data_; }
    T* end() { return data_ + count_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + count_; }

private:
    // An uninitialised block for n elements; the byte count is checked before it is computed, so
    // that it never wraps in 32 bits.
    static T* allocate(int32_t n) {
        return static_cast<T*>(::operator new(blockBytes(n)));
    }
    void moveTo(int32_t newCapacity) {
        if constexpr (std::is_trivially_copyable_v<T>) {
            const size_t bytes = blockBytes(newCapacity);
            if (grows_ && toolkit::growBlockInPlace(data_, bytes)) {
                capacity_ = newCapacity;
                return;
            }
            if (bytes >= kGrowingBlockBytes) {
                if (void* block = toolkit::reserveGrowingBlock(bytes)) {
                    T* fresh = static_cast<T*>(block);
                    if (count_) std::memcpy(static_cast<void*>(fresh), data_, sizeof(T) * size_t(count_));
                    release();
                    data_ = fresh;
                    grows_ = true;
                    capacity_ = newCapacity;
                    return;
                }
            }
        }
        T* fresh = allocate(newCapacity);
        for (int32_t i = 0; i < count_; ++i) {
            new (fresh + i) T(std::move(data_[i]));
            data_[i].~T();
        }
        release();
        data_ = fresh;
        capacity_ = newCapacity;
    }
    static size_t blockBytes(int32_t n) {
        if (n < 0 || size_t(n) > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        return sizeof(T) * size_t(n);
    }
    // Frees the block (not its elements) by the way it was made.
    void release() {
        if (grows_)
            toolkit::releaseGrowingBlock(data_);
        else
            ::operator delete(data_);
        grows_ = false;
    }
    void destroyRange(int32_t from, int32_t to) {
        for (int32_t i = from; i < to; ++i)
            data_[i].~T();
    }
    void copyFrom(const GrowableArray& other) {
        if (other.count_ == 0) return;
        setSize(other.count_);
        for (int32_t i = 0; i < count_; ++i)
            data_[i] = other.data_[i];
    }

    // From this size up a block of plain elements is one that can grow in place.
    static constexpr size_t kGrowingBlockBytes = size_t(1) << 20;

    T* data_ = nullptr;
    int32_t count_ = 0;
    int32_t capacity_ = 0;
    int32_t step_ = 0;
    bool grows_ = false; // data_ is a growing block
};
