// Test fixtures for the result list: a real window holding an owner-data report list (the
// program's own list class) and a two-pane status bar, plus temporary folders and UNC shares.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "support/MessagePump.h"
#include "results/FoundItem.h"
#include "results/ResultHistory.h"
#include "results/ResultListCtrl.h"
#include "results/ResultStore.h"
#include "results/ResultView.h"
#include "support/ScratchFolder.h"
#include "ui/dialogex/DialogStatusBar.h"

// A visible top-level window with the result list (id 1000) and the program's status bar (two
// panes, texts applied lazily, a followed text in pane 0 while a search runs). Tests run on the
// window's thread and pump messages where a worker thread sends to the list.
class ResultTestHost {
public:
    // One window for the whole test program, emptied for the caller: hiding or destroying a
    // visible window costs Wine about two seconds without a window manager.
    static ResultTestHost& shared();
    // Row count 0, no columns, no selection, empty panes, no notification handler.
    void reset();

    ResultTestHost();
    ~ResultTestHost();
    ResultTestHost(const ResultTestHost&) = delete;
    ResultTestHost& operator=(const ResultTestHost&) = delete;

    HWND window() const { return window_; }
    HWND list() const { return list_; }
    HWND statusBar() const { return status_; }
    ResultListCtrl& listCtrl() { return listCtrl_; }
    dialogex::DialogStatusBar& statusBarCtrl() { return statusBar_; }

    // Receives the window's WM_NOTIFY messages (from the list and its header); unset: 0.
    std::function<LRESULT(NMHDR*)> onNotify;

    // Text of a status pane.
    std::string paneText(int pane) const;
    // The list's own row count (applies any recorded count first, as every list message does).
    int32_t listCount() const;
    // Rows the list reports selected, in order.
    std::string selectedRows() const;
    void selectRow(int32_t row, bool selected);

private:
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND status_ = nullptr;
    ResultListCtrl listCtrl_;
    dialogex::DialogStatusBar statusBar_;
};

// A store with its history and view, attached to the shared host's list and status bar for the
// object's lifetime the way the search engine attaches them.
struct AttachedResults {
    ResultTestHost& host = ResultTestHost::shared();
    ResultSet store;
    ResultHistory history{store};
    ResultView view{store, history};

    AttachedResults() { view.attach(host.list(), host.statusBar()); }
    ~AttachedResults() { view.detach(); }
};

// A FoundItem with the given name, folder, size and attributes; times from a local calendar date.
FoundItem makeItem(const std::string& name, const std::string& folder, uint32_t size,
                   uint32_t attributes = FILE_ATTRIBUTE_ARCHIVE, int year = 2002, int month = 3,
                   int day = 7, int hour = 21, int minute = 5);

// A scratch folder that also makes subfolders and files of a given size inside it.
class TempFolder : public ScratchFolder {
public:
    // Creates a subfolder (and its parents) relative to the root; returns its full path.
    std::string makeFolder(const std::string& relative) const;
    // Writes a file of size bytes relative to the root; returns its full path.
    std::string makeFile(const std::string& relative, uint32_t size = 0) const;
};

// A share \\server\share served by the Wine prefix: a folder under the prefix's
// dosdevices\unc\<server>\<share>, removed at the end.
class TestShare {
public:
    TestShare(const std::string& server, const std::string& share);
    ~TestShare();
    TestShare(const TestShare&) = delete;
    TestShare& operator=(const TestShare&) = delete;

    bool ok() const { return !localPath_.empty(); }
    // The UNC path of the share root.
    const std::string& uncPath() const { return uncPath_; }
    // The same folder reached through the drive that maps the Unix root.
    const std::string& localPath() const { return localPath_; }
    std::string makeFolder(const std::string& relative) const;
    std::string makeFile(const std::string& relative, uint32_t size = 0) const;

private:
    std::string uncPath_;
    std::string localPath_;
    std::string serverPath_;
};
