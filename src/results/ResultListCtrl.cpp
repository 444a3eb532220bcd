// The result list's control class: deferred row-count changes on top of a plain list view.
#include "results/ResultListCtrl.h"

#include "toolkit/Dpi.h"

ResultListCtrl::~ResultListCtrl() {
    release();
}

HWND ResultListCtrl::create(HWND parent, int id, const RECT& rect) {
    if (!Window::create(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                            LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                        UINT(id)))
        return nullptr;
    return hwnd();
}

void ResultListCtrl::flush() {
    if (!hwnd()) return;
    applyRecorded();
    catchUp();
    updateTimer();
}

void ResultListCtrl::applyRecorded() {
    if (!pending_) return;
    pending_ = false;
    defaultHandling(LVM_SETITEMCOUNT, WPARAM(pendingCount_), LPARAM(pendingFlags_));
}

void ResultListCtrl::catchUp() {
    if (!source_) return;
    int32_t rows = source_->rowsToShow();
    if (rows < 0) return;
    if (rows > int32_t(defaultHandling(LVM_GETITEMCOUNT, 0, 0)))
        defaultHandling(LVM_SETITEMCOUNT, WPARAM(rows),
                        LPARAM(LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL));
}

void ResultListCtrl::updateTimer() {
    bool wanted = hwnd() && (pending_ || (watching_ && source_));
    if (wanted == timerOn_) return;
    if (wanted)
        timerOn_ = SetTimer(hwnd(), kTimerId, delayMs_, nullptr) != 0;
    else {
        KillTimer(hwnd(), kTimerId);
        timerOn_ = false;
    }
}

void ResultListCtrl::onTick() {
    const int32_t before = int32_t(defaultHandling(LVM_GETITEMCOUNT, 0, 0));
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    flush();
    QueryPerformanceCounter(&end);
    if (!timerOn_ || int32_t(defaultHandling(LVM_GETITEMCOUNT, 0, 0)) == before) return;
    // The next tick waits kCostShare times what this count took to apply.
    const double costMs = double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
    const double wanted = costMs * kCostShare;
    const UINT delay = wanted <= kDelayMs ? kDelayMs : wanted >= kMaxDelayMs ? kMaxDelayMs : UINT(wanted);
    if (delay == delayMs_) return;
    delayMs_ = delay;
    timerOn_ = SetTimer(hwnd(), kTimerId, delayMs_, nullptr) != 0; // replaces the running timer
}

void ResultListCtrl::followRows(RowSource* source) {
    source_ = source;
    if (!source_) watching_ = false;
    updateTimer();
}

void ResultListCtrl::watchRows(bool on) {
    watching_ = on && source_;
    flush();
}

void ResultListCtrl::release() {
    if (!hwnd()) return;
    flush();
    source_ = nullptr;
    watching_ = false;
    updateTimer();
    unsubclass();
}

void ResultListCtrl::onFinalDestroy() {
    // The window and its timer are gone; nothing is left to apply.
    pending_ = false;
    timerOn_ = false;
    source_ = nullptr;
    watching_ = false;
}

LRESULT ResultListCtrl::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case LVM_SETITEMCOUNT: return onSetItemCount(wParam, lParam);
    case WM_GETDLGCODE: return onGetDlgCode(wParam, lParam);
    case WM_TIMER:
        if (wParam == kTimerId) {
            onTick();
            return 0;
        }
        break;
    default:
        // Every other list-view message sees the true count.
        if (message >= LVM_FIRST && message < LVM_FIRST + 0x100) {
            applyRecorded();
            catchUp();
        }
        break;
    }
    return defaultHandling(message, wParam, lParam);
}

LRESULT ResultListCtrl::onSetItemCount(WPARAM count, LPARAM flags) {
    int32_t newCount = int32_t(count);
    int32_t effective = pending_ ? pendingCount_ : int32_t(defaultHandling(LVM_GETITEMCOUNT, 0, 0));
    if (newCount < effective) {
        // Rows go away: apply in order, now, so the list drops selection and focus with them.
        applyRecorded();
        updateTimer();
        return defaultHandling(LVM_SETITEMCOUNT, count, flags);
    }
    // Only the newest count matters; the weakest flags of the recorded calls are kept, so a call
    // that asked for a full redraw or allowed scrolling still gets it.
    const DWORD keep = LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL;
    if (pending_) {
        pendingFlags_ &= DWORD(flags) & keep;
    } else {
        pendingFlags_ = DWORD(flags) & keep;
        pending_ = true;
        updateTimer();
    }
    pendingCount_ = newCount;
    return TRUE;
}

void ResultListCtrl::rescaleColumns(UINT fromDpi, UINT toDpi) {
    HWND header = hwnd() ? reinterpret_cast<HWND>(SendMessageA(hwnd(), LVM_GETHEADER, 0, 0)) : nullptr;
    int columns = header ? int(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < columns; ++i) {
        int width = int(SendMessageA(hwnd(), LVM_GETCOLUMNWIDTH, WPARAM(i), 0));
        SendMessageA(hwnd(), LVM_SETCOLUMNWIDTH, WPARAM(i),
                     MAKELPARAM(toolkit::rescaled(width, fromDpi, toDpi), 0));
    }
}

LRESULT ResultListCtrl::onGetDlgCode(WPARAM wParam, LPARAM lParam) {
    LRESULT code = defaultHandling(WM_GETDLGCODE, wParam, lParam);
    // Tab still moves the focus on: a list that kept it would trap the keyboard.
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) return code;
    return code | DLGC_WANTALLKEYS;
}
