// The main dialog's window side: start-up, layout, minimum width, the minimized paint, the busy
// icon, the close rules and the result list's notifications.
#include "ui/CFindTestDlg.h"

#include "actions/FileActions.h"
#include "actions/ResultContextMenu.h"
#include "engine/UserMessages.h"
#include "resources/resource.h"
#include "results/FindInResult.h"
#include "results/ResultSorter.h"
#include "toolkit/Application.h"
#include "toolkit/Dpi.h"
#include "toolkit/MessageBoxes.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

float CFindTestDlg::busyAngle = 0.0f;

namespace {

constexpr int kStatusPaneCount = 2;
constexpr int kCountPaneWidth = 150; // pixels at 96 DPI, like every figure below
constexpr float kBusyStep = 0.5f;
constexpr float kFullTurn = 6.283185f;
constexpr float kBusyRadius = 8.0f;

RECT childRect(HWND parent, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void moveRight(HWND parent, HWND child, int dx) {
    if (!child) return;
    RECT r = childRect(parent, child);
    SetWindowPos(child, nullptr, r.left + dx, r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

CFindTestDlg::CFindTestDlg(HWND parent, const SearchEngineSettings& settings)
    : BarDialog(IDD_MAIN_DIALOG, parent), searchEngine(settings) {
    appIcon = LoadIconA(toolkit::instance(), MAKEINTRESOURCEA(IDI_APPLICATION_ICON));
    appIconSmall = static_cast<HICON>(
        LoadImageA(toolkit::instance(), MAKEINTRESOURCEA(IDI_APPLICATION_ICON), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}

CFindTestDlg::~CFindTestDlg() {
    // The window goes before the members that are its controls; the toolkit forgets it as the
    // main window when it is destroyed.
    releaseWindow();
    if (appIconSmall) DestroyIcon(appIconSmall);
}

bool CFindTestDlg::onInitDialog() {
    resultListCtrl.subclassDlgItem(handle, IDC_RESULT_LIST);
    busyIcon = item(IDC_BUSY_ICON);
    stopButton = item(IDC_STOP_SEARCH);
    resetButton = item(IDC_RESET);
    searchNowButton = item(IDC_SEARCH_NOW);
    if (!parentWindow) toolkit::setMainWindow(handle);

    SendMessageA(handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    SendMessageA(handle, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(appIconSmall ? appIconSmall : appIcon));

    const UINT panes[kStatusPaneCount] = {0, 0};
    toolBar().setLargerImages({{24, 23, IDB_TOOLBAR_24}, {32, 30, IDB_TOOLBAR_32}});
    createBars(true, true, panes, kStatusPaneCount, false, IDR_TOOLBAR);
    setCountPaneWidth();

    sheet.createInDialog(handle, IDC_SHEET_FRAME);
    addToolTipsForNewControls();

    ListView_SetExtendedListViewStyleEx(resultListCtrl.hwnd(), LVS_EX_FULLROWSELECT,
                                        LVS_EX_FULLROWSELECT);
    searchEngine.attach(handle, resultListCtrl.hwnd(), statusBar().hwnd());

    layoutRect = usableRect();
    initialUsableRect = layoutRect;
    busyHome = childRect(handle, busyIcon);
    layoutControls();

    resetToNewSearch();
    if (!startupFile.empty()) PostMessageA(handle, WM_OPEN_STARTUP_FILE, 0, 0);
    return false; // the dialog manager leaves the focus alone
}

void CFindTestDlg::setCountPaneWidth() {
    if (statusBar().paneCount() == kStatusPaneCount)
        statusBar().setPaneInfo(1, 0, statusBar().paneStyle(1),
                                toolkit::scaled(kCountPaneWidth, dpi()));
}

// A screen of another DPI: the figures of the window are scaled from the old DPI to the new one,
// then the bars change and the window takes its new rectangle, which lays it out again.
void CFindTestDlg::onDpiChanged(UINT newDpi, const RECT& suggested) {
    const UINT oldDpi = dpi();
    if (newDpi != 0 && newDpi != oldDpi) {
        const LONG minimum = toolkit::rescaled(initialUsableRect.right - initialUsableRect.left,
                                               oldDpi, newDpi);
        initialUsableRect.right = initialUsableRect.left + minimum;
        resultListCtrl.rescaleColumns(oldDpi, newDpi);
        changeBarsDpi(newDpi);
        setCountPaneWidth();
    }
    // The layout goes on from where the controls stand now (Windows may have scaled them): the
    // busy icon's home is where it stands less the step of the circle it shows, and the new
    // rectangle's change of width is shared out from the present one.
    if (busyIcon) {
        busyHome = childRect(handle, busyIcon);
        OffsetRect(&busyHome, -busyOffset.x, -busyOffset.y);
    }
    layoutRect = usableRect();
    takeRect(suggested);
    layoutControls();
}

// ---- closing

bool CFindTestDlg::canClose() {
    if (!searchEngine.isBusy()) return true;
    // Stopped, but some thread is still in a call to a server: closing does not wait for it.
    if (searchEngine.stopRequested()) {
        onStopGraceEnded();
        if (!searchEngine.isBusy()) return true;
    }
    showSearchInProgress();
    return false;
}

void CFindTestDlg::showSearchInProgress() {
    showMessageBox(handle, toolkit::loadString(IDS_SEARCH_IN_PROGRESS), kAppTitle,
                   MB_OK | MB_ICONINFORMATION);
}

void CFindTestDlg::onOK() {
    if (canClose()) BarDialog::onOK();
}

void CFindTestDlg::onCancel() {
    if (canClose()) BarDialog::onCancel();
}

// ---- layout

void CFindTestDlg::layoutControls() {
    if (!resultListCtrl.hwnd() || !sheet.hwnd()) return;
    RECT r = usableRect();
    // Half of the width change, so the sheet, the buttons and the icon stay centred.
    int dx = (r.right - layoutRect.right) / 2;
    layoutRect = r;

    moveRight(handle, sheet.hwnd(), dx);
    moveRight(handle, searchNowButton, dx);
    moveRight(handle, stopButton, dx);
    moveRight(handle, resetButton, dx);
    OffsetRect(&busyHome, dx, 0);
    moveBusyIcon(0, 0);

    RECT sheetRect = childRect(handle, sheet.hwnd());
    RECT list = childRect(handle, resultListCtrl.hwnd());
    int top = r.top + (sheetRect.bottom - sheetRect.top);
    int right = r.right - r.left - list.left; // the right margin equals the left one
    SetWindowPos(resultListCtrl.hwnd(), nullptr, list.left, top,
                 std::max(0, right - static_cast<int>(list.left)), std::max(0, static_cast<int>(r.bottom) - top),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(handle, nullptr, TRUE);
}

void CFindTestDlg::applyMinimumWidth(UINT edge, RECT& proposed) {
    // The outer width is held to the client width the dialog had at start-up.
    const LONG minimum = initialUsableRect.right - initialUsableRect.left;
    if (proposed.right - proposed.left >= minimum) return;
    switch (edge) {
    case WMSZ_LEFT:
    case WMSZ_TOPLEFT:
    case WMSZ_BOTTOMLEFT: proposed.left = proposed.right - minimum; break;
    case WMSZ_RIGHT:
    case WMSZ_TOPRIGHT:
    case WMSZ_BOTTOMRIGHT: proposed.right = proposed.left + minimum; break;
    default: break;
    }
}

bool CFindTestDlg::paintMinimized() {
    if (!IsIconic(handle)) return false;
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(handle, &paint);
    SendMessageA(handle, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(handle, &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, appIcon);
    EndPaint(handle, &paint);
    return true;
}

// ---- the busy icon

void CFindTestDlg::moveBusyIcon(int dx, int dy) {
    if (!busyIcon) return;
    busyOffset = POINT{dx, dy};
    SetWindowPos(busyIcon, nullptr, busyHome.left + dx, busyHome.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(busyIcon, nullptr, TRUE);
}

void CFindTestDlg::onBusyTick() {
    busyAngle += kBusyStep;
    if (busyAngle > kFullTurn) busyAngle -= kFullTurn;
    // Truncated toward zero: with y growing downward the icon runs clockwise.
    // Exactly 1 at 96 DPI, so the circle there is the one it always was.
    const float radius = kBusyRadius * (static_cast<float>(dpi()) / toolkit::kBaseDpi);
    moveBusyIcon(static_cast<int>(std::cos(busyAngle) * radius),
                 static_cast<int>(std::sin(busyAngle) * radius));

    apply(completion.on(SearchCompletion::Event::Tick));
}

// ---- status bar and buttons

void CFindTestDlg::setPane(int index, const std::string& text) {
    if (statusBar().hwnd()) statusBar().setPaneText(index, text);
}

std::string CFindTestDlg::paneText(int index) {
    return statusBar().hwnd() ? statusBar().paneText(index) : std::string();
}

void CFindTestDlg::setDefaultButton(int id) {
    SendMessageA(handle, DM_SETDEFID, static_cast<WPARAM>(id), 0);
}

// ---- messages

LRESULT CFindTestDlg::onResultListNotify(NMHDR& header) {
    ResultView& view = searchEngine.view();
    switch (header.code) {
    case LVN_GETDISPINFOA: return view.onGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(&header));
    case LVN_ODFINDITEMA: {
        auto& find = reinterpret_cast<NMLVFINDITEMA&>(header);
        if (!(find.lvfi.flags & LVFI_STRING) || !find.lvfi.psz) return -1;
        return findTypedPrefix(view, find.lvfi.psz, find.iStart);
    }
    case LVN_ITEMCHANGED:
        if (auto selected = view.onItemChanged()) commands.selectedCount = *selected;
        return 0;
    case LVN_COLUMNCLICK:
        return onColumnClick(view, searchEngine.store(), searchEngine.history(),
                             reinterpret_cast<NMLISTVIEW&>(header).iSubItem,
                             searchEngine.isBusy());
    case NM_DBLCLK:
    case NM_RETURN: openSelectedItems(view, handle); return 0;
    case NM_RCLICK: showResultContextMenu(view, handle); return 0;
    case LVN_BEGINDRAG: dragSelection(view, handle); return 0;
    case NM_SETFOCUS: view.onFocusChange(handle, true, defaultButton()); return 0;
    case NM_KILLFOCUS: view.onFocusChange(handle, false, defaultButton()); return 0;
    default: return 0;
    }
}

LRESULT CFindTestDlg::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: {
        LRESULT result = BarDialog::handleMessage(message, wParam, lParam);
        if (wParam != SIZE_MINIMIZED) layoutControls();
        return result;
    }
    case WM_SIZING:
        applyMinimumWidth(static_cast<UINT>(wParam), *reinterpret_cast<RECT*>(lParam));
        break;
    case WM_PAINT:
        if (paintMinimized()) return 0;
        break;
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(appIcon);
    case WM_TIMER:
        if (wParam == kThreadCheckTimer) {
            apply(completion.on(SearchCompletion::Event::CheckDue));
            return 0;
        }
        if (wParam == kStopGraceTimer) {
            onStopGraceEnded();
            return 0;
        }
        if (busyTimerId != 0 && wParam == busyTimerId) onBusyTick();
        break;
    case WM_CLOSE:
        if (!canClose()) return 0;
        break;
    case WM_NOTIFY: {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if (header.idFrom == IDC_RESULT_LIST && header.hwndFrom == resultListCtrl.hwnd()) {
            LRESULT result = onResultListNotify(header);
            SetWindowLongPtrA(handle, DWLP_MSGRESULT, result);
            return result;
        }
        break;
    }
    case WM_WORKER_STATE: onWorkerState(wParam); return 0;
    case WM_SEARCH_FINISHED: onSearchFinished(); return 0;
    case WM_OPEN_STARTUP_FILE: openStartupFile(); return 0;
    default: break;
    }
    return BarDialog::handleMessage(message, wParam, lParam);
}
