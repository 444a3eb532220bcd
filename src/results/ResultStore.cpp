// Setting the result list's row count.
#include "results/ResultStore.h"

#include <commctrl.h>

void setListRowCount(HWND list, int32_t count, DWORD flags) {
    if (!list) return;
    SendMessageA(list, LVM_SETITEMCOUNT, WPARAM(count), LPARAM(flags));
}
