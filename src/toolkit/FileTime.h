// Conversions between file times, 64-bit counts, 32-bit times and local calendar fields.
#pragma once

#include <windows.h>

#include <cstdint>

// 100-ns intervals between 1 January 1601 and 1 January 1970 (UTC).
inline constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;
inline constexpr uint64_t kFileTimeTicksPerSecond = 10000000ULL;

inline uint64_t fileTimeToU64(const FILETIME& t) {
    return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

inline FILETIME u64ToFileTime(uint64_t v) {
    FILETIME t;
    t.dwLowDateTime = DWORD(v & 0xFFFFFFFFu);
    t.dwHighDateTime = DWORD(v >> 32);
    return t;
}

// A 32-bit time (seconds since 1970 UTC, signed) as a 64-bit file time count. Every 32-bit
// value lies after 1601, so the result is never negative.
inline uint64_t time32ToFileTimeU64(int32_t t) {
    return uint64_t(int64_t(kUnixEpochAsFileTime) + int64_t(t) * int64_t(kFileTimeTicksPerSecond));
}

// The inverse, truncated to whole seconds and held within the 32-bit range.
inline int32_t fileTimeU64ToTime32(uint64_t ft) {
    if (ft > uint64_t(INT64_MAX)) return INT32_MAX;
    int64_t seconds =
        (int64_t(ft) - int64_t(kUnixEpochAsFileTime)) / int64_t(kFileTimeTicksPerSecond);
    if (seconds > INT32_MAX) return INT32_MAX;
    if (seconds < INT32_MIN) return INT32_MIN;
    return int32_t(seconds);
}

// The current moment as a 64-bit file time (UTC).
inline uint64_t currentFileTimeU64() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return fileTimeToU64(now);
}

// Calendar fields taken "as they stand" (no time-zone conversion) to a file time count; false
// when the fields are not a valid date and time.
inline bool calendarFieldsToFileTimeU64(const SYSTEMTIME& fields, uint64_t& out) {
    FILETIME ft;
    if (!SystemTimeToFileTime(&fields, &ft)) return false;
    out = fileTimeToU64(ft);
    return true;
}

// A UTC file time count to calendar fields, no time-zone conversion.
inline bool fileTimeU64ToCalendarFields(uint64_t ft, SYSTEMTIME& out) {
    FILETIME t = u64ToFileTime(ft);
    return FileTimeToSystemTime(&t, &out) != 0;
}

// A UTC moment to the local calendar fields of that moment (the daylight saving rule of that
// date applies).
inline bool utcFileTimeToLocalFields(uint64_t ft, SYSTEMTIME& out) {
    SYSTEMTIME utc;
    if (!fileTimeU64ToCalendarFields(ft, utc)) return false;
    return SystemTimeToTzSpecificLocalTime(nullptr, &utc, &out) != 0;
}

// Local calendar fields to the UTC moment they name; the platform decides daylight saving.
inline bool localFieldsToUtcFileTime(const SYSTEMTIME& local, uint64_t& out) {
    SYSTEMTIME utc;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc)) return false;
    return calendarFieldsToFileTimeU64(utc, out);
}

inline bool isLeapYear(int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

inline int daysInMonth(int64_t year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Calendar normalisation of a date whose month may lie outside 1..12 and whose day may exceed
// the month's length: months carry into years and surplus days into the following months (31
// February becomes 3 March, or 2 March in a leap year), as the C library's mktime does. Returns
// false when the year leaves what a file time can hold (1601 to 30827).
inline bool normaliseDate(int64_t year, int64_t month, int day, SYSTEMTIME& out) {
    int64_t m0 = month - 1;
    year += m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
    m0 = ((m0 % 12) + 12) % 12;
    int m = int(m0) + 1;
    if (year < 1601 || year > 30827) return false;
    while (day > daysInMonth(year, m)) {
        day -= daysInMonth(year, m);
        if (++m > 12) {
            m = 1;
            if (++year > 30827) return false;
        }
    }
    out = SYSTEMTIME{};
    out.wYear = WORD(year);
    out.wMonth = WORD(m);
    out.wDay = WORD(day < 1 ? 1 : day);
    return true;
}
