// The name lists on a real page template: adding and editing through the real name dialog,
// removing, clearing, the exchange with a list of names, the horizontal extent, and loading and
// saving list files through the file dialogs answered by the test.
#include "options/NameListBox.h"
#include "options/NameLists.h"
#include "resources/resource.h"
#include "support/BoxRecorder.h"
#include "support/DialogDriver.h"
#include "support/ScratchFolder.h"
#include "toolkit/FileDialogs.h"
#include "toolkit/MessageBoxes.h"

#include <gtest/gtest.h>

#include <windows.h>

using Names = std::vector<std::string>;

namespace {

INT_PTR CALLBACK plainPageProcedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The Network page's template shown as a plain child dialog of a host window, its two list boxes
// taken over by CNameListBox objects, as the page does.
class NameListOnPage : public testing::Test {
protected:
    void SetUp() override {
        host_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                nullptr, nullptr, nullptr);
        page_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PAGE_LAN), host_,
                                   plainPageProcedure, 0);
        ASSERT_NE(page_, nullptr);
        ASSERT_TRUE(domainBox_.subclassDlgItem(page_, IDC_LAN_DOMAIN_LIST));
        ASSERT_TRUE(serverBox_.subclassDlgItem(page_, IDC_LAN_SERVER_LIST));
    }
    void TearDown() override { DestroyWindow(host_); }

    NameList domains() { return NameList{kDomainList, page_, domainNames_}; }
    NameList servers() { return NameList{kServerList, page_, serverNames_}; }
    Names entries(HWND box) {
        Names names;
        exchangeListBox(true, box, names);
        return names;
    }
    int selection(HWND box) { return static_cast<int>(SendMessageA(box, LB_GETCURSEL, 0, 0)); }
    int extent(HWND box) {
        return static_cast<int>(SendMessageA(box, LB_GETHORIZONTALEXTENT, 0, 0));
    }

    HWND host_ = nullptr;
    HWND page_ = nullptr;
    CNameListBox domainBox_, serverBox_;
    Names domainNames_, serverNames_;
};

} // namespace

TEST_F(NameListOnPage, ExchangeShowsNamesSortedAndTakesThemBackInListOrder) {
    Names names{"zeta", "Alpha", "beta", "alpha"};
    exchangeListBox(false, domainBox_, names);
    Names back;
    exchangeListBox(true, domainBox_, back);
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back[2], "beta");
    EXPECT_EQ(back[3], "zeta");
    // Exchanging again replaces the entries rather than adding to them.
    exchangeListBox(false, domainBox_, back);
    EXPECT_EQ(entries(domainBox_).size(), 4u);
}

TEST_F(NameListOnPage, TypedServerNamesTakeTheServerFormAndDuplicatesStay) {
    putTypedName(serverBox_, "  \\\\filesrv1 ", true);
    putTypedName(serverBox_, "filesrv1", true);
    putTypedName(serverBox_, "   ", true);
    putTypedName(serverBox_, "\\\\", true);
    EXPECT_EQ(entries(serverBox_), (Names{"\\\\filesrv1", "\\\\filesrv1"}));
    // Domains are trimmed only.
    putTypedName(domainBox_, " \\WORKGROUP\t", false);
    EXPECT_EQ(entries(domainBox_), (Names{"\\WORKGROUP"}));
    EXPECT_EQ(selection(domainBox_), 0);
}

TEST_F(NameListOnPage, RemovingSelectsTheEntryNowInPlaceOrTheNewLast) {
    Names names{"a", "b", "c"};
    exchangeListBox(false, domainBox_, names);
    SendMessageA(domainBox_, LB_SETCURSEL, 2, 0);
    removeName(domains());
    EXPECT_EQ(entries(domainBox_), (Names{"a", "b"}));
    EXPECT_EQ(selection(domainBox_), 1);
    SendMessageA(domainBox_, LB_SETCURSEL, 0, 0);
    removeName(domains());
    EXPECT_EQ(entries(domainBox_), (Names{"b"}));
    EXPECT_EQ(selection(domainBox_), 0);
    removeName(domains());
    EXPECT_TRUE(entries(domainBox_).empty());
    EXPECT_EQ(selection(domainBox_), LB_ERR);
    // Nothing selected: nothing happens.
    exchangeListBox(false, domainBox_, names);
    removeName(domains());
    EXPECT_EQ(entries(domainBox_).size(), 3u);
    clearNames(domains());
    EXPECT_TRUE(entries(domainBox_).empty());
}

