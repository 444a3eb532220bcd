// The Date and Size page: exchange with its number checks, and the enabling rules.
#include "options/CPageDate.h"

#include "options/PageLayout.h"
#include "resources/resource.h"

CPageDate::CPageDate() : toolkit::PropertyPage(IDD_PAGE_DATE) {}

bool CPageDate::onInitDialog() {
    fillDropDown(hwnd(), IDC_DATE_KIND, {"Modified", "Created", "Last accessed"});
    fillDropDown(hwnd(), IDC_DATE_UNIT, {"month(s)", "week(s)", "day(s)"});
    return toolkit::PropertyPage::onInitDialog();
}

bool CPageDate::isChecked(int id) const {
    return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED;
}

void CPageDate::exchange(toolkit::DataExchange& dx) {
    dx.check(IDC_DATE_ON, dateEnabled);
    dx.check(IDC_DATE_LARGER_ON, largerThanOn);
    dx.check(IDC_DATE_SMALLER_ON, smallerThanOn);
    dx.listIndex(IDC_DATE_KIND, dateKind);
    if (!dx.failed()) exchangeDateMode(dx.toValues());
    dx.date(IDC_DATE_TO, toDate, toShown_);
    dx.date(IDC_DATE_FROM, fromDate, fromShown_);
    dx.listIndex(IDC_DATE_UNIT, previousUnit);
    dx.unsignedNumber(IDC_DATE_COUNT, previousCount);
    dx.unsignedNumber(IDC_DATE_MIN, largerThanKB);
    dx.unsignedNumber(IDC_DATE_MAX, smallerThanKB);
    if (dx.toValues() || dx.failed()) return;
    enableDateControls(dateEnabled != 0, dateMode == 0, dateMode == 1);
    EnableWindow(GetDlgItem(hwnd(), IDC_DATE_MIN), largerThanOn != 0);
    EnableWindow(GetDlgItem(hwnd(), IDC_DATE_MAX), smallerThanOn != 0);
}

void CPageDate::exchangeDateMode(bool toValues) {
    // "Between" and "During the previous" are one choice although the "and" label between
    // them starts a new group in tab order, so the pair is exchanged here button by button.
    if (toValues) {
        dateMode = isChecked(IDC_DATE_BETWEEN) ? 0 : isChecked(IDC_DATE_PREVIOUS) ? 1 : -1;
        return;
    }
    CheckDlgButton(hwnd(), IDC_DATE_BETWEEN, dateMode == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd(), IDC_DATE_PREVIOUS, dateMode == 1 ? BST_CHECKED : BST_UNCHECKED);
}

void CPageDate::enableDateControls(bool dateOn, bool between, bool previous) {
    enableControls(hwnd(), {IDC_DATE_KIND, IDC_DATE_BETWEEN, IDC_DATE_PREVIOUS}, dateOn);
    enableControls(hwnd(), {IDC_DATE_FROM, IDC_DATE_TO}, dateOn && between);
    enableControls(hwnd(), {IDC_DATE_COUNT, IDC_DATE_UNIT}, dateOn && previous);
}

bool CPageDate::onCommand(UINT id) {
    switch (id) {
    case IDC_DATE_ON:
        enableDateControls(isChecked(IDC_DATE_ON), isChecked(IDC_DATE_BETWEEN),
                           isChecked(IDC_DATE_PREVIOUS));
        return true;
    case IDC_DATE_LARGER_ON:
        EnableWindow(GetDlgItem(hwnd(), IDC_DATE_MIN), isChecked(IDC_DATE_LARGER_ON));
        return true;
    case IDC_DATE_SMALLER_ON:
        EnableWindow(GetDlgItem(hwnd(), IDC_DATE_MAX), isChecked(IDC_DATE_SMALLER_ON));
        return true;
    case IDC_DATE_BETWEEN:
    case IDC_DATE_PREVIOUS: {
        // The platform unchecks only radios of the same tab-order group: do it for the pair.
        int other = id == IDC_DATE_BETWEEN ? IDC_DATE_PREVIOUS : IDC_DATE_BETWEEN;
        if (isChecked(id)) CheckDlgButton(hwnd(), other, BST_UNCHECKED);
        bool between = isChecked(IDC_DATE_BETWEEN), previous = isChecked(IDC_DATE_PREVIOUS);
        enableControls(hwnd(), {IDC_DATE_FROM, IDC_DATE_TO}, between);
        enableControls(hwnd(), {IDC_DATE_COUNT, IDC_DATE_UNIT}, previous);
        return true;
    }
    default: return false;
    }
}
