// The dialog's tool bar: the platform tool bar, loaded from a tool-bar resource, whose buttons
// ask the owning dialog whether their commands are enabled.
#pragma once

#include "ui/dialogex/ControlBar.h"

#include <commctrl.h>

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
    // The same images drawn at other sizes (bitmap resources of the module): the bar shows the
    // size nearest to its own at the window's DPI. Given before loadToolBar.
    struct ImageSize {
        int width;
        int height;
        UINT bitmapId;
    };
    void setLargerImages(std::vector<ImageSize> sizes) { largerImages = std::move(sizes); }
    // Loads buttons and images from tool-bar resource resourceId for a window at dpi; false when
    // it is missing or malformed, or the platform refuses the buttons.
    bool loadToolBar(UINT resourceId, UINT dpi = 96);
    // The window moved to a screen of another DPI: the images of the nearest size replace the
    // shown ones (the caller lays out the bars again).
    void setDpi(UINT dpi);
    // Sets buttons from command ids (0 = separator) with images of width x height in bitmap.
    bool setButtons(const std::vector<WORD>& ids, int width, int height, HBITMAP bitmap,
                    HINSTANCE module = nullptr, UINT bitmapId = 0);

    bool atTop() const override { return true; }
    void layOut() override;

    ~DialogToolBar() override;

protected:
    void updateItems(toolkit::Dialog& target, bool disableIfNoHandler) override;

private:
    // The images for dpi: the resource's own size or one of the larger ones, the nearest to the
    // resource's size scaled to dpi (the larger on a tie).
    ImageSize imagesFor(UINT dpi) const;

    std::vector<ImageSize> largerImages;
    ImageSize baseImages{0, 0, 0};
    ImageSize shownImages{0, 0, 0};
    ImageSize firstImages{0, 0, 0}; // the images the bar was made with, and its buttons' size
    SIZE firstButton{0, 0};
    HIMAGELIST replacedImages = nullptr; // ours once a DPI change replaced the bar's own
};

} // namespace dialogex
