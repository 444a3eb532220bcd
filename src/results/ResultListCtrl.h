// The result list's own control class: an owner-data list view that applies row-count changes
// lazily, so that a search announcing every hit is not held up by the list redrawing its scroll
// bar for each one.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "toolkit/Window.h"

// A list view taken over through the toolkit (subclass / subclassDlgItem for the dialog's
// control 1000, or create). LVM_SETITEMCOUNT calls that raise the count are recorded (the newest
// count; a scroll or full redraw asked by any of them is kept) and applied when a 50 ms timer
// fires, and at once before the control handles any other list-view message, so every reader of
// the list (count, selection, ensure-visible) sees the true count. A call that lowers the count
// (clearing, switching levels) is applied at once, in order, so the selection the list drops
// with the rows is dropped as it would be without the deferral.
//
// In a dialog it asks for every key (Enter, Esc and the rest reach the list, so Esc in the list
// does not close the window and Enter opens the selected items), except Tab, which moves on.
//
// The list can also follow a RowSource, the view it shows: search threads add rows to that view
// without telling anyone, and every list-view message first brings the row count up to the
// source's count; while watching (a search runs), the timer does the same. A count is only
// ever raised this way, so rows cannot go missing through announcements that arrive late or out
// of order.
//
// The timer fires every 50 ms, or less often where applying a count is slow: a list with a
// scroll bar redraws it for every count (about 16 ms under Wine, under a millisecond on Windows),
// and a search must not spend a third of a processor on that while its walkers list folders. The
// next tick comes no sooner than kCostShare times the last apply took, and at least every
// kMaxDelayMs.
class RowSource {
public:
    // Rows the view has now, or -1 when the list should keep the count it shows (the view is
    // about to be replaced). Called on the list's thread.
    virtual int32_t rowsToShow() = 0;

protected:
    ~RowSource() = default;
};

class ResultListCtrl : public toolkit::Window {
public:
    static constexpr UINT_PTR kTimerId = 0x52C7; // the list view's own timers use small ids
    static constexpr UINT kDelayMs = 50;
    static constexpr UINT kMaxDelayMs = 500;
    static constexpr UINT kCostShare = 16;

    ResultListCtrl() = default;
    ~ResultListCtrl() override;

    // Creates a report-view, owner-data list view child (several rows selectable, selection kept
    // visible, shared image lists) and takes it over. Returns the window or null.
    HWND create(HWND parent, int id, const RECT& rect);
    // Applies a recorded count now and catches up with the source (the interface thread only).
    void flush();
    // The view the list shows (null: none). The source must outlive the following.
    void followRows(RowSource* source);
    RowSource* rowSource() const { return source_; }
    // While on, the timer catches up with the source at every tick; turning it off catches up
    // once more.
    void watchRows(bool on);
    // Applies what is recorded and gives the window back to the plain list view.
    void release();

    bool hasPendingCount() const { return pending_; }

    // The window moved to a screen of another DPI: every column keeps its share of the width
    // (a column a person widened stays wider than the others).
    void rescaleColumns(UINT fromDpi, UINT toDpi);

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onFinalDestroy() override;

private:
    LRESULT onSetItemCount(WPARAM count, LPARAM flags);
    LRESULT onGetDlgCode(WPARAM wParam, LPARAM lParam);
    void applyRecorded();
    void catchUp();
    void updateTimer();
    void onTick();

    RowSource* source_ = nullptr;
    bool watching_ = false;
    bool timerOn_ = false;
    UINT delayMs_ = kDelayMs;
    bool pending_ = false;
    int32_t pendingCount_ = 0;
    DWORD pendingFlags_ = 0;
};
