// The defaults of SearchOptions, the fromDate roll-over among them.
#include <gtest/gtest.h>

#include "options/SearchOptions.h"
#include "support/LocalTime.h"
#include "toolkit/FileTime.h"

namespace {

// The 32-bit time of a local calendar moment.
int32_t localMoment(int year, int month, int day, int hour = 0, int minute = 0) {
    SYSTEMTIME local = calendar::fields(year, month, day, hour, minute);
    uint64_t utc = 0;
    EXPECT_TRUE(localFieldsToUtcFileTime(local, utc));
    return fileTimeU64ToTime32(utc);
}

SYSTEMTIME localFieldsOf(int32_t t) {
    SYSTEMTIME local{};
    EXPECT_TRUE(utcFileTimeToLocalFields(time32ToFileTimeU64(t), local));
    return local;
}

} // namespace

TEST(SearchOptions, ResetSetsEveryDefaultAndEmptiesTheLists) {
    SearchOptions o;
    o.includeSubfolders = 0;
    o.fileType = 2;
    o.scope = SearchScope::LastResult;
    o.domains = {FilterMode::OnlyThese, {"WORK"}};
    o.servers = {FilterMode::AllExcept, {"\\\\A", "\\\\B"}};
    o.folders = {FilterMode(7), {"tmp"}};
    o.dateEnabled = o.dateKind = o.dateMode = o.previousUnit = 1;
    o.previousCount = 9;
    o.largerThanOn = o.smallerThanOn = 1;
    o.largerThanKB = 5;
    o.smallerThanKB = 6;
    o.namePattern = "*.txt";

    const int32_t now = localMoment(2024, 6, 15, 14, 30);
    resetOptions(o, now);

    SearchOptions expected;
    expected.fromDate = localMoment(2024, 5, 15);
    expected.toDate = now;
    EXPECT_EQ(o, expected);
    EXPECT_EQ(o.includeSubfolders, 1);
    EXPECT_EQ(o.previousCount, 1u);
    EXPECT_EQ(o.smallerThanKB, 1000u);
    EXPECT_TRUE(o.domains.names.empty() && o.servers.names.empty() && o.folders.names.empty());
    EXPECT_EQ(o.folders.mode, FilterMode::All);
}

TEST(SearchOptions, DefaultFromDateIsLocalMidnightOneMonthEarlierWithRollOver) {
    struct Case {
        int year, month, day; // now (local, at 09:41)
        int wantYear, wantMonth, wantDay;
    } cases[] = {
        {2023, 3, 31, 2023, 3, 3},   // 31 February of a common year rolls over to 3 March
        {2024, 3, 31, 2024, 3, 2},   // and to 2 March in a leap year
        {2024, 3, 29, 2024, 2, 29},  // 29 February exists in a leap year
        {2024, 1, 15, 2023, 12, 15}, // January gives December of the year before
        {2024, 5, 31, 2024, 5, 1},   // 31 April is 1 May
        {2023, 7, 1, 2023, 6, 1},
    };
    for (const Case& c : cases) {
        SYSTEMTIME from =
            localFieldsOf(defaultFromDate(localMoment(c.year, c.month, c.day, 9, 41)));
        EXPECT_EQ(from.wYear, c.wantYear) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(from.wMonth, c.wantMonth) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(from.wDay, c.wantDay) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(from.wHour + from.wMinute + from.wSecond, 0);
    }
}

TEST(SearchOptions, ResetWithoutAMomentUsesTheCurrentTime) {
    SearchOptions o;
    int32_t before = fileTimeU64ToTime32(currentFileTimeU64());
    resetOptions(o);
    int32_t after = fileTimeU64ToTime32(currentFileTimeU64());
    EXPECT_GE(o.toDate, before);
    EXPECT_LE(o.toDate, after);
    EXPECT_LT(o.fromDate, o.toDate);
}
