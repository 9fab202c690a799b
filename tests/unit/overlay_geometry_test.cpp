// Arithmetic of the overlay's marks, magnifier, covered display and the
// scaled capture grab.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "capture/overlay_geometry.h"

namespace {

// Rectangles compared (and printed) as tuples.
std::tuple<int, int, int, int> ltrb(const PixelRect& r) {
    return std::make_tuple(r.left, r.top, r.right, r.bottom);
}

bool contains(const PixelRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// How many of `rects` cover (x, y).
int cover_count(const PixelRect* rects, int n, int x, int y) {
    int count = 0;
    for (int i = 0; i < n; ++i) count += contains(rects[i], x, y);
    return count;
}

TEST(OverlayGeometryFrame, InvertsEachOutlinePixelOnce) {
    struct Case {
        PixelPoint tl, br;
    };
    // Ordinary, square, and the corners given the other way round.
    const Case cases[] = {{{10, 20}, {15, 23}}, {{0, 0}, {2, 2}}, {{15, 23}, {10, 20}}};
    for (const Case& c : cases) {
        PixelRect edges[4];
        overlay_frame_edges(c.tl, c.br, edges);
        const int x0 = std::min(c.tl.x, c.br.x), x1 = std::max(c.tl.x, c.br.x);
        const int y0 = std::min(c.tl.y, c.br.y), y1 = std::max(c.tl.y, c.br.y);
        for (int y = y0 - 2; y <= y1 + 2; ++y) {
            for (int x = x0 - 2; x <= x1 + 2; ++x) {
                const bool inside = x >= x0 && x <= x1 && y >= y0 && y <= y1;
                const bool outline = inside && (x == x0 || x == x1 || y == y0 || y == y1);
                EXPECT_EQ(cover_count(edges, 4, x, y), outline ? 1 : 0)
                    << "pixel " << x << "," << y << " of " << c.tl.x << "," << c.tl.y;
            }
        }
    }
}

// A 6 x 4 image whose pixel (x, y) is B = x, G = y, R = 200 + x.
struct TestImage {
    static constexpr int kWidth = 6, kHeight = 4;
    std::vector<uint8_t> bits;
    int stride = 20;  // 18 bytes + 2 padding
    TestImage() : bits(size_t(20) * kHeight, 0xEE) {
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* row = &bits[size_t(kHeight - 1 - y) * stride];
            for (int x = 0; x < kWidth; ++x) {
                row[3 * x] = uint8_t(x);
                row[3 * x + 1] = uint8_t(y);
                row[3 * x + 2] = uint8_t(200 + x);
            }
        }
    }
    ImageView view() const {
        ImageView v;
        v.bits = bits.data();
        v.width = kWidth;
        v.height = kHeight;
        v.stride = stride;
        return v;
    }
};

uint32_t colour_of(int x, int y) {
    return uint32_t(200 + x) | uint32_t(y) << 8 | uint32_t(x) << 16;
}

TEST(OverlayGeometryMagnifier, CellsShowTheNeighbourhoodEnlarged) {
    TestImage image;
    MagnifierCell cells[25];
    // At (2, 2) every cell's pixel lies in the image; the square reaches
    // past the client's top-left edge.
    ASSERT_EQ(overlay_magnifier_cells({2, 2}, image.view(), cells), 20);  // row y=4 is past the image
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 5; ++j) {
            const MagnifierCell& cell = cells[5 * i + j];
            EXPECT_EQ(ltrb(cell.rect), ltrb(PixelRect{-10 + 5 * j, -10 + 5 * i, -5 + 5 * j, -5 + 5 * i}));
            EXPECT_EQ(cell.colour, colour_of(j, i));
        }
    }
    // The centre cell shows the corner pixel itself.
    EXPECT_EQ(ltrb(cells[12].rect), ltrb(PixelRect{0, 0, 5, 5}));
    EXPECT_EQ(cells[12].colour, colour_of(2, 2));
}

