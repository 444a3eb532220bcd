// The main dialog as a user meets it: a real CFindTestDlg (template 102) with its bars, sheet and
// list, searching the lab network, driven through its controls, keys and commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/UserMessages.h"
#include "resources/resource.h"
#include "support/DialogDriver.h"
#include "support/EngineTestHost.h"
#include "support/LabFixture.h"
#include "support/LabNetwork.h"
#include "support/ScratchFolder.h"
#include "support/WindowShot.h"
#include "toolkit/Application.h"
#include "toolkit/FileDialogs.h"
#include "toolkit/FrameworkMessages.h"
#include "toolkit/MessageBoxes.h"
#include "ui/CFindTestApp.h"
#include "ui/CFindTestDlg.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

RECT rectIn(HWND parent, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The program's main window, modeless, with the application's accelerator filter; every pump
// runs a message the way the dialog's own modal loop does (filter, dialog keys, dispatch) and
// gives the bars their idle update.
class MainWindow {
public:
    // startupFile: as if named on the command line.
    explicit MainWindow(const std::string& startupFile = "") : dialog(nullptr, settings()) {
        app.installAccelerators();
        dialog.openAtStartup(startupFile);
        setMessageBoxResponder([this](const MessageBoxRequest& box) {
            boxes.push_back(box.text);
            return IDOK;
        });
        EXPECT_TRUE(dialog.createModeless());
        ShowWindow(dialog.hwnd(), SW_SHOW);
        pump(100);
    }
    ~MainWindow() {
        setMessageBoxResponder(nullptr);
        toolkit::setFileDialogResponder(nullptr);
    }

    static SearchEngineSettings settings() {
        SearchEngineSettings s = fastSettings();
        s.workerStatePauseMs = 50; // shortened, but still the window's deferred check
        return s;
    }

    void pump(DWORD ms) {
        const DWORD start = GetTickCount();
        do {
            runPending();
            Sleep(5);
        } while (GetTickCount() - start < ms);
    }
    template <typename Done> bool pumpUntil(Done done, DWORD safetyMs = 120000) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > safetyMs) return false;
            runPending();
            Sleep(5);
        }
        return true;
    }
    void runPending() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            HWND d = dialog.hwnd();
            if (toolkit::applyMessageFilter(MSGF_DIALOGBOX, msg)) continue;
            if (d && IsDialogMessageA(d, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (dialog.hwnd()) SendMessageA(dialog.hwnd(), toolkit::WM_KICKIDLE, MSGF_DIALOGBOX, 0);
    }

    void command(UINT id) { SendMessageA(dialog.hwnd(), WM_COMMAND, id, 0); }
    void click(int id) { pressButton(dialog.hwnd(), id); }
    // A key as typed into control, with Ctrl or Alt held.
    void key(HWND control, UINT vk, bool ctrl = false, bool alt = false) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(state);
        SetForegroundWindow(GetAncestor(control, GA_ROOT));
        SetFocus(control);
        PostMessageA(control, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, alt ? (1 << 29) | 1 : 1);
        runPending();
        state[VK_CONTROL] = state[VK_MENU] = 0;
        SetKeyboardState(state);
        pump(20);
    }

    bool toolButtonEnabled(UINT id) {
        runPending();
        return SendMessageA(dialog.toolBar().hwnd(), TB_ISBUTTONENABLED, id, 0) != 0;
    }
    bool menuItemEnabled(int popup, UINT id) {
        HMENU menu = GetSubMenu(GetMenu(dialog.hwnd()), popup);
        SendMessageA(dialog.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                     MAKELPARAM(popup, FALSE));
        return !(GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    }
    std::string pane(int index) { return dialog.statusBar().paneText(index); }
    // The default push button's id, 0 when there is none.
    int defaultButton() {
        LRESULT answer = SendMessageA(dialog.hwnd(), DM_GETDEFID, 0, 0);
        if (HIWORD(answer) != DC_HASDEFID || LOWORD(answer) == 0xFFFF) return 0;
        return LOWORD(answer);
    }
    int rows() { return int(SendMessageA(dialog.resultList(), LVM_GETITEMCOUNT, 0, 0)); }
    std::string cell(int row, int column) { return dialog.engine().view().cellText(row, column); }

    void searchFor(const std::string& names, int scope = 0) {
        HWND page = dialog.optionSheet().pageMain.hwnd();
        SetDlgItemTextA(page, IDC_MAIN_NAME, names.c_str());
        SendDlgItemMessageA(page, IDC_MAIN_SCOPE, CB_SETCURSEL, scope, 0);
        click(IDC_SEARCH_NOW);
    }
    bool waitForCompletion() {
        return pumpUntil([this] { return !dialog.searchPending(); });
    }

    CFindTestApp app;
    CFindTestDlg dialog;
    std::vector<std::string> boxes;
};

class MainDialog : public LabNetworkTest {
protected:
    // Three servers; the third answers slowly, so a search runs long enough to watch.
    void makeLab(LabNetwork& lab) {
        lab.domain("UIDOM");
        lab.server("UISRV1");
        lab.share("Docs");
        lab.server("UISRV2");
        lab.share("Data");
        lab.server("UISRV3").waitMs = 1500;
        lab.share("Slow");
        ASSERT_TRUE(lab.apply()) << lab.error();
        const char* names[] = {"alpha.txt", "Beta.txt", "gamma.doc", "delta.txt", "play.mp3"};
        for (const char* server : {"UISRV1", "UISRV2", "UISRV3"})
            for (const char* name : names) {
                std::string share = server == std::string("UISRV1")   ? "Docs"
                                    : server == std::string("UISRV2") ? "Data"
                                                                      : "Slow";
                ASSERT_TRUE(
                    LabNetwork::makeFile(LabNetwork::uncPath(server, share) + "\\" + name, 100));
            }
    }
};

} // namespace

