#include "capture/screen_grab.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "state/settings.h"
#include "state/window_messages.h"
#include "capture/overlay_geometry.h"
#include "image/scale.h"
#include "state/app_state.h"
#include "ui/monitors.h"

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

// What the system tells of the program's DPI awareness (see
// overlay_scaling_in_force), through functions looked up at run time:
// Windows 7 has only IsProcessDPIAware, the awareness contexts came later.
int thread_dpi_awareness() {
    HMODULE user32 = GetModuleHandleA("USER32");
    auto get_context = reinterpret_cast<HANDLE(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    auto awareness_of = reinterpret_cast<int(WINAPI*)(HANDLE)>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    return get_context && awareness_of ? awareness_of(get_context()) : -1;
}

int process_dpi_aware() {
    auto is_aware = reinterpret_cast<BOOL(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("USER32"), "IsProcessDPIAware")));
    return is_aware ? (is_aware() ? 1 : 0) : -1;
}

}  // namespace

namespace {

// The desktop copied into `memory` (a bitmap of w x h selected): the area
// from (left, top), only the part inside `clip`; the rest is made black.
// (A grab at 100 % reaches one pixel past the right and bottom edges, and
// some display drivers copy nothing at all for such a source.)
void copy_desktop(HDC memory, HDC screen, int left, int top, int w, int h, const PixelRect& clip) {
    const PixelRect area{left, top, int(std::min<int64_t>(int64_t(left) + w, INT32_MAX)),
                         int(std::min<int64_t>(int64_t(top) + h, INT32_MAX))};
    const PixelRect on_desktop{std::max(area.left, clip.left), std::max(area.top, clip.top),
                               std::min(area.right, clip.right), std::min(area.bottom, clip.bottom)};
    PixelRect black[4];
    const int strips = overlay_rect_subtract(area, on_desktop, black);
    for (int i = 0; i < strips; ++i)
        PatBlt(memory, black[i].left - left, black[i].top - top, black[i].right - black[i].left,
               black[i].bottom - black[i].top, BLACKNESS);
    if (on_desktop.left < on_desktop.right && on_desktop.top < on_desktop.bottom)
        BitBlt(memory, on_desktop.left - left, on_desktop.top - top,
               on_desktop.right - on_desktop.left, on_desktop.bottom - on_desktop.top, screen,
               on_desktop.left, on_desktop.top, SRCCOPY);
}

// Width and height of the area between two inclusive corners; false for
// areas that are never grabbed.
bool grab_size(int x1, int y1, int x2, int y2, int* w, int* h) {
    const int64_t w64 = std::llabs(int64_t(x2) - x1) + 1;
    const int64_t h64 = std::llabs(int64_t(y2) - y1) + 1;
    if (w64 < kMinGrabSide || h64 < kMinGrabSide || w64 > INT32_MAX || h64 > INT32_MAX) return false;
    *w = int(w64);
    *h = int(h64);
    return true;
}

// What capture grabs keep while the screen keeps its size: a memory DC with
// a 32-bit bitmap the desktop is copied into, and one picture block of the
// same size that no capture holds. Making and first touching blocks of the
// screen's size cost a capture start several times the copy itself; these
// are made again only when the size changes, and freed at the program's end.
struct GrabCache {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    const uint8_t* bits = nullptr;  // bottom-up rows of 32-bit pixels, no padding
    int width = 0;
    int height = 0;
    PackedDib spare = nullptr;
    // The picture the last grab made from the bitmap, while capture mode
    // holds it: the overlay paints it from the bitmap.
    PackedDib shown = nullptr;
};
GrabCache cache;

void free_bitmap() {
    if (cache.dc) {
        SelectObject(cache.dc, cache.old_bitmap);
        DeleteDC(cache.dc);
    }
    if (cache.bitmap) DeleteObject(cache.bitmap);
    cache.dc = nullptr;
    cache.bitmap = nullptr;
    cache.old_bitmap = nullptr;
    cache.bits = nullptr;
    cache.width = cache.height = 0;
    cache.shown = nullptr;
}

bool picture_fits(PackedDib picture, int width, int height) {
    MemLock<const DibHeader> h(picture);
    return h && h->biBitCount == 24 && h->biWidth == width && h->biHeight == height &&
           mem_size(picture) >= sizeof(DibHeader) + size_t(dib_stride(width, 24)) * size_t(height);
}

// The kept bitmap at w x h, made anew (and the spare picture dropped) when
// the size has changed.
bool keep_bitmap(HDC screen, int w, int h) {
    if (cache.dc && cache.width == w && cache.height == h) return true;
    free_bitmap();
    mem_free(cache.spare);
    cache.spare = nullptr;
    if (int64_t(w) * h * 4 > int64_t(kMemBlockMaxSize)) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    cache.dc = CreateCompatibleDC(screen);
    cache.bitmap = cache.dc ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                            : nullptr;
    if (!cache.bitmap || !bits) {
        free_bitmap();
        return false;
    }
    cache.old_bitmap = SelectObject(cache.dc, cache.bitmap);
    cache.bits = static_cast<const uint8_t*>(bits);
    cache.width = w;
    cache.height = h;
    return true;
}

// The kept bitmap as a 24-bit picture, in the spare block when there is one.
PackedDib picture_from_bitmap() {
    PackedDib picture = cache.spare ? cache.spare : dib_create24(cache.width, cache.height);
    cache.spare = nullptr;
    MemLock<DibHeader> h(picture);
    if (!h) {
        h.unlock();
        mem_free(picture);
        return nullptr;
    }
    dib_write_header(h.get(), cache.width, cache.height, 24, 0);
    const int64_t stride = dib_stride(cache.width, 24);
    const int padding = dib_row_padding(cache.width, 24);
    uint8_t* row = dib_bits_ptr(h.get());
    const uint8_t* from = cache.bits;
    for (int y = 0; y < cache.height; ++y, row += stride, from += 4 * int64_t(cache.width)) {
        overlay_row_32_to_24(from, row, cache.width);
        for (int i = 0; i < padding; ++i) row[3 * int64_t(cache.width) + i] = 0;
    }
    return picture;
}

// The capture grab through the kept bitmap; null when it cannot be made.
PackedDib grab_kept(int x1, int y1, int x2, int y2, const PixelRect& clip) {
    int w = 0, h = 0;
    if (!grab_size(x1, y1, x2, y2, &w, &h)) return nullptr;
    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    if (!screen) return nullptr;
    const bool kept = keep_bitmap(screen, w, h);
    if (kept) copy_desktop(cache.dc, screen, std::min(x1, x2), std::min(y1, y2), w, h, clip);
    ReleaseDC(desktop, screen);
    if (!kept) return nullptr;
    GdiFlush();  // the bits are read directly
    return picture_from_bitmap();
}

}  // namespace

