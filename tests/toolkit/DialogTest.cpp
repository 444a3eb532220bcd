// Real dialogs from in-memory templates: the modal run with its filter and idle counts, the
// value exchange with the unsigned-number check, command routing and reflected notifications.
#include "support/BoxRecorder.h"
#include "support/DialogTemplateBuilder.h"
#include "toolkit/Application.h"
#include "toolkit/Dialog.h"
#include "toolkit/FrameworkMessages.h"
#include "toolkit/MessageBoxes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

using namespace toolkit;

namespace {

enum : int {
    kName = 100,
    kCount = 101,
    kLimit = 102,
    kCheck = 103,
    kRadioA = 104,
    kRadioB = 105,
    kRadioC = 106,
    kAfterGroup = 107,
    kList = 108,
    kDate = 109,
};

DialogTemplateBuilder makeTemplate() {
    DialogTemplateBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 200, 160, "Test");
    b.add("EDIT", "", kName, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 5, 5, 100, 12);
    b.add("EDIT", "", kCount, WS_BORDER | WS_TABSTOP, 5, 20, 50, 12);
    b.add("EDIT", "", kLimit, WS_BORDER | WS_TABSTOP, 5, 35, 50, 12);
    b.add("BUTTON", "Check", kCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 5, 50, 60, 10);
    b.add("BUTTON", "A", kRadioA, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 5, 62, 30, 10);
    b.add("BUTTON", "B", kRadioB, BS_AUTORADIOBUTTON, 40, 62, 30, 10);
    b.add("BUTTON", "C", kRadioC, BS_AUTORADIOBUTTON, 75, 62, 30, 10);
    b.add("BUTTON", "Other", kAfterGroup, BS_AUTORADIOBUTTON | WS_GROUP, 110, 62, 40, 10);
    b.add("COMBOBOX", "", kList, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 5, 76, 80, 60);
    b.add("SysDateTimePick32", "", kDate, DTS_SHORTDATEFORMAT | WS_TABSTOP, 5, 92, 80, 13);
    b.add("BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 140, 130, 50, 14);
    return b;
}

class ValuesDialog : public Dialog {
public:
    explicit ValuesDialog(const DLGTEMPLATE* t) : Dialog(t) {}

    std::string name = "first";
    uint32_t count = 7;
    uint32_t limit = 9;
    int checked = 1;
    int radio = 1;
    int listIndex = 1;
    SYSTEMTIME date{2024, 3, 0, 15, 0, 0, 0, 0};

    std::vector<LONG> idleCounts;
    std::vector<UINT> commands;
    bool copyEnabled = false;

protected:
    bool onInitDialog() override {
        for (const char* entry : {"zero", "one", "two"})
            SendMessageA(item(kList), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        return Dialog::onInitDialog();
    }
    void exchange(DataExchange& dx) override {
        dx.text(kName, name);
        dx.unsignedNumber(kCount, count);
        dx.unsignedNumber(kLimit, limit);
        dx.check(kCheck, checked);
        dx.radio(kRadioA, radio);
        dx.listIndex(kList, listIndex);
        dx.date(kDate, date);
    }
    bool onKickIdle(LONG idleCount) override {
        idleCounts.push_back(idleCount);
        // End the run once a whole idle period has been seen.
        if (idleCount == 3) PostMessageA(hwnd(), WM_APP, 0, 0);
        return idleCount < 3;
    }
    bool onCommand(UINT id) override {
        commands.push_back(id);
        return id == 500 || id == 501;
    }
    void updateCommand(CommandState& state) override {
        if (state.id() == 500) state.enable(copyEnabled);
        if (state.id() == 501) state.enable(true);
    }
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) {
            endModal(42);
            return 0;
        }
        if (message == WM_APP + 1) ++filteredReached;
        return Dialog::handleMessage(message, wParam, lParam);
    }

public:
    int filteredReached = 0;
};

} // namespace

