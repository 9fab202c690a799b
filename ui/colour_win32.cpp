#include "ui/colour.h"

#include <commdlg.h>

namespace {

// The chooser's custom colours, kept for the life of the process.
COLORREF custom_colours[16];

}  // namespace

int choose_color(COLORREF* colour, HWND owner) {
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = *colour;
    cc.lpCustColors = custom_colours;
    cc.Flags = CC_RGBINIT;
    if (!ChooseColorA(&cc)) return 0;
    *colour = cc.rgbResult;
    return 1;
}

void draw_swatch(const DRAWITEMSTRUCT* item, COLORREF colour) {
    HDC dc = item->hDC;
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ old_pen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ old_brush = SelectObject(dc, brush);
    const RECT& r = item->rcItem;
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
    DeleteObject(brush);
}