TEST_F(MainDialog, SearchStopRefineNavigateSortSaveOpenExportAndFind) {
    LabNetwork lab("ui");
    makeLab(lab);
    MainWindow w;
    CFindTestDlg& d = w.dialog;

    // After start-up: ready, nothing to save, find or navigate.
    EXPECT_EQ(w.pane(1), "Ready");
    EXPECT_EQ(w.defaultButton(), IDC_SEARCH_NOW);
    for (UINT id : {ID_FILE_SAVE_RESULT, ID_FILE_EXPORT_RESULT, ID_EDIT_FIND, ID_GO_BACK,
                    ID_GO_FORWARD, ID_GO_TOP_LEVEL, ID_EDIT_COPY})
        EXPECT_FALSE(w.toolButtonEnabled(id)) << id;
    EXPECT_TRUE(w.toolButtonEnabled(ID_FILE_NEW_SEARCH));
    EXPECT_TRUE(w.toolButtonEnabled(ID_HELP_ABOUT));
    EXPECT_FALSE(w.menuItemEnabled(1, ID_EDIT_FIND_NEXT));
    EXPECT_FALSE(w.menuItemEnabled(1, ID_EDIT_COPY_TO_FOLDER));
    EXPECT_TRUE(w.menuItemEnabled(1, ID_EDIT_SELECT_ALL));

    // Search Now: the session runs, the icon circles, closing is refused once per attempt.
    const RECT home = d.busyHomeRect();
    w.searchFor("*.txt");
    ASSERT_TRUE(d.searchPending());
    EXPECT_FALSE(IsWindowEnabled(d.item(IDC_SEARCH_NOW)));
    EXPECT_EQ(w.defaultButton(), IDC_STOP_SEARCH);
    EXPECT_EQ(w.pane(1).rfind("Searching in LAN...", 0) == 0 ||
                  w.pane(1).rfind("Active thread(s): ", 0) == 0,
              true)
        << w.pane(1);
    w.pump(600);
    EXPECT_TRUE(w.toolButtonEnabled(ID_EDIT_FIND));
    EXPECT_FALSE(w.toolButtonEnabled(ID_GO_BACK));
    RECT moved = rectIn(d.hwnd(), d.item(IDC_BUSY_ICON));
    EXPECT_FALSE(moved.left == home.left && moved.top == home.top) << "the busy icon never moved";
    SendMessageA(d.hwnd(), WM_CLOSE, 0, 0);
    w.command(ID_FILE_EXIT);
    ASSERT_EQ(w.boxes.size(), 2u);
    EXPECT_EQ(w.boxes[0], "Searching is in progress, please stop it at first.");
    EXPECT_TRUE(IsWindow(d.hwnd()));
    // Search Now while searching changes nothing; New Search is refused with the same box.
    w.click(IDC_SEARCH_NOW);
    w.command(ID_FILE_NEW_SEARCH);
    EXPECT_EQ(w.boxes.size(), 3u);

    ASSERT_TRUE(w.waitForCompletion());
    w.pump(100);
    EXPECT_EQ(w.pane(1), "9 file(s) found");
    EXPECT_EQ(w.rows(), 9);
    RECT rest = rectIn(d.hwnd(), d.item(IDC_BUSY_ICON));
    EXPECT_EQ(rest.left, home.left);
    EXPECT_EQ(rest.top, home.top);
    EXPECT_TRUE(IsWindowEnabled(d.item(IDC_SEARCH_NOW)));
    EXPECT_EQ(w.defaultButton(), IDC_SEARCH_NOW);
    EXPECT_TRUE(w.toolButtonEnabled(ID_FILE_SAVE_RESULT));
    EXPECT_FALSE(w.toolButtonEnabled(ID_GO_BACK));
    // A late end message after completion changes nothing.
    PostMessageA(d.hwnd(), WM_WORKER_STATE, 0, 0);
    w.pump(50);
    EXPECT_EQ(w.pane(1), "9 file(s) found");
    EXPECT_EQ(d.engine().history().levelCount(), 1);

    // Header click sorts by name; a second click reverses.
    NMLISTVIEW header{};
    header.hdr = {d.resultList(), IDC_RESULT_LIST, LVN_COLUMNCLICK};
    header.iSubItem = 0;
    SendMessageA(d.hwnd(), WM_NOTIFY, IDC_RESULT_LIST, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(w.cell(0, 0), "alpha.txt");
    EXPECT_EQ(w.cell(8, 0), "delta.txt");
    SendMessageA(d.hwnd(), WM_NOTIFY, IDC_RESULT_LIST, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(w.cell(0, 0), "delta.txt");

    // Keys reach the dialog whichever control has the focus; Esc in the list keeps the window.
    w.key(d.resultList(), 'A', true);
    EXPECT_EQ(d.commandState().selectedCount, 9);
    EXPECT_TRUE(w.menuItemEnabled(1, ID_EDIT_COPY));
    EXPECT_EQ(w.defaultButton(), 0) << "the list has the focus and rows";
    w.key(d.resultList(), VK_ESCAPE);
    EXPECT_TRUE(IsWindow(d.hwnd()));
    w.command(ID_EDIT_INVERT_SELECTION);
    EXPECT_EQ(d.commandState().selectedCount, 0);

    // Refine the last result: a level of its own, then Back, Forward and Top Level.
    w.searchFor("b*", 1);
    ASSERT_TRUE(w.waitForCompletion());
    EXPECT_EQ(w.boxes.back().rfind("number: 9, Time:", 0), 0u) << w.boxes.back();
    EXPECT_EQ(w.pane(1), "3 file(s) found");
    EXPECT_TRUE(w.toolButtonEnabled(ID_GO_BACK));
    w.key(d.resultList(), VK_LEFT, false, true); // Alt+Left
    EXPECT_EQ(w.pane(1), "9 file(s) found");
    EXPECT_EQ(d.engine().history().currentLevel(), 1);
    EXPECT_TRUE(w.toolButtonEnabled(ID_GO_FORWARD));
    w.command(ID_GO_FORWARD);
    EXPECT_EQ(w.pane(1), "3 file(s) found");
    w.command(ID_GO_TOP_LEVEL);
    EXPECT_EQ(d.engine().history().currentLevel(), 1);

    // Save, New Search, Open: the same rows come back; Export writes every row.
    ScratchFolder scratch;
    std::string answer;
    toolkit::setFileDialogResponder([&](const toolkit::FileDialogRequest& request) {
        toolkit::FileDialogAnswer a;
        a.confirmed = true;
        a.path = scratch.file(answer + "." + request.defaultExtension);
        return a;
    });
    answer = "found";
    w.key(d.resultList(), 'S', true);
    w.key(d.item(IDC_RESET), 'N', true);
    EXPECT_EQ(w.rows(), 0);
    EXPECT_EQ(w.pane(1), "Ready");
    EXPECT_FALSE(w.toolButtonEnabled(ID_FILE_SAVE_RESULT));
    w.command(ID_FILE_OPEN_RESULT);
    EXPECT_EQ(w.rows(), 9);
    EXPECT_EQ(w.pane(1), "9 file(s) found");
    EXPECT_EQ(d.engine().history().levelCount(), 1);
    EXPECT_TRUE(w.toolButtonEnabled(ID_FILE_EXPORT_RESULT));
    answer = "page";
    w.command(ID_FILE_EXPORT_RESULT);
    const std::string page = readWholeFile(scratch.file("page.html"));
    EXPECT_EQ(std::count(page.begin(), page.end(), '\n') > 9 * 8, true);
    EXPECT_NE(page.find("Beta.txt"), std::string::npos);
    EXPECT_EQ(w.pane(1), "9 file(s) found");

    // Find: the dialog asks, the first match is selected; Find Next past the last says so.
    whenDialogAppears("Find", [](HWND find) {
        SetDlgItemTextA(find, IDC_FIND_TEXT, "  BETA*  ");
        pressButton(find, IDOK);
    });
    w.key(d.resultList(), 'F', true);
    ASSERT_TRUE(dialogWasAnswered());
    EXPECT_EQ(d.lastFindPattern(), "BETA*");
    const int first = d.engine().view().firstSelectedRow();
    ASSERT_GE(first, 0);
    EXPECT_EQ(w.cell(first, 0), "Beta.txt");
    w.command(ID_EDIT_FIND_NEXT);
    w.command(ID_EDIT_FIND_NEXT);
    const size_t before = w.boxes.size();
    w.command(ID_EDIT_FIND_NEXT);
    ASSERT_EQ(w.boxes.size(), before + 1);
    EXPECT_EQ(w.boxes.back(), "Cannot find \"BETA*\" in the result.");
    EXPECT_EQ(w.cell(d.engine().view().firstSelectedRow(), 0), "Beta.txt");

    // Esc on a button closes the window once no search runs.
    w.key(d.item(IDC_RESET), VK_ESCAPE);
    EXPECT_FALSE(IsWindow(d.hwnd()));
    EXPECT_EQ(toolkit::mainWindow(), nullptr) << "the destroyed window is still the main one";

    // The saved result named on the command line opens with the program.
    MainWindow again(scratch.file("found.sr"));
    EXPECT_EQ(again.rows(), 9);
    EXPECT_EQ(again.pane(1), "9 file(s) found");
}

namespace {
HANDLE noThread(LPTHREAD_START_ROUTINE, LPVOID) {
    return nullptr;
}
} // namespace

// A whole search by keyboard: Enter starts it, Enter stops it wherever the focus is, Esc never
// closes the window meanwhile, and the focus is never lost to a disabled button.
TEST_F(MainDialog, EnterAndEscThroughAWholeSearch) {
    LabNetwork lab("uikeys");
    makeLab(lab);
    MainWindow w;
    CFindTestDlg& d = w.dialog;
    HWND searchNow = d.item(IDC_SEARCH_NOW), stop = d.item(IDC_STOP_SEARCH);
    HWND name = GetDlgItem(d.optionSheet().pageMain.hwnd(), IDC_MAIN_NAME);
    SetWindowTextA(name, "*.txt");

    // Enter on Search Now: the button disables itself and hands the focus to Stop Search.
    w.key(searchNow, VK_RETURN);
    ASSERT_TRUE(d.searchPending());
    EXPECT_EQ(GetFocus(), stop);
    EXPECT_EQ(w.defaultButton(), IDC_STOP_SEARCH);

    // The list's focus rule and Reset leave Stop Search the default button.
    w.pump(300);
    SetFocus(d.resultList());
    w.pump(20);
    w.click(IDC_RESET);
    SetWindowTextA(name, "*.txt");
    SetFocus(name);
    w.pump(20);
    EXPECT_EQ(w.defaultButton(), IDC_STOP_SEARCH);

    // Esc asks to stop first and keeps the window; Enter in a text box stops the search.
    w.key(name, VK_ESCAPE);
    EXPECT_TRUE(IsWindow(d.hwnd()));
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0], "Searching is in progress, please stop it at first.");
    w.key(name, VK_RETURN);
    EXPECT_TRUE(d.engine().stopRequested());
    ASSERT_TRUE(w.waitForCompletion());
    EXPECT_EQ(w.defaultButton(), IDC_SEARCH_NOW);

    // Once more from Search Now: at the end the focus goes back to it with the default.
    w.key(searchNow, VK_RETURN);
    ASSERT_TRUE(w.waitForCompletion());
    EXPECT_EQ(GetFocus(), searchNow);
    EXPECT_EQ(w.rows(), 9);

    // A search in the result whose thread cannot be made leaves the session idle and the
    // level shown.
    SearchEngineSettings failing = MainWindow::settings();
    failing.createSearchThread = &noThread;
    d.engine().setSettings(failing);
    SendDlgItemMessageA(d.optionSheet().pageMain.hwnd(), IDC_MAIN_SCOPE, CB_SETCURSEL, 1, 0);
    w.key(searchNow, VK_RETURN);
    w.pump(200);
    EXPECT_FALSE(d.searchPending());
    EXPECT_TRUE(IsWindowEnabled(searchNow));
    EXPECT_EQ(w.defaultButton(), IDC_SEARCH_NOW);
    EXPECT_EQ(w.rows(), 9);
    EXPECT_EQ(w.pane(1), "9 file(s) found");
}

