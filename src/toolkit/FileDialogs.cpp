// The file dialogs and the folder browser, real or answered by a test's responder.
#include "toolkit/FileDialogs.h"

#include "toolkit/AnsiChars.h"

#include <commdlg.h>
#include <shlobj.h>

#include <mutex>
#include <vector>

namespace toolkit {

namespace {
std::mutex responderMutex;
FileDialogResponder fileResponder;
FolderBrowserResponder folderResponder;

std::string currentFolder() {
    char buffer[1024] = {};
    DWORD length = GetCurrentDirectoryA(sizeof(buffer), buffer);
    return length > 0 && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

// The folder part of a full path ("C:\" stays a root, "C:\a\b.txt" gives "C:\a").
std::string folderOf(const std::string& path) {
    size_t slash = ansi::findLastCharOf(path, "\\/");
    if (slash == std::string::npos) return {};
    if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

FileDialogResponder currentFileResponder() {
    std::lock_guard<std::mutex> hold(responderMutex);
    return fileResponder;
}

FolderBrowserResponder currentFolderResponder() {
    std::lock_guard<std::mutex> hold(responderMutex);
    return folderResponder;
}
} // namespace

bool showFileDialog(bool save, HWND owner, const std::string& defaultExtension,
                    const std::string& fileName, const std::string& filter, std::string& path) {
    FileDialogRequest request{save, owner, defaultExtension, fileName, filter, currentFolder(), 0};
    request.flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
    if (save) request.flags |= OFN_OVERWRITEPROMPT;

    FileDialogAnswer answer;
    if (FileDialogResponder respond = currentFileResponder()) {
        answer = respond(request);
    } else {
        // The program writes filters with '|' between the parts; the platform wants '\0'.
        std::vector<char> filterBuffer(filter.begin(), filter.end());
        filterBuffer.push_back('\0');
        filterBuffer.push_back('\0');
        for (char& c : filterBuffer)
            if (c == '|') c = '\0';
        std::vector<char> fileBuffer(MAX_PATH * 4, '\0');
        fileName.copy(fileBuffer.data(), fileBuffer.size() - 1);

        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = filter.empty() ? nullptr : filterBuffer.data();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = fileBuffer.data();
        ofn.nMaxFile = static_cast<DWORD>(fileBuffer.size());
        ofn.lpstrInitialDir =
            request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
        ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
        ofn.Flags = request.flags;
        BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
        answer.confirmed = ok != FALSE;
        if (ok) answer.path = fileBuffer.data();
    }
    if (!answer.confirmed || answer.path.empty()) return false;
    path = answer.path;
    // Not every platform version moves the current folder itself: the next dialog of any kind
    // starts at the folder of this file.
    std::string folder = folderOf(path);
    if (!folder.empty()) SetCurrentDirectoryA(folder.c_str());
    return true;
}

void setFileDialogResponder(FileDialogResponder responder) {
    std::lock_guard<std::mutex> hold(responderMutex);
    fileResponder = std::move(responder);
}

FolderChoice browseForFolder(HWND owner, const std::string& title, std::string& path) {
    if (FolderBrowserResponder respond = currentFolderResponder()) {
        FolderBrowserAnswer answer = respond(FolderBrowserRequest{owner, title});
        if (answer.choice == FolderChoice::Chosen) path = answer.path;
        return answer.choice;
    }
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen) return FolderChoice::Cancelled;
    char buffer[MAX_PATH] = {};
    BOOL isFolder = SHGetPathFromIDListA(chosen, buffer);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(chosen);
        allocator->Release();
    }
    if (!isFolder || buffer[0] == '\0') return FolderChoice::NotAFolder;
    path = buffer;
    return FolderChoice::Chosen;
}

void setFolderBrowserResponder(FolderBrowserResponder responder) {
    std::lock_guard<std::mutex> hold(responderMutex);
    folderResponder = std::move(responder);
}

} // namespace toolkit
