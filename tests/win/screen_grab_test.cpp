// Grabbing the desktop: a window with a known pattern at a known place is
// grabbed back through the desktop device context.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "state/app_state.h"
#include "capture/screen_grab.h"
#include "image/dib.h"
#include "image/scale.h"
#include "sys/pump.h"
#include "tests/win/dpi_unaware.h"

namespace {

constexpr int kLeft = 300, kTop = 200, kWidth = 64, kHeight = 48;

// Pixel (x, y) of the window as 0xRRGGBB.
uint32_t pattern(int x, int y) {
    return uint32_t(x * 4 + 1) << 16 | uint32_t(y * 5 + 2) << 8 | uint32_t((x ^ y) * 3 + 7);
}

LRESULT CALLBACK pattern_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        std::vector<uint32_t> px(size_t(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) px[size_t(y) * kWidth + x] = pattern(x, y);
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = kWidth;
        bi.bmiHeader.biHeight = -kHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        SetDIBitsToDevice(dc, 0, 0, kWidth, kHeight, 0, 0, 0, kHeight, px.data(), &bi,
                          DIB_RGB_COLORS);
        EndPaint(w, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(w, m, wp, lp);
    }
}

// Pixel (x, y) of a locked 24-bit block as 0xRRGGBB.
uint32_t pixel(DibHeader* header, int x, int y) {
    const uint8_t* p = dib_row_top_down(header, y) + 3 * x;
    return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

bool shows_pattern(PackedDib dib) {
    if (!dib) return false;
    auto* h = static_cast<DibHeader*>(mem_lock(dib));
    bool same = h->biWidth == kWidth && h->biHeight == kHeight;
    for (int y = 0; same && y < kHeight; ++y)
        for (int x = 0; same && x < kWidth; ++x) same = pixel(h, x, y) == pattern(x, y);
    mem_unlock(dib);
    return same;
}

bool same_block(PackedDib a, PackedDib b) {
    if (!a || !b) return false;
    auto* ha = static_cast<DibHeader*>(mem_lock(a));
    auto* hb = static_cast<DibHeader*>(mem_lock(b));
    const bool same = std::memcmp(ha, hb, sizeof(DibHeader)) == 0 &&
                      std::memcmp(dib_bits_ptr(ha), dib_bits_ptr(hb), ha->biSizeImage) == 0;
    mem_unlock(b);
    mem_unlock(a);
    return same;
}

class ScreenGrabTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = pattern_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "screen grab test";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, kLeft,
                                  kTop, kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
        // The window reaches the screen when the system gets round to it.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            PackedDib dib = grab_screen(kLeft, kTop, kLeft + kWidth - 1, kTop + kHeight - 1);
            const bool ready = shows_pattern(dib);
            if (dib) mem_free(dib);
            if (ready) {
                shown_ = true;
                break;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    static void TearDownTestSuite() {
        if (window_) DestroyWindow(window_);
        window_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(shown_) << "the pattern window never reached the screen"; }
    void TearDown() override {
        for (PackedDib d : owned_) mem_free(d);
        grab_release_cache();
        g_app.flags = kDefaultFlags;
        g_app.scaling_percent = 100;
        g_app.capture.screen_rect = PixelRect{};
        pump_set_hook(nullptr);
    }
    PackedDib keep(PackedDib d) {
        if (d) owned_.push_back(d);
        return d;
    }

    static HWND window_;
    static bool shown_;
    std::vector<PackedDib> owned_;
};
HWND ScreenGrabTest::window_ = nullptr;
bool ScreenGrabTest::shown_ = false;

TEST_F(ScreenGrabTest, GrabIsABottomUpBgrDibWithAPlainHeader) {
    PackedDib dib = keep(grab_screen(kLeft, kTop, kLeft + kWidth - 1, kTop + kHeight - 1));
    ASSERT_NE(dib, nullptr);
    auto* h = static_cast<DibHeader*>(mem_lock(dib));
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, kWidth);
    EXPECT_EQ(h->biHeight, kHeight);
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biBitCount, 24);
    EXPECT_EQ(h->biCompression, 0u);
    EXPECT_EQ(h->biSizeImage, uint32_t(dib_stride(kWidth, 24) * kHeight));
    EXPECT_EQ(h->biXPelsPerMeter, 0);
    EXPECT_EQ(h->biYPelsPerMeter, 0);
    EXPECT_EQ(h->biClrUsed, 0u);
    EXPECT_EQ(h->biClrImportant, 0u);
    EXPECT_GE(mem_size(dib), 40 + size_t(h->biSizeImage));
    // The first stored row is the bottom row of the area, pixels B, G, R.
    const uint8_t* first = dib_bits_ptr(h);
    const uint32_t c = pattern(0, kHeight - 1);
    EXPECT_EQ(first[0], uint8_t(c));
    EXPECT_EQ(first[1], uint8_t(c >> 8));
    EXPECT_EQ(first[2], uint8_t(c >> 16));
    mem_unlock(dib);
    EXPECT_TRUE(shows_pattern(dib));
}

