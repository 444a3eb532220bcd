// The file actions on real windows: the clipboard read back, a drop on a real drop target, the
// shell's copy into scratch folders, shortcut files read back through the link object, the
// shell opening files, and the context menus loaded from the resources.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "actions/CShellFileOp.h"
#include "actions/FileActions.h"
#include "actions/ResultContextMenu.h"
#include "resources/resource.h"
#include "support/DialogDriver.h"
#include "support/DialogTemplateBuilder.h"
#include "support/ResultTestHost.h"
#include "support/WindowShot.h"
#include "toolkit/FileDialogs.h"
#include "toolkit/MessageBoxes.h"
#include "ui/dialogex/BarDialog.h"

namespace {

constexpr uint32_t kFolder = FILE_ATTRIBUTE_DIRECTORY;
const std::string kNul(1, '\0');

// Results on the shared host's list with rows of the given items; rows are chosen by select.
struct Rows : AttachedResults {
    explicit Rows(const std::vector<FoundItem>& items) {
        for (const FoundItem& item : items) store.append(item);
        view.refreshList();
    }
    void select(std::initializer_list<int32_t> rows) {
        host.selectRow(-1, false);
        for (int32_t row : rows) host.selectRow(row, true);
    }
};

// What the clipboard holds in a format, byte for byte; empty when nothing.
std::string clipboardBytes(UINT format) {
    std::string bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    if (HANDLE data = GetClipboardData(format)) {
        if (const char* at = static_cast<const char*>(GlobalLock(data))) {
            bytes.assign(at, GlobalSize(data));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return bytes;
}

// The DROPFILES header of an ANSI list at offset 20, no drop point.
std::string dropFilesHeader() {
    return std::string("\x14\0\0\0", 4) + std::string(16, '\0');
}

struct LinkInfo {
    std::string target;
    std::string workingFolder;
};

// A shortcut file read back through the shell's link object.
LinkInfo readLink(const std::string& path) {
    LinkInfo info;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return info;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char text[MAX_PATH] = "";
            link->GetPath(text, MAX_PATH, nullptr, 0);
            info.target = text;
            text[0] = '\0';
            link->GetWorkingDirectory(text, MAX_PATH);
            info.workingFolder = text;
        }
        file->Release();
    }
    link->Release();
    return info;
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every message box and folder browser of a test is answered and remembered.
struct Answers {
    std::vector<MessageBoxRequest> boxes;
    std::vector<std::string> browserTitles;
    toolkit::FolderBrowserAnswer folder;
    Answers() {
        setMessageBoxResponder([this](const MessageBoxRequest& r) {
            boxes.push_back(r);
            return IDOK;
        });
        toolkit::setFolderBrowserResponder([this](const toolkit::FolderBrowserRequest& r) {
            browserTitles.push_back(r.title);
            return folder;
        });
    }
    ~Answers() {
        setMessageBoxResponder(nullptr);
        toolkit::setFolderBrowserResponder(nullptr);
    }
    void choose(const std::string& path) { folder = {toolkit::FolderChoice::Chosen, path}; }
};

} // namespace

TEST(FileActions, CopyPutsTheSelectedPathsOnTheClipboardAsAFileList) {
    Rows rows({makeItem("boot.ini", "C:", 10), makeItem("a.doc", "\\\\SRV\\Share\\docs", 20),
               makeItem("docs", "\\\\SRV\\Share", 0, kFolder), makeItem("z.txt", "D:\\z", 1)});
    rows.select({0, 1, 2});
    copySelectionToClipboard(rows.view, rows.host.window());

    // Drive root, share file and folder in list order, each with its NUL, then one more NUL.
    std::string expected = dropFilesHeader() + "C:\\boot.ini" + kNul +
                           "\\\\SRV\\Share\\docs\\a.doc" + kNul + "\\\\SRV\\Share\\docs" + kNul +
                           kNul;
    std::string block = clipboardBytes(CF_HDROP);
    ASSERT_GE(block.size(), expected.size());
    EXPECT_EQ(expected, block.substr(0, expected.size()));
    EXPECT_EQ(std::string("\x01\0\0\0", 4),
              clipboardBytes(RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT)).substr(0, 4));

