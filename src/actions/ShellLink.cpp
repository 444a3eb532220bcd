// Writing shortcut files with the shell's link object.
#include "actions/ShellLink.h"

#include <objbase.h>
#include <shlobj.h>

HRESULT CreateShellLink(const std::string& workingFolder, const std::string& target,
                        const std::string& linkPath, const std::string& description) {
    IShellLinkA* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link));
    if (FAILED(result) || !link) return FAILED(result) ? result : E_FAIL;
    link->SetWorkingDirectory(workingFolder.c_str());
    link->SetPath(target.c_str());
    link->SetDescription(description.c_str());

    IPersistFile* file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result) && file) {
        WCHAR widePath[MAX_PATH] = {};
        // A link path longer than the platform's limit is refused: a cut path would name
        // another file.
        if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) == 0)
            result = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        else
            result = file->Save(widePath, TRUE);
        file->Release();
    }
    link->Release();
    return result;
}

std::string shortcutFileName(const std::string& itemName) {
    return "Shortcut to " + itemName + ".lnk";
}
