// Calendar moments written out as SYSTEMTIME fields, for tests that build dates by hand.
#pragma once

#include <windows.h>

namespace calendar {

// The fields of a calendar moment as given; nothing is checked or converted.
inline SYSTEMTIME fields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                         int milliseconds = 0) {
    SYSTEMTIME t{};
    t.wYear = WORD(year);
    t.wMonth = WORD(month);
    t.wDay = WORD(day);
    t.wHour = WORD(hour);
    t.wMinute = WORD(minute);
    t.wSecond = WORD(second);
    t.wMilliseconds = WORD(milliseconds);
    return t;
}

} // namespace calendar
