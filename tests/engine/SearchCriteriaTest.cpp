// buildCriteria, the list test and matchesItem: masks, type, size and date bounds.
#include <gtest/gtest.h>

#include "engine/SearchCriteria.h"
#include "support/LocalTime.h"
#include "toolkit/FileTime.h"

namespace {

using calendar::fields;

uint64_t asIs(const SYSTEMTIME& t) {
    uint64_t out = 0;
    EXPECT_TRUE(calendarFieldsToFileTimeU64(t, out));
    return out;
}

int32_t localTime32(const SYSTEMTIME& local) {
    uint64_t utc = 0;
    EXPECT_TRUE(localFieldsToUtcFileTime(local, utc));
    return fileTimeU64ToTime32(utc);
}

SearchOptions defaults() {
    SearchOptions o;
    resetOptions(o, 1733650000);
    return o;
}

SearchCriteria built(const SearchOptions& o, const SYSTEMTIME* now = nullptr) {
    SearchCriteria c;
    buildCriteria(c, o, now);
    return c;
}

bool accepts(const SearchCriteria& c, DWORD attributes, uint32_t size, uint64_t time = 0) {
    FILETIME t = u64ToFileTime(time);
    return matchesItem(c, attributes, t, t, t, size);
}

std::vector<std::string> masksOf(const SearchCriteria& c) {
    return {c.nameMasks.begin(), c.nameMasks.begin() + c.maskCount()};
}

} // namespace

TEST(SearchCriteria, SplitsTheNameTextIntoMasks) {
    SearchOptions o = defaults();
    using V = std::vector<std::string>;
    o.namePattern = "";
    EXPECT_EQ(masksOf(built(o)), V{"*.*"});
    o.namePattern = "  \t ";
    EXPECT_EQ(masksOf(built(o)), V{"*.*"});
    o.namePattern = ";;";
    EXPECT_EQ(masksOf(built(o)), V{"*.*"});
    o.namePattern = "a.txt;b.txt  c.txt";
    EXPECT_EQ(masksOf(built(o)), (V{"a.txt", "b.txt", "c.txt"}));
    o.namePattern = " *.DOC ;  Read Me ";
    EXPECT_EQ(masksOf(built(o)), (V{"*.DOC", "Read", "Me"})); // case kept as typed
}

TEST(SearchCriteria, KeepsAtMost99Masks) {
    SearchOptions o = defaults();
    for (int i = 1; i <= 100; ++i)
        o.namePattern += "m" + std::to_string(i) + " ";
    SearchCriteria c = built(o);
    ASSERT_EQ(c.maskCount(), 99);
    EXPECT_EQ(c.nameMasks[98], "m99");
    EXPECT_TRUE(c.nameMasks[99].empty());

    o.namePattern.clear();
    for (int i = 1; i <= 99; ++i)
        o.namePattern += "m" + std::to_string(i) + ";";
    c = built(o);
    ASSERT_EQ(c.maskCount(), 99);
    EXPECT_EQ(c.nameMasks[98], "m99");

    // A shorter text afterwards ends the list with its own empty slot.
    o.namePattern = "x y";
    buildCriteria(c, o);
    EXPECT_EQ(c.maskCount(), 2);
}

TEST(SearchCriteria, RefinePatternsAreCompiledOnlyForTheLastResult) {
    SearchOptions o = defaults();
    o.namePattern = "*.TXT Read*";
    SearchCriteria c = built(o);
    EXPECT_EQ(c.scope, SearchScope::Lan);
    EXPECT_EQ(c.refinePatterns.count(), 0);

    o.scope = SearchScope::LastResult;
    buildCriteria(c, o);
    ASSERT_EQ(c.refinePatterns.count(), 2);
    EXPECT_TRUE(c.refinePatterns[0].matches(lowerAnsi("NOTES.txt")));
    EXPECT_TRUE(c.refinePatterns[1].matches(lowerAnsi("README")));

    // A scope an option file invented searches the LAN.
    o.scope = SearchScope(7);
    EXPECT_EQ(built(o).scope, SearchScope::Lan);
}

