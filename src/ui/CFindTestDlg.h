// CFindTestDlg: the main dialog — option sheet, result list, buttons, busy icon, bars — and the
// visible side of a search session; its commands live in CFindTestDlgCommands.cpp.
#pragma once

#include "engine/SearchEngine.h"
#include "options/COptionSheet.h"
#include "options/SearchOptions.h"
#include "results/ResultListCtrl.h"
#include "ui/SearchCompletion.h"
#include "ui/dialogex/BarDialog.h"

#include <cstdint>
#include <string>

// What the update handler reads to enable the commands of the menu, tool bar and context menus.
struct CommandFlags {
    bool backEnabled = false;    // Back
    bool forwardEnabled = false; // Forward
    bool topEnabled = false;     // Top Level
    bool resultEnabled = false;  // Save Result, Export Result
    bool findEnabled = false;    // Find, Find Next
    int32_t selectedCount = 0;   // Copy, Copy to Folder, the two shortcut commands (when not 0)
};

class CFindTestDlg : public dialogex::BarDialog {
public:
    // The timer of the deferred thread check (the busy timer takes the first free of 1, 2, ...).
    static constexpr UINT_PTR kThreadCheckTimer = 0x5443;
    // After Stop Search, how long the search's threads are given to end by themselves before
    // those still held by a server that does not answer are left behind.
    static constexpr UINT_PTR kStopGraceTimer = 0x5447;
    static constexpr UINT kStopGraceMs = 500;

    // The dialog from template 102; settings pace the search (tests shorten the pauses).
    explicit CFindTestDlg(HWND parent = nullptr, const SearchEngineSettings& settings = {});
    ~CFindTestDlg() override;

    // A file to open as soon as the window is up, as a document program does with the file it
    // was started with: an option file (.opt) fills the pages, a result file (.sr) is loaded as
    // Open Result would; anything else gets the file-error box. Call before the dialog runs.
    void openAtStartup(const std::string& path) { startupFile = path; }

    // Read-only views for the program's own tests and the benchmark.
    SearchEngine& engine() { return searchEngine; }
    COptionSheet& optionSheet() { return sheet; }
    const CommandFlags& commandState() const { return commands; }
    const SearchOptions& options() const { return currentOptions; }
    HWND resultList() const { return resultListCtrl.hwnd(); }
    RECT busyHomeRect() const { return busyHome; }
    // A search was started and its completion has not run yet.
    bool searchPending() const { return completion.pending(); }
    const std::string& lastFindPattern() const { return findPattern; }
    // The angle of the busy icon, kept from one search to the next.
    static float busyAngleNow() { return busyAngle; }

protected:
    bool onInitDialog() override;
    void onOK() override;
    void onCancel() override;
    bool onCommand(UINT id) override;
    bool handlesCommand(UINT id) const override;
    void updateCommand(toolkit::CommandState& state) override;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onDpiChanged(UINT newDpi, const RECT& suggested) override;

private:
    // ---- window (CFindTestDlg.cpp)
    bool canClose();
    void layoutControls();
    void applyMinimumWidth(UINT edge, RECT& proposed);
    bool paintMinimized();
    void onBusyTick();
    void moveBusyIcon(int dx, int dy);
    void setCountPaneWidth();
    LRESULT onResultListNotify(NMHDR& header);
    void setPane(int index, const std::string& text);
    std::string paneText(int index);
    void setDefaultButton(int id);
    void showSearchInProgress();

    // ---- search session (CFindTestDlgSearch.cpp)
    void onSearchNow();
    void onStopSearch();
    // Completes a stopped search whose remaining threads are held by a server: they are left
    // behind (they add nothing when they come back).
    void onStopGraceEnded();
    void onNewSearch();
    void resetToNewSearch();
    void onReset();
    // Stop Search while a search runs, Search Now otherwise.
    int defaultButton() const;
    void onWorkerState(WPARAM begins);
    void onSearchFinished();
    // Carries out what the completion asks for after an event.
    void apply(SearchCompletion::Action action);
    void completeSearch();
    void completePendingSearch();
    void refreshCommandState(bool resultShown);
    void showFoundCount();

    // ---- result and file commands (CFindTestDlgCommands.cpp)
    void onSaveResult();
    // Asks for a file and writes the rows on screen with write, showing the wait cursor and
    // progressTextId in the second pane, which gets its text back afterwards.
    void writeView(const char* extension, const char* name, const char* filter,
                   UINT progressTextId, bool (*write)(ResultView&, const std::string&, HWND));
    void onOpenResult();
    void openResultPath(const std::string& path);
    void onExportResult();
    void onFind();
    void onFindNext();
    void onNavigate(UINT id);
    void onHelp();
    void openStartupFile();

    // Members in the order the dialog relies on: the controls and the sheet before the engine,
    // which keeps their window handles.
    ResultListCtrl resultListCtrl;
    HWND busyIcon = nullptr;
    HWND stopButton = nullptr;
    HWND resetButton = nullptr;
    HWND searchNowButton = nullptr;
    CommandFlags commands;
    SearchOptions currentOptions;
    COptionSheet sheet;
    SearchEngine searchEngine;
    HICON appIcon = nullptr;
    HICON appIconSmall = nullptr;
    UINT_PTR busyTimerId = 0;
    RECT busyHome{};
    POINT busyOffset{}; // where the busy icon stands from its home
    RECT layoutRect{};
    RECT initialUsableRect{};
    SearchCompletion completion;
    std::string findPattern;
    std::string startupFile;

    // Shared by every search of the process: the icon resumes where the last search left it.
    static float busyAngle;
};
