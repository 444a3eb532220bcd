// The file actions on the selected rows: the shell opens, the clipboard and drag and drop carry
// file lists, the shell copies and the shell's link object makes shortcuts.
#include "actions/FileActions.h"

#include "actions/CShellFileOp.h"
#include "actions/DragSource.h"
#include "actions/DropFileList.h"
#include "actions/ShellLink.h"
#include "resources/resource.h"
#include "results/ResultView.h"
#include "toolkit/Application.h"
#include "toolkit/FileDialogs.h"
#include "toolkit/MessageBoxes.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The copy's flags: several destination names allowed, a new name on collision, wildcards
// match files only, folders made without asking.
constexpr FILEOP_FLAGS kCopyFlags =
    FOF_MULTIDESTFILES | FOF_RENAMEONCOLLISION | FOF_FILESONLY | FOF_NOCONFIRMMKDIR;

int32_t selectedCount(HWND list) {
    return list ? int32_t(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

int32_t nextSelected(HWND list, int32_t after) {
    return int32_t(
        SendMessageA(list, LVM_GETNEXTITEM, WPARAM(after), MAKELPARAM(LVNI_SELECTED, 0)));
}

// Walks the selected rows from the top, at most as many as the list reports selected.
void forEachSelectedRow(ResultView& view, const std::function<void(int32_t)>& visit) {
    HWND list = view.list();
    int32_t n = selectedCount(list);
    int32_t row = -1;
    for (int32_t step = 0; step < n; ++step) {
        row = nextSelected(list, row);
        if (row < 0) break;
        visit(row);
    }
}

void shellOpen(const std::string& path) {
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string withBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

// Asks for a folder; on a choice without a file-system path the user is told and nothing is
// done. The folder browser has no owner, as the shell's own dialogs of these commands.
bool chooseFolder(HWND owner, UINT titleId, std::string& folder) {
    std::string path;
    switch (toolkit::browseForFolder(nullptr, toolkit::loadString(titleId), path)) {
    case toolkit::FolderChoice::Chosen: folder = withBackslash(path); return true;
    case toolkit::FolderChoice::NotAFolder:
        showMessageBox(owner, toolkit::loadString(IDS_NOT_A_FOLDER), kAppTitle,
                       MB_OK | MB_ICONEXCLAMATION);
        return false;
    case toolkit::FolderChoice::Cancelled: break;
    }
    return false;
}

// One shortcut per selected item in folder (which ends with a backslash): "Shortcut to NAME.lnk"
// to the item's full path, working in the item's folder as the In Folder column shows it.
void makeShortcuts(ResultView& view, const std::string& folder) {
    forEachSelectedRow(view, [&](int32_t row) {
        std::optional<FoundItem> item = view.itemAt(row);
        if (!item) return;
        CreateShellLink(folderText(*item), item->fullPath(), folder + shortcutFileName(item->name),
                        std::string());
    });
}

} // namespace

void openSelectedItems(ResultView& view, HWND) {
    forEachSelectedRow(view, [&](int32_t row) {
        std::string path;
        if (view.pathOfRow(row, path)) shellOpen(path);
    });
}

void openContainingFolder(ResultView& view, HWND) {
    int32_t row = view.firstSelectedRow();
    if (row < 0) return;
    // The folder exactly as stored: a drive root is opened as "C:".
    if (std::optional<FoundItem> item = view.itemAt(row)) shellOpen(item->folder);
}

void copySelectionToClipboard(ResultView& view, HWND owner) {
    std::vector<std::string> paths;
    size_t total = 0;
    // Rows without an item add no path: an empty list would only wipe the clipboard.
    if (!view.selectedPaths(paths, total) || paths.empty()) return;
    HGLOBAL fileList = makeDropFileList(paths);
    if (!fileList) return;
    HGLOBAL effect = makeDropEffectBlock(DROPEFFECT_COPY);
    if (!effect) {
        GlobalFree(fileList);
        return;
    }
    if (!OpenClipboard(owner)) {
        GlobalFree(fileList);
        GlobalFree(effect);
        return;
    }
    EmptyClipboard();
    // The clipboard owns what it accepted; a block it refused is still ours to free.
    if (!SetClipboardData(CF_HDROP, fileList)) GlobalFree(fileList);
    UINT effectFormat = RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT);
    if (!effectFormat || !SetClipboardData(effectFormat, effect)) GlobalFree(effect);
    CloseClipboard();
}

void dragSelection(ResultView& view, HWND owner) {
    std::vector<std::string> paths;
    size_t total = 0;
    if (!view.selectedPaths(paths, total) || paths.empty()) return;
    HGLOBAL fileList = makeDropFileList(paths);
    if (!fileList) return;
    dragFileList(view.list() ? view.list() : owner, fileList);
}

void copySelectionToFolder(ResultView& view, HWND owner) {
    std::vector<std::string> paths;
    size_t total = 0;
    if (!view.selectedPaths(paths, total) || paths.empty()) return;
    std::string destination;
    if (!chooseFolder(owner, IDS_COPY_TO_TITLE, destination)) return;

    CShellFileOp operation;
    operation.setOwner(owner);
    operation.setFlags(kCopyFlags);
    operation.reserve(CShellFileOp::List::Source, total + 1);
    for (const std::string& path : paths)
        operation.append(CShellFileOp::List::Source, path);
    operation.append(CShellFileOp::List::Destination, destination);
    // Progress, errors and collisions are the shell's to show and settle.
    operation.copy();
}

void createShortcutsOnDesktop(ResultView& view, HWND owner) {
    if (selectedCount(view.list()) == 0) return;
    char desktop[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE) ||
        desktop[0] == '\0') {
        showMessageBox(owner, toolkit::loadString(IDS_NO_DESKTOP), kAppTitle,
                       MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    makeShortcuts(view, withBackslash(desktop));
}

void createShortcutsInFolder(ResultView& view, HWND owner) {
    if (selectedCount(view.list()) == 0) return;
    std::string folder;
    if (!chooseFolder(owner, IDS_SHORTCUT_TO_TITLE, folder)) return;
    makeShortcuts(view, folder);
}
