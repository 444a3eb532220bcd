// BarDialog with real bars under a real dialog: layout, idle updates of tool-bar buttons and
// menus, prompts, the tool-tip rule and the status bar's lazily applied pane texts.
#include "support/MessagePump.h"
#include "support/DialogTemplateBuilder.h"
#include "support/WindowShot.h"
#include "toolkit/FrameworkMessages.h"
#include "ui/dialogex/BarDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

using namespace dialogex;

namespace {

enum : UINT {
    kToolBar = 30001,
    kNewSearch = 30201, // "\nStart a new search"; disabled by the dialog
    kTwo = 30202,       // "Prompt of two\nTip of two\nthird field"; no update handler
    kLong = 30203,      // a 100-character tip; enabled by the dialog
    kOnlyPrompt = 30204,
    kSecondLine = 30205,
    kMissing = 30299,
    kButton = 300,
};

DialogTemplateBuilder barTemplate() {
    DialogTemplateBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0, 0, 240, 160,
                            "Bars");
    b.add("BUTTON", "Button", kButton, BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 60, 14);
    return b;
}

class TestBarDialog : public BarDialog {
public:
    explicit TestBarDialog(const DLGTEMPLATE* t) : BarDialog(t, nullptr) {}
    bool newSearchEnabled = false;
    bool carriesOutTwo = false;

protected:
    bool handlesCommand(UINT id) const override { return carriesOutTwo && id == kTwo; }
    void updateCommand(toolkit::CommandState& state) override {
        if (state.id() == kNewSearch) state.enable(newSearchEnabled);
        if (state.id() == kLong) state.enable(true);
    }
};

RECT clientRectOf(HWND window, HWND parent) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool buttonEnabled(DialogToolBar& bar, UINT id) {
    return SendMessageA(bar.hwnd(), TB_ISBUTTONENABLED, id, 0) != 0;
}

struct Made {
    DialogTemplateBuilder tmpl = barTemplate();
    TestBarDialog dialog{tmpl.get()};
    explicit Made(bool showMessages = false) {
        EXPECT_TRUE(dialog.createModeless());
        ShowWindow(dialog.hwnd(), SW_SHOW);
        UINT panes[2] = {0, 0};
        EXPECT_TRUE(dialog.createBars(true, true, panes, 2, showMessages, kToolBar));
    }
};

std::string paneZero(TestBarDialog& d) {
    return d.statusBar().paneText(0);
}

} // namespace

TEST(BarDialog, StartsModelessWithoutBars) {
    auto tmpl = barTemplate();
    TestBarDialog dialog(tmpl.get());
    EXPECT_TRUE(dialog.isModeless());
    EXPECT_FALSE(dialog.hasStatusBar());
    EXPECT_FALSE(dialog.hasToolBar());
    EXPECT_EQ(dialog.pendingPromptId(), 0u);
    EXPECT_EQ(dialog.shownPromptId(), 0u);
}

