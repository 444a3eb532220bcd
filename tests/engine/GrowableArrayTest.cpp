#include <gtest/gtest.h>

#include "engine/GrowableArray.h"

TEST(GrowableArray, FirstAppendAllocatesOneSlotThenGrowsByStep) {
    GrowableArray<int> a(16383);
    a.append(1);
    EXPECT_EQ(a.capacity(), 1);
    a.append(2);
    EXPECT_EQ(a.capacity(), 16384);
}
