// The list operations behind the five buttons of each name list.
#include "options/NameLists.h"

#include "options/CNameDialog.h"
#include "options/NameListBox.h"
#include "options/NameText.h"
#include "options/ListFile.h"
#include "options/PageLayout.h"
#include "resources/resource.h"
#include "toolkit/FileArchive.h"
#include "toolkit/FileDialogs.h"
#include "toolkit/MessageBoxes.h"

const NameListKind kDomainList{IDC_LAN_DOMAIN_LIST,
                               IDC_LAN_DOMAIN_ADD,
                               IDC_LAN_DOMAIN_REMOVE,
                               IDC_LAN_DOMAIN_CLEAR,
                               IDC_LAN_DOMAIN_LOAD,
                               IDC_LAN_DOMAIN_SAVE,
                               "dop",
                               "DomainOpt.dop",
                               "*.dop|*.dop|",
                               false};
const NameListKind kServerList{IDC_LAN_SERVER_LIST,
                               IDC_LAN_SERVER_ADD,
                               IDC_LAN_SERVER_REMOVE,
                               IDC_LAN_SERVER_CLEAR,
                               IDC_LAN_SERVER_LOAD,
                               IDC_LAN_SERVER_SAVE,
                               "sop",
                               "ServerOpt.sop",
                               "*.sop|*.sop|",
                               true};
const NameListKind kFolderList{
    IDC_FOLDER_LIST, IDC_FOLDER_ADD, IDC_FOLDER_REMOVE, IDC_FOLDER_CLEAR, IDC_FOLDER_LOAD,
    IDC_FOLDER_SAVE, "fop",          "FolderOpt.fop",   "*.fop|*.fop|",   false};

bool handleNameListCommand(const NameList& list, int id, int code) {
    const NameListKind& k = list.kind;
    if (id == k.listBoxId) {
        if (code == LBN_DBLCLK) editName(list);
        return true;
    }
    if (code != BN_CLICKED) return false;
    if (id == k.addId)
        addName(list);
    else if (id == k.removeId)
        removeName(list);
    else if (id == k.clearId)
        clearNames(list);
    else if (id == k.loadId)
        loadNames(list);
    else if (id == k.saveId)
        saveNames(list);
    else
        return false;
    return true;
}

void enableNameList(const NameList& list, bool enable) {
    const NameListKind& k = list.kind;
    enableControls(list.page, {k.listBoxId, k.addId, k.removeId, k.clearId, k.loadId, k.saveId},
                   enable);
}

void putTypedName(HWND listBox, const std::string& typed, bool serverRule) {
    std::string name = serverRule ? normalizeServerName(typed) : trimName(typed);
    if (name.empty()) return;
    LRESULT at = SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (at == LB_ERR || at == LB_ERRSPACE) return;
    SendMessageA(listBox, LB_SETCURSEL, at, 0);
}

void addName(const NameList& list) {
    CNameDialog dialog(list.page);
    dialog.caption = "Add";
    if (dialog.runModal() != IDOK) return;
    putTypedName(list.listBox(), dialog.text, list.kind.serverRule);
}

void editName(const NameList& list) {
    HWND box = list.listBox();
    LRESULT selected = SendMessageA(box, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    CNameDialog dialog(list.page);
    dialog.caption = "Edit";
    dialog.text = listBoxEntry(box, static_cast<int>(selected));
    if (dialog.runModal() != IDOK) return;
    SendMessageA(box, LB_DELETESTRING, selected, 0);
    putTypedName(box, dialog.text, list.kind.serverRule);
}

void removeName(const NameList& list) {
    HWND box = list.listBox();
    LRESULT selected = SendMessageA(box, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    SendMessageA(box, LB_DELETESTRING, selected, 0);
    LRESULT count = SendMessageA(box, LB_GETCOUNT, 0, 0);
    if (count <= 0) return;
    SendMessageA(box, LB_SETCURSEL, selected < count ? selected : count - 1, 0);
}

void clearNames(const NameList& list) {
    HWND box = list.listBox();
    if (SendMessageA(box, LB_GETCOUNT, 0, 0) > 0) SendMessageA(box, LB_RESETCONTENT, 0, 0);
}

void loadNames(const NameList& list) {
    const NameListKind& k = list.kind;
    std::string path;
    if (!toolkit::showFileDialog(false, list.page, k.defaultExtension, k.proposedName, k.filter,
                                 path))
        return;
    // Read into a list of its own: after a failure both the list box and the page's names keep
    // what they held.
    std::vector<std::string> read;
    try {
        readListFile(path, read);
    } catch (const FileError& error) {
        showMessageBox(list.page, error.message(), kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    list.names.swap(read);
    exchangeListBox(false, list.listBox(), list.names);
}

void saveNames(const NameList& list) {
    const NameListKind& k = list.kind;
    std::string path;
    if (!toolkit::showFileDialog(true, list.page, k.defaultExtension, k.proposedName, k.filter,
                                 path))
        return;
    exchangeListBox(true, list.listBox(), list.names);
    try {
        writeListFile(path, list.names);
    } catch (const FileError& error) {
        showMessageBox(list.page, error.message(), kAppTitle, MB_OK | MB_ICONEXCLAMATION);
    }
}

void exchangeListBox(bool toNames, HWND listBox, std::vector<std::string>& names) {
    if (toNames) {
        names.clear();
        int count = static_cast<int>(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            names.push_back(listBoxEntry(listBox, i));
        return;
    }
    SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : names)
        SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}
