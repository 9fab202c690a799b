// The overlay's drawing primitives on a real top-most popup showing a known
// frozen image, read back pixel by pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "state/app_state.h"
#include "capture/overlay_draw.h"
#include "capture/screen_grab.h"
#include "image/dib.h"

namespace {

constexpr int kClientWidth = 200;
constexpr int kClientHeight = 150;
constexpr COLORREF kBackground = RGB(10, 200, 30);
constexpr uint32_t kBackgroundPixel = 0x0AC81E;  // the same as 0xRRGGBB
constexpr uint32_t kUnpainted = 0xFF00FF;        // what lies under the image

LRESULT CALLBACK quiet_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(w, &ps);
        EndPaint(w, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(w, m, wp, lp);
    }
}

// Pixel (x, y) of the test image as 0xRRGGBB; no pixel equals its inverse.
uint32_t pattern(int x, int y) {
    const uint32_t b = uint32_t(x * 7 + y * 3) & 0xFF;
    const uint32_t g = uint32_t(x * 5 ^ y * 11) & 0xFF;
    const uint32_t r = uint32_t(x + y * 13 + 40) & 0xFF;
    return r << 16 | g << 8 | b;
}

class OverlayDrawTest : public ::testing::Test {
protected:
    // One window for the suite: taking a window off the screen costs
    // seconds under a display without a window manager.
    static void SetUpTestSuite() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = quiet_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "overlay draw test";
        RegisterClassA(&wc);
        window_ =
            CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                            kClientWidth, kClientHeight, nullptr, nullptr, wc.hInstance, nullptr);
        drain();
    }
    static void TearDownTestSuite() {
        if (window_) DestroyWindow(window_);
        window_ = nullptr;
        drain();
    }

    // The overlay is `window_w` x `window_h`, the image one column and one
    // row larger than screen_rect unless told otherwise.
    void open(int image_w = kClientWidth + 1, int image_h = kClientHeight + 1,
              int window_w = kClientWidth, int window_h = kClientHeight) {
        image_w_ = image_w;
        image_h_ = image_h;
        window_w_ = window_w;
        window_h_ = window_h;
        ASSERT_NE(window_, nullptr);
        SetWindowPos(window_, nullptr, 0, 0, window_w, window_h,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        drain();

        image_ = dib_create24(image_w, image_h);
        ASSERT_NE(image_, nullptr);
        auto* header = static_cast<DibHeader*>(mem_lock(image_));
        for (int y = 0; y < image_h; ++y) {
            uint8_t* row = dib_row_top_down(header, y);
            for (int x = 0; x < image_w; ++x) {
                const uint32_t c = pattern(x, y);
                row[3 * x] = uint8_t(c);
                row[3 * x + 1] = uint8_t(c >> 8);
                row[3 * x + 2] = uint8_t(c >> 16);
            }
        }
        // As capture mode holds it: locked for the whole capture.
        g_app.capture.screen_image = image_;
        g_app.capture.screen_header = header;
        g_app.capture.screen_bits = dib_bits_ptr(header);
        g_app.capture.screen_stride = int(dib_stride(image_w, 24));
        g_app.capture.screen_rect = PixelRect{0, 0, kClientWidth, kClientHeight};
        g_app.capture.draw_window = window_;
        g_app.background_colour = kBackground;

        // The first paint: a known colour, then the image 1:1. The painters
        // do not know it, and no kept grab shows this picture.
        overlay_draw_forget();
        grab_release_cache();
        HDC dc = GetDC(window_);
        RECT all = {0, 0, window_w, window_h};
        HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        SetDIBitsToDevice(dc, 0, 0, DWORD(image_w), DWORD(image_h), 0, 0, 0, UINT(image_h),
                          g_app.capture.screen_bits, reinterpret_cast<BITMAPINFO*>(header),
                          DIB_RGB_COLORS);
        ReleaseDC(window_, dc);
    }

    void TearDown() override { close(); }

    void close() {
        if (image_) {
            mem_unlock(image_);
            mem_free(image_);
            image_ = nullptr;
        }
        g_app.capture.screen_image = nullptr;
        g_app.capture.screen_header = nullptr;
        g_app.capture.screen_bits = nullptr;
        g_app.capture.screen_stride = 0;
        g_app.capture.draw_window = nullptr;
        g_app.capture.screen_rect = PixelRect{};
        g_app.background_colour = 0;
        drain();
    }

    static void drain() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }

    // The window's pixels as 0xRRGGBB, row by row from the top.
    std::vector<uint32_t> read_back() const {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = window_w_;
        bi.bmiHeader.biHeight = -window_h_;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP section = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        std::vector<uint32_t> out(size_t(window_w_) * window_h_);
        if (!section) return out;
        HDC dc = GetDC(window_);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, section);
        BitBlt(memory, 0, 0, window_w_, window_h_, dc, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* px = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < out.size(); ++i) out[i] = px[i] & 0xFFFFFF;
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(window_, dc);
        DeleteObject(section);
        return out;
    }

    // What the window shows after the first paint.
    uint32_t shown(int x, int y) const {
        return x < image_w_ && y < image_h_ ? pattern(x, y) : kUnpainted;
    }
    std::vector<uint32_t> first_paint() const {
        std::vector<uint32_t> out(size_t(window_w_) * window_h_);
        for (int y = 0; y < window_h_; ++y)
            for (int x = 0; x < window_w_; ++x) out[size_t(y) * window_w_ + x] = shown(x, y);
        return out;
    }
    uint32_t at(const std::vector<uint32_t>& px, int x, int y) const {
        return px[size_t(y) * window_w_ + x];
    }

    // Checks every pixel against `want(x, y)`; reports the first few misses.
    template <typename Want>
    void expect_pixels(const std::vector<uint32_t>& px, Want want, const char* what) const {
        int misses = 0;
        for (int y = 0; y < window_h_; ++y) {
            for (int x = 0; x < window_w_; ++x) {
                const uint32_t w = want(x, y);
                if (at(px, x, y) != w && ++misses <= 5) {
                    ADD_FAILURE() << what << ": pixel (" << x << "," << y << ") is " << std::hex
                                  << at(px, x, y) << ", want " << w;
                }
            }
        }
        EXPECT_EQ(misses, 0) << what;
    }

    static HWND window_;
    PackedDib image_ = nullptr;
    int image_w_ = 0, image_h_ = 0, window_w_ = 0, window_h_ = 0;
};

