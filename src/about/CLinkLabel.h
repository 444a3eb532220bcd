// CLinkLabel: a static text control that behaves like a link in a web page. It is drawn in link
// colours and underlined, shows a hand cursor and a tool tip with its target, changes colour
// while the pointer is over it and once followed, and on a click asks the shell to open its
// target (a web or mail address).
#pragma once

#include "toolkit/Window.h"

#include <string>

class CLinkLabel : public toolkit::Window {
public:
    // The colours of a link that was not followed, and of one that was.
    static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
    static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);
    // Given as the hover colour: the system highlight colour.
    static constexpr COLORREF kSystemHighlight = CLR_INVALID;

    CLinkLabel();
    ~CLinkLabel() override;

    // Binds the object to the static control id of dialog and sets it up (see onAttach).
    bool attachToDialogItem(HWND dialog, int id);

    void setColours(COLORREF link, COLORREF visited, COLORREF hover = kSystemHighlight);
    COLORREF linkColour() const { return link; }
    COLORREF visitedColour() const { return visitedText; }
    COLORREF hoverColour() const { return hover; }
    // The colour the text is drawn in now: hover while the pointer is over, else visited or link.
    COLORREF currentColour() const;

    void setVisited(bool on);
    bool visited() const { return isVisited; }
    // The cursor shown over the control; null loads the default hand cursor.
    void setLinkCursor(HCURSOR cursor);
    HCURSOR linkCursor() const { return cursor; }
    // Rebuilds the control's font with or without the underline.
    void setUnderline(bool on);
    bool underline() const { return isUnderlined; }
    // Whether the control is resized to its text (at once when it exists).
    void setAdjustToFit(bool on);
    bool adjustToFit() const { return fitsText; }
    // The address handed to the shell; resizes the control and changes the tool tip's text.
    void setTarget(const std::string& address);
    const std::string& target() const { return address; }

    // The pointer is over the control, which holds the mouse.
    bool isOver() const { return over; }
    HWND toolTip() const { return tip; }

    // Asks the shell to open the target, with the browser's command for ".htm" as a fallback;
    // marks the link visited on success, else beeps and shows "Unable to open hyperlink:" with
    // the reason. True on success.
    bool follow();

protected:
    // Set-up when bound to the control: the notify style (for clicks), the target taken from
    // the text when none was set ("mailto:" put before a text that names neither "http" nor
    // "mailto"), the text taken from the target when empty, the underlined font, the size, the
    // hand cursor and the tool tip.
    virtual void onAttach();
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onReflectedCommand(UINT code, LRESULT& result) override;
    bool onReflectedColour(HDC dc, LRESULT& result) override;

private:
    // Moves and sizes the control to its text as its alignment styles say.
    void resize();
    void applyFont();
    void loadDefaultCursor();
    void repaint();
    void onMouseMove(POINT at);
    void relayToToolTip(UINT message, WPARAM wParam, LPARAM lParam);
    void releaseResources();

    COLORREF link = kLinkColour;
    COLORREF visitedText = kVisitedColour;
    COLORREF hover;
    bool over = false;
    bool isVisited = false;
    bool isUnderlined = true;
    bool fitsText = true;
    std::string address;
    HFONT font = nullptr;         // ours, made from the font the control had
    HFONT originalFont = nullptr; // given back to the control when the object goes
    bool followsFontChanges = true; // a font set from outside is underlined (until the end)
    HCURSOR cursor = nullptr;
    bool ownsCursor = false; // a copy we made (a shared system cursor is never destroyed)
    HWND tip = nullptr;
};

// The text of the failure box for a shell or launch error code ("Unknown Error (%d) occurred."
// for a code without a text of its own).
std::string hyperlinkErrorText(int code);
