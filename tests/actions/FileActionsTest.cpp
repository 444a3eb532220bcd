// The file actions on real windows: the clipboard read back, a drop on a real drop target, the
// shell's copy into scratch folders, shortcut files read back through the link object, the
// shell opening files, and the context menus loaded from the resources.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

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
        for (const FoundItem& item : items)
            store.append(item);
        view.refreshList();
    }
    void select(std::initializer_list<int32_t> rows) {
        host.selectRow(-1, false);
        for (int32_t row : rows)
            host.selectRow(row, true);
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

// The paths of a file list as a file manager reads them.
std::vector<std::string> pathsOf(HDROP drop) {
    std::vector<std::string> paths(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
    for (UINT i = 0; i < paths.size(); ++i) {
        char path[MAX_PATH] = "";
        DragQueryFileA(drop, i, path, MAX_PATH);
        paths[i] = path;
    }
    return paths;
}

// The DROPFILES header of an ANSI list at offset 20, no drop point.
std::string dropFilesHeader() {
    return std::string("\x14\0\0\0", 4) + std::string(16, '\0');
}

// A shortcut file read back through the shell's link object: its target and working folder.
std::pair<std::string, std::string> readLink(const std::string& path) {
    char target[MAX_PATH] = "", folder[MAX_PATH] = "";
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide, STGM_READ))) {
        link->GetPath(target, MAX_PATH, nullptr, 0);
        link->GetWorkingDirectory(folder, MAX_PATH);
    }
    if (file) file->Release();
    if (link) link->Release();
    return {target, folder};
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
        do
            ++copies;
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    EXPECT_TRUE(dialogWasAnswered() || copies == 2);
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
    EXPECT_EQ(std::make_pair(items.file("report.doc"), items.path()),
              readLink(chosen.file("Shortcut to report.doc.lnk")));
    EXPECT_EQ(std::make_pair(items.file("docs"), items.path()),
              readLink(chosen.file("Shortcut to docs.lnk")));

    // On the desktop: two items of the same name give two links; the second is numbered.
    char desktop[MAX_PATH] = "";
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    std::string link = std::string(desktop) + "\\Shortcut to report.doc.lnk";
    std::string second = std::string(desktop) + "\\Shortcut to report.doc (2).lnk";
    DeleteFileA(link.c_str());
    DeleteFileA(second.c_str());
    rows.select({0, 2});
    createShortcutsOnDesktop(rows.view, rows.host.window());
    EXPECT_EQ(items.file("report.doc"), readLink(link).first);
    EXPECT_EQ(other.file("report.doc"), readLink(second).first);
    DeleteFileA(link.c_str());
    DeleteFileA(second.c_str());
}

namespace {

// A drop target that accepts a copy and keeps what was dropped.
class RecordingDropTarget : public IDropTarget {
public:
    DWORD allowed = 0;
    std::vector<std::string> dropped;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = this; // asked for IUnknown or IDropTarget only
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        allowed = *effect;
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (SUCCEEDED(data->GetData(&format, &medium))) {
            dropped = pathsOf(static_cast<HDROP>(medium.hGlobal));
            ReleaseStgMedium(&medium);
        }
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
};

} // namespace

TEST(FileActions, DragOffersTheFileListForCopyingOnly) {
    Rows rows({makeItem("a.doc", "\\\\SRV\\Share", 20), makeItem("boot.ini", "C:", 10),
               makeItem("b.doc", "\\\\SRV\\Share", 20)});
    rows.select({0, 1});
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, "STATIC", "drop here", WS_POPUP | WS_VISIBLE | SS_NOTIFY,
                        900, 100, 200, 200, nullptr, nullptr, nullptr, nullptr);
    RecordingDropTarget target;
    ASSERT_EQ(S_OK, RegisterDragDrop(window, &target));

    // The pointer rests on the target and no button is held: once the drag delay has passed
    // the drag starts and drops there at once. The pointer and the stacking belong to the whole
    // display, which other test programs share while this one runs: each try puts them back,
    // and a drag that met no target gets two more tries.
    for (int attempt = 0; attempt < 3 && target.dropped.empty(); ++attempt) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetCursorPos(1000, 200);
        pumpMessages();
        dragSelection(rows.view, rows.host.window());
    }
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), target.allowed);
    EXPECT_EQ((std::vector<std::string>{"\\\\SRV\\Share\\a.doc", "C:\\boot.ini"}), target.dropped);

    // Esc before the drag has started: no drag, nothing dropped.
    target.dropped.clear();
    PostMessageA(rows.host.list(), WM_KEYDOWN, VK_ESCAPE, 0);
    dragSelection(rows.view, rows.host.window());
    EXPECT_TRUE(target.dropped.empty());

    RevokeDragDrop(window);
    DestroyWindow(window);
}