TEST(DialogModalRun, EndsByPostedMessageAfterIdleCountsZeroToThree) {
    auto tmpl = makeTemplate();
    ValuesDialog dialog(tmpl.get());
    int filtered = 0;
    setMessageFilter([&](int code, MSG& msg) {
        EXPECT_EQ(code, MSGF_DIALOGBOX);
        if (msg.message != WM_APP + 1) return false;
        ++filtered;
        return true; // handled by the filter: the dialog must not see it
    });
    PostMessageA(nullptr, WM_APP + 1, 0, 0); // a thread message, seen only by the loop
    INT_PTR result = dialog.runModal();
    setMessageFilter({});

    EXPECT_EQ(result, 42);
    EXPECT_EQ(filtered, 1);
    EXPECT_EQ(dialog.filteredReached, 0);
    EXPECT_EQ(dialog.hwnd(), nullptr) << "the window is destroyed when the run ends";
    ASSERT_GE(dialog.idleCounts.size(), 4u);
    // Every idle period counts up from 0; the dialog's false at 3 ends the period.
    for (size_t i = 0; i < dialog.idleCounts.size(); ++i) {
        LONG c = dialog.idleCounts[i];
        EXPECT_TRUE(c == 0 || (i > 0 && c == dialog.idleCounts[i - 1] + 1)) << "at " << i;
        EXPECT_LE(c, 3);
    }
    std::vector<LONG> last(dialog.idleCounts.end() - 4, dialog.idleCounts.end());
    EXPECT_EQ(last, (std::vector<LONG>{0, 1, 2, 3}));
}

namespace {
// Looks at its owner from inside its own run.
class OwnedDialog : public ValuesDialog {
public:
    OwnedDialog(const DLGTEMPLATE* t, HWND owner) : ValuesDialog(t) { parentWindow = owner; }
    bool ownerEnabledDuringRun = true;

protected:
    bool onKickIdle(LONG idleCount) override {
        if (idleCount == 0) ownerEnabledDuringRun = IsWindowEnabled(parentWindow) != FALSE;
        return ValuesDialog::onKickIdle(idleCount);
    }
};
} // namespace

TEST(DialogModalRun, FilterHookServesMenusAndMessageBoxesButNotDialogLoops) {
    std::vector<int> codes;
    setMessageFilter([&](int code, MSG& msg) {
        codes.push_back(code);
        return msg.message == WM_KEYDOWN;
    });
    ASSERT_TRUE(installMessageFilterHook());
    MSG key{nullptr, WM_KEYDOWN, 'C', 0, 0, {0, 0}};
    MSG other{nullptr, WM_CHAR, 'c', 0, 0, {0, 0}};
    EXPECT_TRUE(CallMsgFilterA(&key, MSGF_MENU));
    EXPECT_FALSE(CallMsgFilterA(&other, MSGF_MESSAGEBOX));
    // The modal loops of the toolkit ask the filter themselves, before the dialog keys.
    EXPECT_FALSE(CallMsgFilterA(&key, MSGF_DIALOGBOX));
    removeMessageFilterHook();
    EXPECT_FALSE(CallMsgFilterA(&key, MSGF_MENU));
    setMessageFilter({});
    EXPECT_EQ(codes, (std::vector<int>{MSGF_MENU, MSGF_MESSAGEBOX}));
}

