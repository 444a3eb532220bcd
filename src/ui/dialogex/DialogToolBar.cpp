// The dialog's tool bar: loading from the tool-bar resource and the idle update of its buttons.
#include "ui/dialogex/DialogToolBar.h"

#include "toolkit/Application.h"
#include "toolkit/Dpi.h"

#include <commctrl.h>

#include <cstdlib>

namespace dialogex {

namespace {
// The light grey of the images is the button face: it stays transparent at every size.
constexpr COLORREF kImageBackground = RGB(192, 192, 192);
} // namespace

DialogToolBar::~DialogToolBar() {
    if (replacedImages) {
        if (hwnd()) SendMessageA(hwnd(), TB_SETIMAGELIST, 0, 0);
        ImageList_Destroy(replacedImages);
    }
}

bool DialogToolBar::create(HWND parent, bool toolTips, UINT id) {
    DWORD windowStyle = WS_CHILD | WS_VISIBLE | CCS_TOP | TBSTYLE_FLAT;
    if (toolTips) windowStyle |= TBSTYLE_TOOLTIPS;
    if (!Window::create(0, TOOLBARCLASSNAMEA, "", windowStyle, 0, 0, 0, 0, parent, id))
        return false;
    SendMessageA(handle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return true;
}

DialogToolBar::ImageSize DialogToolBar::imagesFor(UINT dpi) const {
    ImageSize best = baseImages;
    const int wanted = toolkit::scaled(baseImages.width, dpi);
    for (const ImageSize& size : largerImages) {
        int distance = std::abs(size.width - wanted);
        int bestDistance = std::abs(best.width - wanted);
        if (distance < bestDistance || (distance == bestDistance && size.width > best.width))
            best = size;
    }
    return best;
}

void DialogToolBar::setDpi(UINT dpi) {
    if (!handle || baseImages.width == 0) return;
    ImageSize wanted = imagesFor(dpi);
    if (wanted.bitmapId == shownImages.bitmapId) return;
    HIMAGELIST images = ImageList_LoadImageA(toolkit::instance(), MAKEINTRESOURCEA(wanted.bitmapId),
                                             wanted.width, 0, kImageBackground, IMAGE_BITMAP,
                                             LR_CREATEDIBSECTION);
    if (!images) return;
    // The list first: the bar takes a new image size only once its own list is out of use. The
    // buttons keep the margins they had around the first images.
    SendMessageA(handle, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    SendMessageA(handle, TB_SETBITMAPSIZE, 0, MAKELPARAM(wanted.width, wanted.height));
    SendMessageA(handle, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(firstButton.cx + wanted.width - firstImages.width,
                            firstButton.cy + wanted.height - firstImages.height));
    if (replacedImages) ImageList_Destroy(replacedImages);
    replacedImages = images;
    shownImages = wanted;
    SendMessageA(handle, TB_AUTOSIZE, 0, 0);
    InvalidateRect(handle, nullptr, TRUE);
}

bool DialogToolBar::loadToolBar(UINT resourceId, UINT dpi) {
    HINSTANCE module = toolkit::instance();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId & 0xFFFF),
                                MAKEINTRESOURCEA(kToolBarResourceType));
    if (!found) return false;
    DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    // The resource is checked against its own size before its count is trusted.
    if (!words || size < 4 * sizeof(WORD) || words[0] != 1) return false;
    WORD count = words[3];
    if (size < (4u + count) * sizeof(WORD)) return false;
    std::vector<WORD> ids(words + 4, words + 4 + count);
    baseImages = ImageSize{words[1], words[2], resourceId & 0xFFFF};
    shownImages = imagesFor(dpi);
    if (!setButtons(ids, shownImages.width, shownImages.height, nullptr, module,
                    shownImages.bitmapId))
        return false;
    firstImages = shownImages;
    DWORD button = DWORD(SendMessageA(handle, TB_GETBUTTONSIZE, 0, 0));
    firstButton = SIZE{LOWORD(button), HIWORD(button)};
    return true;
}

bool DialogToolBar::setButtons(const std::vector<WORD>& ids, int width, int height, HBITMAP bitmap,
                               HINSTANCE module, UINT bitmapId) {
    if (!handle || width <= 0 || height <= 0) return false;
    int images = 0;
    for (WORD id : ids)
        if (id != 0) ++images;
    SendMessageA(handle, TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    if (images > 0) {
        TBADDBITMAP add{};
        if (bitmap) {
            add.hInst = nullptr;
            add.nID = reinterpret_cast<UINT_PTR>(bitmap);
        } else {
            add.hInst = module;
            add.nID = bitmapId;
        }
        if (SendMessageA(handle, TB_ADDBITMAP, static_cast<WPARAM>(images),
                         reinterpret_cast<LPARAM>(&add)) == -1)
            return false;
    }
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (WORD id : ids) {
        TBBUTTON b{};
        if (id == 0) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = image++;
            b.idCommand = id;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        }
        b.iString = -1;
        buttons.push_back(b);
    }
    if (!buttons.empty() && !SendMessageA(handle, TB_ADDBUTTONSA, buttons.size(),
                                          reinterpret_cast<LPARAM>(buttons.data())))
        return false;
    SendMessageA(handle, TB_AUTOSIZE, 0, 0);
    return true;
}

void DialogToolBar::layOut() {
    SendMessageA(handle, TB_AUTOSIZE, 0, 0);
}

void DialogToolBar::updateItems(toolkit::Dialog& target, bool disableIfNoHandler) {
    int count = static_cast<int>(SendMessageA(handle, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        if (!SendMessageA(handle, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b))) continue;
        if (b.fsStyle & BTNS_SEP) continue;
        std::optional<bool> enabled =
            target.commandEnabled(static_cast<UINT>(b.idCommand), disableIfNoHandler);
        if (!enabled) continue;
        // A button is touched only when its state changes (each change repaints it).
        bool now = (b.fsState & TBSTATE_ENABLED) != 0;
        if (now != *enabled)
            SendMessageA(handle, TB_ENABLEBUTTON, b.idCommand, MAKELPARAM(*enabled ? 1 : 0, 0));
    }
}

} // namespace dialogex
