// BarDialog: a dialog base with a docked tool bar, a status bar, menu and tool-tip prompts and
// the idle-time enabling of menu items and tool-bar buttons from the dialog's updateCommand.
#pragma once

#include "toolkit/Dialog.h"
#include "ui/dialogex/DialogStatusBar.h"
#include "ui/dialogex/DialogToolBar.h"

#include <string>

namespace dialogex {

// String id of the idle prompt.
inline constexpr UINT kIdlePromptId = 57345;
// Tool id the framework never asks a text for.
inline constexpr UINT kNoTipId = 59393;
// Characters of a tool tip's fixed text buffer (the terminator included).
inline constexpr int kTipBufferLength = 80;

class BarDialog : public toolkit::Dialog {
public:
    BarDialog(UINT templateId, HWND parent);
    BarDialog(const DLGTEMPLATE* memoryTemplate, HWND parent);
    ~BarDialog() override;

    // Creates the requested bars and makes room for them: the controls move down by the tool
    // bar's height (the dialog keeps its size). paneIds/paneCount give the status bar's panes,
    // showMessages whether prompts are written into it, toolBarId the tool-bar resource (0 for
    // none). False as soon as a bar cannot be made or loaded; bars made before that stay.
    bool createBars(bool toolTips, bool statusBar, const UINT* paneIds, int paneCount,
                    bool showMessages, UINT toolBarId);
    // Makes the dialog's tool tips cover controls created after createBars (an option sheet, say):
    // every direct child not yet known becomes a tool.
    void addToolTipsForNewControls();
    // The client rectangle less the bars (client coordinates).
    RECT usableRect() const;
    // Shows the prompt of string id in the status bar (when prompts are shown); answers the id
    // shown before.
    UINT showPrompt(UINT id);

    // Runs modally (modeless becomes false).
    INT_PTR runModal() override;

    DialogStatusBar& statusBar() { return statusBarWindow; }
    DialogToolBar& toolBar() { return toolBarWindow; }
    bool hasStatusBar() const { return statusBarPresent; }
    bool hasToolBar() const { return toolBarPresent; }
    bool isModeless() const { return modeless; }
    UINT pendingPromptId() const { return pendingMessageId; }
    UINT shownPromptId() const { return shownMessageId; }
    bool tipPromptShown() const { return tipMessageShown; }
    // The DPI the dialog's pixel figures are drawn at (its screen's; 96 until the bars exist).
    UINT dpi() const { return windowDpi; }

protected:
    // Modal: take the values and end the run with IDOK; modeless: take the values and, when that
    // succeeds, destroy the window.
    void onOK() override;
    // Modal: end the run with IDCANCEL; modeless: destroy the window.
    void onCancel() override;
    // Idle time: the bars update their commands; three more rounds after the first.
    bool onKickIdle(LONG count) override;
    // Passes mouse messages to the dialog's tool tips.
    bool preTranslateMessage(MSG& msg) override;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The text of string id as the prompts read it (a buffer of 256 characters).
    virtual std::string promptString(UINT id);

    // WM_DPICHANGED: the window moved to a screen of another DPI. changeBarsDpi, then takeRect;
    // a derived dialog scales its own figures between the two.
    virtual void onDpiChanged(UINT newDpi, const RECT& suggested);
    // The tool bar takes the images nearest the new size and the controls below it move by its
    // change of height.
    void changeBarsDpi(UINT newDpi);
    // The window takes the suggested rectangle (which lays it out).
    void takeRect(const RECT& suggested);

    // Set to keep popped prompts (WM_POPMESSAGESTRING) out of the status bar.
    bool suppressPoppedPrompts = false;

private:
    void onSize();
    // Moves every control that is not a bar by dx, dy.
    void moveControls(int dx, int dy);
    void onMenuSelect(UINT itemId, UINT flags);
    void onEnterIdle(UINT reason);
    void onInitMenuPopup(HMENU menu, bool systemMenu);
    bool onToolTipText(NMHDR& header, LRESULT& result);
    void sendIdleUpdates();
    void setStatusText(const std::string& text);
    void enableDialogToolTips();

    DialogStatusBar statusBarWindow;
    DialogToolBar toolBarWindow;
    UINT pendingMessageId = 0;
    UINT shownMessageId = 0;
    bool tipMessageShown = false;
    bool toolTipsEnabled = false;
    bool statusBarPresent = false;
    bool showMessages = false;
    bool toolBarPresent = false;
    bool modeless = true;
    HWND toolTipWindow = nullptr;
    UINT windowDpi = 96;
};

} // namespace dialogex
