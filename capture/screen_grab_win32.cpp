#include "capture/screen_grab.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "state/app_state.h"
#include "capture/monitors.h"
#include "capture/overlay_geometry.h"
#include "image/scale.h"

namespace {

// Areas smaller than this in either direction are never grabbed.
constexpr int kMinGrabSide = 16;

}  // namespace

void update_screen_rect() {
    RECT r = {0, 0, 0, 0};
    if (g_app.flags & kFlagPrimaryOnly) {
        GetWindowRect(GetDesktopWindow(), &r);
    } else {
        monitors_union(&r);
    }
    g_app.capture.screen_rect = PixelRect{r.left, r.top, r.right, r.bottom};
}

namespace {

// The desktop as the system reports it to the program.
PixelRect virtual_screen() {
    const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return PixelRect{vx, vy, vx + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                     vy + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace

PackedDib grab_screen(int x1, int y1, int x2, int y2) {
    return grab_screen_clipped(x1, y1, x2, y2, virtual_screen());
}

PackedDib grab_screen_clipped(int x1, int y1, int x2, int y2, const PixelRect& clip) {
    const int64_t w = std::llabs(int64_t(x2) - x1) + 1;
    const int64_t h = std::llabs(int64_t(y2) - y1) + 1;
    if (w < kMinGrabSide || h < kMinGrabSide || w > INT32_MAX || h > INT32_MAX) return nullptr;

    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    if (!screen) return nullptr;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(screen, int(w), int(h)) : nullptr;
    if (!bitmap) {
        if (memory) DeleteDC(memory);
        ReleaseDC(desktop, screen);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    // Copy only the part that lies on the desktop; the rest stays black.
    // (A grab at 100 % reaches one pixel past the right and bottom edges,
    // and some display drivers copy nothing at all for such a source.)
    const int left = std::min(x1, x2), top = std::min(y1, y2);
    PatBlt(memory, 0, 0, int(w), int(h), BLACKNESS);
    const int cl = std::max(left, int(clip.left)), ct = std::max(top, int(clip.top));
    const int cr = int(std::min<int64_t>(left + w, clip.right));
    const int cb = int(std::min<int64_t>(top + h, clip.bottom));
    if (cl < cr && ct < cb)
        BitBlt(memory, cl - left, ct - top, cr - cl, cb - ct, screen, cl, ct, SRCCOPY);
    // GetDIBits wants the bitmap out of every device context.
    SelectObject(memory, old);
    PackedDib dib = bitmap_to_dib24(screen, bitmap);
    DeleteDC(memory);
    ReleaseDC(desktop, screen);
    DeleteObject(bitmap);
    return dib;
}

PackedDib bitmap_to_dib24(HDC dc, HBITMAP bitmap) {
    BITMAP info;
    if (GetObjectA(bitmap, sizeof info, &info) != sizeof info) return nullptr;
    if (uint16_t(info.bmPlanes * info.bmBitsPixel) <= 8) return nullptr;
    if (info.bmWidth <= 0 || info.bmHeight <= 0) return nullptr;

    const int64_t stride = dib_stride(info.bmWidth, 24);
    const int64_t image_size = stride * info.bmHeight;
    if (image_size > int64_t(kMemBlockMaxSize) - int64_t(sizeof(DibHeader))) return nullptr;
    PackedDib dib = mem_alloc(sizeof(DibHeader) + size_t(image_size));
    if (!dib) return nullptr;
    int rows = 0;
    {
        MemLock<DibHeader> header(dib);
        if (header) {
            header->biSize = sizeof(DibHeader);
            header->biWidth = info.bmWidth;
            header->biHeight = info.bmHeight;
            header->biPlanes = 1;
            header->biBitCount = 24;
            header->biCompression = BI_RGB;
            header->biSizeImage = uint32_t(image_size);
            rows = GetDIBits(dc, bitmap, 0, UINT(info.bmHeight), dib_bits_ptr(header.get()),
                             reinterpret_cast<BITMAPINFO*>(header.get()), DIB_RGB_COLORS);
        }
    }
    if (rows == 0) {
        mem_free(dib);
        return nullptr;
    }
    return dib;
}

PackedDib grab_for_capture() {
    const GrabPlan plan =
        overlay_grab_plan(g_app.capture.screen_rect, g_app.scaling_percent, virtual_screen());
    PackedDib grab = grab_screen_clipped(plan.area.left, plan.area.top, plan.area.right,
                                         plan.area.bottom, plan.clip);
    if (!grab || plan.resize_width == 0) return grab;
    PackedDib resized = dib_scale(grab, plan.resize_width, plan.resize_height);
    if (!resized) return grab;
    mem_free(grab);
    return resized;
}
