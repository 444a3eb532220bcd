// The window base of the toolkit: links an HWND to its object, sends every message to one virtual
// handler, subclasses controls made from templates and reflects notifications back to controls
// that handle their own.
#pragma once

#include <windows.h>

namespace toolkit {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return handle; }
    operator HWND() const { return handle; }

    // The object linked to a window made or subclassed by this layer; null for any other window.
    static Window* fromHandle(HWND window);

    // Registers a window class whose procedure forwards to the object given at creation.
    static bool registerClass(const char* className, UINT classStyle = CS_DBLCLKS,
                              HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    // Creates a window of a class registered above, or of any other class (a platform control):
    // the link is then made right after creation by subclassing.
    bool create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                int width, int height, HWND parent, UINT id);

    // Takes over an existing window (a control made from a dialog template): its messages come
    // to handleMessage first, and defaultHandling passes them on to its own procedure.
    bool subclass(HWND window);
    bool subclassDlgItem(HWND dialog, int id) { return subclass(GetDlgItem(dialog, id)); }
    // Gives the window its own procedure back and drops the link.
    void unsubclass();

    // Destroys the window (the link is dropped when the window receives WM_NCDESTROY).
    void destroy();

    // A control's own handling of a notification its parent received for it (WM_NOTIFY, or
    // WM_COMMAND with the control's handle); true when handled, result then being the answer.
    virtual bool onReflectedNotify(NMHDR& header, LRESULT& result);
    virtual bool onReflectedCommand(UINT code, LRESULT& result);
    // A static control's own answer to the colour request its parent received for it
    // (WM_CTLCOLORSTATIC): true when handled, result then being the brush.
    virtual bool onReflectedColour(HDC dc, LRESULT& result);

protected:
    // The one message handler. Anything not handled goes to defaultHandling.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The handling the window would have without this object (its class or original procedure).
    LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window's last message (WM_NCDESTROY), when the link is gone.
    virtual void onFinalDestroy() {}

    // Offers a parent's WM_NOTIFY / WM_COMMAND / WM_CTLCOLORSTATIC to the child object it concerns.
    static bool reflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Lets go of the window before the object goes: the link is dropped first, so no message
    // reaches a half-destroyed object; a window the object made is then destroyed. A class whose
    // members are windows calls it in its own destructor, before those members go.
    void releaseWindow();

    // Makes the link for handle (used by the dialog layer, which learns its handle itself).
    void attach(HWND window);
    void detach();
    // Installs this layer's procedure on the attached window, keeping the old one for defaults.
    void hookProcedure();

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    // Runs one message through the object with reflection and the exception boundary.
    static LRESULT dispatch(Window* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle = nullptr;
    WNDPROC previousProcedure = nullptr; // set when the window was subclassed
    bool ownsWindow = false;             // destroy the window with the object
};

} // namespace toolkit