TEST(SearchCriteria, CompilesOnlyListsThatSelect) {
    SearchOptions o = defaults();
    o.domains = {FilterMode::All, {"A"}};
    o.servers = {FilterMode::OnlyThese, {"\\\\SRV*", "\\\\X"}};
    o.folders = {FilterMode(5), {"tmp"}};
    SearchCriteria c = built(o);
    EXPECT_EQ(c.domainPatterns.count(), 0);
    EXPECT_EQ(c.serverPatterns.count(), 2);
    EXPECT_EQ(c.folderPatterns.count(), 1);
    EXPECT_EQ(c.folderMode, FilterMode(5));
    capturePatternCounts(c);
    EXPECT_EQ(c.serverPatternCount, 2);
    EXPECT_EQ(c.domainPatternCount, 0);

    EXPECT_TRUE(listAccepts(c.serverMode, c.serverPatterns, c.serverPatternCount, "\\\\srv1"));
    EXPECT_FALSE(listAccepts(c.serverMode, c.serverPatterns, c.serverPatternCount, "\\\\other"));
    // Any mode but All and OnlyThese leaves out what matches.
    EXPECT_FALSE(listAccepts(c.folderMode, c.folderPatterns, c.folderPatternCount, "tmp"));
    EXPECT_TRUE(listAccepts(c.folderMode, c.folderPatterns, c.folderPatternCount, "music"));
    // Only the captured count is consulted.
    EXPECT_FALSE(listAccepts(c.serverMode, c.serverPatterns, 1, "\\\\x"));
}

TEST(SearchCriteria, ListTestWithEmptyLists) {
    GrowableArray<NamePattern> none(15);
    EXPECT_FALSE(listAccepts(FilterMode::OnlyThese, none, 0, "anything"));
    EXPECT_TRUE(listAccepts(FilterMode::AllExcept, none, 0, "anything"));
    EXPECT_TRUE(listAccepts(FilterMode::All, none, 0, "anything"));
}

TEST(SearchCriteria, TypeMaskAndSizeTests) {
    SearchOptions o = defaults();
    const DWORD file = FILE_ATTRIBUTE_ARCHIVE, folder = FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_EQ(built(o).typeMask, 3u);
    o.fileType = 1;
    EXPECT_TRUE(accepts(built(o), file, 0));
    EXPECT_FALSE(accepts(built(o), folder, 0));
    o.fileType = 2;
    EXPECT_FALSE(accepts(built(o), file, 0));
    EXPECT_TRUE(accepts(built(o), folder, 0));
    o.fileType = -1; // no selection after an out-of-range file
    EXPECT_EQ(built(o).typeMask, 3u);

    // "Folders only" with a size test reports nothing at all.
    o.fileType = 2;
    o.smallerThanOn = 1;
    SearchCriteria c = built(o);
    EXPECT_EQ(c.typeMask, 0u);
    EXPECT_FALSE(accepts(c, file, 10));
    EXPECT_FALSE(accepts(c, folder, 10));

    // Both bounds exclusive; "Larger than" 0 KB rejects empty files.
    o = defaults();
    o.largerThanOn = 1;
    c = built(o);
    EXPECT_FALSE(accepts(c, file, 0));
    EXPECT_TRUE(accepts(c, file, 1));
    o.largerThanOn = 0;
    o.smallerThanOn = 1; // default 1000 KB
    c = built(o);
    EXPECT_TRUE(accepts(c, file, 1023999));
    EXPECT_FALSE(accepts(c, file, 1024000));

    // 5 GiB is tested by its low 32 bits (1 GiB); KB products wrap at 32 bits.
    o.smallerThanKB = 2 * 1024 * 1024; // 2 GiB
    c = built(o);
    uint64_t fiveGiB = 5ull << 30;
    EXPECT_TRUE(accepts(c, file, uint32_t(fiveGiB)));
    o.smallerThanKB = 4 * 1024 * 1024 + 1; // 4 GiB + 1 KB wraps to 1 KB
    EXPECT_EQ(built(o).maxSize, 1024u);
}

TEST(SearchCriteria, BetweenKeepsTheWholeDaysOfItsCalendarFields) {
    SearchOptions o = defaults();
    o.dateEnabled = 1;
    o.fromDate = localTime32(fields(2024, 2, 29, 15, 30));
    o.toDate = localTime32(fields(2024, 2, 29, 8, 0));
    SearchCriteria c = built(o);
    EXPECT_EQ(c.dateField, 0);
    EXPECT_EQ(c.dateFrom, asIs(fields(2024, 2, 29)));
    EXPECT_EQ(c.dateTo, asIs(fields(2024, 2, 29, 23, 59, 59)));

    const DWORD file = FILE_ATTRIBUTE_NORMAL;
    EXPECT_FALSE(accepts(c, file, 0, asIs(fields(2024, 2, 28, 23, 59, 59, 999))));
    EXPECT_TRUE(accepts(c, file, 0, asIs(fields(2024, 2, 29))));
    EXPECT_TRUE(accepts(c, file, 0, asIs(fields(2024, 2, 29, 23, 59, 59))));
    EXPECT_FALSE(accepts(c, file, 0, asIs(fields(2024, 2, 29, 23, 59, 59, 500))));
}