HWND OverlayDrawTest::window_ = nullptr;

TEST_F(OverlayDrawTest, CrosshairInvertsItsLinesAndASecondCallRestores) {
    // Also with a desktop origin left of and above the primary monitor: the
    // lines span the client area, the width and height of screen_rect.
    const PixelRect rects[] = {{0, 0, kClientWidth, kClientHeight},
                               {-300, -40, kClientWidth - 300, kClientHeight - 40}};
    open();
    for (const PixelRect& r : rects) {
        g_app.capture.screen_rect = r;
        const PixelPoint p = {37, 141};
        HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
        SetCursor(arrow);
        draw_crosshair(p);
        EXPECT_EQ(GetCursor(), arrow);  // hidden only while drawing
        // The lines cross at p, which is inverted twice and keeps its colour.
        expect_pixels(read_back(), [&](int x, int y) {
            const bool on = (x == p.x) != (y == p.y);
            return on ? ~shown(x, y) & 0xFFFFFF : shown(x, y);
        }, "crosshair");
        draw_crosshair(p);
        EXPECT_EQ(read_back(), first_paint());
    }
}

TEST_F(OverlayDrawTest, FrameInvertsTheOutlineAndASecondCallRestores) {
    open();
    struct Case {
        PixelPoint tl, br;
    };
    const Case cases[] = {{{20, 30}, {60, 70}}, {{0, 0}, {199, 149}}, {{5, 5}, {6, 6}}};
    for (const Case& c : cases) {
        draw_frame(c.tl, c.br);
        expect_pixels(read_back(), [&](int x, int y) {
            const bool inside = x >= c.tl.x && x <= c.br.x && y >= c.tl.y && y <= c.br.y;
            const bool edge = x == c.tl.x || x == c.br.x || y == c.tl.y || y == c.br.y;
            return inside && edge ? ~shown(x, y) & 0xFFFFFF : shown(x, y);
        }, "frame");
        draw_frame(c.tl, c.br);
        EXPECT_EQ(read_back(), first_paint()) << c.tl.x << "," << c.tl.y;
    }
}

