// The main dialog's side of a search session: Search Now, Stop Search, New Search, Reset, the
// two thread messages, completion and the command-state refresh.
#include "ui/CFindTestDlg.h"

#include "engine/UserMessages.h"
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
    if (!searchEngine.startSearch()) {
        // No thread could be made: the engine has undone the start; the session stays idle and
        // the list shows its level.
        showFoundCount();
        refreshCommandState(true);
        return;
    }
    apply(completion.on(SearchCompletion::Event::Started));

    // A disabled button cannot keep the focus: with it nothing would have the focus, and Enter
    // and Tab would reach nothing. Stop Search takes it over and becomes the default button.
    if (GetFocus() == searchNowButton)
        SendMessageA(handle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(stopButton), TRUE);
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
    setDefaultButton(defaultButton());
}

int CFindTestDlg::defaultButton() const {
    // While a search runs Search Now is disabled: Enter stops the search instead.
    return completion.pending() ? IDC_STOP_SEARCH : IDC_SEARCH_NOW;
}

void CFindTestDlg::onWorkerState(WPARAM begins) {
    apply(completion.on(begins ? SearchCompletion::Event::ThreadBegan
                               : SearchCompletion::Event::ThreadEnded));
}

void CFindTestDlg::onSearchFinished() {
    apply(completion.on(SearchCompletion::Event::Finished));
}

void CFindTestDlg::apply(SearchCompletion::Action action) {
    using Action = SearchCompletion::Action;
    if (action == Action::None) return;
    if (action == Action::DeferCheck) {
        // A thread that has just posted its end is given the pause to end before it is
        // counted. The window waits for it on a timer, not asleep: it keeps answering while
        // hits arrive.
        const DWORD pause = searchEngine.settings().workerStatePauseMs;
        if (pause == 0 || !SetTimer(handle, kThreadCheckTimer, pause, nullptr))
            apply(completion.on(SearchCompletion::Event::CheckDue));
        return;
    }
    if (action == Action::PollEngine) {
        // Repeat the end notice a thread may have posted too early or never.
        if (!searchEngine.isBusy())
            PostMessageA(handle,
                         searchEngine.scope() == SearchScope::Lan ? WM_WORKER_STATE
                                                                  : WM_SEARCH_FINISHED,
                         0, 0);
        if (searchEngine.stopRequested()) setPane(0, toolkit::loadString(IDS_STOP_SEARCHING));
        return;
    }
    KillTimer(handle, kThreadCheckTimer);
    if (action == Action::Complete) {
        completeSearch();
    } else if (action == Action::ShowThreadCount || action == Action::CompleteWhenNoThreads) {
        const int32_t running = searchEngine.activeThreadCount();
        setPane(1, formatCount(IDS_ACTIVE_THREADS, running));
        if (action == Action::CompleteWhenNoThreads && running == 0) completeSearch();
    }
}

void CFindTestDlg::completePendingSearch() {
    if (completion.pending() && !searchEngine.isBusy()) completeSearch();
}

void CFindTestDlg::completeSearch() {
    if (!completion.pending() || !searchEngine.finishSearch()) return;
    completion.on(SearchCompletion::Event::Completed);
    showFoundCount();
    if (busyTimerId) KillTimer(handle, busyTimerId);
    moveBusyIcon(0, 0);
    EnableWindow(searchNowButton, TRUE);
    // The focus that Stop Search took over at the start goes back with the default button.
    if (GetFocus() == stopButton)
        SendMessageA(handle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(searchNowButton), TRUE);
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