TEST(SearchCriteria, DateTestLooksAtTheChosenTimeStamp) {
    SearchOptions o = defaults();
    o.dateEnabled = 1;
    o.fromDate = localTime32(fields(2020, 1, 1, 12));
    o.toDate = localTime32(fields(2020, 1, 31, 12));
    FILETIME in = u64ToFileTime(asIs(fields(2020, 1, 10)));
    FILETIME out = u64ToFileTime(asIs(fields(2019, 1, 10)));
    for (int kind = 0; kind < 3; ++kind) {
        o.dateKind = kind;
        SearchCriteria c = built(o);
        EXPECT_EQ(matchesItem(c, 0, in, out, out, 0), kind == 1) << kind;
        EXPECT_EQ(matchesItem(c, 0, out, in, out, 0), kind == 2) << kind;
        EXPECT_EQ(matchesItem(c, 0, out, out, in, 0), kind == 0) << kind;
    }
    // Switching the date test off leaves the bounds but stops testing.
    o.dateEnabled = 0;
    SearchCriteria c = built(o);
    EXPECT_EQ(c.dateField, -1);
    EXPECT_TRUE(matchesItem(c, 0, out, out, out, 0));
}

TEST(SearchCriteria, PreviousMonthsRollOverLikeTheCalendar) {
    SearchOptions o = defaults();
    o.dateEnabled = 1;
    o.dateMode = 1;
    o.previousUnit = 0;
    o.previousCount = 1;
    SYSTEMTIME now = fields(2023, 3, 31, 10, 17, 33, 250);
    EXPECT_EQ(built(o, &now).dateFrom, asIs(fields(2023, 3, 3)));
    now = fields(2024, 3, 31, 10, 17, 33);
    EXPECT_EQ(built(o, &now).dateFrom, asIs(fields(2024, 3, 2)));
    now = fields(2024, 1, 20, 9);
    EXPECT_EQ(built(o, &now).dateFrom, asIs(fields(2023, 12, 20)));
    // The count is honoured: 14 months before March 2024 is January 2023.
    o.previousCount = 14;
    now = fields(2024, 3, 15, 9);
    EXPECT_EQ(built(o, &now).dateFrom, asIs(fields(2023, 1, 15)));
    // A count reaching before the earliest file time tests nothing out.
    o.previousCount = 4000000000u;
    SearchCriteria c = built(o, &now);
    EXPECT_EQ(c.dateFrom, 0u);
    EXPECT_TRUE(accepts(c, 0, 0, 1));
}

TEST(SearchCriteria, PreviousWeeksAndDaysKeepTheTimeOfDay) {
    SearchOptions o = defaults();
    o.dateEnabled = 1;
    o.dateMode = 1;
    // The expected bounds come from the platform's own local conversion, so that a daylight
    // saving change in the local zone moves both alike.
    SYSTEMTIME now = fields(2024, 7, 20, 10, 17, 33, 250);
    uint64_t nowUtc = 0;
    ASSERT_TRUE(localFieldsToUtcFileTime(now, nowUtc));
    auto expectedBound = [&](uint64_t seconds) {
        SYSTEMTIME local{};
        EXPECT_TRUE(utcFileTimeToLocalFields(nowUtc - seconds * kFileTimeTicksPerSecond, local));
        local.wMilliseconds = 0;
        return asIs(local);
    };
    o.previousUnit = 1;
    o.previousCount = 1;
    SearchCriteria c = built(o, &now);
    EXPECT_EQ(c.dateFrom, expectedBound(604800));
    SYSTEMTIME bound{};
    fileTimeU64ToCalendarFields(c.dateFrom, bound);
    EXPECT_EQ(bound.wHour * 3600 + bound.wMinute * 60 + bound.wSecond, 10 * 3600 + 17 * 60 + 33);
    EXPECT_EQ(bound.wMilliseconds, 0);

    o.previousCount = 3;
    EXPECT_EQ(built(o, &now).dateFrom, expectedBound(3 * 604800));
    o.previousUnit = 2;
    EXPECT_EQ(built(o, &now).dateFrom, expectedBound(3 * 86400));
    o.previousUnit = 1;
    o.previousCount = 0xFFFFFFFFu; // far before 1601
    EXPECT_EQ(built(o, &now).dateFrom, 0u);

    // Previous has no upper bound.
    o.previousCount = 1;
    c = built(o, &now);
    EXPECT_TRUE(accepts(c, 0, 0, asIs(fields(2030, 1, 1))));
    EXPECT_FALSE(accepts(c, 0, 0, asIs(fields(2024, 7, 1))));
}