TEST(OverlayGeometryMagnifier, CellsOutsideTheImageAreLeftOut) {
    TestImage image;
    MagnifierCell cells[25];
    struct Case {
        PixelPoint p;
        int painted;
    };
    const Case cases[] = {
        {{0, 0}, 3 * 3},   // top-left corner: two rows and two columns before the image
        {{1, 0}, 4 * 3},
        {{5, 3}, 3 * 3},   // bottom-right pixel
        {{-3, 1}, 0},      // wholly left of the image
        {{2, 1}, 5 * 4},
    };
    for (const Case& c : cases) {
        const int n = overlay_magnifier_cells(c.p, image.view(), cells);
        EXPECT_EQ(n, c.painted) << c.p.x << "," << c.p.y;
        for (int k = 0; k < n; ++k) {
            // Each painted cell shows the pixel it stands for.
            const int j = (cells[k].rect.left - (c.p.x - 12)) / 5;
            const int i = (cells[k].rect.top - (c.p.y - 12)) / 5;
            EXPECT_EQ(cells[k].colour, colour_of(c.p.x + j - 2, c.p.y + i - 2));
        }
    }
    EXPECT_EQ(overlay_magnifier_cells({2, 2}, ImageView{}, cells), 0);
}

// Every client pixel outside `shown` is filled exactly once, none inside.
void expect_covers_outside(const CoverPlan& plan, const PixelRect& shown, int width, int height) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            EXPECT_EQ(cover_count(plan.fills, plan.fill_count, x, y), contains(shown, x, y) ? 0 : 1)
                << "pixel " << x << "," << y;
        }
    }
}

TEST(OverlayGeometryCover, TopLeftAtOriginShowsTheWholeImage) {
    const CoverPlan plan = overlay_cover_top_left({0, 0}, 1920, 1080, 1081);
    EXPECT_EQ(plan.fill_count, 0);
    ASSERT_TRUE(plan.has_blit);
    EXPECT_EQ(plan.blit.dest_x, 0);
    EXPECT_EQ(plan.blit.dest_y, 0);
    EXPECT_EQ(plan.blit.width, 1920);
    EXPECT_EQ(plan.blit.height, 1080);
    EXPECT_EQ(plan.blit.src_x, 0);
    EXPECT_EQ(plan.blit.src_y, 1);  // the image's extra row lies below the screen
}

TEST(OverlayGeometryCover, TopLeftLinesImageRowsUpWithClientRows) {
    // The top row copied is image row p.y, whether the image has the extra
    // row of a 100 % grab or was resized to the client size.
    const int heights[] = {41, 40};
    for (int image_height : heights) {
        const CoverPlan plan = overlay_cover_top_left({5, 7}, 30, 40, image_height);
        ASSERT_TRUE(plan.has_blit);
        const DibBlit& b = plan.blit;
        EXPECT_EQ(image_height - b.src_y - b.height, 7) << image_height;
        EXPECT_EQ(b.dest_y, 7);
        expect_covers_outside(plan, PixelRect{5, 7, 30, 40}, 30, 40);
    }
}

TEST(OverlayGeometryCover, RectShowsTheSelectionAndFillsTheRest) {
    const CoverPlan plan = overlay_cover_rect({4, 3}, {9, 6}, 21, 13);
    ASSERT_TRUE(plan.has_blit);
    EXPECT_EQ(plan.blit.dest_x, 4);
    EXPECT_EQ(plan.blit.dest_y, 3);
    EXPECT_EQ(plan.blit.width, 6);
    EXPECT_EQ(plan.blit.height, 4);
    EXPECT_EQ(plan.blit.src_x, 4);
    EXPECT_EQ(13 - plan.blit.src_y - plan.blit.height, 3);  // image row 3 on top
    expect_covers_outside(plan, PixelRect{4, 3, 10, 7}, 21, 13);
}

