// The main dialog's commands: one dispatch, one update handler for the menu, tool bar and
// context menus, and the commands that work on the result (files, find, navigation, help).
#include "ui/CFindTestDlg.h"

#include "about/AboutBox.h"
#include "actions/FileActions.h"
#include "engine/UserMessages.h"
#include "options/OptionFileCommands.h"
#include "resources/resource.h"
#include "results/FindInResult.h"
#include "results/HtmlExport.h"
#include "results/ResultFile.h"
#include "toolkit/AnsiChars.h"
#include "toolkit/Application.h"
#include "toolkit/FileArchive.h"
#include "toolkit/FileDialogs.h"
#include "toolkit/FrameworkMessages.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/WaitCursor.h"
#include "ui/CFindDlg.h"
#include "ui/CFindTestApp.h"

#include <algorithm>
#include <cctype>
#include <new>

namespace {

const char* const kResultExtension = "sr";
const char* const kResultName = "Result.sr";
const char* const kResultFilter = "*.sr|*.sr|";
const char* const kExportExtension = "html";
const char* const kExportName = "Result.html";
const char* const kExportFilter = "*.html|*.html|";

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n\v\f";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string lowerExtension(const std::string& path) {
    size_t dot = path.find_last_of('.');
    size_t slash = ansi::findLastCharOf(path, "\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

} // namespace

bool CFindTestDlg::handlesCommand(UINT id) const {
    switch (id) {
    case IDC_SEARCH_NOW:
    case IDC_STOP_SEARCH:
    case IDC_RESET:
    case ID_FILE_NEW_SEARCH:
    case ID_FILE_OPEN_RESULT:
    case ID_FILE_SAVE_RESULT:
    case ID_FILE_EXPORT_RESULT:
    case ID_FILE_OPEN_CONFIGURATION:
    case ID_FILE_SAVE_CONFIGURATION:
    case ID_FILE_EXIT:
    case ID_EDIT_COPY:
    case ID_EDIT_SHORTCUT_ON_DESKTOP:
    case ID_EDIT_COPY_TO_FOLDER:
    case ID_EDIT_SHORTCUT_TO:
    case ID_EDIT_SELECT_ALL:
    case ID_EDIT_INVERT_SELECTION:
    case ID_EDIT_FIND:
    case ID_EDIT_FIND_NEXT:
    case ID_GO_BACK:
    case ID_GO_FORWARD:
    case ID_GO_TOP_LEVEL:
    case ID_HELP_CONTENTS:
    case ID_HELP_ABOUT:
    case ID_OPEN_SELECTED:
    case ID_OPEN_FOLDER: return true;
    default: return false;
    }
}

bool CFindTestDlg::onCommand(UINT id) {
    ResultView& view = searchEngine.view();
    switch (id) {
    case IDC_SEARCH_NOW: onSearchNow(); return true;
    case IDC_STOP_SEARCH: onStopSearch(); return true;
    case IDC_RESET: onReset(); return true;
    case ID_FILE_NEW_SEARCH: onNewSearch(); return true;
    case ID_FILE_OPEN_RESULT: onOpenResult(); return true;
    case ID_FILE_SAVE_RESULT: onSaveResult(); return true;
    case ID_FILE_EXPORT_RESULT: onExportResult(); return true;
    case ID_FILE_OPEN_CONFIGURATION: openOptionFile(handle, sheet, currentOptions); return true;
    case ID_FILE_SAVE_CONFIGURATION: saveOptionFile(handle, sheet, currentOptions); return true;
    case ID_FILE_EXIT: onOK(); return true;
    case ID_EDIT_COPY: copySelectionToClipboard(view, handle); return true;
    case ID_EDIT_SHORTCUT_ON_DESKTOP: createShortcutsOnDesktop(view, handle); return true;
    case ID_EDIT_COPY_TO_FOLDER: copySelectionToFolder(view, handle); return true;
    case ID_EDIT_SHORTCUT_TO: createShortcutsInFolder(view, handle); return true;
    case ID_EDIT_SELECT_ALL: commands.selectedCount = view.selectAll(); return true;
    case ID_EDIT_INVERT_SELECTION: commands.selectedCount = view.invertSelection(); return true;
    case ID_EDIT_FIND: onFind(); return true;
    case ID_EDIT_FIND_NEXT: onFindNext(); return true;
    case ID_GO_BACK:
    case ID_GO_FORWARD:
    case ID_GO_TOP_LEVEL: onNavigate(id); return true;
    case ID_HELP_CONTENTS: onHelp(); return true;
    case ID_HELP_ABOUT: showAboutBox(handle); return true;
    case ID_OPEN_SELECTED: openSelectedItems(view, handle); return true;
    case ID_OPEN_FOLDER: openContainingFolder(view, handle); return true;
    default: return false;
    }
}

void CFindTestDlg::updateCommand(toolkit::CommandState& state) {
    switch (state.id()) {
    case ID_FILE_SAVE_RESULT:
    case ID_FILE_EXPORT_RESULT: state.enable(commands.resultEnabled); break;
    case ID_EDIT_FIND:
    case ID_EDIT_FIND_NEXT: state.enable(commands.findEnabled); break;
    case ID_GO_BACK: state.enable(commands.backEnabled); break;
    case ID_GO_FORWARD: state.enable(commands.forwardEnabled); break;
    case ID_GO_TOP_LEVEL: state.enable(commands.topEnabled); break;
    case ID_EDIT_COPY:
    case ID_EDIT_SHORTCUT_ON_DESKTOP:
    case ID_EDIT_COPY_TO_FOLDER:
    case ID_EDIT_SHORTCUT_TO: state.enable(commands.selectedCount != 0); break;
    case ID_FILE_NEW_SEARCH:
    case ID_FILE_OPEN_RESULT:
    case ID_FILE_OPEN_CONFIGURATION:
    case ID_FILE_SAVE_CONFIGURATION:
    case ID_FILE_EXIT:
    case ID_EDIT_SELECT_ALL:
    case ID_EDIT_INVERT_SELECTION:
    case ID_HELP_CONTENTS:
    case ID_HELP_ABOUT: state.enable(true); break;
    default: break; // Open and Open Folder have no update rule: enabled as commands we carry out
    }
}

// ---- result file and export

void CFindTestDlg::onSaveResult() {
    writeView(kResultExtension, kResultName, kResultFilter, IDS_SAVING, &saveResultFile);
}

void CFindTestDlg::writeView(const char* extension, const char* name, const char* filter,
                             UINT progressTextId,
                             bool (*write)(ResultView&, const std::string&, HWND)) {
    std::string path;
    if (!toolkit::showFileDialog(true, handle, extension, name, filter, path)) return;
    toolkit::WaitCursor wait;
    const std::string previous = paneText(1);
    setPane(1, toolkit::loadString(progressTextId));
    try {
        write(searchEngine.view(), path, handle); // reports its own failures
    } catch (const std::bad_alloc&) {
        showMessageBox(handle, FileError(FileError::Generic, 0, path).message(), kAppTitle,
                       MB_OK | MB_ICONSTOP);
    }
    setPane(1, previous);
}

void CFindTestDlg::onOpenResult() {
    if (searchEngine.isBusy()) {
        showSearchInProgress();
        return;
    }
    std::string path;
    if (!toolkit::showFileDialog(false, handle, kResultExtension, kResultName, kResultFilter,
                                 path))
        return;
    openResultPath(path);
}

void CFindTestDlg::openResultPath(const std::string& path) {
    if (searchEngine.isBusy()) return;
    completePendingSearch();
    toolkit::WaitCursor wait;
    resetToNewSearch();
    setPane(1, toolkit::loadString(IDS_LOADING));
    try {
        openResultFile(searchEngine.history(), searchEngine.store(), path, handle);
    } catch (const std::exception&) {
        // The load reports its own failures; this is the last guard (memory ran out even for an
        // empty level): the results are emptied and the failure is shown like any failed load.
        searchEngine.history().clearAll();
        try {
            searchEngine.history().pushIdentityLevel();
        } catch (const std::exception&) {
        }
        showMessageBox(handle, FileError(FileError::Generic, 0, path).message(), kAppTitle,
                       MB_OK | MB_ICONSTOP);
    }
    searchEngine.view().refreshList();
    refreshCommandState(true);
    showFoundCount();
}

void CFindTestDlg::onExportResult() {
    writeView(kExportExtension, kExportName, kExportFilter, IDS_EXPORTING, &exportHtml);
}

// ---- find

void CFindTestDlg::onFind() {
    if (searchEngine.itemCount() == 0) return;
    CFindDlg dialog(handle);
    dialog.text = findPattern;
    if (dialog.runModal() != IDOK) return;
    findPattern = trimmed(dialog.text);
    onFindNext();
}

void CFindTestDlg::onFindNext() {
    ResultView& view = searchEngine.view();
    if (view.itemCount() == 0 || findPattern.empty()) return;
    // After the first selected row; the search runs to the end and does not wrap.
    const int32_t start = view.firstSelectedRow() + 1;
    const int32_t row = findRows(view, findPattern, start, -1);
    if (row < 0) {
        showMessageBox(handle,
                       toolkit::loadString(IDS_FIND_NOT_FOUND_BEFORE) + findPattern +
                           toolkit::loadString(IDS_FIND_NOT_FOUND_AFTER),
                       kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    view.selectOnlyRow(row);
}

// ---- navigation and help

void CFindTestDlg::onNavigate(UINT id) {
    ResultHistory& history = searchEngine.history();
    const bool running = searchEngine.isBusy();
    bool moved = false;
    switch (id) {
    case ID_GO_BACK: moved = history.goBack(false, running); break;
    case ID_GO_FORWARD: moved = history.goForward(false, running); break;
    default: moved = history.goTop(false, running); break;
    }
    if (!moved) return;
    showFoundCount();
    refreshCommandState(true);
}

void CFindTestDlg::onHelp() {
    // Command states refresh after the viewer opens.
    PostMessageA(handle, toolkit::WM_KICKIDLE, 0, 0);
    const std::string path = helpFilePath();
    // No viewer is started for a help file that is not there: it would only report that itself.
    const bool present = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!present || !WinHelpA(handle, path.c_str(), HELP_CONTENTS, 0))
        showMessageBox(handle, toolkit::loadString(IDS_HELP_FAILED), kAppTitle,
                       MB_OK | MB_ICONEXCLAMATION);
}

// ---- the file named on the command line

void CFindTestDlg::openStartupFile() {
    const std::string path = startupFile;
    startupFile.clear();
    if (path.empty()) return;
    const std::string ext = lowerExtension(path);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (ext == ".opt") {
            loadOptionFile(handle, sheet, currentOptions, path);
            return;
        }
        if (ext == ".sr") {
            openResultPath(path);
            return;
        }
    }
    // Missing, a folder, or not a file of ours: the standard file-error text for it.
    const FileError error = attributes == INVALID_FILE_ATTRIBUTES
                                ? FileError::fromLastError(path)
                                : FileError(FileError::Generic, 0, path);
    showMessageBox(handle, error.message(), kAppTitle, MB_OK | MB_ICONEXCLAMATION);
}
