// The dialog's tool bar: the platform tool bar, loaded from a tool-bar resource, whose buttons
// ask the owning dialog whether their commands are enabled.
#pragma once

#include "ui/dialogex/ControlBar.h"

#include <vector>

namespace dialogex {

// Resource type of a tool-bar resource: WORD version (1), WORD button width, WORD button height,
// WORD item count, then one WORD command id per item (0 = separator). The bitmap resource of the
// same id holds the images of the non-separator items, left to right.
inline constexpr WORD kToolBarResourceType = 241;

class DialogToolBar : public ControlBar {
public:
    // Creates the bar docked at the top of parent (with its tool tips when toolTips is true).
    bool create(HWND parent, bool toolTips, UINT id = kToolBarId);
    // Loads buttons and images from tool-bar resource resourceId; false when it is missing or
    // malformed, or the platform refuses the buttons.
    bool loadToolBar(UINT resourceId);
    // Sets buttons from command ids (0 = separator) with images of width x height in bitmap.
    bool setButtons(const std::vector<WORD>& ids, int width, int height, HBITMAP bitmap,
                    HINSTANCE module = nullptr, UINT bitmapId = 0);

    bool atTop() const override { return true; }
    void layOut() override;

protected:
    void updateItems(toolkit::Dialog& target, bool disableIfNoHandler) override;
};

} // namespace dialogex
