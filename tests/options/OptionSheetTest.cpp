// The option sheet with its five real pages inside a host window: enabling rules, validation
// when a page is left, the transfers to and from SearchOptions and through an option file,
// resizing, the New Search view, and (on request) screenshots of the pages.
#include "options/COptionSheet.h"
#include "options/OptionFile.h"
#include "options/OptionFileCommands.h"
#include "resources/resource.h"
#include "support/BoxRecorder.h"
#include "support/Bytes.h"
#include "support/ScratchFolder.h"
#include "support/WindowShot.h"
#include "toolkit/FileDialogs.h"
#include "toolkit/FileTime.h"
#include "toolkit/MessageBoxes.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <ctime>

namespace {

const int kFrameId = 1034;
enum PageIndex { Main = 0, Network = 1, Folders = 2, DateAndSize = 3, Text = 4 };

// A host window standing in for the main dialog: a hidden frame control marks where the sheet
// goes. Message boxes are answered with OK and recorded.
class OptionSheetInHost : public testing::Test {
protected:
    void SetUp() override { makeHost(false); }
    void makeHost(bool visible) {
        host = CreateWindowExA(0, "STATIC", "Options",
                               WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 40, 40, 620, 360,
                               nullptr, nullptr, nullptr, nullptr);
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 12, 9, 10, 10, host,
                        reinterpret_cast<HMENU>(kFrameId), nullptr, nullptr);
        ASSERT_TRUE(sheet.createInDialog(host, kFrameId));
    }
    void TearDown() override {
        toolkit::setFileDialogResponder(nullptr);
        DestroyWindow(host);
    }

    HWND page(PageIndex index) { return sheet.page(index)->hwnd(); }
    HWND control(PageIndex index, int id) { return GetDlgItem(page(index), id); }
    bool enabled(PageIndex index, int id) { return IsWindowEnabled(control(index, id)) != FALSE; }
    bool checked(PageIndex index, int id) {
        return IsDlgButtonChecked(page(index), id) == BST_CHECKED;
    }
    void click(PageIndex index, int id) { SendMessageA(control(index, id), BM_CLICK, 0, 0); }
    void show(PageIndex index) { ASSERT_TRUE(sheet.setActivePage(index)); }

    HWND host = nullptr;
    COptionSheet sheet;
    BoxRecorder boxes;
};

// Options in which every field differs from its default.
SearchOptions unusualOptions() {
    SearchOptions o;
    o.includeSubfolders = 0;
    o.fileType = 2;
    o.scope = SearchScope::LastResult;
    o.domains = {FilterMode::AllExcept, {"WORKGROUP", "CORP"}};
    o.servers = {FilterMode::OnlyThese, {"\\\\zeta", "\\\\alpha"}};
    o.folders = {FilterMode::AllExcept, {"Temp", "$RECYCLE.BIN", "backup*"}};
    o.dateEnabled = 1;
    o.dateKind = 2;
    o.dateMode = 1;
    o.previousUnit = 1;
    o.previousCount = 4294967295u;
    o.largerThanOn = 1;
    o.smallerThanOn = 1;
    o.largerThanKB = 12;
    o.smallerThanKB = 3000000000u;
    o.namePattern = "*.mp3 *.ogg";
    o.fromDate = 1136073600 + 3723; // 2006-01-01 01:02:03 UTC
    o.toDate = 1700000000;
    o.containingText = "  Invoice 2024-117 ";
    o.matchCase = 1;
    return o;
}

} // namespace

