// The program's one place for the open and save file dialogs and the folder browser: the real
// ones are the platform's; tests set a responder that answers instead and sees what was asked.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace toolkit {

struct FileDialogRequest {
    bool save; // save dialog (else open)
    HWND owner;
    std::string defaultExtension; // "dop", without the dot
    std::string fileName;         // proposed file name
    std::string filter;           // "text|pattern|...|" pairs, as written in the program
    std::string initialFolder;    // the process's current folder when the dialog was asked
    DWORD flags;                  // OFN_ flags given to the platform
};

struct FileDialogAnswer {
    bool confirmed = false;
    std::string path; // full path of the confirmed file
};

using FileDialogResponder = std::function<FileDialogAnswer(const FileDialogRequest&)>;

// Shows the open (save = false) or save dialog, starting in the process's current folder, with
// the read-only box hidden and, on saving, a question before overwriting. When a file is
// confirmed, path receives it, the process's current folder becomes the file's folder (so the
// next file dialog of any kind starts there) and the answer is true. Cancel answers false.
bool showFileDialog(bool save, HWND owner, const std::string& defaultExtension,
                    const std::string& fileName, const std::string& filter, std::string& path);

// Sets the responder for every later file dialog (an empty function restores the real ones).
void setFileDialogResponder(FileDialogResponder responder);

// The folder browser.
enum class FolderChoice {
    Cancelled,
    Chosen,     // path holds the chosen folder's file-system path
    NotAFolder, // the chosen item has no file-system path (a virtual folder)
};

struct FolderBrowserRequest {
    HWND owner;
    std::string title;
};

struct FolderBrowserAnswer {
    FolderChoice choice = FolderChoice::Cancelled;
    std::string path;
};

using FolderBrowserResponder = std::function<FolderBrowserAnswer(const FolderBrowserRequest&)>;

// Shows the shell's folder browser (the whole shell namespace, no options, no callback) with
// title; frees the chosen item's id with the shell's allocator.
FolderChoice browseForFolder(HWND owner, const std::string& title, std::string& path);

void setFolderBrowserResponder(FolderBrowserResponder responder);

} // namespace toolkit