TEST_F(ScreenGrabTest, CornersMayComeInEitherOrder) {
    const int r = kLeft + kWidth - 1, b = kTop + kHeight - 1;
    const int corners[][4] = {{r, b, kLeft, kTop}, {kLeft, b, r, kTop}, {r, kTop, kLeft, b}};
    for (const auto& c : corners)
        EXPECT_TRUE(shows_pattern(keep(grab_screen(c[0], c[1], c[2], c[3]))));
}

TEST_F(ScreenGrabTest, AreasUnderSixteenPixelsAreRefused) {
    struct Case {
        int x1, y1, x2, y2;
        int width, height;  // 0: refused
    };
    const Case cases[] = {
        {0, 0, 14, 100, 0, 0},   {0, 0, 100, 14, 0, 0}, {14, 14, 0, 0, 0, 0},
        {15, 0, 0, 15, 16, 16},  {0, 0, 15, 15, 16, 16}, {-5, 3, 10, 30, 16, 28},
    };
    for (const Case& c : cases) {
        PackedDib dib = keep(grab_screen(c.x1, c.y1, c.x2, c.y2));
        if (c.width == 0) {
            EXPECT_EQ(dib, nullptr) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
            continue;
        }
        ASSERT_NE(dib, nullptr);
        auto* h = static_cast<DibHeader*>(mem_lock(dib));
        EXPECT_EQ(h->biWidth, c.width);
        EXPECT_EQ(h->biHeight, c.height);
        mem_unlock(dib);
    }
}