TEST(DialogModalRun, DisablesTheOwnerAndGivesItBack) {
    auto tmpl = makeTemplate();
    ValuesDialog owner(tmpl.get());
    ASSERT_TRUE(owner.createModeless());
    OwnedDialog dialog(tmpl.get(), owner.hwnd());
    EXPECT_EQ(dialog.runModal(), 42);
    EXPECT_FALSE(dialog.ownerEnabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

TEST(DialogExchange, RoundTripsEveryKindOfValue) {
    auto tmpl = makeTemplate();
    ValuesDialog dialog(tmpl.get());
    ASSERT_TRUE(dialog.createModeless());
    HWND w = dialog.hwnd();

    // onInitDialog showed the members.
    char text[64] = {};
    GetDlgItemTextA(w, kName, text, sizeof(text));
    EXPECT_STREQ(text, "first");
    GetDlgItemTextA(w, kCount, text, sizeof(text));
    EXPECT_STREQ(text, "7");
    EXPECT_EQ(IsDlgButtonChecked(w, kCheck), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(w, kRadioB), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(w, kRadioA), BST_UNCHECKED);
    EXPECT_EQ(SendDlgItemMessageA(w, kList, CB_GETCURSEL, 0, 0), 1);

    // The user changes everything; the exchange to the members takes it.
    SetDlgItemTextA(w, kName, "second");
    SetDlgItemTextA(w, kCount, " +12 ");
    SetDlgItemTextA(w, kLimit, "99999999999");
    CheckDlgButton(w, kCheck, BST_UNCHECKED);
    CheckRadioButton(w, kRadioA, kRadioC, kRadioC);
    CheckDlgButton(w, kAfterGroup, BST_CHECKED); // another group: not part of the value
    SendDlgItemMessageA(w, kList, CB_SETCURSEL, 2, 0);
    SYSTEMTIME picked{2021, 11, 0, 30, 0, 0, 0, 0};
    SendDlgItemMessageA(w, kDate, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&picked));
    ASSERT_TRUE(dialog.exchangeData(true));
    EXPECT_EQ(dialog.name, "second");
    EXPECT_EQ(dialog.count, 12u);
    EXPECT_EQ(dialog.limit, 4294967295u);
    EXPECT_EQ(dialog.checked, 0);
    EXPECT_EQ(dialog.radio, 2);
    EXPECT_EQ(dialog.listIndex, 2);
    EXPECT_EQ(dialog.date.wYear, 2021);
    EXPECT_EQ(dialog.date.wMonth, 11);
    EXPECT_EQ(dialog.date.wDay, 30);

    // Values no control can show come back as "none".
    dialog.radio = 5;
    dialog.listIndex = 7;
    ASSERT_TRUE(dialog.exchangeData(false));
    EXPECT_EQ(IsDlgButtonChecked(w, kRadioC), BST_UNCHECKED);
    ASSERT_TRUE(dialog.exchangeData(true));
    EXPECT_EQ(dialog.radio, -1);
    EXPECT_EQ(dialog.listIndex, -1);
}

TEST(DialogExchange, RejectedNumberShowsMessageFocusesFieldAndEndsThere) {
    auto tmpl = makeTemplate();
    ValuesDialog dialog(tmpl.get());
    ASSERT_TRUE(dialog.createModeless());
    ShowWindow(dialog.hwnd(), SW_SHOW);
    SetForegroundWindow(dialog.hwnd());
    HWND w = dialog.hwnd();
    SetDlgItemTextA(w, kName, "taken");
    SetDlgItemTextA(w, kCount, "-3");
    SetDlgItemTextA(w, kLimit, "55");
    CheckDlgButton(w, kCheck, BST_UNCHECKED);
    EnableWindow(GetDlgItem(w, kCount), TRUE);

    BoxRecorder boxes;
    EXPECT_FALSE(dialog.exchangeData(true));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Please enter a positive integer.");
    EXPECT_EQ(boxes[0].caption, "Corvask");
    EXPECT_EQ(dialog.name, "taken"); // before the field: taken
    EXPECT_EQ(dialog.count, 7u);     // the field keeps its value
    EXPECT_EQ(dialog.limit, 9u);     // after it: untouched
    EXPECT_EQ(dialog.checked, 1);
    EXPECT_EQ(GetFocus(), GetDlgItem(w, kCount));

    // A disabled empty field is checked as well.
    SetDlgItemTextA(w, kCount, "");
    EnableWindow(GetDlgItem(w, kCount), FALSE);
    EXPECT_FALSE(dialog.exchangeData(true));
    EXPECT_EQ(boxes.size(), 2u);
}

TEST(DialogExchange, UnsignedFieldRules) {
    uint32_t v = 5;
    EXPECT_TRUE(parseUnsignedField("0", v));
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(parseUnsignedField("\t 42\t ", v));
    EXPECT_EQ(v, 42u);
    EXPECT_TRUE(parseUnsignedField("+8", v));
    EXPECT_EQ(v, 8u);
    EXPECT_TRUE(parseUnsignedField("4294967295", v));
    EXPECT_EQ(v, 4294967295u);
    EXPECT_TRUE(parseUnsignedField("4294967296", v));
    EXPECT_EQ(v, 4294967295u);
    EXPECT_TRUE(parseUnsignedField("123456789012345678901234567890", v));
    EXPECT_EQ(v, 4294967295u);
    v = 5;
    for (const char* bad : {"", "   ", "-1", "+", "12a", "1 2", "0x10", "+-3", " - 4"}) {
        EXPECT_FALSE(parseUnsignedField(bad, v)) << '"' << bad << '"';
        EXPECT_EQ(v, 5u);
    }
}

TEST(DialogCommands, DisabledCommandsWithoutControlAreDropped) {
    auto tmpl = makeTemplate();
    ValuesDialog dialog(tmpl.get());
    ASSERT_TRUE(dialog.createModeless());
    HWND w = dialog.hwnd();

    EXPECT_EQ(dialog.commandEnabled(500, true), std::optional<bool>(false));
    EXPECT_EQ(dialog.commandEnabled(501, false), std::optional<bool>(true));
    EXPECT_EQ(dialog.commandEnabled(502, false), std::nullopt);
    EXPECT_EQ(dialog.commandEnabled(502, true), std::optional<bool>(false));

    SendMessageA(w, WM_COMMAND, MAKEWPARAM(500, 1), 0); // accelerator while disabled
    SendMessageA(w, WM_COMMAND, MAKEWPARAM(501, 0), 0); // menu
    dialog.copyEnabled = true;
    SendMessageA(w, WM_COMMAND, MAKEWPARAM(500, 1), 0);
    SendMessageA(w, WM_COMMAND, MAKEWPARAM(kCheck, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(w, kCheck)));
    EXPECT_EQ(dialog.commands, (std::vector<UINT>{501, 500, kCheck}));
}

namespace {
// A control that answers its own notifications.
class SelfHandlingButton : public Window {
public:
    int clicks = 0;
    bool onReflectedCommand(UINT code, LRESULT& result) override {
        if (code != BN_CLICKED) return false;
        ++clicks;
        result = 0;
        return true;
    }
};
} // namespace

TEST(WindowBase, SubclassedControlHandlesItsOwnNotification) {
    auto tmpl = makeTemplate();
    ValuesDialog dialog(tmpl.get());
    ASSERT_TRUE(dialog.createModeless());
    SelfHandlingButton button;
    ASSERT_TRUE(button.subclassDlgItem(dialog.hwnd(), kCheck));
    EXPECT_EQ(Window::fromHandle(button.hwnd()), &button);
    EXPECT_EQ(Window::fromHandle(dialog.hwnd()), &dialog);
    EXPECT_EQ(GetWindowLongPtrA(dialog.hwnd(), DWLP_USER), reinterpret_cast<LONG_PTR>(&dialog));

    SendMessageA(button.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(button.clicks, 1);
    EXPECT_TRUE(dialog.commands.empty()) << "the parent does not see a reflected command";

    button.unsubclass();
    EXPECT_EQ(Window::fromHandle(GetDlgItem(dialog.hwnd(), kCheck)), nullptr);
    SendMessageA(GetDlgItem(dialog.hwnd(), kCheck), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.commands, (std::vector<UINT>{kCheck}));
}