TEST(FileActions, OpenRunsEverySelectedItem) {
    TempFolder folder;
    // Batch files whose program (the command interpreter) leaves a mark when it runs them.
    std::vector<FoundItem> items;
    for (const char* name : {"one", "two", "three"}) {
        writeWholeFile(folder.file(std::string(name) + ".bat"),
                       std::string("@echo ran> \"") + folder.file(std::string(name) + ".ran") +
                           "\"\r\n");
        items.push_back(makeItem(std::string(name) + ".bat", folder.path(), 40));
    }
    Rows rows(items);
    rows.select({0, 2});
    openSelectedItems(rows.view, rows.host.window());
    DWORD start = GetTickCount();
    while (!(exists(folder.file("one.ran")) && exists(folder.file("three.ran"))) &&
           GetTickCount() - start < 30000)
        Sleep(100);
    EXPECT_TRUE(exists(folder.file("one.ran")));
    EXPECT_TRUE(exists(folder.file("three.ran")));
    EXPECT_FALSE(exists(folder.file("two.ran")));
}

namespace {

// An owner for the context menus that enables commands as the main dialog does: the copy and
// shortcut commands while its selected count is not 0, Open and Open Folder always. While a
// popup is open it notes the items (a disabled one in brackets), then presses keys.
class MenuOwner : public dialogex::BarDialog {
public:
    MenuOwner(const DLGTEMPLATE* tmpl, ResultView& view) : BarDialog(tmpl, nullptr), view(view) {}

    int32_t selectedCount = 0;
    int downs = -1; // Down presses from the first item before Enter; -1 closes the menu (Esc)
    std::string shotName;
    std::string items;
    std::vector<UINT> commands;

protected:
    void updateCommand(toolkit::CommandState& state) override {
        switch (state.id()) {
        case ID_ACTION_COPY:
        case ID_ACTION_SHORTCUT_DESKTOP:
        case ID_ACTION_COPY_TO:
        case ID_ACTION_SHORTCUT_TO: state.enable(selectedCount != 0); break;
        case ID_ACTION_OPEN:
        case ID_ACTION_OPEN_FOLDER: state.enable(true); break;
        default: break;
        }
    }
    bool onCommand(UINT id) override {
        commands.push_back(id);
        if (id == ID_ACTION_COPY) copySelectionToClipboard(view, handle);
        return true;
    }
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_INITMENUPOPUP) popup = reinterpret_cast<HMENU>(wParam);
        LRESULT result = BarDialog::handleMessage(message, wParam, lParam);
        if (message == WM_ENTERIDLE && wParam == MSGF_MENU && popup) {
            describe();
            if (!shotName.empty() && !screenshotFolder().empty())
                saveWindowShot(GetAncestor(view.list(), GA_ROOT),
                               screenshotFolder() + "\\" + shotName, false);
            // Home puts the highlight on the first item, wherever the pointer left it.
            if (downs >= 0) PostMessageA(handle, WM_KEYDOWN, VK_HOME, 0);
            for (int i = 0; i < downs; ++i)
                PostMessageA(handle, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(handle, WM_KEYDOWN, downs >= 0 ? VK_RETURN : VK_ESCAPE, 0);
            popup = nullptr;
        }
        return result;
    }

private:
    void describe() {
        items.clear();
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            char text[64] = "";
            GetMenuStringA(popup, UINT(i), text, sizeof text, MF_BYPOSITION);
            UINT state = GetMenuState(popup, UINT(i), MF_BYPOSITION);
            std::string item = text;
            if (state & MF_SEPARATOR)
                item = "-";
            else if (state & MF_GRAYED)
                item = "(" + item + ")";
            items += (items.empty() ? "" : "|") + item;
        }
    }

    ResultView& view;
    HMENU popup = nullptr;
};

} // namespace

