// The main dialog's side of a search session: Search Now, Stop Search, New Search, Reset, the
// two thread messages, completion and the command-state refresh.
#include "ui/CFindTestDlg.h"

#include "resources/resource.h"
#include "toolkit/Application.h"
#include "toolkit/WaitCursor.h"

#include <commctrl.h>

#include <cstdio>

namespace {

constexpr UINT kBusyPeriodMs = 250;

// A string-table format with one number ("%d file(s) found").
std::string formatCount(UINT formatId, int32_t value) {
    std::string format = toolkit::loadString(formatId);
    char text[256];
    snprintf(text, sizeof text, format.c_str(), int(value));
    return text;
}

} // namespace

void CFindTestDlg::onSearchNow() {
    if (searchEngine.isBusy()) return;
    // The threads of the last search have ended but its completion has not run yet: run it now,
    // so a search in the last result finds level 1 and no late end message completes this one.
    completePendingSearch();

    sheet.readOptionsFromPages(currentOptions);
    searchEngine.buildCriteria(currentOptions);
    if (!searchEngine.startSearch()) return;
    completionPending = true;
    endNoticePending = finishNoticePending = false;
    KillTimer(handle, kThreadCheckTimer);

    EnableWindow(searchNowButton, FALSE);
    setDefaultButton(IDC_STOP_SEARCH);
    setPane(0, "");
    setPane(1, toolkit::loadString(searchEngine.scope() == SearchScope::LastResult
                                       ? IDS_SEARCHING_LAST_RESULT
                                       : IDS_SEARCHING_LAN));
    commands.backEnabled = commands.forwardEnabled = commands.topEnabled = false;
    commands.selectedCount = 0;
    commands.findEnabled = true;

    busyTimerId = 0;
    for (UINT_PTR id = 1; id < 0x7FFF && busyTimerId == 0; ++id)
        if (SetTimer(handle, id, kBusyPeriodMs, nullptr)) busyTimerId = id;
}

void CFindTestDlg::onStopSearch() {
    if (!searchEngine.isBusy()) return;
    searchEngine.requestStop();
    setPane(0, toolkit::loadString(IDS_STOP_SEARCHING));
}

void CFindTestDlg::onNewSearch() {
    if (searchEngine.isBusy()) {
        showSearchInProgress();
        return;
    }
    completePendingSearch();
    resetToNewSearch();
}

void CFindTestDlg::resetToNewSearch() {
    toolkit::WaitCursor wait;
    setPane(0, "");
    setPane(1, toolkit::loadString(IDS_READY));
    sheet.resetSheetView();
    searchEngine.resetSession(false);
    refreshCommandState(false);
}

void CFindTestDlg::onReset() {
    resetOptions(currentOptions);
    sheet.applyOptionsToPages(&currentOptions);
    setDefaultButton(IDC_SEARCH_NOW);
}

void CFindTestDlg::onWorkerState(WPARAM begins) {
    // After completion a late end message (a thread's, or the timer's) has nothing to count.
    if (!completionPending) return;
    if (begins == 0) endNoticePending = true;
    deferThreadCheck();
}

void CFindTestDlg::onSearchFinished() {
    if (!completionPending) return;
    finishNoticePending = true;
    deferThreadCheck();
}

void CFindTestDlg::deferThreadCheck() {
    // A thread that has just posted its end is given the pause to end before it is counted. The
    // window waits for it on a timer, not asleep: it keeps answering while hits arrive.
    const DWORD pause = searchEngine.settings().workerStatePauseMs;
    if (pause == 0 || !SetTimer(handle, kThreadCheckTimer, pause, nullptr)) checkThreads();
}

void CFindTestDlg::checkThreads() {
    KillTimer(handle, kThreadCheckTimer);
    const bool ended = endNoticePending;
    const bool finished = finishNoticePending;
    endNoticePending = finishNoticePending = false;
    if (!completionPending) return;
    if (finished) {
        completeSearch();
        return;
    }
    const int32_t running = searchEngine.activeThreadCount();
    setPane(1, formatCount(IDS_ACTIVE_THREADS, running));
    if (ended && running == 0) completeSearch();
}

void CFindTestDlg::completePendingSearch() {
    if (completionPending && !searchEngine.isBusy()) completeSearch();
}

void CFindTestDlg::completeSearch() {
    if (!completionPending || !searchEngine.finishSearch()) return;
    completionPending = false;
    showFoundCount();
    if (busyTimerId) KillTimer(handle, busyTimerId);
    moveBusyIcon(0, 0);
    EnableWindow(searchNowButton, TRUE);
    setDefaultButton(IDC_SEARCH_NOW);
    refreshCommandState(true);
}

void CFindTestDlg::showFoundCount() {
    setPane(1, formatCount(IDS_FILES_FOUND, searchEngine.itemCount()));
    setPane(0, "");
}

void CFindTestDlg::refreshCommandState(bool resultShown) {
    commands.resultEnabled = resultShown;
    commands.findEnabled = resultShown;
    const bool running = searchEngine.isBusy();
    ResultHistory& history = searchEngine.history();
    commands.backEnabled = history.goBack(true, running);
    commands.forwardEnabled = history.goForward(true, running);
    commands.topEnabled = history.goTop(true, running);
    commands.selectedCount =
        static_cast<int32_t>(SendMessageA(resultListCtrl.hwnd(), LVM_GETSELECTEDCOUNT, 0, 0));
}