TEST_F(MainDialog, LayoutKeepsTheSheetCentredAndTheWidthAboveTheStartUpWidth) {
    // Started with a file that is not there: the file-error box, then an empty window.
    ScratchFolder scratch;
    MainWindow w(scratch.file("gone.sr"));
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0], scratch.file("gone.sr") + " was not found.");
    EXPECT_EQ(w.pane(1), "Ready");
    CFindTestDlg& d = w.dialog;
    HWND sheet = d.optionSheet().hwnd();
    RECT window{};
    GetWindowRect(d.hwnd(), &window);
    RECT client{};
    GetClientRect(d.hwnd(), &client);

    // Nothing lies under the tool bar; the list fills the width with equal margins and ends
    // above the status bar.
    const RECT bar = rectIn(d.hwnd(), d.toolBar().hwnd());
    EXPECT_GE(rectIn(d.hwnd(), sheet).top, bar.bottom);
    EXPECT_GE(rectIn(d.hwnd(), d.item(IDC_SEARCH_NOW)).top, bar.bottom);
    RECT list = rectIn(d.hwnd(), d.resultList());
    EXPECT_EQ(list.left, client.right - list.right);
    EXPECT_LT(list.bottom, rectIn(d.hwnd(), d.statusBar().hwnd()).top);

    // Widening by 2k moves the sheet, the buttons and the icon by k; the list widens by 2k.
    const int k = 37;
    RECT sheetBefore = rectIn(d.hwnd(), sheet);
    RECT buttonBefore = rectIn(d.hwnd(), d.item(IDC_RESET));
    RECT homeBefore = d.busyHomeRect();
    SetWindowPos(d.hwnd(), nullptr, 0, 0, window.right - window.left + 2 * k,
                 window.bottom - window.top, SWP_NOMOVE | SWP_NOZORDER);
    w.pump(50);
    EXPECT_EQ(rectIn(d.hwnd(), sheet).left, sheetBefore.left + k);
    EXPECT_EQ(rectIn(d.hwnd(), d.item(IDC_RESET)).left, buttonBefore.left + k);
    EXPECT_EQ(d.busyHomeRect().left, homeBefore.left + k);
    RECT wider = rectIn(d.hwnd(), d.resultList());
    EXPECT_EQ(wider.right - wider.left, list.right - list.left + 2 * k);

    // Dragging the left edge below the start-up client width is held there; the top is free.
    const LONG minimum = client.right - client.left;
    RECT proposed{500, 100, 500 + minimum - 80, 400};
    SendMessageA(d.hwnd(), WM_SIZING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&proposed));
    EXPECT_EQ(proposed.right - proposed.left, minimum);
    EXPECT_EQ(proposed.right, 500 + minimum - 80);
    RECT top{500, 100, 500 + minimum - 80, 400};
    SendMessageA(d.hwnd(), WM_SIZING, WMSZ_TOP, reinterpret_cast<LPARAM>(&top));
    EXPECT_EQ(top.left, 500);
    EXPECT_EQ(top.right, 500 + minimum - 80);

    // Minimize and restore puts every control back.
    RECT sheetNow = rectIn(d.hwnd(), sheet);
    ShowWindow(d.hwnd(), SW_MINIMIZE);
    w.pump(50);
    ShowWindow(d.hwnd(), SW_RESTORE);
    w.pump(50);
    EXPECT_EQ(rectIn(d.hwnd(), sheet).left, sheetNow.left);

    // Moved to a screen of twice the DPI: the window takes the rectangle Windows suggests, the
    // tool-bar images and the count pane grow, the columns keep their share, and the list still
    // fills the window between the sheet and the status bar. Back on the first screen, all is as
    // it was.
    auto buttonHeight = [&] {
        return HIWORD(SendMessageA(d.toolBar().hwnd(), TB_GETBUTTONSIZE, 0, 0));
    };
    auto countPaneWidth = [&] {
        int edges[2] = {};
        SendMessageA(d.statusBar().hwnd(), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges));
        RECT bar{};
        GetClientRect(d.statusBar().hwnd(), &bar);
        return (edges[1] < 0 ? bar.right : edges[1]) - edges[0];
    };
    RECT first{};
    GetWindowRect(d.hwnd(), &first);
    const int buttonFirst = buttonHeight(), paneFirst = countPaneWidth();
    const int folderColumnFirst = ListView_GetColumnWidth(d.resultList(), 1);
    // Twice the size where the screen has room (Wine keeps a window within the screen's size).
    RECT suggested{0, 0,
                   std::min<LONG>(2 * (first.right - first.left), GetSystemMetrics(SM_CXSCREEN)),
                   std::min<LONG>(2 * (first.bottom - first.top), GetSystemMetrics(SM_CYSCREEN))};
    SendMessageA(d.hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    w.pump(50);
    RECT moved{};
    GetWindowRect(d.hwnd(), &moved);
    EXPECT_TRUE(EqualRect(&moved, &suggested))
        << moved.left << "," << moved.top << " to " << moved.right << "," << moved.bottom;
    EXPECT_GT(buttonHeight(), buttonFirst);
    EXPECT_GT(countPaneWidth(), paneFirst);
    EXPECT_EQ(ListView_GetColumnWidth(d.resultList(), 1), 2 * folderColumnFirst);
    GetClientRect(d.hwnd(), &client);
    const RECT bigBar = rectIn(d.hwnd(), d.toolBar().hwnd());
    EXPECT_GE(rectIn(d.hwnd(), sheet).top, bigBar.bottom);
    EXPECT_GE(rectIn(d.hwnd(), d.item(IDC_SEARCH_NOW)).top, bigBar.bottom);
    list = rectIn(d.hwnd(), d.resultList());
    EXPECT_EQ(list.left, client.right - list.right);
    EXPECT_GE(list.top, rectIn(d.hwnd(), sheet).bottom);
    EXPECT_LT(list.bottom, rectIn(d.hwnd(), d.statusBar().hwnd()).top);
    EXPECT_GT(list.bottom, rectIn(d.hwnd(), d.statusBar().hwnd()).top - 8);
    SendMessageA(d.hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&first));
    w.pump(50);
    EXPECT_EQ(buttonHeight(), buttonFirst);
    EXPECT_EQ(countPaneWidth(), paneFirst);
    EXPECT_EQ(ListView_GetColumnWidth(d.resultList(), 1), folderColumnFirst);
    EXPECT_GE(rectIn(d.hwnd(), sheet).top, rectIn(d.hwnd(), d.toolBar().hwnd()).bottom);

    // Help without a help file says so.
    w.key(d.item(IDC_RESET), VK_F1);
    ASSERT_FALSE(w.boxes.empty());
    EXPECT_EQ(w.boxes.back(), "Failed to launch help.");
}

