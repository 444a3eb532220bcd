// The result list's control class: deferred row-count changes on top of a plain list view.
#include "results/ResultListCtrl.h"

ResultListCtrl::~ResultListCtrl() {
    release();
}

bool ResultListCtrl::subclass(HWND list) {
    if (!list || hwnd_) return false;
    DWORD_PTR owner = 0;
    if (GetWindowSubclass(list, &ResultListCtrl::subclassProc, 0, &owner)) return false;
    if (!SetWindowSubclass(list, &ResultListCtrl::subclassProc, 0, DWORD_PTR(this))) return false;
    hwnd_ = list;
    appliedCount_ = int32_t(DefSubclassProc(list, LVM_GETITEMCOUNT, 0, 0));
    pending_ = false;
    return true;
}

HWND ResultListCtrl::create(HWND parent, int id, const RECT& rect) {
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                    LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                parent, HMENU(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
    if (!list) return nullptr;
    if (!subclass(list)) {
        DestroyWindow(list);
        return nullptr;
    }
    return list;
}

void ResultListCtrl::flush() {
    if (!hwnd_ || !pending_) return;
    pending_ = false;
    KillTimer(hwnd_, kTimerId);
    DefSubclassProc(hwnd_, LVM_SETITEMCOUNT, WPARAM(pendingCount_), LPARAM(pendingFlags_));
    appliedCount_ = pendingCount_;
}

void ResultListCtrl::release() {
    if (!hwnd_) return;
    flush();
    RemoveWindowSubclass(hwnd_, &ResultListCtrl::subclassProc, 0);
    hwnd_ = nullptr;
}

LRESULT CALLBACK ResultListCtrl::subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR, DWORD_PTR refData) {
    auto* self = reinterpret_cast<ResultListCtrl*>(refData);
    if (!self || self->hwnd_ != hwnd) return DefSubclassProc(hwnd, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT ResultListCtrl::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    switch (message) {
    case LVM_SETITEMCOUNT: return onSetItemCount(wParam, lParam);
    case WM_TIMER:
        if (wParam == kTimerId) {
            flush();
            return 0;
        }
        break;
    case WM_NCDESTROY:
        // The window goes: nothing is applied any more, and the subclass is taken off.
        KillTimer(hwnd, kTimerId);
        pending_ = false;
        RemoveWindowSubclass(hwnd, &ResultListCtrl::subclassProc, 0);
        hwnd_ = nullptr;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    default:
        // Every other list-view message sees the true count.
        if (message >= LVM_FIRST && message < LVM_FIRST + 0x100) flush();
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT ResultListCtrl::onSetItemCount(WPARAM count, LPARAM flags) {
    int32_t newCount = int32_t(count);
    int32_t effective = pending_ ? pendingCount_ : appliedCount_;
    if (newCount < effective) {
        // Rows go away: apply in order, now, so the list drops selection and focus with them.
        flush();
        LRESULT result = DefSubclassProc(hwnd_, LVM_SETITEMCOUNT, count, flags);
        appliedCount_ = int32_t(DefSubclassProc(hwnd_, LVM_GETITEMCOUNT, 0, 0));
        return result;
    }
    // Only the newest count matters; the weakest flags of the recorded calls are kept, so a call
    // that asked for a full redraw or allowed scrolling still gets it.
    const DWORD keep = LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL;
    if (pending_) {
        pendingFlags_ &= DWORD(flags) & keep;
    } else {
        pendingFlags_ = DWORD(flags) & keep;
        pending_ = true;
        SetTimer(hwnd_, kTimerId, kDelayMs, nullptr);
    }
    pendingCount_ = newCount;
    return TRUE;
}