TEST_F(NameListOnPage, HorizontalExtentFollowsTheWidestEntry) {
    HWND box = domainBox_;
    EXPECT_EQ(extent(box), 0);
    std::string shortName = "srv", longName(60, 'W');
    putTypedName(box, shortName, false);
    int shortWidth = measureListBoxString(box, shortName.c_str());
    EXPECT_GT(shortWidth, 3);
    EXPECT_EQ(extent(box), shortWidth);
    putTypedName(box, longName, false);
    int longWidth = measureListBoxString(box, longName.c_str());
    EXPECT_EQ(extent(box), longWidth);
    // An inserted entry counts as an added one.
    std::string wider(70, 'W');
    SendMessageA(box, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(wider.c_str()));
    EXPECT_EQ(extent(box), measureListBoxString(box, wider.c_str()));
    SendMessageA(box, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(extent(box), longWidth);
    // A narrower entry leaves the extent alone.
    putTypedName(box, "x", false);
    EXPECT_EQ(extent(box), longWidth);
    // Removing the widest shrinks it back to the widest left.
    SendMessageA(
        box, LB_SETCURSEL,
        SendMessageA(box, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(longName.c_str())), 0);
    removeName(domains());
    EXPECT_EQ(extent(box), shortWidth);
    // Deleting the last entry one by one, and emptying, both drop it to 0.
    SendMessageA(box, LB_DELETESTRING, 0, 0);
    SendMessageA(box, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(extent(box), 0);
    putTypedName(box, longName, false);
    clearNames(domains());
    EXPECT_EQ(extent(box), 0);
    // A failed deletion changes nothing.
    putTypedName(box, longName, false);
    EXPECT_EQ(SendMessageA(box, LB_DELETESTRING, 5, 0), LB_ERR);
    EXPECT_EQ(extent(box), longWidth);
}

namespace {

// Types text into the name dialog and presses OK (or Cancel).
void answerNameDialog(const std::string& title, const std::string& text, int button = IDOK) {
    whenDialogAppears(title, [text, button](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_NAME_TEXT, text.c_str());
        pressButton(dialog, button);
    });
}

} // namespace

TEST_F(NameListOnPage, AddAndEditGoThroughTheNameDialog) {
    std::string shownText = "?";
    whenDialogAppears("Add", [&](HWND dialog) {
        char text[64];
        GetDlgItemTextA(dialog, IDC_NAME_TEXT, text, sizeof text);
        shownText = text;
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_NAME_TEXT));
        SetDlgItemTextA(dialog, IDC_NAME_TEXT, " \\\\ filesrv2 ");
        pressButton(dialog, IDOK);
    });
    addName(servers());
    ASSERT_TRUE(dialogWasAnswered());
    EXPECT_EQ(shownText, "");
    EXPECT_EQ(entries(serverBox_), (Names{"\\\\filesrv2"}));

    answerNameDialog("Add", "ignored", IDCANCEL);
    addName(servers());
    EXPECT_TRUE(dialogWasAnswered());
    EXPECT_EQ(entries(serverBox_).size(), 1u);

    // Edit shows the entry, and the edited text takes its sorted place, selected.
    answerNameDialog("Add", "beta");
    addName(domains());
    answerNameDialog("Add", "delta");
    addName(domains());
    SendMessageA(domainBox_, LB_SETCURSEL, 0, 0);
    whenDialogAppears("Edit", [&](HWND dialog) {
        char text[64];
        GetDlgItemTextA(dialog, IDC_NAME_TEXT, text, sizeof text);
        shownText = text;
        SetDlgItemTextA(dialog, IDC_NAME_TEXT, "omega");
        pressButton(dialog, IDOK);
    });
    editName(domains());
    EXPECT_EQ(shownText, "beta");
    EXPECT_EQ(entries(domainBox_), (Names{"delta", "omega"}));
    EXPECT_EQ(selection(domainBox_), 1);

    // Cancel changes nothing; an edit to blanks removes the entry.
    answerNameDialog("Edit", "zzz", IDCANCEL);
    editName(domains());
    EXPECT_EQ(entries(domainBox_), (Names{"delta", "omega"}));
    answerNameDialog("Edit", "  \t ");
    editName(domains());
    EXPECT_EQ(entries(domainBox_), (Names{"delta"}));
}

