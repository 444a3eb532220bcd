// The option sheet: its creation inside the main dialog, resizing, and the option transfers.
#include "options/COptionSheet.h"

#include "options/PageLayout.h"

COptionSheet::COptionSheet() {
    addPage(&pageMain);
    addPage(&pageLan);
    addPage(&pageFolder);
    addPage(&pageDate);
    addPage(&pageText);
}

bool COptionSheet::createInDialog(HWND dialog, int frameId) {
    if (!createAsChild(dialog)) return false;
    // Tab and the dialog keys must reach into the pages' controls.
    SetWindowLongA(hwnd(), GWL_EXSTYLE, GetWindowLongA(hwnd(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    SetWindowLongA(hwnd(), GWL_STYLE, GetWindowLongA(hwnd(), GWL_STYLE) | WS_TABSTOP);
    if (HWND frame = GetDlgItem(dialog, frameId)) {
        RECT r;
        GetWindowRect(frame, &r);
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(hwnd(), nullptr, r.left, r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    applyOptionsToPages(nullptr);
    GetClientRect(hwnd(), &rememberedClient);
    return true;
}

void COptionSheet::applyOptionsToPages(const SearchOptions* options) {
    SearchOptions defaults;
    if (!options) {
        resetOptions(defaults);
        options = &defaults;
    }
    const SearchOptions& o = *options;
    pageMain.namePattern = o.namePattern;
    pageMain.fileType = o.fileType;
    pageMain.scope = static_cast<int>(o.scope);
    pageMain.includeSubfolders = o.includeSubfolders;

    pageLan.domainsMode = static_cast<int>(o.domains.mode);
    pageLan.serversMode = static_cast<int>(o.servers.mode);
    pageLan.domainNames = o.domains.names;
    pageLan.serverNames = o.servers.names;

    pageFolder.foldersMode = static_cast<int>(o.folders.mode);
    pageFolder.folderNames = o.folders.names;

    pageDate.dateEnabled = o.dateEnabled;
    pageDate.largerThanOn = o.largerThanOn;
    pageDate.smallerThanOn = o.smallerThanOn;
    pageDate.dateKind = o.dateKind;
    pageDate.dateMode = o.dateMode;
    pageDate.fromDate = o.fromDate;
    pageDate.toDate = o.toDate;
    pageDate.previousUnit = o.previousUnit;
    pageDate.previousCount = o.previousCount;
    pageDate.largerThanKB = o.largerThanKB;
    pageDate.smallerThanKB = o.smallerThanKB;

    pageText.containingText = o.containingText;
    pageText.matchCase = o.matchCase;

    if (toolkit::PropertyPage* front = activePage()) front->exchangeData(false);
}

void COptionSheet::readOptionsFromPages(SearchOptions& options) {
    if (toolkit::PropertyPage* front = activePage()) front->exchangeData(true);

    options.includeSubfolders = pageMain.includeSubfolders;
    options.fileType = pageMain.fileType;
    options.scope = static_cast<SearchScope>(pageMain.scope);
    options.domains.mode = static_cast<FilterMode>(pageLan.domainsMode);
    options.servers.mode = static_cast<FilterMode>(pageLan.serversMode);
    options.folders.mode = static_cast<FilterMode>(pageFolder.foldersMode);
    options.dateEnabled = pageDate.dateEnabled;
    options.dateKind = pageDate.dateKind;
    options.dateMode = pageDate.dateMode;
    options.previousUnit = pageDate.previousUnit;
    options.previousCount = pageDate.previousCount;
    options.largerThanOn = pageDate.largerThanOn;
    options.smallerThanOn = pageDate.smallerThanOn;
    options.largerThanKB = pageDate.largerThanKB;
    options.smallerThanKB = pageDate.smallerThanKB;
    options.namePattern = pageMain.namePattern;
    options.fromDate = pageDate.fromDate;
    options.toDate = pageDate.toDate;
    options.domains.names = pageLan.domainNames;
    options.servers.names = pageLan.serverNames;
    options.folders.names = pageFolder.folderNames;
    options.containingText = pageText.containingText;
    options.matchCase = pageText.matchCase;
}

void COptionSheet::resetSheetView() {
    setActivePage(0);
    pageMain.clearNameField();
}

LRESULT COptionSheet::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        LRESULT result = defaultHandling(message, wParam, lParam);
        onSize();
        return result;
    }
    return toolkit::TabbedSheet::handleMessage(message, wParam, lParam);
}

void COptionSheet::onSize() {
    RECT now;
    GetClientRect(hwnd(), &now);
    if (!activePage() || rememberedClient.right < rememberedClient.left) return;
    RECT delta{0, 0, now.right - rememberedClient.right, now.bottom - rememberedClient.bottom};
    rememberedClient = now;
    growWindow(tabControl(), delta);
    struct {
        toolkit::PropertyPage* page;
        RECT* sizeDelta;
    } pages[] = {{&pageMain, &pageMain.sizeDelta},
                 {&pageLan, &pageLan.sizeDelta},
                 {&pageFolder, &pageFolder.sizeDelta},
                 {&pageDate, &pageDate.sizeDelta},
                 {&pageText, &pageText.sizeDelta}};
    for (auto& p : pages) {
        if (!p.page->hwnd()) continue;
        *p.sizeDelta = delta;
        growWindow(p.page->hwnd(), delta);
    }
}
