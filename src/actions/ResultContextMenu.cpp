// The result list's right-click menu.
#include "actions/ResultContextMenu.h"

#include "resources/resource.h"
#include "results/ResultView.h"
#include "toolkit/Application.h"

#include <commctrl.h>

UINT contextMenuFor(ResultView& view) {
    HWND list = view.list();
    if (!list) return 0;
    int32_t selected = int32_t(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0));
    if (selected > 1) return IDR_MENU_ON_MULTI;
    if (selected != 1) return 0;
    std::optional<FoundItem> item = view.itemAt(view.firstSelectedRow());
    if (!item) return 0;
    return item->isFolder() ? IDR_MENU_ON_FOLDER : IDR_MENU_ON_FILE;
}

void showResultContextMenu(ResultView& view, HWND owner) {
    POINT at{};
    GetCursorPos(&at);
    UINT menuId = contextMenuFor(view);
    if (menuId == 0) return;
    HMENU menu = LoadMenuA(toolkit::instance(), MAKEINTRESOURCEA(menuId));
    if (!menu) return;
    // The owner enables the items when the popup opens and receives the chosen command.
    if (HMENU popup = GetSubMenu(menu, 0))
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
    DestroyMenu(menu);
}
