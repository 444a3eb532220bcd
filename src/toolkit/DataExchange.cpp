// Data exchange between dialog controls and members, with the unsigned-number check.
#include "toolkit/DataExchange.h"

#include "toolkit/MessageBoxes.h"

#include <commctrl.h>

#include <ctime>
#include <vector>

namespace toolkit {

bool parseUnsignedField(const std::string& text, uint32_t& value) {
    size_t i = 0;
    auto blank = [&](size_t at) {
        return at < text.size() && (text[at] == ' ' || text[at] == '\t');
    };
    while (blank(i))
        ++i;
    if (i < text.size() && text[i] == '+') ++i;
    size_t digitsStart = i;
    uint64_t number = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        number = number * 10 + static_cast<uint64_t>(text[i] - '0');
        if (number > 0xFFFFFFFFull) number = 0xFFFFFFFFull; // beyond the range: the largest
        ++i;
    }
    if (i == digitsStart) return false;
    while (blank(i))
        ++i;
    if (i != text.size()) return false;
    value = static_cast<uint32_t>(number);
    return true;
}

void DataExchange::text(int id, std::string& value) {
    if (hasFailed) return;
    HWND field = control(id);
    if (!toMembers) {
        SetWindowTextA(field, value.c_str());
        return;
    }
    int length = GetWindowTextLengthA(field);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int got = GetWindowTextA(field, buffer.data(), length + 1);
    value.assign(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void DataExchange::unsignedNumber(int id, uint32_t& value) {
    if (hasFailed) return;
    HWND field = control(id);
    if (!toMembers) {
        SetWindowTextA(field, std::to_string(value).c_str());
        return;
    }
    char buffer[32] = {};
    GetWindowTextA(field, buffer, sizeof(buffer));
    if (!parseUnsignedField(buffer, value)) {
        showMessageBox(dialog, kPositiveIntegerMessage, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        fail(id);
    }
}

void DataExchange::check(int id, int& value) {
    if (hasFailed) return;
    if (toMembers)
        value = static_cast<int>(SendMessageA(control(id), BM_GETCHECK, 0, 0));
    else
        SendMessageA(control(id), BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DataExchange::check(int id, bool& value) {
    int state = value ? BST_CHECKED : BST_UNCHECKED;
    check(id, state);
    if (!hasFailed && toMembers) value = state == BST_CHECKED;
}

void DataExchange::radio(int firstId, int& value) {
    if (hasFailed) return;
    HWND button = control(firstId);
    if (toMembers) value = -1;
    int index = 0;
    // Tab order is the order of the dialog's children; the group ends at the next group start.
    for (HWND item = button; item; item = GetWindow(item, GW_HWNDNEXT)) {
        if (item != button && (GetWindowLongA(item, GWL_STYLE) & WS_GROUP)) break;
        if (!(SendMessageA(item, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
        if (toMembers) {
            if (SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            SendMessageA(item, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DataExchange::listIndex(int id, int& value) {
    if (hasFailed) return;
    HWND list = control(id);
    char className[32] = {};
    GetClassNameA(list, className, sizeof(className));
    bool combo = lstrcmpiA(className, "ComboBox") == 0;
    UINT getMessage = combo ? CB_GETCURSEL : LB_GETCURSEL;
    UINT setMessage = combo ? CB_SETCURSEL : LB_SETCURSEL;
    UINT countMessage = combo ? CB_GETCOUNT : LB_GETCOUNT;
    if (toMembers) {
        LRESULT selection = SendMessageA(list, getMessage, 0, 0);
        value = selection < 0 ? -1 : static_cast<int>(selection);
    } else {
        // An index the list cannot show clears the selection (not every platform does so).
        LRESULT count = SendMessageA(list, countMessage, 0, 0);
        int shown = value >= 0 && value < count ? value : -1;
        SendMessageA(list, setMessage, static_cast<WPARAM>(shown), 0);
    }
}

void DataExchange::date(int id, SYSTEMTIME& value) {
    if (hasFailed) return;
    HWND picker = control(id);
    if (toMembers) {
        SYSTEMTIME time{};
        if (SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) ==
            GDT_VALID)
            value = time;
    } else {
        SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value));
    }
}

void DataExchange::date(int id, int32_t& seconds) {
    if (hasFailed) return;
    if (toMembers) {
        SYSTEMTIME time{};
        if (SendMessageA(control(id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) !=
            GDT_VALID)
            return;
        std::tm local{};
        local.tm_year = time.wYear - 1900;
        local.tm_mon = time.wMonth - 1;
        local.tm_mday = time.wDay;
        local.tm_hour = time.wHour;
        local.tm_min = time.wMinute;
        local.tm_sec = time.wSecond;
        local.tm_isdst = -1; // daylight saving as the platform decides
        std::time_t t = std::mktime(&local);
        if (t != static_cast<std::time_t>(-1) && t >= INT32_MIN && t <= INT32_MAX)
            seconds = static_cast<int32_t>(t);
    } else {
        std::time_t t = seconds;
        std::tm* local = std::localtime(&t);
        if (!local) return;
        SYSTEMTIME time{};
        time.wYear = static_cast<WORD>(local->tm_year + 1900);
        time.wMonth = static_cast<WORD>(local->tm_mon + 1);
        time.wDay = static_cast<WORD>(local->tm_mday);
        time.wDayOfWeek = static_cast<WORD>(local->tm_wday);
        time.wHour = static_cast<WORD>(local->tm_hour);
        time.wMinute = static_cast<WORD>(local->tm_min);
        time.wSecond = static_cast<WORD>(local->tm_sec);
        date(id, time);
    }
}

void DataExchange::fail(int id) {
    hasFailed = true;
    HWND field = control(id);
    if (!field) return;
    SetFocus(field);
    char className[16] = {};
    GetClassNameA(field, className, sizeof(className));
    if (lstrcmpiA(className, "Edit") == 0) SendMessageA(field, EM_SETSEL, 0, -1);
}

} // namespace toolkit
