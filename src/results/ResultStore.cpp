// Appending to the ResultSet and announcing the new row count to the list.
#include "results/ResultStore.h"

#include <commctrl.h>

void setListRowCount(HWND list, int32_t count, DWORD flags) {
    if (!list) return;
    SendMessageA(list, LVM_SETITEMCOUNT, WPARAM(count), LPARAM(flags));
}

int32_t ResultSet::append(const FoundItem& item) {
    int32_t position = items_.append(item); // storeLock is held only inside this call
    setListRowCount(list_, position + 1, kAppendCountFlags);
    return position;
}
