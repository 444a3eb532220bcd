// The file dialogs and the folder browser answered through their responders: what the program
// asks, and the current folder left at the folder of the confirmed file.
#include "toolkit/FileDialogs.h"

#include <gtest/gtest.h>

#include "support/ScratchFolder.h"

#include <string>

using namespace toolkit;

namespace {
std::string currentFolder() {
    char buffer[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof(buffer), buffer);
    return buffer;
}

// Restores the responders and the current folder whatever a test did.
struct DialogScope {
    std::string savedFolder = currentFolder();
    ~DialogScope() {
        setFileDialogResponder({});
        setFolderBrowserResponder({});
        SetCurrentDirectoryA(savedFolder.c_str());
    }
};
} // namespace

TEST(FileDialogs, StartInCurrentFolderAndLeaveItAtTheConfirmedFilesFolder) {
    // The folders outlive the scope, which leaves them as the current folder before they go.
    ScratchFolder firstFolder, secondFolder;
    DialogScope scope;
    const std::string first = firstFolder.path(), second = secondFolder.path();
    ASSERT_TRUE(SetCurrentDirectoryA(first.c_str()));

    std::vector<FileDialogRequest> asked;
    std::string answerPath = second + "\\ServerOpt.sop";
    setFileDialogResponder([&](const FileDialogRequest& r) {
        asked.push_back(r);
        return FileDialogAnswer{true, answerPath};
    });
    std::string path;
    ASSERT_TRUE(showFileDialog(true, nullptr, "sop", "ServerOpt.sop", "*.sop|*.sop|", path));
    EXPECT_EQ(path, answerPath);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].save);
    EXPECT_EQ(asked[0].defaultExtension, "sop");
    EXPECT_EQ(asked[0].fileName, "ServerOpt.sop");
    EXPECT_EQ(asked[0].filter, "*.sop|*.sop|");
    EXPECT_EQ(lstrcmpiA(asked[0].initialFolder.c_str(), first.c_str()), 0);
    EXPECT_TRUE(asked[0].flags & OFN_OVERWRITEPROMPT);
    EXPECT_TRUE(asked[0].flags & OFN_HIDEREADONLY);
    EXPECT_FALSE(asked[0].flags & OFN_NOCHANGEDIR);
    EXPECT_EQ(lstrcmpiA(currentFolder().c_str(), second.c_str()), 0);

    // The next dialog, of another kind, starts where the last one left off.
    answerPath.clear();
    setFileDialogResponder([&](const FileDialogRequest& r) {
        asked.push_back(r);
        return FileDialogAnswer{false, {}};
    });
    path = "unchanged";
    EXPECT_FALSE(showFileDialog(false, nullptr, "opt", "Search.opt", "*.opt|*.opt|", path));
    EXPECT_EQ(path, "unchanged");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[1].save);
    EXPECT_FALSE(asked[1].flags & OFN_OVERWRITEPROMPT);
    EXPECT_EQ(lstrcmpiA(asked[1].initialFolder.c_str(), second.c_str()), 0);
    EXPECT_EQ(lstrcmpiA(currentFolder().c_str(), second.c_str()), 0) << "Cancel moves nothing";
}

TEST(FileDialogs, FolderBrowserAnswers) {
    DialogScope scope;
    std::vector<FolderBrowserRequest> asked;
    FolderBrowserAnswer next{FolderChoice::Chosen, "C:\\windows"};
    setFolderBrowserResponder([&](const FolderBrowserRequest& r) {
        asked.push_back(r);
        return next;
    });
    std::string path;
    EXPECT_EQ(browseForFolder(nullptr, "Copy the select item(s) to:", path), FolderChoice::Chosen);
    EXPECT_EQ(path, "C:\\windows");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].title, "Copy the select item(s) to:");

    path = "kept";
    next = {FolderChoice::NotAFolder, {}};
    EXPECT_EQ(browseForFolder(nullptr, "t", path), FolderChoice::NotAFolder);
    EXPECT_EQ(path, "kept");
    next = {FolderChoice::Cancelled, {}};
    EXPECT_EQ(browseForFolder(nullptr, "t", path), FolderChoice::Cancelled);
    EXPECT_EQ(path, "kept");
}
