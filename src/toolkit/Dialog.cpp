// The dialog base: creation from a template, the modal run, OK/Cancel, exchange and commands.
#include "toolkit/Dialog.h"

#include "toolkit/Application.h"
#include "toolkit/FrameworkMessages.h"

namespace toolkit {

Dialog::Dialog(UINT templateId, HWND parent) : parentWindow(parent), resourceId(templateId) {}

Dialog::Dialog(const DLGTEMPLATE* memoryTemplate, HWND parent)
    : parentWindow(parent), memoryTemplate(memoryTemplate) {}

Dialog::~Dialog() = default;

bool Dialog::createModeless(HWND parent) {
    if (handle) return false;
    if (parent) parentWindow = parent;
    HWND window =
        memoryTemplate
            ? CreateDialogIndirectParamA(instance(), memoryTemplate, parentWindow,
                                         &Dialog::dialogProcedure, reinterpret_cast<LPARAM>(this))
            : CreateDialogParamA(instance(), MAKEINTRESOURCEA(resourceId), parentWindow,
                                 &Dialog::dialogProcedure, reinterpret_cast<LPARAM>(this));
    if (!window) return false;
    ownsWindow = true;
    return true;
}

INT_PTR Dialog::runModal() {
    // The owner is the top-level window of the given parent, else the application's main window.
    HWND owner = parentWindow ? GetAncestor(parentWindow, GA_ROOT) : mainWindow();
    if (owner && !IsWindow(owner)) owner = nullptr;
    bool reenableOwner = owner && IsWindowEnabled(owner);
    if (reenableOwner) EnableWindow(owner, FALSE);

    modalState = ModalState::Running;
    modalResult = -1;
    HWND savedParent = parentWindow;
    parentWindow = owner;
    bool created = createModeless();
    parentWindow = savedParent;
    if (created && modalState == ModalState::Running && !IsWindowVisible(handle))
        ShowWindow(handle, SW_SHOWNORMAL);

    bool idle = true;
    LONG idleCount = 0;
    POINT lastMouse{-1, -1};
    MSG msg{};
    while (created && modalState == ModalState::Running && handle) {
        while (idle && modalState == ModalState::Running && handle &&
               !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!SendMessageA(handle, WM_KICKIDLE, MSGF_DIALOGBOX, idleCount++)) idle = false;
        }
        if (modalState != ModalState::Running || !handle) break;
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            modalResult = -1;
            break;
        }
        if (!applyMessageFilter(MSGF_DIALOGBOX, msg) && !preTranslateMessage(msg) &&
            !(handle && IsDialogMessageA(handle, &msg))) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (isIdleMessage(msg, lastMouse)) {
            idle = true;
            idleCount = 0;
        }
    }
    modalState = ModalState::None;

    // Give the owner back its input before the dialog goes, so activation returns to it.
    if (reenableOwner) EnableWindow(owner, TRUE);
    if (handle) {
        if (owner && GetActiveWindow() == handle) SetActiveWindow(owner);
        DestroyWindow(handle);
    }
    return created ? modalResult : -1;
}

bool Dialog::isIdleMessage(const MSG& msg, POINT& lastMouse) {
    switch (msg.message) {
    case WM_PAINT:
    case 0x0118: // the system's caret timer
        return false;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        if (msg.pt.x == lastMouse.x && msg.pt.y == lastMouse.y) return false;
        lastMouse = msg.pt;
        return true;
    default: return true;
    }
}

void Dialog::endModal(INT_PTR result) {
    if (modalState != ModalState::Running) return;
    modalResult = result;
    modalState = ModalState::Ended;
    // Wake the loop if it waits in GetMessage.
    if (handle) PostMessageA(handle, WM_NULL, 0, 0);
}

bool Dialog::exchangeData(bool toValues) {
    DataExchange dx(handle, toValues);
    exchange(dx);
    return !dx.failed();
}

std::optional<bool> Dialog::commandEnabled(UINT id, bool disableIfNoHandler) {
    CommandState state(id);
    updateCommand(state);
    if (state.answered()) return state.enabled();
    if (disableIfNoHandler) return handlesCommand(id);
    return std::nullopt;
}

bool Dialog::onInitDialog() {
    exchangeData(false);
    return true;
}

void Dialog::onOK() {
    if (exchangeData(true)) endModal(IDOK);
}

void Dialog::onCancel() {
    endModal(IDCANCEL);
}

bool Dialog::routeCommand(UINT id, UINT code, HWND control) {
    bool isCommand = control == nullptr || code == BN_CLICKED;
    if (!isCommand) return onControlCommand(id, code, control);
    if (id == IDOK) {
        onOK();
        return true;
    }
    if (id == IDCANCEL) {
        onCancel();
        return true;
    }
    // A menu or accelerator command that the update handler disables is dropped, so a key
    // cannot run what the menu shows disabled.
    if (!control) {
        std::optional<bool> enabled = commandEnabled(id, false);
        if (enabled && !*enabled) return true;
    }
    return onCommand(id);
}

LRESULT Dialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        if (routeCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
        break;
    case WM_KICKIDLE: return onKickIdle(static_cast<LONG>(lParam)) ? TRUE : FALSE;
    default: break;
    }
    return defaultHandling(message, wParam, lParam);
}

void Dialog::attachDialog(HWND window) {
    attach(window);
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
    hookProcedure();
}

INT_PTR CALLBACK Dialog::dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Only WM_INITDIALOG is handled here: from then on the window's own procedure is ours, and
    // the dialog manager reaches this procedure only for what we pass on as default handling.
    if (message != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<Dialog*>(lParam);
    if (!self || fromHandle(window)) return FALSE;
    self->attachDialog(window);
    return dispatch(self, window, message, wParam, lParam);
}

} // namespace toolkit
