// CPageDate: the "Date and Size" page of the option sheet (the date test and the two size tests).
#pragma once

#include "toolkit/TabbedSheet.h"

#include <cstdint>

class CPageDate : public toolkit::PropertyPage {
public:
    CPageDate();

    // Page values (see SearchOptions for their meaning); dates are seconds since 1970 UTC.
    int dateEnabled = 0;
    int largerThanOn = 0;
    int smallerThanOn = 0;
    int dateKind = -1;
    int dateMode = -1; // 0 "Between", 1 "During the previous", -1 neither
    int32_t toDate = 0;
    int32_t fromDate = 0;
    int previousUnit = -1;
    uint32_t previousCount = 0;
    uint32_t largerThanKB = 0;
    uint32_t smallerThanKB = 0;
    RECT sizeDelta{0, 0, 0, 0};

protected:
    bool onInitDialog() override;
    void exchange(toolkit::DataExchange& dx) override;
    bool onCommand(UINT id) override;

private:
    void exchangeDateMode(bool toValues);
    // The date kind list and both radios follow "Date"; the pickers need "Between" too, the
    // count field and unit list "During the previous"; each size field follows its check box.
    void enableDateControls(bool dateOn, bool between, bool previous);
    bool isChecked(int id) const;

    toolkit::ShownDate toShown_, fromShown_;
};