TEST_F(NameListOnPage, DoubleClickEditsAndButtonsRunTheirOperations) {
    Names names{"a", "b", "c"};
    exchangeListBox(false, domainBox_, names);
    SendMessageA(domainBox_, LB_SETCURSEL, 1, 0);
    answerNameDialog("Edit", "x");
    EXPECT_TRUE(handleNameListCommand(domains(), IDC_LAN_DOMAIN_LIST, LBN_DBLCLK));
    EXPECT_EQ(entries(domainBox_), (Names{"a", "c", "x"}));
    EXPECT_TRUE(handleNameListCommand(domains(), IDC_LAN_DOMAIN_REMOVE, BN_CLICKED));
    EXPECT_EQ(entries(domainBox_), (Names{"a", "c"}));
    EXPECT_TRUE(handleNameListCommand(domains(), IDC_LAN_DOMAIN_CLEAR, BN_CLICKED));
    EXPECT_TRUE(entries(domainBox_).empty());
    // The server list's buttons are not the domain list's.
    EXPECT_FALSE(handleNameListCommand(domains(), IDC_LAN_SERVER_CLEAR, BN_CLICKED));
}

namespace {

// Answers every file dialog with one path (or Cancel when path is empty), recording requests.
class FileDialogAnswers {
public:
    FileDialogAnswers() {
        toolkit::setFileDialogResponder([this](const toolkit::FileDialogRequest& request) {
            requests.push_back(request);
            toolkit::FileDialogAnswer answer;
            answer.confirmed = !path.empty();
            answer.path = path;
            return answer;
        });
    }
    ~FileDialogAnswers() { toolkit::setFileDialogResponder(nullptr); }
    std::string path;
    std::vector<toolkit::FileDialogRequest> requests;
    BoxRecorder boxes;
};

} // namespace

TEST_F(NameListOnPage, SaveWritesTheListBoxAndLoadShowsTheFileSorted) {
    ScratchFolder folder;
    FileDialogAnswers answers;
    answers.path = folder.file("servers.sop");
    putTypedName(serverBox_, "zeta", true);
    putTypedName(serverBox_, "alpha", true);
    saveNames(servers());
    ASSERT_EQ(answers.requests.size(), 1u);
    EXPECT_TRUE(answers.requests[0].save);
    EXPECT_EQ(answers.requests[0].defaultExtension, "sop");
    EXPECT_EQ(answers.requests[0].fileName, "ServerOpt.sop");
    EXPECT_EQ(answers.requests[0].filter, "*.sop|*.sop|");
    EXPECT_EQ(readWholeFile(answers.path), "\\\\alpha\n\\\\zeta\n");
    EXPECT_EQ(serverNames_, (Names{"\\\\alpha", "\\\\zeta"}));

    writeWholeFile(answers.path, "mu\r\nBeta\nalpha\n\nlost\n");
    loadNames(domains());
    EXPECT_FALSE(answers.requests.back().save);
    EXPECT_EQ(answers.requests.back().fileName, "DomainOpt.dop");
    EXPECT_EQ(entries(domainBox_), (Names{"alpha", "Beta", "mu"}));
    EXPECT_TRUE(answers.boxes.empty());

    // Cancel ends the command.
    answers.path.clear();
    loadNames(domains());
    saveNames(domains());
    EXPECT_EQ(entries(domainBox_).size(), 3u);
}

TEST_F(NameListOnPage, AFailedLoadReportsTheFileAndKeepsTheEntries) {
    ScratchFolder folder;
    FileDialogAnswers answers;
    answers.path = folder.file("missing.fop");
    putTypedName(domainBox_, "kept", false);
    loadNames(domains());
    ASSERT_EQ(answers.boxes.size(), 1u);
    EXPECT_EQ(answers.boxes[0].text, answers.path + " was not found.");
    EXPECT_EQ(entries(domainBox_), (Names{"kept"}));

    // Two million names cost far more memory than the file's size allows: the file error, and
    // neither the list box nor the page's names change.
    domainNames_ = {"page name"};
    std::string many;
    for (int i = 0; i < 2000000; ++i)
        many += "a\n";
    answers.path = folder.file("many.dop");
    writeWholeFile(answers.path, many);
    loadNames(domains());
    ASSERT_EQ(answers.boxes.size(), 2u);
    EXPECT_EQ(answers.boxes[1].text,
              "An unknown error occurred while accessing " + answers.path + ".");
    EXPECT_EQ(entries(domainBox_), (Names{"kept"}));
    EXPECT_EQ(domainNames_, (Names{"page name"}));

    // Saving into a folder that does not exist reports it too.
    answers.path = folder.file("no\\such\\folder.dop");
    saveNames(domains());
    EXPECT_EQ(answers.boxes.size(), 3u);
}
