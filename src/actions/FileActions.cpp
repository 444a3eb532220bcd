// The file actions on the selected rows: the shell opens, the clipboard and drag and drop carry
// file lists, the shell copies and the shell's link object makes shortcuts.
#include "actions/FileActions.h"

#include "actions/CShellFileOp.h"
#include "actions/DragSource.h"
#include "actions/DropFileList.h"
#include "actions/ItemPaths.h"
#include "actions/ShellLink.h"
#include "resources/resource.h"
#include "results/ResultView.h"
#include "toolkit/AnsiChars.h"
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

// The copy's flags: several destination names allowed, a new name on collision, folders made
// without asking. The sources never hold a wildcard (every name is checked), and FOF_FILESONLY
// stays as a second guard: were one to slip through, it would match files only.
constexpr FILEOP_FLAGS kCopyFlags =
    FOF_MULTIDESTFILES | FOF_RENAMEONCOLLISION | FOF_FILESONLY | FOF_NOCONFIRMMKDIR;

ShellOpenResponder& shellOpenResponder() {
    static ShellOpenResponder responder;
    return responder;
}

// Hands a checked path to the shell: a file to its program, a folder (a path ending in a
// backslash) to the folder class, so that whatever the path names, only a folder window opens.
void shellOpen(const std::string& path, bool asFolder) {
    if (const ShellOpenResponder& answer = shellOpenResponder()) {
        answer(ShellOpenRequest{path, asFolder});
        return;
    }
    SHELLEXECUTEINFOA request{};
    request.cbSize = sizeof request;
    // The folder class is asked quietly: where it has no command the explorer verb follows.
    request.fMask = asFolder ? SEE_MASK_CLASSNAME | SEE_MASK_FLAG_NO_UI : 0;
    request.lpVerb = "open";
    request.lpFile = path.c_str();
    request.lpClass = asFolder ? "Folder" : nullptr;
    request.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExA(&request) || !asFolder) return;
    // A system without a command for the folder class: the explorer's own verb, and only on a
    // path that the file system itself says is a folder.
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    request.fMask = 0;
    request.lpVerb = "explore";
    request.lpClass = nullptr;
    ShellExecuteExA(&request);
}

std::string withBackslash(std::string folder) {
    if (!ansi::endsWithChar(folder, '\\')) folder += '\\';
    return folder;
}

// The selection for an action, with the refused items named first; empty when nothing is left.
CheckedSelection usableSelection(ResultView& view, HWND owner) {
    CheckedSelection selection = checkSelection(view);
    reportLeftAlone(owner, IDS_ITEMS_LEFT_ALONE, selection.refused);
    return selection;
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

// One shortcut per usable item in folder (which ends with a backslash), to the item's full path,
// working in the item's folder as the In Folder column shows it. A link is a new file (see
// reserveShortcutPath); the items whose link could not be made are named afterwards.
void makeShortcuts(const CheckedSelection& selection, const std::string& folder, HWND owner) {
    std::vector<std::string> tooLong, failed;
    for (size_t i = 0; i < selection.items.size(); ++i) {
        const FoundItem& item = selection.items[i];
        const std::string& target = selection.paths[i];
        // The link object would keep a cut target: a shortcut to some other file.
        if (target.size() >= MAX_PATH) {
            tooLong.push_back(target);
            continue;
        }
        std::string linkPath;
        switch (reserveShortcutPath(folder, item.name, linkPath)) {
        case LinkPlace::Reserved: break;
        case LinkPlace::TooLong: tooLong.push_back(target); continue;
        case LinkPlace::Failed: failed.push_back(target); continue;
        }
        if (FAILED(CreateShellLink(folderText(item), target, linkPath, std::string()))) {
            DeleteFileA(linkPath.c_str()); // the empty file that held the name
            failed.push_back(target);
        }
    }
    reportLeftAlone(owner, IDS_SHORTCUT_TOO_LONG, tooLong);
    reportLeftAlone(owner, IDS_SHORTCUT_FAILED, failed);
}

// A selection and a folder for the shortcuts: the refused items are named before the folder is
// asked for, and nothing is asked when no item is left.
void shortcutsIn(ResultView& view, HWND owner, const std::function<bool(std::string&)>& folderFor) {
    CheckedSelection selection = usableSelection(view, owner);
    if (selection.items.empty()) return;
    std::string folder;
    if (folderFor(folder)) makeShortcuts(selection, withBackslash(folder), owner);
}

} // namespace

