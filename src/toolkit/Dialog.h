// The dialog base: a dialog made from a template, with a modal run of its own (message filter,
// dialog keys, idle messages), modeless creation, OK/Cancel as virtual operations, data exchange
// and command routing with a state query per command id.
#pragma once

#include "toolkit/DataExchange.h"
#include "toolkit/Window.h"

#include <optional>

namespace toolkit {

// What an update handler says about one command.
class CommandState {
public:
    explicit CommandState(UINT id) : commandId(id) {}
    UINT id() const { return commandId; }
    void enable(bool on = true) {
        isEnabled = on;
        isAnswered = true;
    }
    bool answered() const { return isAnswered; }
    bool enabled() const { return isEnabled; }

private:
    UINT commandId;
    bool isAnswered = false;
    bool isEnabled = false;
};

class Dialog : public Window {
public:
    // A dialog from template resource templateId of the program's module.
    explicit Dialog(UINT templateId, HWND parent = nullptr);
    // A dialog from a template in memory (it must outlive every window made from it).
    explicit Dialog(const DLGTEMPLATE* memoryTemplate, HWND parent = nullptr);
    ~Dialog() override;

    // Runs the dialog modally: disables the owner, creates the dialog modeless and runs its own
    // loop until endModal. Each message goes first through the application's message filter,
    // then preTranslateMessage, then the dialog keys (IsDialogMessage). While the queue is empty
    // the dialog gets WM_KICKIDLE with counts 0, 1, 2, ... until it answers false; any message
    // (other than paint, system timer or a mouse move that does not move) starts a new count.
    // Returns the value given to endModal, or -1 when the dialog could not be made or the loop
    // met WM_QUIT (which is posted again for the outer loop).
    virtual INT_PTR runModal();
    // Creates the dialog window without a loop (the window shows if its template says so).
    bool createModeless(HWND parent = nullptr);
    // Ends the modal run with result; the window is destroyed when the loop returns.
    void endModal(INT_PTR result);
    bool inModalRun() const { return modalState == ModalState::Running; }

    // One exchange pass over exchange(): to the members (validate and take) or to the controls.
    // False when a check failed (the focus is then on the failing field).
    bool exchangeData(bool toValues);

    // Asks the dialog for the state of command id: enabled or disabled when an update handler
    // answered; otherwise, when disableIfNoHandler, enabled if the dialog carries the command out
    // (handlesCommand) and disabled if not; else no answer (left as it is).
    std::optional<bool> commandEnabled(UINT id, bool disableIfNoHandler);

    HWND item(int id) const { return GetDlgItem(handle, id); }
    UINT templateId() const { return resourceId; }
    const DLGTEMPLATE* memoryTemplateOf() const { return memoryTemplate; }

protected:
    // Called once the controls exist; the default shows the members (exchange to the controls).
    // True lets the dialog manager put the focus on the first control.
    virtual bool onInitDialog();
    // The value exchange of this dialog: one call of dx per control, in order.
    virtual void exchange(DataExchange& dx) { (void)dx; }
    // Command 1: take the members; when that succeeds end the modal run with IDOK.
    virtual void onOK();
    // Command 2: end the modal run with IDCANCEL.
    virtual void onCancel();

    // A command: menu item, accelerator, tool-bar button or a button click. True when handled.
    // Commands without a control that an update handler disables are not delivered.
    virtual bool onCommand(UINT id) {
        (void)id;
        return false;
    }
    // Any other notification a control sends by WM_COMMAND (list double click, edit change...).
    virtual bool onControlCommand(UINT id, UINT code, HWND control) {
        (void)id, (void)code, (void)control;
        return false;
    }
    // The one update handler: menus, tool bar and context menus ask it for each command. Answer
    // (state.enable) every command the dialog carries out; unanswered ids have no handler.
    virtual void updateCommand(CommandState& state) { (void)state; }
    // Whether onCommand carries out id: a command without an update handler is then enabled.
    virtual bool handlesCommand(UINT id) const {
        (void)id;
        return false;
    }
    // WM_KICKIDLE from the modal loop: true asks for more idle time.
    virtual bool onKickIdle(LONG count) {
        (void)count;
        return false;
    }
    // A look at each message of the modal loop before the dialog keys; true when handled.
    virtual bool preTranslateMessage(MSG& msg) {
        (void)msg;
        return false;
    }

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Makes the link at WM_INITDIALOG and takes over the window's procedure, so that every
    // message reaches handleMessage and defaultHandling is the dialog manager's.
    void attachDialog(HWND window);
    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    HWND parentWindow;

private:
    enum class ModalState { None, Running, Ended };
    bool routeCommand(UINT id, UINT code, HWND control);
    static bool isIdleMessage(const MSG& msg, POINT& lastMouse);

    UINT resourceId = 0;
    const DLGTEMPLATE* memoryTemplate = nullptr;
    ModalState modalState = ModalState::None;
    INT_PTR modalResult = -1;
};

} // namespace toolkit