TEST_F(OptionSheetInHost, SitsAtTheFrameAsATabStopControlParent) {
    EXPECT_EQ(GetParent(sheet.hwnd()), host);
    EXPECT_TRUE(GetWindowLongA(sheet.hwnd(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_TRUE(GetWindowLongA(sheet.hwnd(), GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongA(sheet.hwnd(), GWL_STYLE) & WS_VISIBLE);
    RECT r;
    GetWindowRect(sheet.hwnd(), &r);
    MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.top, 9);
    EXPECT_EQ(sheet.activeIndex(), Main);
    // The tabs in order, with the templates' captions.
    HWND tabs = sheet.tabControl();
    ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 5);
    const char* captions[] = {"Main", "Network", "Folders", "Date and Size", "Text"};
    for (int i = 0; i < 5; ++i) {
        char text[64] = "";
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, captions[i]);
    }
}

TEST_F(OptionSheetInHost, NetworkListsFollowTheirRadioGroups) {
    show(Network);
    const int domainControls[] = {IDC_LAN_DOMAIN_LIST,  IDC_LAN_DOMAIN_ADD,  IDC_LAN_DOMAIN_REMOVE,
                                  IDC_LAN_DOMAIN_CLEAR, IDC_LAN_DOMAIN_LOAD, IDC_LAN_DOMAIN_SAVE};
    const int serverControls[] = {IDC_LAN_SERVER_LIST,  IDC_LAN_SERVER_ADD,  IDC_LAN_SERVER_REMOVE,
                                  IDC_LAN_SERVER_CLEAR, IDC_LAN_SERVER_LOAD, IDC_LAN_SERVER_SAVE};
    // After start-up both modes are 0: lists and buttons are disabled.
    EXPECT_TRUE(checked(Network, IDC_LAN_DOMAIN_ALL));
    for (int id : domainControls)
        EXPECT_FALSE(enabled(Network, id)) << id;
    for (int id : serverControls)
        EXPECT_FALSE(enabled(Network, id)) << id;

    click(Network, IDC_LAN_DOMAIN_EXCEPT);
    EXPECT_FALSE(checked(Network, IDC_LAN_DOMAIN_ALL));
    for (int id : domainControls)
        EXPECT_TRUE(enabled(Network, id)) << id;
    for (int id : serverControls)
        EXPECT_FALSE(enabled(Network, id)) << id;

    // The server group's third radio lies after its list in id order but in the group.
    click(Network, IDC_LAN_SERVER_ONLY);
    EXPECT_FALSE(checked(Network, IDC_LAN_SERVER_ALL));
    for (int id : serverControls)
        EXPECT_TRUE(enabled(Network, id)) << id;
    click(Network, IDC_LAN_SERVER_ALL);
    EXPECT_FALSE(checked(Network, IDC_LAN_SERVER_ONLY));
    for (int id : serverControls)
        EXPECT_FALSE(enabled(Network, id)) << id;

    SearchOptions o;
    sheet.readOptionsFromPages(o);
    EXPECT_EQ(o.domains.mode, FilterMode::AllExcept);
    EXPECT_EQ(o.servers.mode, FilterMode::All);

    // The Folders page has the same rule.
    show(Folders);
    EXPECT_FALSE(enabled(Folders, IDC_FOLDER_LIST));
    click(Folders, IDC_FOLDER_ONLY);
    for (int id : {IDC_FOLDER_LIST, IDC_FOLDER_ADD, IDC_FOLDER_REMOVE, IDC_FOLDER_CLEAR,
                   IDC_FOLDER_LOAD, IDC_FOLDER_SAVE})
        EXPECT_TRUE(enabled(Folders, id)) << id;
}

TEST_F(OptionSheetInHost, DatePageEnablingFollowsDateAndTheChosenRadio) {
    show(DateAndSize);
    const int dateControls[] = {IDC_DATE_KIND, IDC_DATE_BETWEEN, IDC_DATE_PREVIOUS, IDC_DATE_FROM,
                                IDC_DATE_TO,   IDC_DATE_COUNT,   IDC_DATE_UNIT};
    // "Date" off: everything of the date test is disabled although "Between" is on.
    EXPECT_TRUE(checked(DateAndSize, IDC_DATE_BETWEEN));
    for (int id : dateControls)
        EXPECT_FALSE(enabled(DateAndSize, id)) << id;
    EXPECT_FALSE(enabled(DateAndSize, IDC_DATE_MIN));
    EXPECT_FALSE(enabled(DateAndSize, IDC_DATE_MAX));

    click(DateAndSize, IDC_DATE_ON);
    for (int id : {IDC_DATE_KIND, IDC_DATE_BETWEEN, IDC_DATE_PREVIOUS, IDC_DATE_FROM, IDC_DATE_TO})
        EXPECT_TRUE(enabled(DateAndSize, id)) << id;
    EXPECT_FALSE(enabled(DateAndSize, IDC_DATE_COUNT));
    EXPECT_FALSE(enabled(DateAndSize, IDC_DATE_UNIT));

    // The two date radios are one choice although "and" starts a tab group between them.
    click(DateAndSize, IDC_DATE_PREVIOUS);
    EXPECT_TRUE(checked(DateAndSize, IDC_DATE_PREVIOUS));
    EXPECT_FALSE(checked(DateAndSize, IDC_DATE_BETWEEN));
    EXPECT_FALSE(enabled(DateAndSize, IDC_DATE_FROM));
    EXPECT_FALSE(enabled(DateAndSize, IDC_DATE_TO));
    EXPECT_TRUE(enabled(DateAndSize, IDC_DATE_COUNT));
    EXPECT_TRUE(enabled(DateAndSize, IDC_DATE_UNIT));
    SearchOptions o;
    sheet.readOptionsFromPages(o);
    EXPECT_EQ(o.dateEnabled, 1);
    EXPECT_EQ(o.dateMode, 1);

    click(DateAndSize, IDC_DATE_BETWEEN);
    EXPECT_FALSE(checked(DateAndSize, IDC_DATE_PREVIOUS));
    EXPECT_TRUE(enabled(DateAndSize, IDC_DATE_FROM));
    EXPECT_FALSE(enabled(DateAndSize, IDC_DATE_COUNT));

    click(DateAndSize, IDC_DATE_ON);
    for (int id : dateControls)
        EXPECT_FALSE(enabled(DateAndSize, id)) << id;

    // Each size field follows its check box.
    click(DateAndSize, IDC_DATE_LARGER_ON);
    EXPECT_TRUE(enabled(DateAndSize, IDC_DATE_MIN));
    EXPECT_FALSE(enabled(DateAndSize, IDC_DATE_MAX));
    click(DateAndSize, IDC_DATE_SMALLER_ON);
    EXPECT_TRUE(enabled(DateAndSize, IDC_DATE_MAX));
    click(DateAndSize, IDC_DATE_LARGER_ON);
    EXPECT_FALSE(enabled(DateAndSize, IDC_DATE_MIN));

    // Applied options set the enabling from their values.
    SearchOptions during = unusualOptions();
    sheet.applyOptionsToPages(&during);
    EXPECT_FALSE(enabled(DateAndSize, IDC_DATE_FROM));
    EXPECT_TRUE(enabled(DateAndSize, IDC_DATE_COUNT));
    EXPECT_TRUE(enabled(DateAndSize, IDC_DATE_MIN));
}

TEST_F(OptionSheetInHost, AnInvalidNumberKeepsThePageInFrontEvenWhenItsFieldIsDisabled) {
    show(DateAndSize);
    ASSERT_FALSE(enabled(DateAndSize, IDC_DATE_MAX));
    SetDlgItemTextA(page(DateAndSize), IDC_DATE_COUNT, " +7 ");
    SetDlgItemTextA(page(DateAndSize), IDC_DATE_MIN, "5");
    SetDlgItemTextA(page(DateAndSize), IDC_DATE_MAX, "");
    EXPECT_FALSE(sheet.setActivePage(Main));
    EXPECT_EQ(sheet.activeIndex(), DateAndSize);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Please enter a positive integer.");

    // Reading the pages reports it again and goes on: the fields before it are taken, the
    // rejected one keeps its value.
    SearchOptions o;
    sheet.readOptionsFromPages(o);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(o.previousCount, 7u);
    EXPECT_EQ(o.largerThanKB, 5u);
    EXPECT_EQ(o.smallerThanKB, 1000u);

    // A minus sign is refused too; a number beyond 32 bits is held at the largest.
    SetDlgItemTextA(page(DateAndSize), IDC_DATE_MAX, "-3");
    EXPECT_FALSE(sheet.setActivePage(Main));
    SetDlgItemTextA(page(DateAndSize), IDC_DATE_MAX, "99999999999");
    EXPECT_TRUE(sheet.setActivePage(Main));
    sheet.readOptionsFromPages(o);
    EXPECT_EQ(o.smallerThanKB, 4294967295u);
    EXPECT_EQ(boxes.size(), 3u);
}

TEST_F(OptionSheetInHost, EveryOptionPassesThePagesUnchanged) {
    SearchOptions in = unusualOptions();
    sheet.applyOptionsToPages(&in);
    // Visiting each page exchanges it both ways.
    for (PageIndex i : {Network, Folders, DateAndSize, Text, Main})
        show(i);
    SearchOptions out;
    sheet.readOptionsFromPages(out);
    EXPECT_TRUE(boxes.empty());

    // Lists come back in the list box's sorted order.
    SearchOptions expected = in;
    expected.domains.names = {"CORP", "WORKGROUP"};
    expected.servers.names = {"\\\\alpha", "\\\\zeta"};
    expected.folders.names = {"$RECYCLE.BIN", "backup*", "Temp"};
    EXPECT_EQ(out, expected);

    // Dates pass unchanged, before 1970 too, and show the local day of the platform's time
    // zone, whatever the C runtime's TZ variable says.
    _putenv("TZ=XYZ-13");
    _tzset();
    SearchOptions dated = in;
    dated.fromDate = -1000000000; // 1938-04-24 22:13:20 UTC
    dated.toDate = 1700000000 + 86399;
    sheet.applyOptionsToPages(&dated);
    show(DateAndSize);
    SYSTEMTIME shown{}, local{};
    SendMessageA(control(DateAndSize, IDC_DATE_FROM), DTM_GETSYSTEMTIME, 0,
                 reinterpret_cast<LPARAM>(&shown));
    ASSERT_TRUE(utcFileTimeToLocalFields(time32ToFileTimeU64(dated.fromDate), local));
    EXPECT_EQ(shown.wYear * 10000 + shown.wMonth * 100 + shown.wDay,
              local.wYear * 10000 + local.wMonth * 100 + local.wDay);
    show(Main);
    sheet.readOptionsFromPages(out);
    _putenv("TZ=");
    _tzset();
    EXPECT_EQ(out.fromDate, dated.fromDate);
    EXPECT_EQ(out.toDate, dated.toDate);

    // Values no control can show come back as no selection.
    SearchOptions odd = in;
    odd.fileType = 9;
    odd.domains.mode = static_cast<FilterMode>(5);
    odd.dateKind = -7;
    sheet.applyOptionsToPages(&odd);
    for (PageIndex i : {Network, DateAndSize})
        show(i);
    sheet.readOptionsFromPages(out);
    EXPECT_EQ(out.fileType, -1);
    EXPECT_EQ(static_cast<int>(out.domains.mode), -1);
    EXPECT_EQ(out.dateKind, -1);
}

TEST_F(OptionSheetInHost, OptionsSurviveAnOptionFileAndComeBackToThePages) {
    ScratchFolder folder;
    std::string path = folder.file("Search.opt");
    std::vector<toolkit::FileDialogRequest> requests;
    toolkit::setFileDialogResponder([&](const toolkit::FileDialogRequest& request) {
        requests.push_back(request);
        return toolkit::FileDialogAnswer{true, path};
    });

    SearchOptions in = unusualOptions();
    in.domains.names = {"CORP", "WORKGROUP"};
    in.servers.names = {"\\\\alpha", "\\\\zeta"};
    in.folders.names = {"$RECYCLE.BIN", "backup*", "Temp"};
    sheet.applyOptionsToPages(&in);
    SearchOptions current;
    saveOptionFile(host, sheet, current);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].defaultExtension, "opt");
    EXPECT_EQ(requests[0].fileName, "Search.opt");
    EXPECT_EQ(requests[0].filter, "*.opt|*.opt|");
    EXPECT_EQ(current, in);

    // Back into pages that show the defaults.
    sheet.applyOptionsToPages(nullptr);
    SearchOptions loaded;
    openOptionFile(host, sheet, loaded);
    EXPECT_FALSE(requests.back().save);
    EXPECT_EQ(loaded, in);
    for (PageIndex i : {Network, Folders, DateAndSize, Text, Main})
        show(i);
    SearchOptions shown;
    sheet.readOptionsFromPages(shown);
    EXPECT_EQ(shown, in);
    EXPECT_TRUE(boxes.empty());

    // A file that ends early (here in the Match case flag after the text) is reported; the
    // pages and the options keep what they had.
    std::string bytes = readWholeFile(path);
    writeWholeFile(path, bytes.substr(0, bytes.size() - 3));
    sheet.applyOptionsToPages(nullptr);
    SearchOptions before;
    sheet.readOptionsFromPages(before);
    SearchOptions kept = before;
    openOptionFile(host, sheet, kept);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "An attempt was made to access " + path + " past its end.");
    EXPECT_EQ(kept, before);
    sheet.readOptionsFromPages(shown);
    EXPECT_EQ(shown, before);

    // So is a file whose four million empty names would need far more memory than its size.
    std::string hostile;
    encodeOptions(hostile, SearchOptions{});
    hostile =
        hostile.substr(0, 77) + le32(4000000) + std::string(4000000, '\0') + le32(0) + le32(0);
    writeWholeFile(path, hostile);
    openOptionFile(host, sheet, kept);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "An unknown error occurred while accessing " + path + ".");
    EXPECT_EQ(kept, before);
    sheet.readOptionsFromPages(shown);
    EXPECT_EQ(shown, before);
}

