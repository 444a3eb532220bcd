// A tabbed property sheet shown as a child window of a dialog (TabbedSheet; the platform header
// takes the plain name), and its pages, which exchange their values when they are left
// (validation may refuse) and when they are shown again.
#pragma once

#include "toolkit/Dialog.h"

#include <prsht.h>

#include <vector>

namespace toolkit {

class PropertyPage : public Dialog {
public:
    // A page from template resource templateId (or from a template in memory); the page's
    // caption is the template's.
    explicit PropertyPage(UINT templateId) : Dialog(templateId) {}
    explicit PropertyPage(const DLGTEMPLATE* memoryTemplate) : Dialog(memoryTemplate) {}

    // The platform's description of this page, given to the sheet when it is made.
    PROPSHEETPAGEA pageDescription();

protected:
    // Leaving the page (PSN_KILLACTIVE): takes the values; false keeps the page in front.
    virtual bool onKillActive() { return exchangeData(true); }
    // Showing the page (PSN_SETACTIVE): shows the values again, except at the first showing,
    // when the controls were just filled by onInitDialog. False refuses the page.
    virtual bool onSetActive();

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Pages never end the sheet by themselves.
    void onOK() override {}
    void onCancel() override {}

private:
    static INT_PTR CALLBACK pageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool shownBefore = false;
};

class TabbedSheet : public Window {
public:
    TabbedSheet() = default;
    ~TabbedSheet() override;

    // Pages are shown in the order added; the sheet does not own them.
    void addPage(PropertyPage* page) { pages.push_back(page); }
    int pageCount() const { return static_cast<int>(pages.size()); }
    PropertyPage* page(int index) const;

    // Creates the sheet as a visible child of parent (PropertySheetA, modeless, without Apply):
    // the sheet's template becomes a child without caption, frame or system menu, its OK and
    // Cancel buttons are hidden, and its messages come to handleMessage.
    bool createAsChild(HWND parent);

    // The page in front and its index (-1 / null when none).
    int activeIndex() const;
    PropertyPage* activePage() const;
    // Brings a page to the front (the page being left exchanges first and may refuse).
    bool setActivePage(int index);
    HWND tabControl() const;

private:
    static int CALLBACK sheetCallback(HWND window, UINT message, LPARAM lParam);
    std::vector<PropertyPage*> pages;
};

} // namespace toolkit
