// Data exchange between a dialog's controls and its members, in both directions: text, unsigned
// number (checked), check box, radio group, list index and date.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace toolkit {

// The text the unsigned-number check shows when a field does not hold a number.
inline constexpr const char* kPositiveIntegerMessage = "Please enter a positive integer.";

// Reads an unsigned number field: optional blanks (space, tab), an optional plus sign, decimal
// digits and optional blanks. A value beyond 4294967295 becomes 4294967295. False for an empty
// field, a minus sign or any other text; value is then unchanged.
bool parseUnsignedField(const std::string& text, uint32_t& value);

// What a date picker was last given, and what its fields meant read back right after.
struct ShownDate {
    bool known = false;
    int32_t seconds = 0;
    int32_t asRead = 0;
};

// One exchange pass. Each call moves one value: to the members when toValues(), else to the
// controls. A failed check shows its message, puts the focus on the field and ends the pass:
// every later call does nothing, so the fields after it keep their previous values.
class DataExchange {
public:
    DataExchange(HWND dialog, bool toValues) : dialog(dialog), toMembers(toValues) {}

    bool toValues() const { return toMembers; }
    bool failed() const { return hasFailed; }
    HWND dialogWindow() const { return dialog; }

    // Window text of any control.
    void text(int id, std::string& value);
    // An edit field holding an unsigned number (its first 31 characters are read); the check of
    // parseUnsignedField applies, also to a disabled field.
    void unsignedNumber(int id, uint32_t& value);
    // A check box: 0 off, 1 on, 2 indeterminate.
    void check(int id, int& value);
    void check(int id, bool& value);
    // A radio group: the buttons from firstId (the group start) in tab order up to the next
    // group start; value is the index of the button that is on, -1 when none is.
    void radio(int firstId, int& value);
    // The selection of a drop-down list or list box, -1 for none. An index the list cannot show
    // shows as no selection.
    void listIndex(int id, int& value);
    // A date picker, as the platform's calendar time.
    void date(int id, SYSTEMTIME& value);
    // A date picker, as seconds since 1 January 1970 UTC shown in local time by the platform's
    // time-zone rules. A picker that the user left alone gives back exactly the seconds it was
    // last given (kept in shown), also when it could not show them or when its local time
    // names two moments (the hour repeated when daylight saving ends).
    void date(int id, int32_t& seconds, ShownDate& shown);

    // Ends the pass at field id after a check of the caller's own: focus to the field.
    void fail(int id);

private:
    HWND control(int id) const { return GetDlgItem(dialog, id); }

    HWND dialog;
    bool toMembers;
    bool hasFailed = false;
};

} // namespace toolkit