TEST_F(OptionSheetInHost, DefaultsAreShownAtStartAndAResetRefreshesThePageInFront) {
    SearchOptions defaults;
    resetOptions(defaults);
    SearchOptions shown;
    sheet.readOptionsFromPages(shown);
    // The dates are the moment of each reset; the rest must match exactly.
    EXPECT_LE(shown.toDate, defaults.toDate);
    EXPECT_GE(shown.toDate, defaults.toDate - 120);
    shown.fromDate = defaults.fromDate;
    shown.toDate = defaults.toDate;
    EXPECT_EQ(shown, defaults);

    show(DateAndSize);
    click(DateAndSize, IDC_DATE_ON);
    SetDlgItemTextA(page(DateAndSize), IDC_DATE_MAX, "77");
    sheet.applyOptionsToPages(nullptr);
    EXPECT_FALSE(checked(DateAndSize, IDC_DATE_ON));
    EXPECT_EQ(GetDlgItemInt(page(DateAndSize), IDC_DATE_MAX, nullptr, FALSE), 1000u);

    // Reset empties the text and turns Match case off.
    show(Text);
    EXPECT_EQ(GetFocus(), control(Text, IDC_TEXT_CONTAINING));
    SetDlgItemTextA(page(Text), IDC_TEXT_CONTAINING, "invoice");
    click(Text, IDC_TEXT_MATCH_CASE);
    sheet.readOptionsFromPages(shown);
    EXPECT_EQ(shown.containingText, "invoice");
    EXPECT_EQ(shown.matchCase, 1);
    sheet.applyOptionsToPages(nullptr);
    char text[32] = "?";
    GetDlgItemTextA(page(Text), IDC_TEXT_CONTAINING, text, sizeof text);
    EXPECT_STREQ(text, "");
    EXPECT_FALSE(checked(Text, IDC_TEXT_MATCH_CASE));
}