TEST(ResultContextMenu, FitsTheSelectionAndRunsTheChosenCommand) {
    Rows rows({makeItem("report.doc", "\\\\SRV\\Share", 2000), makeItem("docs", "C:", 0, kFolder),
               makeItem("notes.txt", "C:\\work", 300)});
    rows.host.onNotify = [&rows](NMHDR* header) -> LRESULT {
        if (header->code == LVN_GETDISPINFOA)
            return rows.view.onGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(header));
        return 0;
    };
    DialogTemplateBuilder tmpl(WS_POPUP | WS_CAPTION, 0, 0, 100, 40, "Owner");
    MenuOwner owner(tmpl.get(), rows.view);
    ASSERT_TRUE(owner.createModeless());
    SetCursorPos(240, 90); // over the list
    for (int i = 0; i < 10; ++i, Sleep(10))
        pumpMessages();

    // One file: "OnFile"; Copy (the third item) puts the file on the clipboard.
    rows.select({0});
    owner.selectedCount = 1;
    owner.downs = 2;
    owner.shotName = "menu-onfile.bmp";
    showResultContextMenu(rows.view, owner.hwnd());
    pumpMessages();
    EXPECT_EQ("Open|Open Folder|-|Copy|Create Shortcut on Desktop|-|Copy to...|"
              "Create Shortcut to...",
              owner.items);
    EXPECT_EQ(std::vector<UINT>{ID_ACTION_COPY}, owner.commands);
    std::string expected = dropFilesHeader() + "\\\\SRV\\Share\\report.doc" + kNul + kNul;
    EXPECT_EQ(expected, clipboardBytes(CF_HDROP).substr(0, expected.size()));

    // One folder: "OnFolder", without Open Folder. The copy and shortcut items follow the
    // owner's count (here not yet told of the selection); Open is always there.
    rows.select({1});
    owner.selectedCount = 0;
    owner.downs = -1;
    owner.shotName = "menu-onfolder.bmp";
    showResultContextMenu(rows.view, owner.hwnd());
    pumpMessages();
    EXPECT_EQ("Open|-|(Copy)|(Copy to...)|-|(Create Shortcut on Desktop)|(Create Shortcut to...)",
              owner.items);

    // A file and a folder: "OnMulti".
    rows.select({1, 2});
    owner.selectedCount = 2;
    owner.shotName = "menu-onmulti.bmp";
    showResultContextMenu(rows.view, owner.hwnd());
    pumpMessages();
    EXPECT_EQ("Open|-|Copy|Create Shortcut on Desktop|-|Copy to...|Create Shortcut to...",
              owner.items);

    // No selection: no menu.
    rows.select({});
    owner.items.clear();
    showResultContextMenu(rows.view, owner.hwnd());
    EXPECT_EQ("", owner.items);
    EXPECT_EQ(1u, owner.commands.size());
    rows.host.onNotify = nullptr;
}

