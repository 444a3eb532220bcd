// The two option file commands.
#include "options/OptionFileCommands.h"

#include "options/COptionSheet.h"
#include "options/OptionFile.h"
#include "toolkit/FileArchive.h"
#include "toolkit/FileDialogs.h"
#include "toolkit/MessageBoxes.h"

#include <new>
#include <utility>

namespace {

const char* const kExtension = "opt";
const char* const kProposedName = "Search.opt";
const char* const kFilter = "*.opt|*.opt|";

void reportFileError(HWND owner, const FileError& error) {
    showMessageBox(owner, error.message(), kAppTitle, MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

void saveOptionFile(HWND owner, COptionSheet& sheet, SearchOptions& current) {
    std::string path;
    if (!toolkit::showFileDialog(true, owner, kExtension, kProposedName, kFilter, path)) return;
    sheet.readOptionsFromPages(current);
    try {
        writeOptionFile(path, current);
    } catch (const FileError& error) {
        reportFileError(owner, error);
    }
}

void openOptionFile(HWND owner, COptionSheet& sheet, SearchOptions& current) {
    std::string path;
    if (!toolkit::showFileDialog(false, owner, kExtension, kProposedName, kFilter, path)) return;
    loadOptionFile(owner, sheet, current, path);
}

bool loadOptionFile(HWND owner, COptionSheet& sheet, SearchOptions& current,
                    const std::string& path) {
    // Read into a copy: a file that ends early must change neither the pages nor the options.
    SearchOptions read;
    try {
        read = current;
        readOptionFile(path, read);
    } catch (const FileError& error) {
        reportFileError(owner, error);
        return false;
    } catch (const std::bad_alloc&) {
        reportFileError(owner, FileError::outOfMemory(path));
        return false;
    }
    current = std::move(read); // moves allocate nothing
    sheet.applyOptionsToPages(&current);
    return true;
}