    // A file manager reads the same list through the platform's reader.
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    EXPECT_EQ(3u, DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
    char first[MAX_PATH] = "";
    DragQueryFileA(drop, 0, first, MAX_PATH);
    EXPECT_STREQ("C:\\boot.ini", first);
    CloseClipboard();

    // With nothing selected the clipboard is left as it is.
    DWORD sequence = GetClipboardSequenceNumber();
    rows.select({});
    copySelectionToClipboard(rows.view, rows.host.window());
    EXPECT_EQ(sequence, GetClipboardSequenceNumber());
    EXPECT_EQ(expected, clipboardBytes(CF_HDROP).substr(0, expected.size()));
}

TEST(FileActions, CopyToFolderCopiesFilesAndFoldersThroughTheShell) {
    TempFolder source, target;
    source.makeFile("a.txt", 3);
    source.makeFile("sub\\b.txt", 5);
    writeWholeFile(target.file("a.txt"), "old");
    Rows rows({makeItem("a.txt", source.path(), 3), makeItem("sub", source.path(), 0, kFolder),
               makeItem("c.txt", source.path(), 1)});
    rows.select({0, 1});
    Answers answers;

    // Cancel, and a choice without a file-system path, copy nothing; the latter says why.
    copySelectionToFolder(rows.view, rows.host.window());
    answers.folder.choice = toolkit::FolderChoice::NotAFolder;
    copySelectionToFolder(rows.view, rows.host.window());
    ASSERT_EQ(2u, answers.browserTitles.size());
    EXPECT_EQ("Copy the select item(s) to:", answers.browserTitles[0]);
    ASSERT_EQ(1u, answers.boxes.size());
    EXPECT_EQ("Corvask", answers.boxes[0].caption);
    EXPECT_FALSE(exists(target.file("sub")));

    // The chosen folder gets the file and the folder with its content. The file that is already
    // there is never replaced without a word: the shell renames the copy, or (under Wine, which
    // does not rename) asks, and the question is answered No.
    answers.choose(target.path());
    whenDialogAppears("Confirm file overwrite", [](HWND box) { pressButton(box, IDNO); });
    copySelectionToFolder(rows.view, rows.host.window());
    EXPECT_TRUE(exists(target.file("sub\\b.txt")));
    EXPECT_FALSE(exists(target.file("c.txt")));
    EXPECT_EQ("old", readWholeFile(target.file("a.txt")));
    int copies = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(target.file("*a.txt*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do ++copies;
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    EXPECT_TRUE(dialogWasAnswered() || copies == 2);
}

TEST(FileActions, ShellFileOpListsEndWithTwoNuls) {
    CShellFileOp operation;
    operation.reserve(CShellFileOp::List::Source, 4);
    for (const char* path : {"C:\\a", "C:\\bb", "\\\\S\\s\\c", "C:\\d", "C:\\e"})
        operation.append(CShellFileOp::List::Source, path);
    operation.append(CShellFileOp::List::Destination, "C:\\");
    EXPECT_EQ("C:\\a" + kNul + "C:\\bb" + kNul + "\\\\S\\s\\c" + kNul + "C:\\d" + kNul + "C:\\e" +
                  kNul + kNul,
              operation.listBytes(CShellFileOp::List::Source));
    EXPECT_EQ("C:\\" + kNul + kNul, operation.listBytes(CShellFileOp::List::Destination));
}

TEST(FileActions, ShortcutsPointAtTheItemsAndWorkInTheirFolders) {
    TempFolder items, chosen, other;
    items.makeFile("report.doc", 10);
    items.makeFolder("docs");
    other.makeFile("report.doc", 10);
    Rows rows({makeItem("report.doc", items.path(), 10), makeItem("docs", items.path(), 0, kFolder),
               makeItem("report.doc", other.path(), 10)});
    Answers answers;

    // In a chosen folder: one link per item, named after the whole name.
    rows.select({0, 1});
    answers.choose(chosen.path() + "\\");
    createShortcutsInFolder(rows.view, rows.host.window());
    ASSERT_EQ(1u, answers.browserTitles.size());
    EXPECT_EQ("Create Shortcut of the select item(s) to:", answers.browserTitles[0]);
    LinkInfo file = readLink(chosen.file("Shortcut to report.doc.lnk"));
    EXPECT_EQ(items.file("report.doc"), file.target);
    EXPECT_EQ(items.path(), file.workingFolder);
    LinkInfo folder = readLink(chosen.file("Shortcut to docs.lnk"));
    EXPECT_EQ(items.file("docs"), folder.target);
    EXPECT_EQ(items.path(), folder.workingFolder);

    // On the desktop: two items of the same name give one link, the later one's.
    char desktop[MAX_PATH] = "";
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    std::string link = std::string(desktop) + "\\Shortcut to report.doc.lnk";
    DeleteFileA(link.c_str());
    rows.select({0, 2});
    createShortcutsOnDesktop(rows.view, rows.host.window());
    EXPECT_EQ(other.file("report.doc"), readLink(link).target);
    DeleteFileA(link.c_str());

    // A choice without a file-system path makes no link and says so.
    answers.folder.choice = toolkit::FolderChoice::NotAFolder;
    DeleteFileA(chosen.file("Shortcut to report.doc.lnk").c_str());
    createShortcutsInFolder(rows.view, rows.host.window());
    EXPECT_EQ(1u, answers.boxes.size());
    EXPECT_FALSE(exists(chosen.file("Shortcut to report.doc.lnk")));
}
