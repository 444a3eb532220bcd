// The growth rules of the growable array and element access at its edges.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "toolkit/GrowableArray.h"
#include "toolkit/LockedArray.h"

TEST(ArrayGrowth, ResultSetLikeArrayGrowsByItsStep) {
    GrowableArray<int> a(16383);
    a.append(0);
    EXPECT_EQ(a.capacity(), 1); // the first append allocates exactly one slot
    a.append(1);
    EXPECT_EQ(a.capacity(), 16384);
    for (int i = 2; i < 16384; ++i)
        a.append(i);
    EXPECT_EQ(a.capacity(), 16384);
    a.append(0);
    EXPECT_EQ(a.capacity(), 16384 + 16383);
    EXPECT_EQ(a.count(), 16385);
}

// Past a mebibyte a block of plain elements grows in place, and moves on when its reserved
// range is full: through every way of growing, every element keeps its value and the capacity
// follows the step as before.
TEST(ArrayGrowth, LargeArraysKeepEveryElementWhetherTheyGrowInPlaceOrMove) {
    GrowableArray<uint32_t> a(16383);
    const uint32_t n = 3000000; // 12 MB, several times any first reservation
    for (uint32_t i = 0; i < n; ++i)
        a.append(i * 2654435761u);
    EXPECT_EQ(a.count(), int32_t(n));
    EXPECT_EQ(a.capacity() % 16383, 1);
    for (uint32_t i = 0; i < n; ++i)
        ASSERT_EQ(a[int32_t(i)], i * 2654435761u) << i;
    GrowableArray<uint32_t> copy = a;
    a.setSize(0);
    EXPECT_EQ(copy[int32_t(n - 1)], (n - 1) * 2654435761u);
    a.reserve(1 << 20);
    a.append(7);
    EXPECT_EQ(a[0], 7u);
}

TEST(ArrayGrowth, SizeZeroReleasesStorageAndKeepsTheStep) {
    GrowableArray<std::string> a(7);
    a.append("x");
    a.append("y");
    EXPECT_EQ(a.capacity(), 8);
    a.setSize(0);
    EXPECT_EQ(a.capacity(), 0);
    EXPECT_EQ(a.count(), 0);
    EXPECT_EQ(a.growthStep(), 7);
    a.append("z");
    EXPECT_EQ(a.capacity(), 1);
}

TEST(ArrayGrowth, StepZeroGrowsByAnEighthHeldBetween4And1024) {
    GrowableArray<int> a(0);
    a.setSize(1);
    a.setSize(2); // count 1: 1/8 held at 4
    EXPECT_EQ(a.capacity(), 5);
    GrowableArray<int> b(0);
    b.setSize(100);
    b.setSize(101); // 100/8 = 12
    EXPECT_EQ(b.capacity(), 112);
    GrowableArray<int> c(0);
    c.setSize(20000);
    c.setSize(20001); // held at 1024
    EXPECT_EQ(c.capacity(), 21024);
    // A jump beyond capacity + step takes exactly what is asked.
    c.setSize(50000);
    EXPECT_EQ(c.capacity(), 50000);
    // A step given to setSize replaces the old one.
    c.setSize(50001, 3);
    EXPECT_EQ(c.capacity(), 50003);
    EXPECT_EQ(c.growthStep(), 3);
}

TEST(ArrayGrowth, BlocksWhoseSizeWouldWrapAreRefused) {
    // 107,374,183 items of 40 bytes are 24 bytes in 32-bit arithmetic.
    struct Item {
        char bytes[40];
    };
    GrowableArray<Item> a(16383);
    a.append(Item{});
    if (sizeof(size_t) == 4) {
        EXPECT_THROW(a.reserve(107374183), std::bad_alloc);
    }
    EXPECT_THROW(a.setSize(INT32_MAX), std::bad_alloc);
    EXPECT_EQ(a.count(), 1); // unchanged
    a.append(Item{});
    EXPECT_EQ(a.count(), 2);
}

TEST(ArrayGrowth, AccessOutsideTheCountYieldsNothing) {
    GrowableArray<std::string> a(15);
    EXPECT_EQ(a.at(0), nullptr);
    a.append("a");
    a.append("b");
    a.append("c");
    EXPECT_EQ(a.at(-1), nullptr);
    EXPECT_EQ(a.at(3), nullptr);
    ASSERT_NE(a.at(2), nullptr);
    a.setSize(2); // shrinking keeps the storage
    EXPECT_EQ(a.at(2), nullptr);
    EXPECT_EQ(a.capacity(), 16); // 1, then 1 + 15
    a.setSize(3);                // new slots are constructed empty
    EXPECT_EQ(*a.at(2), "");
    a.removeAt(0);
    EXPECT_EQ(a.count(), 2);
    EXPECT_EQ(*a.at(0), "b");
    a.removeAt(5); // out of range: nothing happens
    EXPECT_EQ(a.count(), 2);
}

TEST(ArrayGrowth, LockedArrayCopiesOutAndReportsMisses) {
    LockedArray<std::string> a(15);
    a.append("first");
    std::string out = "untouched";
    EXPECT_FALSE(a.copyAt(1, out));
    EXPECT_EQ(out, "untouched");
    EXPECT_TRUE(a.copyAt(0, out));
    EXPECT_EQ(out, "first");
    {
        LockHolder outer(a.lock()); // the single operations re-enter the held lock
        EXPECT_EQ(a.count(), 1);
        a.removeAt(0);
    }
    EXPECT_EQ(a.count(), 0);
}