namespace {

// The names of the files directly in a folder.
std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
            names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// Items no reader would let through (the store is filled directly): every action refuses them
// with a box naming them, and goes on with the others.
TEST(FileActions, HostileNamesAndFoldersAreRefusedByEveryAction) {
    TempFolder outer, source;
    const std::string chosen = outer.makeFolder("chosen");
    source.makeFile("a.txt", 3);
    source.makeFile("b.txt", 4);
    const std::string longFolder = source.makeFolder(std::string(120, 'd'));
    Rows rows({makeItem("a.txt", source.path(), 3),
               makeItem("x\\..\\..\\escaped", source.path(), 1),  // leaves the chosen folder
               makeItem("a.txt" + kNul + source.file("b.txt"), source.path(), 1), // a second path
               makeItem("*", source.path(), 1),                   // every file of the folder
               makeItem("?.txt", source.path(), 1),               // a name the code page lost
               makeItem("c.txt", "search-ms:query=c", 1),         // a protocol, not a folder
               makeItem(std::string(140, 'n'), longFolder, 1),    // a path past MAX_PATH
               makeItem("b.txt.", source.path(), 1),              // opened as "b.txt"
               makeItem("nul.txt", source.path(), 1),             // a device
               makeItem("sub.bat", source.path(), 0, kFolder)});  // shown as a folder
    rows.select({0, 1, 2, 3, 4, 5, 6, 7, 8});
    Answers answers;
    std::vector<ShellOpenRequest> opened;
    setShellOpenResponder([&](const ShellOpenRequest& r) { opened.push_back(r); });
    const std::string refused = "These items were left alone";

    // Shortcuts: one link, inside the chosen folder; the long one is refused as too long.
    answers.choose(chosen);
    createShortcutsInFolder(rows.view, rows.host.window());
    EXPECT_EQ((std::vector<std::string>{"Shortcut to a.txt.lnk"}), filesIn(chosen));
    EXPECT_EQ((std::vector<std::string>{"chosen"}), filesIn(outer.path()));
    ASSERT_EQ(2u, answers.boxes.size());
    EXPECT_EQ("Corvask", answers.boxes[0].caption);
    EXPECT_EQ(0u, answers.boxes[0].text.find(refused)) << answers.boxes[0].text;
    for (const char* shown : {"x\\..\\..\\escaped", "a.txt\\x00", "\\*", "\\?.txt", "search-ms:",
                              "\\b.txt.", "\\nul.txt"})
        EXPECT_NE(std::string::npos, answers.boxes[0].text.find(shown)) << shown;
    EXPECT_EQ(0u, answers.boxes[1].text.find("No shortcut was made")) << answers.boxes[1].text;

    // Again: the link already there is kept and the new one numbered as the shell does.
    createShortcutsInFolder(rows.view, rows.host.window());
    EXPECT_EQ((std::vector<std::string>{"Shortcut to a.txt (2).lnk", "Shortcut to a.txt.lnk"}),
              filesIn(chosen));

    // Copy to a folder: the picked file arrives, nothing a pattern, a second path or a trimmed
    // name names.
    rows.select({0, 1, 2, 3, 4, 5, 7, 8});
    TempFolder target;
    answers.choose(target.path());
    copySelectionToFolder(rows.view, rows.host.window());
    EXPECT_EQ((std::vector<std::string>{"a.txt"}), filesIn(target.path()));
    EXPECT_EQ(0u, answers.boxes.back().text.find(refused));

    // The clipboard carries only what passed; Open opens a folder row as a folder.
    copySelectionToClipboard(rows.view, rows.host.window());
    std::string list = clipboardBytes(CF_HDROP).substr(20);
    EXPECT_EQ(source.file("a.txt") + kNul + kNul, list.substr(0, list.find(kNul + kNul) + 2));
    EXPECT_EQ(std::string::npos, list.find("b.txt"));
    rows.select({0, 2, 9});
    openSelectedItems(rows.view, rows.host.window());
    ASSERT_EQ(2u, opened.size());
    EXPECT_EQ(source.file("a.txt"), opened[0].path);
    EXPECT_FALSE(opened[0].asFolder);
    EXPECT_EQ(source.file("sub.bat\\"), opened[1].path);
    EXPECT_TRUE(opened[1].asFolder);

    // Dragging a selection with a refused item drags nothing and says why.
    size_t boxes = answers.boxes.size();
    rows.select({0, 3});
    dragSelection(rows.view, rows.host.window());
    EXPECT_EQ(boxes + 1, answers.boxes.size());

    // Open Folder opens a folder as a folder: a drive root with its backslash, a folder named
    // like a program with one too (so it cannot run it); a protocol is refused.
    Rows folders({makeItem("boot.ini", "C:", 1), makeItem("x", "\\\\srv\\pub\\contoso.com", 1),
                  makeItem("c.txt", "search-ms:query=c", 1)});
    opened.clear();
    boxes = answers.boxes.size();
    for (int32_t row : {0, 1, 2}) {
        folders.select({row});
        openContainingFolder(folders.view, folders.host.window());
    }
    ASSERT_EQ(2u, opened.size());
    EXPECT_EQ("C:\\", opened[0].path);
    EXPECT_EQ("\\\\srv\\pub\\contoso.com\\", opened[1].path);
    EXPECT_TRUE(opened[0].asFolder && opened[1].asFolder);
    EXPECT_EQ(boxes + 1, answers.boxes.size());
    setShellOpenResponder(nullptr);
}