PackedDib grab_screen(int x1, int y1, int x2, int y2) {
    return grab_screen_clipped(x1, y1, x2, y2, virtual_screen());
}

PackedDib grab_screen_clipped(int x1, int y1, int x2, int y2, const PixelRect& clip) {
    int w = 0, h = 0;
    if (!grab_size(x1, y1, x2, y2, &w, &h)) return nullptr;

    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    if (!screen) return nullptr;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(screen, w, h) : nullptr;
    if (!bitmap) {
        if (memory) DeleteDC(memory);
        ReleaseDC(desktop, screen);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    copy_desktop(memory, screen, std::min(x1, x2), std::min(y1, y2), w, h, clip);
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
    const int percent =
        overlay_scaling_in_force(g_app.scaling_percent, thread_dpi_awareness(), process_dpi_aware());
    const GrabPlan plan = overlay_grab_plan(g_app.capture.screen_rect, percent, virtual_screen());
    PackedDib grab = grab_kept(plan.area.left, plan.area.top, plan.area.right, plan.area.bottom,
                               plan.clip);
    if (!grab) return nullptr;
    // The picture as grabbed is what the kept bitmap shows; a resized one is not.
    if (plan.resize_width == 0) {
        cache.shown = grab;
        return grab;
    }
    PackedDib resized = dib_scale(grab, plan.resize_width, plan.resize_height);
    if (!resized) {
        cache.shown = grab;
        return grab;
    }
    grab_take_back(grab);
    return resized;
}

void grab_take_back(PackedDib picture) {
    if (!picture) return;
    if (picture == cache.shown) cache.shown = nullptr;
    if (!cache.spare && cache.dc && picture_fits(picture, cache.width, cache.height)) {
        cache.spare = picture;
        return;
    }
    mem_free(picture);
}

PackedDib grab_prepare() {
    if (g_app.capture.screen_image) return nullptr;
    update_screen_rect();
    grab_take_back(grab_for_capture());
    return cache.spare;
}

void grab_release_cache() {
    free_bitmap();
    mem_free(cache.spare);
    cache.spare = nullptr;
}

void grab_rest_arm(HWND window) {
    int seconds = settings_read_int(kSectionSystem, "RestSeconds", kRestSeconds);
    if (seconds < 1 || seconds > 3600) seconds = kRestSeconds;
    SetTimer(window, kRestTimerId, UINT(seconds) * 1000, nullptr);
}

bool grab_rest_timer(HWND window, WPARAM id) {
    if (id != kRestTimerId) return false;
    KillTimer(window, kRestTimerId);
    if (!g_app.capture.screen_image) grab_release_cache();
    return true;
}

bool grab_blit_shown(HDC dc, const DibBlit& blit) {
    if (!cache.shown || cache.shown != g_app.capture.screen_image || !cache.dc) return false;
    const DibBlit b = overlay_clip_blit(blit, cache.width, cache.height);
    if (b.width > 0 && b.height > 0)
        BitBlt(dc, b.dest_x, b.dest_y, b.width, b.height, cache.dc, b.src_x,
               cache.height - b.src_y - b.height, SRCCOPY);
    return true;
}