// A network whose domains list no servers: the user names theirs on the Network page and
// finds their files.
TEST_F(MainDialog, ServersNamedOnTheNetworkPageAreSearchedThoughNotListed) {
    LabNetwork lab("uinamed");
    lab.domain("UINDOM").openError = 6118; // the browse service is off
    lab.server("UINFILES").unlisted = true;
    lab.share("Docs");
    ASSERT_TRUE(lab.apply()) << lab.error();
    ASSERT_TRUE(LabNetwork::makeFile(LabNetwork::uncPath("UINFILES", "Docs") + "\\plan.txt", 10));
    MainWindow w;
    CFindTestDlg& d = w.dialog;

    ASSERT_TRUE(d.optionSheet().setActivePage(1)) << (w.boxes.empty() ? "" : w.boxes.back());
    HWND lan = d.optionSheet().pageLan.hwnd();
    SendMessageA(GetDlgItem(lan, IDC_LAN_SERVER_ONLY), BM_CLICK, 0, 0);
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(lan, IDC_LAN_SERVER_ADD)));
    for (const char* typed : {"UINFILES", "\\\\UINGONE"}) {
        whenDialogAppears("Add", [typed](HWND add) {
            SetDlgItemTextA(add, IDC_NAME_TEXT, typed);
            pressButton(add, IDOK);
        });
        pressButton(lan, IDC_LAN_SERVER_ADD);
        ASSERT_TRUE(dialogWasAnswered()) << typed;
    }
    ASSERT_TRUE(d.optionSheet().setActivePage(0)) << (w.boxes.empty() ? "" : w.boxes.back());
    w.searchFor("*.txt");
    ASSERT_TRUE(w.waitForCompletion());
    w.pump(100);
    EXPECT_EQ(w.pane(1), "1 file(s) found");
    ASSERT_EQ(w.rows(), 1);
    EXPECT_EQ(w.cell(0, 0), "plan.txt");
    EXPECT_TRUE(w.boxes.empty()) << w.boxes.front();
}