TEST_F(OverlayDrawTest, FrameInvertsWhatTheSignedExtentFillsInvert) {
    // The system's own reading of the four signed-extent fills gives the
    // same pixels as the normalised edges.
    open();
    const PixelPoint tl = {20, 30}, br = {60, 70};
    draw_frame(tl, br);
    const std::vector<uint32_t> ours = read_back();
    draw_frame(tl, br);
    HDC dc = GetDC(window_);
    PatBlt(dc, tl.x, tl.y, br.x - tl.x, 1, DSTINVERT);
    PatBlt(dc, tl.x, br.y, 1, tl.y - br.y, DSTINVERT);
    PatBlt(dc, br.x, tl.y, 1, br.y - tl.y, DSTINVERT);
    PatBlt(dc, br.x, br.y, tl.x - br.x, 1, DSTINVERT);
    ReleaseDC(window_, dc);
    EXPECT_EQ(read_back(), ours);
}

// The 25 x 25 square at p: 5 x 5 cells of 5 x 5 pixels, each the colour of
// the image pixel it stands for, or what was there before for pixels
// outside the image.
uint32_t magnified(PixelPoint p, int x, int y, int image_w, int image_h, uint32_t before) {
    const int dx = x - (p.x - 12), dy = y - (p.y - 12);
    if (dx < 0 || dx >= 25 || dy < 0 || dy >= 25) return before;
    const int ix = p.x + dx / 5 - 2, iy = p.y + dy / 5 - 2;
    if (ix < 0 || iy < 0 || ix >= image_w || iy >= image_h) return before;
    return pattern(ix, iy);
}

TEST_F(OverlayDrawTest, MagnifierShowsCellsAndRestoreBringsTheImageBack) {
    open();
    const PixelPoint points[] = {{50, 40}, {2, 2}, {199, 149}};
    for (const PixelPoint& p : points) {
        draw_magnifier(p);
        expect_pixels(read_back(), [&](int x, int y) {
            return magnified(p, x, y, image_w_, image_h_, shown(x, y));
        }, "magnifier");
        restore_magnifier(p);
        EXPECT_EQ(read_back(), first_paint()) << p.x << "," << p.y;
    }
}

TEST_F(OverlayDrawTest, MagnifierLeavesCellsOutsideTheImageUnpainted) {
    // A window larger than the image shows the cells past the image's
    // right and bottom edges.
    open(60, 50, 90, 80);
    const PixelPoint p = {58, 49};
    draw_magnifier(p);
    const std::vector<uint32_t> px = read_back();
    expect_pixels(px, [&](int x, int y) { return magnified(p, x, y, 60, 50, shown(x, y)); },
                  "magnifier at the edge");
    EXPECT_EQ(at(px, 68, 60), kUnpainted);  // cell of image pixel (60, 51)
    EXPECT_EQ(at(px, 63, 50), pattern(59, 49));
    // Inside the image the square is restored; past it the copy is clipped
    // and the magnifier's pixels stay.
    restore_magnifier(p);
    expect_pixels(read_back(), [&](int x, int y) { return x < 60 && y < 50 ? pattern(x, y) : at(px, x, y); },
                  "restored at the edge");
}

TEST_F(OverlayDrawTest, CoverTopLeftShowsTheImageRightOfAndBelowTheCorner) {
    // A 100 % grab (one row and column more than the screen) and a resized
    // one (exactly the screen's size) both put image row y on client row y.
    const int image_sizes[][2] = {{kClientWidth + 1, kClientHeight + 1}, {kClientWidth, kClientHeight}};
    for (const auto& size : image_sizes) {
        open(size[0], size[1]);
        const PixelPoint points[] = {{0, 0}, {30, 20}, {199, 0}};
        for (const PixelPoint& p : points) {
            paint_cover_top_left(p);
            expect_pixels(read_back(), [&](int x, int y) {
                return x >= p.x && y >= p.y ? pattern(x, y) : kBackgroundPixel;
            }, "cover top-left");
        }
        close();
    }
}

