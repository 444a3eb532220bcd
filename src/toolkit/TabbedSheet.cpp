// The tabbed property sheet shown as a child window, and its pages.
#include "toolkit/TabbedSheet.h"

#include "toolkit/Application.h"

#include <commctrl.h>

namespace toolkit {

PROPSHEETPAGEA PropertyPage::pageDescription() {
    PROPSHEETPAGEA description{};
    description.dwSize = sizeof(description);
    description.hInstance = instance();
    const DLGTEMPLATE* inMemory = memoryTemplateOf();
    if (inMemory) {
        description.dwFlags = PSP_DLGINDIRECT;
        description.pResource = inMemory;
    } else {
        description.dwFlags = PSP_DEFAULT;
        description.pszTemplate = MAKEINTRESOURCEA(templateId());
    }
    description.pfnDlgProc = &PropertyPage::pageProcedure;
    description.lParam = reinterpret_cast<LPARAM>(this);
    return description;
}

bool PropertyPage::onSetActive() {
    if (shownBefore) return exchangeData(false);
    shownBefore = true;
    return true;
}

LRESULT PropertyPage::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT answer = 0;
        bool handled = true;
        switch (header->code) {
        // Nonzero keeps the page in front.
        case PSN_KILLACTIVE: answer = onKillActive() ? FALSE : TRUE; break;
        // -1 refuses the page; 0 accepts it.
        case PSN_SETACTIVE: answer = onSetActive() ? 0 : -1; break;
        default: handled = false; break;
        }
        if (handled) {
            SetWindowLongPtrA(handle, DWLP_MSGRESULT, answer);
            return answer;
        }
    }
    return Dialog::handleMessage(message, wParam, lParam);
}

INT_PTR CALLBACK PropertyPage::pageProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    // The sheet gives the page a copy of its description; ours is in its lParam.
    if (message != WM_INITDIALOG || !lParam || fromHandle(window)) return FALSE;
    auto* self = reinterpret_cast<PropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
    if (!self) return FALSE;
    self->attachDialog(window);
    return dispatch(self, window, message, wParam, lParam);
}

TabbedSheet::~TabbedSheet() {
    // The sheet belongs to its parent dialog and goes with it; the object only lets go.
    unsubclass();
}

PropertyPage* TabbedSheet::page(int index) const {
    if (index < 0 || index >= pageCount()) return nullptr;
    return pages[static_cast<size_t>(index)];
}

int CALLBACK TabbedSheet::sheetCallback(HWND, UINT message, LPARAM lParam) {
    if (message != PSCB_PRECREATE || !lParam) return 0;
    // The sheet's own template: a DLGTEMPLATEEX (second WORD 0xFFFF) has its style at offset 12,
    // a DLGTEMPLATE at offset 0. The sheet becomes a plain child that Tab can reach.
    auto* words = reinterpret_cast<WORD*>(lParam);
    DWORD* style = words[1] == 0xFFFF
                       ? reinterpret_cast<DWORD*>(reinterpret_cast<BYTE*>(lParam) + 12)
                       : &reinterpret_cast<DLGTEMPLATE*>(lParam)->style;
    *style &= ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE);
    *style |= WS_CHILD | WS_TABSTOP;
    return 0;
}

bool TabbedSheet::createAsChild(HWND parent) {
    if (handle || pages.empty()) return false;
    std::vector<PROPSHEETPAGEA> descriptions;
    for (PropertyPage* p : pages)
        descriptions.push_back(p->pageDescription());

    PROPSHEETHEADERA header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK | PSH_NOAPPLYNOW;
    header.hwndParent = parent;
    header.hInstance = instance();
    header.nPages = static_cast<UINT>(descriptions.size());
    header.nStartPage = 0;
    header.ppsp = descriptions.data();
    header.pfnCallback = &TabbedSheet::sheetCallback;
    auto created = PropertySheetA(&header);
    HWND sheet = reinterpret_cast<HWND>(created);
    if (created == -1 || created == 0 || !IsWindow(sheet)) return false;
    if (!subclass(sheet)) {
        DestroyWindow(sheet);
        return false;
    }
    for (int id : {IDOK, IDCANCEL}) {
        HWND button = GetDlgItem(sheet, id);
        if (button) {
            ShowWindow(button, SW_HIDE);
            EnableWindow(button, FALSE);
        }
    }
    SetWindowPos(sheet, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
}

int TabbedSheet::activeIndex() const {
    if (!handle) return -1;
    HWND front = reinterpret_cast<HWND>(SendMessageA(handle, PSM_GETCURRENTPAGEHWND, 0, 0));
    for (int i = 0; i < pageCount(); ++i)
        if (front && pages[static_cast<size_t>(i)]->hwnd() == front) return i;
    return -1;
}

PropertyPage* TabbedSheet::activePage() const {
    return page(activeIndex());
}

bool TabbedSheet::setActivePage(int index) {
    if (!handle || !page(index)) return false;
    return SendMessageA(handle, PSM_SETCURSEL, static_cast<WPARAM>(index), 0) != 0;
}

HWND TabbedSheet::tabControl() const {
    return handle ? reinterpret_cast<HWND>(SendMessageA(handle, PSM_GETTABCONTROL, 0, 0)) : nullptr;
}

} // namespace toolkit