TEST_F(OptionSheetInHost, NewSearchShowsTheMainPageWithAnEmptyNameField) {
    SetDlgItemTextA(page(Main), IDC_MAIN_NAME, "*.doc");
    show(Text);
    SetDlgItemTextA(page(Text), IDC_TEXT_CONTAINING, "kept");
    show(Folders);
    sheet.resetSheetView();
    EXPECT_EQ(sheet.activeIndex(), Main);
    char text[32] = "?";
    GetDlgItemTextA(page(Main), IDC_MAIN_NAME, text, sizeof text);
    EXPECT_STREQ(text, "");
    SearchOptions o;
    sheet.readOptionsFromPages(o);
    EXPECT_EQ(o.namePattern, "");
    // The text is part of what a search is: it stays for the next one.
    EXPECT_EQ(o.containingText, "kept");
}

TEST_F(OptionSheetInHost, ResizingGrowsTheTabsThePagesAndTheNameField) {
    show(Network); // the Folders and Date pages have no windows yet
    show(Text);
    show(Main);
    auto size = [](HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    };
    SIZE tabs = size(sheet.tabControl()), mainPage = size(page(Main));
    SIZE lanPage = size(page(Network)), field = size(control(Main, IDC_MAIN_NAME));
    SIZE textField = size(control(Text, IDC_TEXT_CONTAINING));
    SIZE sheetSize = size(sheet.hwnd());
    SetWindowPos(sheet.hwnd(), nullptr, 0, 0, sheetSize.cx + 40, sheetSize.cy + 30,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(size(sheet.tabControl()).cx, tabs.cx + 40);
    EXPECT_EQ(size(sheet.tabControl()).cy, tabs.cy + 30);
    EXPECT_EQ(size(page(Main)).cx, mainPage.cx + 40);
    EXPECT_EQ(size(page(Network)).cy, lanPage.cy + 30);
    EXPECT_EQ(size(control(Main, IDC_MAIN_NAME)).cx, field.cx + 40);
    EXPECT_EQ(size(control(Main, IDC_MAIN_NAME)).cy, field.cy + 30);
    EXPECT_EQ(size(control(Text, IDC_TEXT_CONTAINING)).cx, textField.cx + 40);
    EXPECT_EQ(sheet.pageLan.sizeDelta.right, 40);
    EXPECT_EQ(sheet.pageLan.sizeDelta.bottom, 30);
    EXPECT_EQ(sheet.pageDate.sizeDelta.right, 0); // no window, nothing stored
    EXPECT_EQ(page(DateAndSize), nullptr);
}

// Saves a picture of each page when CORVASK_SHOTS names a folder (scripts/screenshots.sh pages).
TEST(OptionSheetShots, EachPage) {
    std::string folder = screenshotFolder();
    if (folder.empty()) GTEST_SKIP() << "CORVASK_SHOTS not set";
    // A plain window with the dialog background, large enough for the whole sheet.
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "CorvaskShotHost";
    RegisterClassA(&windowClass);
    // The sheet grows with the screen's DPI, and the window with it.
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    HWND host = CreateWindowExA(0, "CorvaskShotHost", "Options", WS_POPUP | WS_VISIBLE, 20, 20,
                                MulDiv(560, dpi, 96), MulDiv(300, dpi, 96), nullptr, nullptr,
                                nullptr, nullptr);
    HWND frame = CreateWindowExA(0, "STATIC", "", WS_CHILD, 8, 8, 10, 10, host,
                                 reinterpret_cast<HMENU>(kFrameId), nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    COptionSheet sheet;
    ASSERT_TRUE(sheet.createInDialog(host, kFrameId));
    SearchOptions o = unusualOptions();
    o.dateMode = 0;
    sheet.applyOptionsToPages(&o);
    const char* names[] = {"page-main", "page-network", "page-folders", "page-date", "page-text"};
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(sheet.setActivePage(i));
        EXPECT_TRUE(saveWindowShot(host, folder + "/" + names[i] + ".bmp"));
    }
    DestroyWindow(host);
}