TEST_F(OverlayDrawTest, CoverRectShowsOnlyTheSelection) {
    open();
    const PixelPoint tl = {20, 30}, br = {60, 70};
    paint_cover_rect(tl, br);
    expect_pixels(read_back(), [&](int x, int y) {
        const bool inside = x >= tl.x && x <= br.x && y >= tl.y && y <= br.y;
        return inside ? pattern(x, y) : kBackgroundPixel;
    }, "cover rect");
}

TEST_F(OverlayDrawTest, CoverRectOnePixelWideKeepsWhatWasThere) {
    open();
    paint_cover_rect({20, 30}, {60, 70});
    const std::vector<uint32_t> before = read_back();
    paint_cover_rect({40, 30}, {40, 70});
    expect_pixels(read_back(), [&](int x, int y) {
        const bool column = x == 40 && y >= 30 && y <= 70;
        return column ? at(before, x, y) : kBackgroundPixel;
    }, "one pixel wide");
}

TEST_F(OverlayDrawTest, NothingIsDrawnFromAnImageThatIsNotHeld) {
    open();
    g_app.capture.screen_header = nullptr;
    g_app.capture.screen_bits = nullptr;
    draw_magnifier({50, 40});
    restore_magnifier({50, 40});
    paint_cover_top_left({30, 20});
    paint_cover_rect({20, 30}, {60, 70});
    EXPECT_EQ(read_back(), first_paint());
}

TEST_F(OverlayDrawTest, CoverPaintsInARowShowEachStateWhole) {
    // The covered display repaints only what changes from one state to the
    // next; every state must still look as if painted whole, also after a
    // one-pixel-wide selection (which keeps its own pixels) and a repaint.
    open();
    struct Step {
        bool rect;
        PixelPoint a, b;
    };
    const Step steps[] = {
        {false, {30, 20}, {}},    {false, {31, 20}, {}},    {false, {31, 25}, {}},
        {false, {0, 0}, {}},      {false, {199, 149}, {}},  {false, {60, 40}, {}},
        {true, {60, 40}, {90, 70}}, {true, {60, 40}, {91, 70}}, {true, {60, 40}, {91, 69}},
        {true, {61, 41}, {92, 70}}, {true, {10, 100}, {150, 120}}, {true, {10, 100}, {199, 149}},
        {true, {10, 100}, {10, 120}}, {true, {10, 100}, {12, 120}}, {true, {10, 100}, {40, 130}},
        {false, {10, 100}, {}},   {false, {150, 10}, {}},
    };
    std::vector<uint32_t> one_wide;
    for (const Step& s : steps) {
        if (s.rect)
            paint_cover_rect(s.a, s.b);
        else
            paint_cover_top_left(s.a);
        const PixelRect shown = s.rect ? PixelRect{s.a.x, s.a.y, s.b.x + 1, s.b.y + 1}
                                       : PixelRect{s.a.x, s.a.y, kClientWidth, kClientHeight};
        const std::vector<uint32_t> px = read_back();
        if (s.rect && s.a.x == s.b.x) {
            one_wide = px;
            continue;
        }
        expect_pixels(px, [&](int x, int y) {
            const bool in = x >= shown.left && x < shown.right && y >= shown.top && y < shown.bottom;
            return in ? pattern(x, y) : kBackgroundPixel;
        }, s.rect ? "cover rect in a row" : "cover top-left in a row");
    }
    ASSERT_FALSE(one_wide.empty());

    // Drawing by anyone else, then a repaint: the next paint is whole again.
    paint_cover_rect({20, 30}, {60, 70});
    HDC dc = GetDC(window_);
    PatBlt(dc, 0, 0, kClientWidth, kClientHeight, BLACKNESS);
    ReleaseDC(window_, dc);
    overlay_draw_forget();
    paint_cover_rect({20, 30}, {61, 70});
    expect_pixels(read_back(), [&](int x, int y) {
        const bool in = x >= 20 && x <= 61 && y >= 30 && y <= 70;
        return in ? pattern(x, y) : kBackgroundPixel;
    }, "after a repaint");
}