namespace {

// The code page this run was started for (the ui_cp932 and ui_cp950 tests), 0 in the ui test.
unsigned codePageUnderTest() {
    char text[16] = {};
    return GetEnvironmentVariableA("CORVASK_CODE_PAGE", text, sizeof text) ? unsigned(atoi(text)) : 0;
}

// The first path of the file list on the clipboard, "" when there is none.
std::string firstClipboardPath() {
    std::string path;
    if (!OpenClipboard(nullptr)) return path;
    if (HANDLE block = GetClipboardData(CF_HDROP)) {
        char buffer[MAX_PATH] = {};
        if (DragQueryFileA(static_cast<HDROP>(block), 0, buffer, MAX_PATH)) path = buffer;
    }
    CloseClipboard();
    return path;
}

} // namespace

// A Japanese or Chinese user's own names: in code pages 932 and 950 the second byte of many
// characters (ソ, 表, 許) is the byte of '\', and of others a letter (フ is 83 74, "ft"). Such
// names are found, entered, matched, kept by the folder list, saved, reloaded and copied like
// any other. Wine takes a process's ANSI code page from its locale, so this runs as tests of
// its own (ui_cp932, ui_cp950) under those locales.
TEST_F(MainDialog, DoubleByteNamesAreOrdinaryNames) {
    const unsigned codePage = codePageUnderTest();
    if (codePage == 0) GTEST_SKIP() << "runs as ui_cp932 and ui_cp950, under their locales";
    ASSERT_EQ(GetACP(), codePage) << "the locale is missing (bash scripts/setup.sh makes it)";
    // 932: "ソフト" and "表.txt"; 950: "功可" and "許.txt". The letter is the trail byte of the
    // folder's second character.
    const bool japanese = codePage == 932;
    const std::string folderName = japanese ? "\x83\x5C\x83\x74\x83\x67" : "\xA5\x5C\xA5\x69";
    const std::string fileName = japanese ? "\x95\x5C.txt" : "\xB3\x5C.txt";
    const std::string letter = japanese ? "t" : "i";
    LabNetwork lab("uicp");
    lab.domain("UICPDOM");
    lab.server("UICPSRV");
    lab.share("Docs");
    ASSERT_TRUE(lab.apply()) << lab.error();
    const std::string share = LabNetwork::uncPath("UICPSRV", "Docs"), inner = share + "\\" + folderName;
    ASSERT_TRUE(LabNetwork::makeFolder(inner));
    ASSERT_TRUE(LabNetwork::makeFile(inner + "\\" + fileName, 5));
    ASSERT_TRUE(LabNetwork::makeFile(inner + "\\a.txt", 6));
    ASSERT_TRUE(LabNetwork::makeFile(share + "\\plain.txt", 7));
    using Row = std::pair<std::string, std::string>; // folder, name: the exact bytes
    const std::vector<Row> everything{{share, folderName}, {inner, fileName}, {inner, "a.txt"},
                                      {share, "plain.txt"}};

    MainWindow w;
    CFindTestDlg& d = w.dialog;
    auto shown = [&] {
        std::vector<Row> rows;
        for (int row = 0; row < w.rows(); ++row)
            if (std::optional<FoundItem> item = d.engine().itemAt(row))
                rows.emplace_back(item->folder, item->name);
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    auto sorted = [](std::vector<Row> rows) {
        std::sort(rows.begin(), rows.end());
        return rows;
    };

    w.searchFor("*.*");
    ASSERT_TRUE(w.waitForCompletion());
    EXPECT_EQ(shown(), sorted(everything));
    w.searchFor("*" + fileName.substr(0, 2) + "*");
    ASSERT_TRUE(w.waitForCompletion());
    EXPECT_EQ(shown(), (std::vector<Row>{{inner, fileName}}));

    // Folders except "*t*" ("*i*"): the folder whose trail byte is that letter is not one of them.
    ASSERT_TRUE(d.optionSheet().setActivePage(2));
    HWND folders = d.optionSheet().pageFolder.hwnd();
    SendMessageA(GetDlgItem(folders, IDC_FOLDER_EXCEPT), BM_CLICK, 0, 0);
    const std::string excluded = "*" + letter + "*";
    whenDialogAppears("Add", [&excluded](HWND add) {
        SetDlgItemTextA(add, IDC_NAME_TEXT, excluded.c_str());
        pressButton(add, IDOK);
    });
    pressButton(folders, IDC_FOLDER_ADD);
    ASSERT_TRUE(dialogWasAnswered());
    ASSERT_TRUE(d.optionSheet().setActivePage(0));
    w.searchFor("*.*");
    ASSERT_TRUE(w.waitForCompletion());
    EXPECT_EQ(shown(), sorted(everything));

    // Saved and opened again: the same rows, byte for byte.
    ScratchFolder scratch;
    toolkit::setFileDialogResponder([&](const toolkit::FileDialogRequest& request) {
        toolkit::FileDialogAnswer a;
        a.confirmed = true;
        a.path = scratch.file("names." + request.defaultExtension);
        return a;
    });
    w.command(ID_FILE_SAVE_RESULT);
    w.command(ID_FILE_NEW_SEARCH);
    EXPECT_EQ(w.rows(), 0);
    w.command(ID_FILE_OPEN_RESULT);
    EXPECT_EQ(shown(), sorted(everything));

    // Copy puts the file's full path on the clipboard.
    int row = 0;
    while (row < w.rows() && d.engine().itemAt(row)->name != fileName)
        ++row;
    ASSERT_LT(row, w.rows());
    ListView_SetItemState(d.resultList(), -1, 0, LVIS_SELECTED);
    ListView_SetItemState(d.resultList(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    w.pump(20);
    w.command(ID_EDIT_COPY);
    EXPECT_EQ(firstClipboardPath(), inner + "\\" + fileName);
    EXPECT_TRUE(w.boxes.empty()) << w.boxes.front();
}

namespace {
// A file of size bytes that holds only tail, at its very end; the rest is a hole in the file.
bool makeSparseFile(const std::string& path, unsigned long long size, const std::string& tail) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER at;
    at.QuadPart = (long long)(size - tail.size());
    DWORD written = 0;
    const bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                    WriteFile(file, tail.data(), DWORD(tail.size()), &written, nullptr) &&
                    written == tail.size();
    CloseHandle(file);
    return ok;
}

std::vector<std::string> shownNames(MainWindow& w) {
    std::vector<std::string> names;
    for (int row = 0; row < w.rows(); ++row)
        names.push_back(w.cell(row, 0));
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

// A user looks for the letters that mention a customer's invoice: a search of the network with
// a text on the Text page. Exactly the files that hold it are found, in every encoding, across a
// block boundary, in any case or (refining the result) in the typed case only, each once per mask
// that finds its name, no folder and no other file; the text goes into a saved search and comes
// back from it; Stop ends a search, and a refinement, in the middle of reading a huge file;
// nothing read is changed.
TEST_F(MainDialog, TheTextPageFindsTheFilesThatContainTheText) {
    LabNetwork lab("uitext");
    lab.domain("UITDOM");
    lab.server("UITEXT1");
    lab.share("Mail");
    ASSERT_TRUE(lab.apply()) << lab.error();
    const std::string share = LabNetwork::uncPath("UITEXT1", "Mail");
    // The text in each encoding a file may hold it in; the ANSI code page must hold its 'ü'.
    auto encoded = [](const std::wstring& text, UINT codePage) {
        BOOL lossy = FALSE;
        char out[256] = "";
        const int n = WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), out,
                                          sizeof out, nullptr, codePage == CP_UTF8 ? nullptr : &lossy);
        return lossy ? std::string() : std::string(out, size_t(n));
    };
    auto utf16 = [](const std::wstring& text, bool bigEndian) {
        std::string out;
        for (wchar_t u : text)
            out += bigEndian ? std::string{char(u >> 8), char(u & 0xFF)}
                             : std::string{char(u & 0xFF), char(u >> 8)};
        return out;
    };
    const std::string typed = encoded(L"M\u00fcller 2024-117", CP_ACP);
    ASSERT_FALSE(typed.empty()) << "the ANSI code page has no u with diaeresis";
    std::string acrossBlocks(65536 - 6, 'x');
    acrossBlocks += encoded(L"Dear M\u00fcller 2024-117", CP_ACP).substr(5) + " ends here";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"ansi.txt", "Dear " + encoded(L"M\u00fcller 2024-117", CP_ACP) + " is due.\r\n"},
        {"utf8.doc", "\xEF\xBB\xBF" "second reminder: " + encoded(L"M\u00dcLLER 2024-117", CP_UTF8)},
        {"le-bom.txt", "\xFF\xFE" + utf16(L"ref m\u00fcller 2024-117 end", false)},
        {"be-bom.txt", "\xFE\xFF" + utf16(L"M\u00fcller 2024-117", true)},
        {"le-nobom.txt", utf16(L"x M\u00fcller 2024-117", false)},
        {"Archive\\be-nobom.txt", utf16(L"M\u00dcLLER 2024-117", true)},
        {"boundary.bin", acrossBlocks},
        // None of these holds it: another number, UTF-16 at an odd offset, nothing at all.
        {"other.txt", encoded(L"M\u00fcller 2024-118 and M\u00fcller 2024-11 7", CP_ACP)},
        {"odd.txt", "a" + utf16(L"M\u00fcller 2024-117", false)},
        {"empty.txt", ""},
    };
    ASSERT_TRUE(LabNetwork::makeFolder(share + "\\Archive"));
    // A folder named after the text, which a mask finds, is no hit: folders hold no text.
    ASSERT_TRUE(LabNetwork::makeFolder(share + "\\" + typed + ".txt"));
    std::vector<WIN32_FILE_ATTRIBUTE_DATA> before(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        writeWholeFile(share + "\\" + files[i].first, files[i].second);
        ASSERT_TRUE(GetFileAttributesExA((share + "\\" + files[i].first).c_str(),
                                         GetFileExInfoStandard, &before[i]));
    }

    MainWindow w;
    CFindTestDlg& d = w.dialog;
    COptionSheet& sheet = d.optionSheet();
    auto typeText = [&](const std::string& text, bool matchCase) {
        ASSERT_TRUE(sheet.setActivePage(4));
        HWND page = sheet.pageText.hwnd();
        SetDlgItemTextA(page, IDC_TEXT_CONTAINING, text.c_str());
        CheckDlgButton(page, IDC_TEXT_MATCH_CASE, matchCase ? BST_CHECKED : BST_UNCHECKED);
        ASSERT_TRUE(sheet.setActivePage(0));
    };

    // The text typed in lower case, found in any case; "le*" finds two names that "*.txt" found
    // too, and each of them is listed once more.
    typeText(encoded(L"m\u00fcller 2024-117", CP_ACP), false);
    w.searchFor("*.txt *.doc *.bin le*");
    ASSERT_TRUE(w.waitForCompletion());
    const std::vector<std::string> anyCase = {"ansi.txt",     "be-bom.txt",   "be-nobom.txt",
                                              "boundary.bin", "le-bom.txt",   "le-bom.txt",
                                              "le-nobom.txt", "le-nobom.txt", "utf8.doc"};
    EXPECT_EQ(shownNames(w), anyCase);
    EXPECT_EQ(w.pane(1), std::to_string(anyCase.size()) + " file(s) found");
    EXPECT_TRUE(w.boxes.empty()) << w.boxes.front();

    // Match case, on the last result: only the files that hold it as typed stay.
    typeText(typed, true);
    w.searchFor("*", 1);
    ASSERT_TRUE(w.waitForCompletion());
    EXPECT_EQ(shownNames(w), (std::vector<std::string>{"ansi.txt", "be-bom.txt", "boundary.bin",
                                                       "le-nobom.txt", "le-nobom.txt"}));
    EXPECT_EQ(w.boxes.back().rfind("number: 9, Time:", 0), 0u) << w.boxes.back();

    // The text and Match case go into a saved search; Reset clears both; opening brings them
    // back.
    ScratchFolder scratch;
    toolkit::setFileDialogResponder([&](const toolkit::FileDialogRequest&) {
        return toolkit::FileDialogAnswer{true, scratch.file("Search.opt")};
    });
    w.command(ID_FILE_SAVE_CONFIGURATION);
    const std::string saved = readWholeFile(scratch.file("Search.opt"));
    EXPECT_EQ(saved.substr(saved.size() - typed.size() - 5),
              char(typed.size()) + typed + "\x01" + std::string(3, '\0'));
    w.click(IDC_RESET);
    SearchOptions shown;
    sheet.readOptionsFromPages(shown);
    EXPECT_EQ(shown.containingText, "");
    EXPECT_EQ(shown.matchCase, 0);
    w.command(ID_FILE_OPEN_CONFIGURATION);
    sheet.readOptionsFromPages(shown);
    EXPECT_EQ(shown.containingText, typed);
    EXPECT_EQ(shown.matchCase, 1);

    // A file of 4 GiB whose only match is at its end: Stop ends the search while it reads that
    // file, within the usual second, by itself (no thread left behind in a read), and the file
    // is no hit. The same for a refinement that reads it.
    ASSERT_TRUE(makeSparseFile(share + "\\huge.bin", 4ull << 30, typed));
    auto stopWhileReading = [&](const char* what) {
        w.pump(200);
        ASSERT_TRUE(d.searchPending()) << what << ": the huge file was read to its end in 0.2 s";
        EXPECT_EQ(w.pane(0), share) << what;
        const DWORD stoppedAt = GetTickCount();
        w.click(IDC_STOP_SEARCH);
        ASSERT_TRUE(w.waitForCompletion());
        EXPECT_LT(GetTickCount() - stoppedAt, 1000u) << what;
        EXPECT_EQ(d.engine().threadsLeftBehind(), 0) << what;
        for (const std::string& name : shownNames(w))
            EXPECT_NE(name, "huge.bin") << what;
    };
    w.searchFor("huge.bin", 0);
    stopWhileReading("search");
    EXPECT_EQ(w.pane(1), "0 file(s) found");
    typeText("", false);
    w.searchFor("*.bin", 0);
    ASSERT_TRUE(w.waitForCompletion());
    ASSERT_EQ(shownNames(w), (std::vector<std::string>{"boundary.bin", "huge.bin"}));
    typeText(typed, true);
    w.searchFor("*.bin", 1);
    stopWhileReading("refinement");

    // What was read is as it was.
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string path = share + "\\" + files[i].first;
        EXPECT_EQ(readWholeFile(path), files[i].second) << files[i].first;
        WIN32_FILE_ATTRIBUTE_DATA after{};
        ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &after));
        EXPECT_EQ(CompareFileTime(&after.ftLastWriteTime, &before[i].ftLastWriteTime), 0)
            << files[i].first;
        EXPECT_EQ(after.nFileSizeLow, before[i].nFileSizeLow) << files[i].first;
    }
    DeleteFileA((share + "\\huge.bin").c_str());
}