TEST(OverlayGeometryCover, OnePixelWideOrHighRectIsNotCopied) {
    struct Case {
        PixelPoint tl, br;
    };
    const Case cases[] = {{{4, 3}, {4, 6}}, {{4, 3}, {9, 3}}, {{0, 0}, {0, 0}}};
    for (const Case& c : cases) {
        const CoverPlan plan = overlay_cover_rect(c.tl, c.br, 21, 13);
        EXPECT_FALSE(plan.has_blit);
        // The rectangle's own pixels are left as they were.
        expect_covers_outside(plan, PixelRect{c.tl.x, c.tl.y, c.br.x + 1, c.br.y + 1}, 21, 13);
    }
}

TEST(OverlayGeometryCover, RectPastTheImageEdgeFillsNothingOutsideIt) {
    // A fixed rectangle dragged beyond the right and bottom edges.
    const CoverPlan plan = overlay_cover_rect({15, 10}, {30, 20}, 21, 13);
    ASSERT_TRUE(plan.has_blit);
    for (int i = 0; i < plan.fill_count; ++i) {
        const PixelRect& r = plan.fills[i];
        EXPECT_LT(r.left, r.right);
        EXPECT_LT(r.top, r.bottom);
        EXPECT_LE(r.right, 21);
        EXPECT_LE(r.bottom, 13);
    }
    expect_covers_outside(plan, PixelRect{15, 10, 21, 13}, 21, 13);
}

TEST(OverlayGeometryGrab, ScalingTruncatesAndResizesToTheScreen) {
    struct Case {
        PixelRect screen;
        int percent;
        PixelRect area;
        int resize_width, resize_height;
    };
    const Case cases[] = {
        {{0, 0, 1920, 1080}, 100, {0, 0, 1920, 1080}, 0, 0},
        {{0, 0, 1280, 720}, 150, {0, 0, 1920, 1080}, 1280, 720},
        {{-1281, -7, 1281, 721}, 150, {-1921, -10, 1921, 1081}, 2562, 728},  // truncation toward zero
        {{0, 0, 1707, 961}, 125, {0, 0, 2133, 1201}, 1707, 961},
    };
    for (const Case& c : cases) {
        const GrabPlan plan = overlay_grab_plan(c.screen, c.percent, c.screen);
        EXPECT_EQ(ltrb(plan.area), ltrb(c.area)) << c.percent;
        EXPECT_EQ(plan.resize_width, c.resize_width);
        EXPECT_EQ(plan.resize_height, c.resize_height);
    }
}

// Under scaling the system reports the desktop in the program's units while
// the grab works in the display's pixels: the part copied must be the whole
// display, not the reported size (which left most of the capture black).
TEST(OverlayGeometryGrab, ScaledGrabCopiesTheWholeDisplay) {
    struct Case {
        int percent;
        PixelRect reported;  // the desktop the program is told about
        PixelRect display;   // the display's own pixels
    };
    const Case cases[] = {
        {100, {0, 0, 1920, 1080}, {0, 0, 1920, 1080}},
        {125, {0, 0, 1536, 864}, {0, 0, 1920, 1080}},
        {150, {0, 0, 1280, 720}, {0, 0, 1920, 1080}},
        {200, {0, 0, 1920, 1080}, {0, 0, 3840, 2160}},
        {150, {-1280, 0, 1280, 720}, {-1920, 0, 1920, 1080}},
    };
    for (const Case& c : cases) {
        const GrabPlan plan = overlay_grab_plan(c.reported, c.percent, c.reported);
        EXPECT_EQ(ltrb(plan.clip), ltrb(c.display)) << c.percent;
        // The copied part: the grab area (inclusive) inside the clip.
        const int copied_w = std::min(plan.area.right + 1, plan.clip.right) -
                             std::max(plan.area.left, plan.clip.left);
        const int copied_h = std::min(plan.area.bottom + 1, plan.clip.bottom) -
                             std::max(plan.area.top, plan.clip.top);
        EXPECT_EQ(copied_w, c.display.right - c.display.left) << c.percent;
        EXPECT_EQ(copied_h, c.display.bottom - c.display.top) << c.percent;
    }
}

}  // namespace