TEST(BarDialog, CreateBarsPlacesBarsAndMovesControlsBelowTheToolBar) {
    DialogTemplateBuilder tmpl = barTemplate();
    TestBarDialog dialog(tmpl.get());
    ASSERT_TRUE(dialog.createModeless());
    ShowWindow(dialog.hwnd(), SW_SHOW);
    HWND w = dialog.hwnd();
    RECT buttonBefore = clientRectOf(GetDlgItem(w, kButton), w);
    UINT panes[2] = {0, 0};
    ASSERT_TRUE(dialog.createBars(true, true, panes, 2, false, kToolBar));

    HWND toolBar = GetDlgItem(w, 59392);
    HWND statusBar = GetDlgItem(w, 59648);
    ASSERT_EQ(toolBar, dialog.toolBar().hwnd());
    ASSERT_EQ(statusBar, dialog.statusBar().hwnd());
    EXPECT_EQ(SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageA(statusBar, SB_GETPARTS, 0, 0), 2);
    EXPECT_TRUE(dialog.statusBar().paneStyle(0) & kPaneStretch);
    EXPECT_EQ(dialog.toolBar().barStyle() & 0x830u, 0x830u);
    EXPECT_EQ(dialog.shownPromptId(), kIdlePromptId);

    RECT tb = clientRectOf(toolBar, w);
    RECT sb = clientRectOf(statusBar, w);
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(tb.top, 0);
    EXPECT_EQ(sb.bottom, client.bottom);
    RECT buttonAfter = clientRectOf(GetDlgItem(w, kButton), w);
    EXPECT_EQ(buttonAfter.top - buttonBefore.top, tb.bottom - tb.top);
    EXPECT_EQ(buttonAfter.left, buttonBefore.left);

    RECT usable = dialog.usableRect();
    EXPECT_EQ(usable.top, tb.bottom + 1);
    EXPECT_EQ(usable.bottom, sb.top - 1);

    // A size change keeps the tool bar at the top and the status bar at the bottom.
    RECT outer{};
    GetWindowRect(w, &outer);
    SetWindowPos(w, nullptr, 0, 0, outer.right - outer.left + 80, outer.bottom - outer.top + 60,
                 SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(w, &client);
    tb = clientRectOf(toolBar, w);
    sb = clientRectOf(statusBar, w);
    EXPECT_EQ(tb.top, 0);
    EXPECT_EQ(tb.right - tb.left, client.right);
    EXPECT_EQ(sb.bottom, client.bottom);
    EXPECT_EQ(sb.right - sb.left, client.right);
    usable = dialog.usableRect();
    EXPECT_EQ(usable.bottom, sb.top - 1);
}

TEST(BarDialog, MissingToolBarResourceFailsButKeepsTheStatusBar) {
    auto tmpl = barTemplate();
    TestBarDialog dialog(tmpl.get());
    ASSERT_TRUE(dialog.createModeless());
    UINT panes[1] = {0};
    EXPECT_FALSE(dialog.createBars(false, true, panes, 1, false, 30999));
    EXPECT_TRUE(dialog.hasStatusBar());
    EXPECT_FALSE(dialog.hasToolBar());
    // Neither bar: nothing to do.
    TestBarDialog plain(tmpl.get());
    ASSERT_TRUE(plain.createModeless());
    EXPECT_TRUE(plain.createBars(false, false, nullptr, 0, false, 0));
}

TEST(BarDialog, KickIdleUpdatesButtonsAndAsksForThreeMoreRounds) {
    Made m;
    DialogToolBar& bar = m.dialog.toolBar();
    EXPECT_TRUE(buttonEnabled(bar, kNewSearch));
    EXPECT_TRUE(buttonEnabled(bar, kTwo));
    HWND w = m.dialog.hwnd();
    EXPECT_TRUE(SendMessageA(w, toolkit::WM_KICKIDLE, MSGF_DIALOGBOX, 0));
    EXPECT_TRUE(SendMessageA(w, toolkit::WM_KICKIDLE, MSGF_DIALOGBOX, 1));
    EXPECT_TRUE(SendMessageA(w, toolkit::WM_KICKIDLE, MSGF_DIALOGBOX, 2));
    EXPECT_FALSE(SendMessageA(w, toolkit::WM_KICKIDLE, MSGF_DIALOGBOX, 3));
    EXPECT_FALSE(buttonEnabled(bar, kNewSearch)) << "the update handler disables it";
    EXPECT_FALSE(buttonEnabled(bar, kTwo)) << "no handler: disabled";
    EXPECT_TRUE(buttonEnabled(bar, kLong));
    m.dialog.newSearchEnabled = true;
    SendMessageA(w, toolkit::WM_KICKIDLE, MSGF_DIALOGBOX, 0);
    EXPECT_TRUE(buttonEnabled(bar, kNewSearch));
    // A command the dialog carries out without an update handler is enabled.
    m.dialog.carriesOutTwo = true;
    SendMessageA(w, toolkit::WM_KICKIDLE, MSGF_DIALOGBOX, 0);
    EXPECT_TRUE(buttonEnabled(bar, kTwo));

    // An invisible bar is not updated.
    m.dialog.newSearchEnabled = false;
    ShowWindow(bar.hwnd(), SW_HIDE);
    SendMessageA(w, toolkit::WM_KICKIDLE, MSGF_DIALOGBOX, 0);
    EXPECT_TRUE(buttonEnabled(bar, kNewSearch));
}

TEST(BarDialog, ToolTipTextRule) {
    Made m(true);
    HWND w = m.dialog.hwnd();
    HWND tip =
        reinterpret_cast<HWND>(SendMessageA(m.dialog.toolBar().hwnd(), TB_GETTOOLTIPS, 0, 0));
    auto ask = [&](UINT id) {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = tip;
        info.hdr.idFrom = id;
        info.hdr.code = TTN_NEEDTEXTA;
        SendMessageA(w, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
        return std::string(info.lpszText ? info.lpszText : "(null)");
    };

    // Only a tip: the status bar is not touched.
    m.dialog.statusBar().setPaneText(0, "untouched");
    EXPECT_EQ(ask(kNewSearch), "Start a new search");
    EXPECT_FALSE(m.dialog.tipPromptShown());
    EXPECT_EQ(paneZero(m.dialog), "untouched");

    // The tip is cut to 79 characters.
    std::string longTip = ask(kLong);
    EXPECT_EQ(longTip.size(), 79u);
    EXPECT_EQ(longTip, std::string("0123456789012345678901234567890123456789012345678901234567890"
                                   "123456789012345678"));

    // A prompt goes to the status bar (prompts are shown here) and is taken back on mouse move.
    EXPECT_EQ(ask(kTwo), "Tip of two");
    EXPECT_TRUE(m.dialog.tipPromptShown());
    EXPECT_EQ(paneZero(m.dialog), "Prompt of two");
    SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(m.dialog.tipPromptShown());
    EXPECT_EQ(paneZero(m.dialog), "Ready");
    EXPECT_EQ(m.dialog.shownPromptId(), kIdlePromptId);

    // The tool bar's own tool tip asks the tool bar, which asks the dialog.
    // (the platform's tool tips ask in the wide form).
    NMTTDISPINFOW viaBar{};
    viaBar.hdr.hwndFrom = tip;
    viaBar.hdr.idFrom = kNewSearch;
    viaBar.hdr.code = TTN_NEEDTEXTW;
    viaBar.lpszText = viaBar.szText; // as the tool tip asks
    SendMessageA(m.dialog.toolBar().hwnd(), WM_NOTIFY, kNewSearch,
                 reinterpret_cast<LPARAM>(&viaBar));
    ASSERT_NE(viaBar.lpszText, nullptr);
    EXPECT_EQ(std::wstring(viaBar.lpszText), L"Start a new search");

    // Ids 0 and 59393 and missing strings give an empty tip.
    EXPECT_EQ(ask(0), "");
    EXPECT_EQ(ask(59393), "");
    EXPECT_EQ(ask(kMissing), "");

    // The wide form, and a tool named by its window (the control's id is asked for).
    NMTTDISPINFOW wide{};
    wide.hdr.hwndFrom = tip;
    wide.hdr.idFrom = kLong;
    wide.hdr.code = TTN_NEEDTEXTW;
    SendMessageA(w, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&wide));
    ASSERT_NE(wide.lpszText, nullptr);
    EXPECT_EQ(std::wstring(wide.lpszText).size(), 79u);
    EXPECT_EQ(wide.lpszText[78], L'8');

    NMTTDISPINFOA byWindow{};
    byWindow.hdr.hwndFrom = tip;
    byWindow.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(w, kButton));
    byWindow.hdr.code = TTN_NEEDTEXTA;
    byWindow.uFlags = TTF_IDISHWND;
    SetWindowLongPtrA(GetDlgItem(w, kButton), GWLP_ID, kTwo);
    SendMessageA(w, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&byWindow));
    EXPECT_STREQ(byWindow.lpszText, "Tip of two");
}

