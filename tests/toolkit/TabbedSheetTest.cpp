// A real property sheet shown as a child of a dialog with two real pages: the sheet's frame is
// gone, its OK/Cancel hidden, and the pages exchange their values when left and shown again.
#include "support/DialogTemplateBuilder.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/TabbedSheet.h"

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace toolkit;

namespace {

enum : int { kField = 200, kNumber = 201 };

DialogTemplateBuilder hostTemplate() {
    return DialogTemplateBuilder(WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 300, 200, "Host");
}

DialogTemplateBuilder pageTemplate(const char* caption) {
    DialogTemplateBuilder b(WS_CHILD | WS_CAPTION | DS_CONTROL, 0, 0, 200, 100, caption);
    b.add("EDIT", "", kField, WS_BORDER | WS_TABSTOP, 10, 10, 100, 12);
    b.add("EDIT", "", kNumber, WS_BORDER | WS_TABSTOP, 10, 30, 50, 12);
    return b;
}

class TextPage : public PropertyPage {
public:
    explicit TextPage(const DLGTEMPLATE* t) : PropertyPage(t) {}
    std::string text;
    uint32_t number = 1;
    int initCount = 0;

protected:
    bool onInitDialog() override {
        ++initCount;
        return PropertyPage::onInitDialog();
    }
    void exchange(DataExchange& dx) override {
        dx.text(kField, text);
        dx.unsignedNumber(kNumber, number);
    }
};

class Host : public Dialog {
public:
    explicit Host(const DLGTEMPLATE* t) : Dialog(t) {}
};

} // namespace

TEST(TabbedSheet, ChildSheetWithTwoPagesExchangesOnPageChange) {
    auto hostT = hostTemplate();
    auto firstT = pageTemplate("First");
    auto secondT = pageTemplate("Second");
    Host host(hostT.get());
    ASSERT_TRUE(host.createModeless());
    ShowWindow(host.hwnd(), SW_SHOW);

    TextPage first(firstT.get());
    TextPage second(secondT.get());
    first.text = "alpha";
    second.text = "beta";
    TabbedSheet sheet;
    sheet.addPage(&first);
    sheet.addPage(&second);
    ASSERT_TRUE(sheet.createAsChild(host.hwnd()));

    HWND s = sheet.hwnd();
    LONG style = GetWindowLongA(s, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_FALSE(style & WS_POPUP);
    EXPECT_FALSE((style & WS_CAPTION) == WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_TRUE(IsWindowVisible(s));
    EXPECT_EQ(GetParent(s), host.hwnd());
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(s, IDOK)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(s, IDCANCEL)));
    EXPECT_EQ(TabCtrl_GetItemCount(sheet.tabControl()), 2);

    // Only the first page exists so far, showing its values.
    EXPECT_EQ(sheet.activeIndex(), 0);
    EXPECT_EQ(sheet.activePage(), &first);
    EXPECT_EQ(second.hwnd(), nullptr);
    char text[32] = {};
    GetDlgItemTextA(first.hwnd(), kField, text, sizeof(text));
    EXPECT_STREQ(text, "alpha");

    // Leaving a page takes its values; a page shown the first time shows its own.
    SetDlgItemTextA(first.hwnd(), kField, "typed");
    ASSERT_TRUE(sheet.setActivePage(1));
    EXPECT_EQ(sheet.activeIndex(), 1);
    EXPECT_EQ(first.text, "typed");
    GetDlgItemTextA(second.hwnd(), kField, text, sizeof(text));
    EXPECT_STREQ(text, "beta");
    EXPECT_EQ(second.initCount, 1);

    // Showing a page again shows its (changed) values.
    first.text = "changed meanwhile";
    ASSERT_TRUE(sheet.setActivePage(0));
    GetDlgItemTextA(first.hwnd(), kField, text, sizeof(text));
    EXPECT_STREQ(text, "changed meanwhile");
    EXPECT_EQ(first.initCount, 1);

    // A page whose values fail the check stays in front.
    std::vector<std::string> asked;
    setMessageBoxResponder([&](const MessageBoxRequest& r) {
        asked.push_back(r.text);
        return IDOK;
    });
    SetDlgItemTextA(first.hwnd(), kNumber, "");
    sheet.setActivePage(1);
    setMessageBoxResponder({});
    EXPECT_EQ(sheet.activeIndex(), 0);
    EXPECT_EQ(asked, std::vector<std::string>{"Please enter a positive integer."});
    EXPECT_EQ(first.number, 1u);

    // The pages are children of the sheet, inside the host.
    EXPECT_EQ(GetParent(first.hwnd()), s);
    host.destroy();
    EXPECT_EQ(first.hwnd(), nullptr);
    EXPECT_EQ(sheet.hwnd(), nullptr);
}
