#include "capture/overlay_draw.h"

#include <windows.h>

#include "state/app_state.h"
#include "capture/overlay_geometry.h"
#include "capture/screen_grab.h"
#include "ui/dpi.h"

namespace {

// The overlay's device context for the length of one primitive.
class OverlayDc {
public:
    OverlayDc() : window_(g_app.capture.draw_window), dc_(GetDC(window_)) {}
    ~OverlayDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    OverlayDc(const OverlayDc&) = delete;
    OverlayDc& operator=(const OverlayDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Hides the pointer while marks are inverted under it.
class HiddenCursor {
public:
    HiddenCursor() : previous_(SetCursor(nullptr)) {}
    ~HiddenCursor() { SetCursor(previous_); }
    HiddenCursor(const HiddenCursor&) = delete;
    HiddenCursor& operator=(const HiddenCursor&) = delete;

private:
    HCURSOR previous_;
};

// The magnifier's cell side at the overlay's DPI.
int magnifier_cell() {
    return overlay_magnifier_cell_for_dpi(window_dpi(g_app.capture.draw_window));
}

bool image_locked() { return g_app.capture.screen_header && g_app.capture.screen_bits; }

int image_width() { return g_app.capture.screen_header->biWidth; }
int image_height() { return g_app.capture.screen_header->biHeight; }

// Client extents of the overlay: it covers screen_rect, whose origin may be
// negative on desktops with monitors left of or above the primary one.
int client_width() { return g_app.capture.screen_rect.right - g_app.capture.screen_rect.left; }
int client_height() { return g_app.capture.screen_rect.bottom - g_app.capture.screen_rect.top; }

void invert(HDC dc, const PixelRect& r) {
    PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, DSTINVERT);
}

void fill(HDC dc, const PixelRect& r, HBRUSH brush) {
    RECT rect = {r.left, r.top, r.right, r.bottom};
    FillRect(dc, &rect, brush);
}

void copy_from_image(HDC dc, const DibBlit& b) {
    if (grab_blit_shown(dc, b)) return;
    SetDIBitsToDevice(dc, b.dest_x, b.dest_y, DWORD(b.width), DWORD(b.height), b.src_x, b.src_y, 0,
                      UINT(image_height()), g_app.capture.screen_bits,
                      reinterpret_cast<const BITMAPINFO*>(g_app.capture.screen_header),
                      DIB_RGB_COLORS);
}

void paint_cover(HDC dc, const CoverPlan& plan) {
    HBRUSH brush = CreateSolidBrush(COLORREF(g_app.background_colour));
    for (int i = 0; i < plan.fill_count; ++i) fill(dc, plan.fills[i], brush);
    if (plan.has_blit) copy_from_image(dc, plan.blit);
    DeleteObject(brush);
}

// What the covered display shows after the last cover paint, when that is
// known exactly.
struct {
    bool known = false;
    PixelRect image = {};
} cover;

// Paints the covered display `next` whose full paint is `plan`: only the
// changed bands when the display before is known exactly, else everything.
void paint_cover_as(HDC dc, const CoverPlan& plan, const CoverShown& next) {
    if (cover.known && next.exact) {
        const CoverDelta delta = overlay_cover_delta(cover.image, next.image, image_height());
        if (delta.fill_count) {
            HBRUSH brush = CreateSolidBrush(COLORREF(g_app.background_colour));
            for (int i = 0; i < delta.fill_count; ++i) fill(dc, delta.fills[i], brush);
            DeleteObject(brush);
        }
        for (int i = 0; i < delta.blit_count; ++i) copy_from_image(dc, delta.blits[i]);
    } else {
        paint_cover(dc, plan);
    }
    cover.known = next.exact != 0;
    cover.image = next.image;
}

}  // namespace

void overlay_draw_forget() { cover.known = false; }

void paint_picture(HDC dc, const RECT& area) {
    overlay_draw_forget();
    if (!image_locked() || area.left >= area.right || area.top >= area.bottom) return;
    copy_from_image(dc, DibBlit{int(area.left), int(area.top), int(area.right - area.left),
                                int(area.bottom - area.top), int(area.left),
                                image_height() - int(area.bottom)});
}

void draw_crosshair(PixelPoint p) {
    overlay_draw_forget();
    HiddenCursor hidden;
    OverlayDc dc;
    PixelRect lines[2];
    overlay_crosshair_lines(p, client_width(), client_height(), lines);
    for (const PixelRect& line : lines) invert(dc.get(), line);
}

void draw_frame(PixelPoint tl, PixelPoint br) {
    overlay_draw_forget();
    HiddenCursor hidden;
    OverlayDc dc;
    PixelRect edges[4];
    overlay_frame_edges(tl, br, edges);
    for (const PixelRect& edge : edges) invert(dc.get(), edge);
}

void draw_magnifier(PixelPoint p) {
    overlay_draw_forget();
    if (!image_locked()) return;
    ImageView image;
    image.bits = g_app.capture.screen_bits;
    image.width = image_width();
    image.height = image_height();
    image.stride = g_app.capture.screen_stride;
    MagnifierCell cells[kMagnifierCells * kMagnifierCells];
    const int count = overlay_magnifier_cells(p, image, cells, magnifier_cell());
    OverlayDc dc;
    for (int i = 0; i < count; ++i) {
        HBRUSH brush = CreateSolidBrush(COLORREF(cells[i].colour));
        fill(dc.get(), cells[i].rect, brush);
        DeleteObject(brush);
    }
}

void restore_magnifier(PixelPoint p) {
    overlay_draw_forget();
    if (!image_locked()) return;
    OverlayDc dc;
    copy_from_image(dc.get(), overlay_magnifier_restore(p, image_height(), magnifier_cell()));
}

void paint_cover_top_left(PixelPoint p) {
    if (!image_locked()) return;
    OverlayDc dc;
    paint_cover_as(dc.get(),
                   overlay_cover_top_left(p, client_width(), client_height(), image_height()),
                   overlay_cover_top_left_shown(p, client_width(), client_height(), image_width(),
                                                image_height()));
}

void paint_cover_rect(PixelPoint tl, PixelPoint br) {
    if (!image_locked()) return;
    OverlayDc dc;
    paint_cover_as(dc.get(), overlay_cover_rect(tl, br, image_width(), image_height()),
                   overlay_cover_rect_shown(tl, br, client_width(), client_height(),
                                            image_width(), image_height()));
}
