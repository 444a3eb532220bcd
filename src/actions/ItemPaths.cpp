// Checked paths of items, the selection split into usable and refused items, and the place of a
// new shortcut file.
#include "actions/ItemPaths.h"

#include "resources/resource.h"
#include "results/ResultView.h"
#include "toolkit/AnsiChars.h"
#include "toolkit/Application.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/PathNames.h"

#include <commctrl.h>

#include <cstdio>

namespace {

// The items named in one box: enough to recognise them, few enough for the box to fit a screen.
constexpr size_t kListedItems = 12;
// Names tried for one shortcut: "NAME", then "NAME (2)" up to this number.
constexpr int kMostShortcutNumbers = 999;

bool sameText(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(), int(a.size()),
                          b.data(), int(b.size())) == CSTR_EQUAL;
}

// The platform's full-path reading of path; false when it fails or needs MAX_PATH or more.
bool fullPathOf(const std::string& path, std::string& full, std::string* filePart = nullptr) {
    char buffer[MAX_PATH];
    char* file = nullptr;
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, &file);
    if (length == 0 || length >= MAX_PATH) return false;
    full.assign(buffer, length);
    if (filePart) *filePart = file ? std::string(file) : std::string();
    return true;
}

} // namespace

std::optional<std::string> checkedItemPath(const FoundItem& item) {
    if (!isActionableName(item.name) || !isActionableFolder(item.folder)) return std::nullopt;
    return item.folder + "\\" + item.name;
}

std::optional<std::string> checkedFolderPath(const FoundItem& item) {
    if (!isActionableFolder(item.folder)) return std::nullopt;
    return item.folder + "\\";
}

CheckedSelection checkSelection(ResultView& view) {
    CheckedSelection selection;
    HWND list = view.list();
    int32_t n = list ? int32_t(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
    selection.rowsSelected = n > 0 ? size_t(n) : 0;
    int32_t row = -1;
    // At most as many steps as the list reports selected rows; rows without an item add nothing.
    for (int32_t step = 0; step < n; ++step) {
        row = int32_t(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(row), MAKELPARAM(LVNI_SELECTED, 0)));
        if (row < 0) break;
        std::optional<FoundItem> item = view.itemAt(row);
        if (!item) continue;
        if (std::optional<std::string> path = checkedItemPath(*item)) {
            selection.paths.push_back(std::move(*path));
            selection.items.push_back(std::move(*item));
        } else {
            selection.refused.push_back(displayPath(*item));
        }
    }
    return selection;
}

std::string displayPath(const FoundItem& item) {
    std::string text;
    for (char c : item.folder + "\\" + item.name) {
        if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(static_cast<unsigned char>(c)));
            text += escaped;
        } else {
            text += c;
        }
    }
    return text;
}

void reportLeftAlone(HWND owner, UINT textId, const std::vector<std::string>& items) {
    if (items.empty()) return;
    std::string text = toolkit::loadString(textId) + "\n";
    for (size_t i = 0; i < items.size() && i < kListedItems; ++i)
        text += "\n" + items[i];
    if (items.size() > kListedItems) {
        char more[64];
        snprintf(more, sizeof more, toolkit::loadString(IDS_MORE_ITEMS).c_str(),
                 int(items.size() - kListedItems));
        text += "\n";
        text += more;
    }
    showMessageBox(owner, text, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
}

LinkPlace reserveShortcutPath(const std::string& folder, const std::string& itemName,
                              std::string& linkPath) {
    std::string fullFolder;
    if (!fullPathOf(folder, fullFolder)) return LinkPlace::TooLong;
    if (!ansi::endsWithChar(fullFolder, '\\')) fullFolder += '\\';
    for (int number = 1; number <= kMostShortcutNumbers; ++number) {
        std::string file = "Shortcut to " + itemName;
        if (number > 1) file += " (" + std::to_string(number) + ")";
        file += ".lnk";
        std::string candidate = fullFolder + file;
        if (candidate.size() >= MAX_PATH) return LinkPlace::TooLong;
        // The proof that the link stays where the user chose: read as the platform reads it, the
        // path is the folder followed by exactly the file name, no part of the name was taken as
        // a folder, a parent step or a device, and nothing was trimmed.
        std::string full, filePart;
        if (!fullPathOf(candidate, full, &filePart) || filePart != file ||
            full.size() != fullFolder.size() + file.size() ||
            !sameText(full.substr(0, fullFolder.size()), fullFolder))
            return LinkPlace::Failed;
        HANDLE made = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (made != INVALID_HANDLE_VALUE) {
            CloseHandle(made);
            linkPath = full;
            return LinkPlace::Reserved;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return LinkPlace::Failed;
    }
    return LinkPlace::Failed;
}
