// Data exchange between dialog controls and members, with the unsigned-number check.
#include "toolkit/DataExchange.h"

#include "toolkit/MessageBoxes.h"

#include <commctrl.h>

#include <vector>

#include "toolkit/FileTime.h"

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

namespace {

// The picker's fields as seconds since 1970 UTC (the fields are local time); false when they
// name no moment that the 32-bit time holds.
bool pickerSeconds(HWND picker, int32_t& seconds) {
    SYSTEMTIME local{};
    if (SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&local)) != GDT_VALID)
        return false;
    local.wMilliseconds = 0;
    uint64_t utc = 0;
    if (!localFieldsToUtcFileTime(local, utc)) return false;
    const int64_t t =
        (int64_t(utc) - int64_t(kUnixEpochAsFileTime)) / int64_t(kFileTimeTicksPerSecond);
    if (t < INT32_MIN || t > INT32_MAX) return false;
    seconds = int32_t(t);
    return true;
}

} // namespace

void DataExchange::date(int id, int32_t& seconds, ShownDate& shown) {
    if (hasFailed) return;
    HWND picker = control(id);
    if (!picker) return;
    if (toMembers) {
        int32_t read = 0;
        if (!pickerSeconds(picker, read)) return;
        // Left alone since it was shown: exactly what it was given.
        seconds = shown.known && read == shown.asRead ? shown.seconds : read;
        return;
    }
    // The platform's own time-zone rules, as everywhere else in the program (the C runtime's
    // would follow the TZ variable instead).
    SYSTEMTIME local{};
    if (utcFileTimeToLocalFields(time32ToFileTimeU64(seconds), local))
        SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&local));
    shown.seconds = seconds;
    shown.known = pickerSeconds(picker, shown.asRead);
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