std::string menuShot;
HWND shotWindow;
void CALLBACK shootOpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    saveWindowShot(shotWindow, menuShot);
    EndMenu();
}

// Pictures of the main window for a person to look at (only when CORVASK_SHOTS names a folder).
TEST_F(MainDialog, Shots) {
    const std::string folder = screenshotFolder();
    if (folder.empty()) GTEST_SKIP() << "CORVASK_SHOTS is not set";
    LabNetwork lab("uishot");
    makeLab(lab);
    MainWindow w;
    CFindTestDlg& d = w.dialog;
    w.pump(200);
    saveWindowShot(d.hwnd(), folder + "\\main-1-start.bmp");
    w.searchFor("*.txt *.mp3 *.doc");
    w.pump(800);
    saveWindowShot(d.hwnd(), folder + "\\main-2-searching.bmp");
    ASSERT_TRUE(w.waitForCompletion());
    w.pump(200);
    saveWindowShot(d.hwnd(), folder + "\\main-3-found.bmp");
    NMLISTVIEW header{};
    header.hdr = {d.resultList(), IDC_RESULT_LIST, LVN_COLUMNCLICK};
    header.iSubItem = 2;
    SendMessageA(d.hwnd(), WM_NOTIFY, IDC_RESULT_LIST, reinterpret_cast<LPARAM>(&header));
    w.command(ID_EDIT_SELECT_ALL);
    w.pump(200);
    saveWindowShot(d.hwnd(), folder + "\\main-4-sorted.bmp");

    // The Edit menu open, as Alt+E opens it: the picture is taken from inside the menu's loop.
    menuShot = folder + "\\main-5-edit-menu.bmp";
    shotWindow = d.hwnd();
    SetTimer(nullptr, 0, 400, &shootOpenMenu);
    SendMessageA(d.hwnd(), WM_SYSCOMMAND, SC_KEYMENU, 'e');
}