TEST_F(OverlayDrawTest, PicturesFromTheKeptGrabPaintAsTheirBlocksDo) {
    // The overlay paints a capture's picture from the grab's kept bitmap;
    // each primitive must give the pixels it gives from the picture's block,
    // at the edges too.
    open();
    g_app.capture.screen_rect = PixelRect{0, 0, kClientWidth, kClientHeight};
    g_app.scaling_percent = 100;
    // The window reaches the screen when the system gets round to it.
    PackedDib grabbed = nullptr;
    for (int tries = 0; tries < 200 && !grabbed; ++tries) {
        grabbed = grab_for_capture();
        ASSERT_NE(grabbed, nullptr);
        auto* h = static_cast<DibHeader*>(mem_lock(grabbed));
        bool same = h->biWidth == kClientWidth + 1 && h->biHeight == kClientHeight + 1;
        for (int y = 0; same && y < kClientHeight; ++y) {
            const uint8_t* row = dib_row_top_down(h, y);
            for (int x = 0; same && x < kClientWidth; ++x)
                same = (uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x]) ==
                       pattern(x, y);
        }
        mem_unlock(grabbed);
        if (!same) {
            grab_take_back(grabbed);
            grabbed = nullptr;
            drain();
            Sleep(20);
        }
    }
    ASSERT_NE(grabbed, nullptr) << "the window never reached the screen";
    PixelRect all = {0, 0, kClientWidth + 1, kClientHeight + 1};
    PackedDib copy = dib_crop24(grabbed, &all);
    ASSERT_NE(copy, nullptr);

    auto paint_all = [&](PackedDib picture) {
        auto* h = static_cast<DibHeader*>(mem_lock(picture));
        g_app.capture.screen_image = picture;
        g_app.capture.screen_header = h;
        g_app.capture.screen_bits = dib_bits_ptr(h);
        g_app.capture.screen_stride = int(dib_stride(h->biWidth, 24));
        std::vector<std::vector<uint32_t>> shots;
        HDC dc = GetDC(window_);
        RECT whole = {0, 0, kClientWidth, kClientHeight};
        HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc, &whole, brush);
        RECT part = {13, 7, 150, 149};
        paint_picture(dc, part);
        ReleaseDC(window_, dc);
        shots.push_back(read_back());
        for (const PixelPoint& p : {PixelPoint{0, 0}, PixelPoint{199, 149}, PixelPoint{5, 140}}) {
            draw_magnifier(p);
            restore_magnifier(p);
        }
        shots.push_back(read_back());
        dc = GetDC(window_);
        FillRect(dc, &whole, brush);
        ReleaseDC(window_, dc);
        DeleteObject(brush);
        paint_cover_top_left({30, 20});
        paint_cover_top_left({33, 18});
        paint_cover_rect({33, 18}, {199, 149});
        paint_cover_rect({33, 18}, {120, 100});
        shots.push_back(read_back());
        mem_unlock(picture);
        return shots;
    };
    const auto kept = paint_all(grabbed);
    const auto plain = paint_all(copy);
    ASSERT_EQ(kept.size(), plain.size());
    for (size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(kept[i], plain[i]) << "shot " << i;
    // The first shot is the picture itself where it was painted.
    expect_pixels(kept[0], [&](int x, int y) {
        const bool in = x >= 13 && x < 150 && y >= 7 && y < 149;
        return in ? pattern(x, y) : kUnpainted;
    }, "paint from the kept grab");

    g_app.capture.screen_image = nullptr;
    g_app.capture.screen_header = nullptr;
    g_app.capture.screen_bits = nullptr;
    grab_take_back(grabbed);
    mem_free(copy);
    grab_release_cache();
}

}  // namespace