TEST_F(ScreenGrabTest, BitmapConversionRefusesPaletteDepths) {
    struct Case {
        UINT bits;
        bool converted;
    };
    const Case cases[] = {{1, false}, {4, false}, {8, false}, {16, true}, {32, true}};
    std::vector<uint32_t> px(16 * 16);
    for (int i = 0; i < 256; ++i) px[size_t(i)] = pattern(i % 16, i / 16);
    HDC screen = GetDC(nullptr);
    for (const Case& c : cases) {
        HBITMAP bitmap = CreateBitmap(16, 16, 1, c.bits, c.bits == 32 ? px.data() : nullptr);
        ASSERT_NE(bitmap, nullptr) << c.bits;
        PackedDib dib = keep(bitmap_to_dib24(screen, bitmap));
        EXPECT_EQ(dib != nullptr, c.converted) << c.bits;
        if (dib && c.bits == 32) {
            auto* h = static_cast<DibHeader*>(mem_lock(dib));
            EXPECT_EQ(h->biBitCount, 24);
            EXPECT_EQ(pixel(h, 3, 0), pattern(3, 0));
            EXPECT_EQ(pixel(h, 15, 15), pattern(15, 15));
            mem_unlock(dib);
        }
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
}

TEST_F(ScreenGrabTest, ScreenRectIsTheDesktopOrTheMonitorUnion) {
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    g_app.flags = kDefaultFlags | kFlagPrimaryOnly;
    update_screen_rect();
    EXPECT_EQ(g_app.capture.screen_rect.left, desktop.left);
    EXPECT_EQ(g_app.capture.screen_rect.top, desktop.top);
    EXPECT_EQ(g_app.capture.screen_rect.right, desktop.right);
    EXPECT_EQ(g_app.capture.screen_rect.bottom, desktop.bottom);

    g_app.flags = kDefaultFlags & ~kFlagPrimaryOnly;
    update_screen_rect();
    const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    EXPECT_EQ(g_app.capture.screen_rect.left, std::min(vx, 0));
    EXPECT_EQ(g_app.capture.screen_rect.top, std::min(vy, 0));
    EXPECT_EQ(g_app.capture.screen_rect.right, vx + GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(g_app.capture.screen_rect.bottom, vy + GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TEST_F(ScreenGrabTest, CaptureGrabAtFullScaleIncludesTheEdgeBeyond) {
    g_app.capture.screen_rect = PixelRect{kLeft, kTop, kLeft + kWidth - 1, kTop + kHeight - 1};
    g_app.scaling_percent = 100;
    PackedDib dib = keep(grab_for_capture());
    EXPECT_TRUE(shows_pattern(dib));
}

TEST_F(ScreenGrabTest, CaptureGrabUnderScalingIsResizedToTheCoveredArea) {
    // screen_rect (200, 140)-(242, 172) at 150 % is the physical area
    // (300, 210)-(363, 258).
    g_app.capture.screen_rect = PixelRect{200, 140, 242, 172};
    g_app.scaling_percent = 150;
    // A DPI-aware program grabs the screen's pixels 1:1 whatever Scaling says.
    EXPECT_TRUE(same_block(keep(grab_for_capture()), keep(grab_screen(200, 140, 242, 172))));

    DpiUnawareScope unaware;
    ASSERT_TRUE(unaware.took());
    PackedDib dib = keep(grab_for_capture());
    PackedDib physical = keep(grab_screen(300, 210, 363, 258));
    PackedDib want = keep(dib_scale(physical, 42, 32));
    EXPECT_TRUE(same_block(dib, want));

    // A resize that gives up (the program quitting) leaves the physical grab.
    pump_set_hook([] { return 1; });
    PackedDib unscaled = keep(grab_for_capture());
    pump_set_hook(nullptr);
    EXPECT_TRUE(same_block(unscaled, physical));
}

TEST_F(ScreenGrabTest, CaptureGrabsUseTheKeptBlockAndCopyTheScreenAnew) {
    g_app.capture.screen_rect = PixelRect{kLeft, kTop, kLeft + kWidth - 1, kTop + kHeight - 1};
    PackedDib first = grab_for_capture();
    ASSERT_TRUE(shows_pattern(first));
    // Handed back through the capture state, as the end of a capture does.
    CaptureState capture;
    capture.take_back_screen = grab_take_back;
    capture.screen_image = first;
    capture.screen_header = static_cast<DibHeader*>(mem_lock(first));
    capture.screen_bits = dib_bits_ptr(capture.screen_header);
    capture_release_screen(&capture);
    EXPECT_EQ(capture.screen_image, nullptr);
    EXPECT_EQ(capture.screen_header, nullptr);
    // Kept unlocked; spoil its pixels: the next grab must copy all of them.
    auto* h = static_cast<DibHeader*>(mem_lock(first));
    ASSERT_NE(h, nullptr);
    std::memset(dib_bits_ptr(h), 0x5A, h->biSizeImage);
    h->biClrUsed = 7;
    mem_unlock(first);
    EXPECT_EQ(GlobalFlags(first) & GMEM_LOCKCOUNT, 0u);

    PackedDib second = keep(grab_for_capture());
    EXPECT_EQ(second, first);
    EXPECT_TRUE(shows_pattern(second));
    h = static_cast<DibHeader*>(mem_lock(second));
    EXPECT_EQ(h->biClrUsed, 0u);
    // Row padding is zero, as a fresh block has it.
    const int64_t stride = dib_stride(kWidth, 24);
    const uint8_t* bits = dib_bits_ptr(h);
    int dirty = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int64_t i = 3 * kWidth; i < stride; ++i) dirty += bits[y * stride + i] != 0;
    EXPECT_EQ(dirty, 0);
    mem_unlock(second);

    // Another size: a block of that size, never the kept one.
    g_app.capture.screen_rect = PixelRect{kLeft, kTop, kLeft + kWidth - 11, kTop + kHeight - 1};
    PackedDib narrower = keep(grab_for_capture());
    ASSERT_NE(narrower, nullptr);
    EXPECT_NE(narrower, second);
    h = static_cast<DibHeader*>(mem_lock(narrower));
    EXPECT_EQ(h->biWidth, kWidth - 10);
    EXPECT_EQ(pixel(h, 5, 7), pattern(5, 7));
    mem_unlock(narrower);
}

TEST_F(ScreenGrabTest, APreparedGrabServesTheFirstCapture) {
    // The main window prepares the grab at its creation: the first capture
    // then copies the screen into the block made there.
    const uint32_t flags = g_app.flags;
    g_app.flags |= kFlagPrimaryOnly;
    PackedDib kept = grab_prepare();
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(GlobalFlags(kept) & GMEM_LOCKCOUNT, 0u);
    PackedDib first = keep(grab_for_capture());
    EXPECT_EQ(first, kept);
    auto* h = static_cast<DibHeader*>(mem_lock(first));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(pixel(h, kLeft + 5, kTop + 7), pattern(5, 7));
    mem_unlock(first);

    // During a capture nothing is grabbed or changed.
    g_app.capture.screen_image = first;
    g_app.capture.screen_rect = PixelRect{1, 2, 3, 4};
    EXPECT_EQ(grab_prepare(), nullptr);
    EXPECT_EQ(g_app.capture.screen_rect.left, 1);
    EXPECT_EQ(g_app.capture.screen_rect.bottom, 4);
    g_app.capture.screen_image = nullptr;
    g_app.flags = flags;
}

}  // namespace
