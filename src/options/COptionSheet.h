// COptionSheet: the tabbed option sheet of the main dialog with its five pages, and the two
// transfers between the pages and a SearchOptions.
#pragma once

#include "options/CPageDate.h"
#include "options/CPageFolder.h"
#include "options/CPageLan.h"
#include "options/CPageMain.h"
#include "options/CPageText.h"
#include "options/SearchOptions.h"
#include "toolkit/TabbedSheet.h"

class COptionSheet : public toolkit::TabbedSheet {
public:
    // Constructs the five pages and adds them in tab order: Main, Network, Folders, Date and
    // Size, Text. The windows are made by createInDialog.
    COptionSheet();

    // Makes the sheet a visible child of dialog that Tab can reach, with its top-left corner at
    // the top-left corner of the (hidden) frame control frameId and its own size; fills the
    // pages with the default options and remembers the sheet's client rectangle.
    bool createInDialog(HWND dialog, int frameId);

    // Copies every option into the page values (the defaults of resetOptions when options is
    // null) and shows them on the page in front; the other pages show theirs when next shown.
    void applyOptionsToPages(const SearchOptions* options = nullptr);
    // Takes the page in front's controls into its values (a rejected number shows its message
    // and keeps its previous value; the copy goes on all the same), then copies every page value
    // into options.
    void readOptionsFromPages(SearchOptions& options);

    // New Search: brings the Main page to the front and empties its name field.
    void resetSheetView();

    CPageMain pageMain;
    CPageLan pageLan;
    CPageFolder pageFolder;
    CPageDate pageDate;
    CPageText pageText;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Grows the tab control and every page window by the change of the client rectangle.
    void onSize();

    // The client rectangle at the last resize; right < left means not yet known.
    RECT rememberedClient{0, 0, -1, 0};
};