TEST(BarDialog, InitMenuPopupUpdatesItemsAndNestedPopups) {
    Made m;
    HMENU popup = CreatePopupMenu();
    HMENU nestedSeparatorFirst = CreatePopupMenu();
    AppendMenuA(nestedSeparatorFirst, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(nestedSeparatorFirst, MF_STRING, kLong, "Long");
    HMENU nestedCommandFirst = CreatePopupMenu();
    AppendMenuA(nestedCommandFirst, MF_STRING, kNewSearch, "New");
    AppendMenuA(popup, MF_STRING, kNewSearch, "New");         // 0
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);             // 1
    AppendMenuA(popup, MF_STRING, kTwo, "Two");               // 2
    AppendMenuA(popup, MF_STRING | MF_GRAYED, kLong, "Long"); // 3
    AppendMenuA(popup, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(nestedSeparatorFirst),
                "Separator first");                                                      // 4
    AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(nestedCommandFirst), "Cmd"); // 5
    AppendMenuA(popup, MF_STRING | MF_GRAYED, 0xF060, "Close");                          // 6
    auto grayed = [&](int pos) {
        return (GetMenuState(popup, pos, MF_BYPOSITION) & MF_GRAYED) != 0;
    };

    SendMessageA(m.dialog.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    EXPECT_TRUE(grayed(0));  // disabled by the update handler
    EXPECT_TRUE(grayed(2));  // no handler
    EXPECT_FALSE(grayed(3)); // enabled by the update handler
    EXPECT_TRUE(grayed(4)) << "a nested popup that begins with a separator is left untouched";
    EXPECT_TRUE(grayed(5)) << "a nested popup takes its first command's state";
    EXPECT_TRUE(grayed(6)) << "a system command without handler is left as it is";

    m.dialog.newSearchEnabled = true;
    SendMessageA(m.dialog.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    EXPECT_FALSE(grayed(0));
    EXPECT_FALSE(grayed(5));
    // The system menu is not updated.
    m.dialog.newSearchEnabled = false;
    SendMessageA(m.dialog.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                 MAKELPARAM(0, TRUE));
    EXPECT_FALSE(grayed(0));
    DestroyMenu(popup);
}

TEST(BarDialog, MenuPromptsAndPromptStrings) {
    Made m(true);
    HWND w = m.dialog.hwnd();
    auto select = [&](UINT id, UINT flags) {
        SendMessageA(w, WM_MENUSELECT, MAKEWPARAM(id, flags), 0);
    };
    select(kTwo, MF_STRING);
    EXPECT_EQ(m.dialog.pendingPromptId(), kTwo);
    EXPECT_EQ(m.dialog.shownPromptId(), kIdlePromptId) << "shown at the next menu idle";
    SendMessageA(w, WM_ENTERIDLE, MSGF_MENU, 0);
    EXPECT_EQ(m.dialog.shownPromptId(), kTwo);
    EXPECT_EQ(paneZero(m.dialog), "Prompt of two");

    select(0xF020, MF_STRING | MF_SYSMENU); // a system command
    EXPECT_EQ(m.dialog.pendingPromptId(), 0xEF02u);
    select(kTwo, MF_POPUP);
    EXPECT_EQ(m.dialog.pendingPromptId(), 0u);
    select(kTwo, MF_SEPARATOR);
    EXPECT_EQ(m.dialog.pendingPromptId(), 0u);
    SendMessageA(w, WM_ENTERIDLE, MSGF_DIALOGBOX, 0);
    EXPECT_EQ(m.dialog.shownPromptId(), kTwo) << "only the menu's idle shows prompts";
    SendMessageA(w, WM_ENTERIDLE, MSGF_MENU, 0);
    EXPECT_EQ(m.dialog.shownPromptId(), 0u);
    EXPECT_EQ(paneZero(m.dialog), "");
    SendMessageA(w, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0); // the menu closed
    EXPECT_EQ(m.dialog.shownPromptId(), kIdlePromptId);
    EXPECT_EQ(paneZero(m.dialog), "Ready");

    // The prompt is the text before a newline at position 1 or later.
    EXPECT_EQ(m.dialog.showPrompt(kOnlyPrompt), kIdlePromptId);
    EXPECT_EQ(paneZero(m.dialog), "");
    m.dialog.showPrompt(kTwo);
    m.dialog.showPrompt(kSecondLine);
    EXPECT_EQ(paneZero(m.dialog), "");
    m.dialog.showPrompt(kTwo);
    EXPECT_EQ(m.dialog.showPrompt(kMissing), kTwo);
    EXPECT_EQ(paneZero(m.dialog), "Prompt of two") << "a missing string changes nothing";
    EXPECT_EQ(m.dialog.pendingPromptId(), kMissing);

    // The set- and pop-message-string messages.
    EXPECT_EQ(SendMessageA(w, toolkit::WM_SETMESSAGESTRING, kIdlePromptId, 0),
              static_cast<LRESULT>(kMissing));
    EXPECT_EQ(SendMessageA(w, toolkit::WM_POPMESSAGESTRING, kTwo, 0),
              static_cast<LRESULT>(kIdlePromptId));
    EXPECT_EQ(paneZero(m.dialog), "Prompt of two");
}

TEST(BarDialog, PromptsStayOutOfTheStatusBarWhenNotShown) {
    Made m(false);
    m.dialog.statusBar().setPaneText(0, "Searching");
    EXPECT_EQ(m.dialog.showPrompt(kTwo), kIdlePromptId);
    EXPECT_EQ(m.dialog.shownPromptId(), kTwo);
    EXPECT_EQ(paneZero(m.dialog), "Searching");
}

TEST(BarDialog, OkAndCancelModelessDestroyModalEndsTheRun) {
    {
        Made m;
        SendMessageA(m.dialog.hwnd(), WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(m.dialog.hwnd(), nullptr);
    }
    {
        Made m;
        SendMessageA(m.dialog.hwnd(), WM_COMMAND, IDOK, 0);
        EXPECT_EQ(m.dialog.hwnd(), nullptr);
    }
    auto tmpl = barTemplate();
    struct Ender : TestBarDialog {
        using TestBarDialog::TestBarDialog;
        bool onKickIdle(LONG count) override {
            if (count == 3) PostMessageA(hwnd(), WM_COMMAND, IDCANCEL, 0);
            return TestBarDialog::onKickIdle(count);
        }
    } ender(tmpl.get());
    EXPECT_EQ(ender.runModal(), IDCANCEL);
    EXPECT_FALSE(ender.isModeless());
    EXPECT_EQ(ender.hwnd(), nullptr);
}

TEST(DialogStatusBar, LazyPaneTextsEndExact) {
    Made m;
    DialogStatusBar& bar = m.dialog.statusBar();
    bar.setPaneInfo(1, 0, kPaneNormal, 150);
    EXPECT_EQ(bar.paneWidth(1), 150);

    // Many texts from the interface thread: every read sees the newest.
    for (int i = 0; i < 500; ++i)
        bar.setPaneText(0, "folder " + std::to_string(i));
    EXPECT_EQ(bar.paneText(0), "folder 499");
    bar.setPaneText(1, "Ready");
    EXPECT_EQ(bar.paneText(1), "Ready");
    SendMessageW(bar.hwnd(), SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"Active thread(s): 3"));
    EXPECT_EQ(bar.paneText(1), "Active thread(s): 3");
    EXPECT_EQ(bar.paneText(0), "folder 499");

    // Texts sent from a worker thread while the interface thread runs its messages.
    HWND statusWindow = bar.hwnd();
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([statusWindow, done] {
        for (int i = 0; i < 2000; ++i) {
            std::string text = "\\\\SERVER\\share\\folder " + std::to_string(i);
            SendMessageA(statusWindow, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        SetEvent(done);
    });
    EXPECT_TRUE(pumpUntil([&] { return WaitForSingleObject(done, 0) == WAIT_OBJECT_0; }));
    worker.join();
    CloseHandle(done);
    EXPECT_EQ(bar.paneText(0), "\\\\SERVER\\share\\folder 1999");

    // Without any reader, the timer shows the last text.
    bar.setPaneText(0, "after the timer");
    EXPECT_TRUE(bar.hasPendingTexts());
    MSG msg;
    bool fired = false;
    while (!fired && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        fired = msg.message == WM_TIMER && msg.hwnd == statusWindow &&
                msg.wParam == DialogStatusBar::kApplyTimer;
        DispatchMessageA(&msg);
    }
    EXPECT_TRUE(fired);
    EXPECT_FALSE(bar.hasPendingTexts());
    char shown[64] = {};
    SendMessageA(statusWindow, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, "after the timer");
}

// A picture of a dialog with both bars, for a person to look at (CORVASK_SHOTS names a folder).
TEST(BarDialog, Screenshot) {
    std::string folder = screenshotFolder();
    if (folder.empty()) GTEST_SKIP() << "CORVASK_SHOTS is not set";
    Made m;
    m.dialog.statusBar().setPaneInfo(1, 0, kPaneNormal, 150);
    m.dialog.statusBar().setPaneText(0, "\\\\SERVER\\share\\folder");
    m.dialog.statusBar().setPaneText(1, "Ready");
    SendMessageA(m.dialog.hwnd(), toolkit::WM_KICKIDLE, MSGF_DIALOGBOX, 0);
    EXPECT_TRUE(saveWindowShot(m.dialog.hwnd(), folder + "\\bar-dialog.bmp"));
}