void setShellOpenResponder(ShellOpenResponder responder) {
    shellOpenResponder() = std::move(responder);
}

void openSelectedItems(ResultView& view, HWND owner) {
    CheckedSelection selection = usableSelection(view, owner);
    // A row shown as a folder opens as one, whatever the server that named it holds there.
    for (size_t i = 0; i < selection.items.size(); ++i) {
        const bool folder = selection.items[i].isFolder();
        shellOpen(folder ? selection.paths[i] + "\\" : selection.paths[i], folder);
    }
}

void openContainingFolder(ResultView& view, HWND owner) {
    int32_t row = view.firstSelectedRow();
    if (row < 0) return;
    std::optional<FoundItem> item = view.itemAt(row);
    if (!item) return;
    if (std::optional<std::string> folder = checkedFolderPath(*item))
        shellOpen(*folder, true);
    else
        reportLeftAlone(owner, IDS_ITEMS_LEFT_ALONE, {displayPath(*item)});
}

void copySelectionToClipboard(ResultView& view, HWND owner) {
    // Rows without a usable item add no path: an empty list would only wipe the clipboard.
    CheckedSelection selection = usableSelection(view, owner);
    if (selection.paths.empty()) return;
    toolkit::GlobalBlock fileList = makeDropFileList(selection.paths);
    toolkit::GlobalBlock effect = makeDropEffectBlock(DROPEFFECT_COPY);
    if (!fileList || !effect || !OpenClipboard(owner)) return;
    EmptyClipboard();
    // The clipboard owns what it accepted; a block it refused stays with its holder.
    if (SetClipboardData(CF_HDROP, fileList.get())) (void)fileList.release();
    UINT effectFormat = RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT);
    if (effectFormat && SetClipboardData(effectFormat, effect.get())) (void)effect.release();
    CloseClipboard();
}

void dragSelection(ResultView& view, HWND owner) {
    CheckedSelection selection = checkSelection(view);
    // A drag carries the whole selection or nothing: the box that names the refused items ends
    // the gesture, and dropping a part of what the pointer carries would surprise.
    if (!selection.refused.empty()) {
        reportLeftAlone(owner, IDS_ITEMS_LEFT_ALONE, selection.refused);
        return;
    }
    if (selection.paths.empty()) return;
    toolkit::GlobalBlock fileList = makeDropFileList(selection.paths);
    if (!fileList) return;
    dragFileList(view.list() ? view.list() : owner, std::move(fileList));
}

void copySelectionToFolder(ResultView& view, HWND owner) {
    CheckedSelection selection = usableSelection(view, owner);
    if (selection.paths.empty()) return;
    std::string destination;
    if (!chooseFolder(owner, IDS_COPY_TO_TITLE, destination)) return;

    size_t total = 0;
    for (const std::string& path : selection.paths)
        total += path.size() + 1;
    CShellFileOp operation;
    operation.setOwner(owner);
    operation.setFlags(kCopyFlags);
    operation.reserve(CShellFileOp::List::Source, total + 1);
    for (const std::string& path : selection.paths)
        operation.append(CShellFileOp::List::Source, path);
    operation.append(CShellFileOp::List::Destination, destination);
    // Progress, errors and collisions are the shell's to show and settle.
    operation.copy();
}

void createShortcutsOnDesktop(ResultView& view, HWND owner) {
    shortcutsIn(view, owner, [owner](std::string& folder) {
        char desktop[MAX_PATH] = {};
        if (SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE) &&
            desktop[0] != '\0') {
            folder = desktop;
            return true;
        }
        showMessageBox(owner, toolkit::loadString(IDS_NO_DESKTOP), kAppTitle,
                       MB_OK | MB_ICONEXCLAMATION);
        return false;
    });
}

void createShortcutsInFolder(ResultView& view, HWND owner) {
    shortcutsIn(view, owner, [owner](std::string& folder) {
        return chooseFolder(owner, IDS_SHORTCUT_TO_TITLE, folder);
    });
}
