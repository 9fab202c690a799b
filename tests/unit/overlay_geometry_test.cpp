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

// Scaling applies only where the system scales the program: the first
// reading the system gives decides, and with none the setting stands.
TEST(OverlayGeometryGrab, ScalingAppliesOnlyToAProgramTheSystemScales) {
    // {thread context, process, percent in force}: per monitor and system aware, an unaware
    // thread of an aware process, only IsProcessDPIAware (Windows 7), told nothing.
    const int cases[][3] = {{2, 1, 100}, {1, 1, 100}, {0, 1, 150}, {-1, 1, 100}, {-1, 0, 150},
                            {-1, -1, 150}};
    for (const auto& c : cases)
        EXPECT_EQ(overlay_scaling_in_force(150, c[0], c[1]), c[2]) << c[0] << " " << c[1];
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

// A small client area painted the way the system paints: fills with the
// background (-1), copies from the image (image pixel (x, y) is
// 1000 * x + y), each limited to the image and then to the client.
struct Canvas {
    int width, height, image_width, image_height;
    std::vector<int> px;
    Canvas(int w, int h, int iw, int ih) : width(w), height(h), image_width(iw), image_height(ih),
                                           px(size_t(w) * h, -2) {}
    int& at(int x, int y) { return px[size_t(y) * width + x]; }
    void fill(const PixelRect& r) {
        for (int y = std::max(0, r.top); y < std::min(height, r.bottom); ++y)
            for (int x = std::max(0, r.left); x < std::min(width, r.right); ++x) at(x, y) = -1;
    }
    void copy(const DibBlit& blit) {
        const DibBlit b = overlay_clip_blit(blit, image_width, image_height);
        const int top = image_height - b.src_y - b.height;
        for (int j = 0; j < b.height; ++j)
            for (int i = 0; i < b.width; ++i) {
                const int x = b.dest_x + i, y = b.dest_y + j;
                if (x >= 0 && y >= 0 && x < width && y < height)
                    at(x, y) = 1000 * (b.src_x + i) + top + j;
            }
    }
    void paint(const CoverPlan& plan) {
        for (int i = 0; i < plan.fill_count; ++i) fill(plan.fills[i]);
        if (plan.has_blit) copy(plan.blit);
    }
    void paint(const CoverDelta& delta) {
        for (int i = 0; i < delta.fill_count; ++i) fill(delta.fills[i]);
        for (int i = 0; i < delta.blit_count; ++i) copy(delta.blits[i]);
    }
};

TEST(OverlayGeometryCoverBands, RepaintingTheBandsGivesWhatAFullPaintGives) {
    // Every pair of states on a small client area, both phases, with the
    // image of a 100 % grab (one larger) and of a resized one (the same
    // size): from a full paint of one state, the bands to the next give
    // the next state's full paint, pixel for pixel.
    const int w = 7, h = 5;
    struct State {
        bool rect;
        PixelPoint a, b;
    };
    std::vector<State> states;
    for (int y = 0; y <= h; ++y)
        for (int x = 0; x <= w; ++x) states.push_back({false, {x, y}, {}});
    for (int y0 = 0; y0 <= h; ++y0)
        for (int x0 = 0; x0 <= w; ++x0)
            for (int y1 = y0; y1 <= h; y1 += 2)
                for (int x1 = x0; x1 <= w; x1 += 2) states.push_back({true, {x0, y0}, {x1, y1}});
    for (int extra = 0; extra <= 1; ++extra) {
        const int iw = w + extra, ih = h + extra;
        auto shown = [&](const State& s) {
            return s.rect ? overlay_cover_rect_shown(s.a, s.b, w, h, iw, ih)
                          : overlay_cover_top_left_shown(s.a, w, h, iw, ih);
        };
        auto full = [&](const State& s) {
            Canvas c(w, h, iw, ih);
            c.paint(s.rect ? overlay_cover_rect(s.a, s.b, iw, ih) : overlay_cover_top_left(s.a, w, h, ih));
            return c;
        };
        int pairs = 0;
        for (const State& from : states) {
            const CoverShown was = shown(from);
            if (!was.exact) continue;
            const Canvas before = full(from);
            // The exact state is what the full paint shows.
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool in = x >= was.image.left && x < was.image.right && y >= was.image.top &&
                                    y < was.image.bottom;
                    ASSERT_EQ(before.px[size_t(y) * w + x], in ? 1000 * x + y : -1)
                        << "state " << from.a.x << "," << from.a.y << " pixel " << x << "," << y;
                }
            for (const State& to : states) {
                const CoverShown next = shown(to);
                if (!next.exact) continue;
                Canvas banded = before;
                banded.paint(overlay_cover_delta(was.image, next.image, ih));
                ASSERT_EQ(banded.px, full(to).px)
                    << (from.rect ? "rect " : "top-left ") << from.a.x << "," << from.a.y << " "
                    << from.b.x << "," << from.b.y << " to " << (to.rect ? "rect " : "top-left ")
                    << to.a.x << "," << to.a.y << " " << to.b.x << "," << to.b.y;
                ++pairs;
            }
        }
        EXPECT_GT(pairs, 1000);
    }
}

TEST(OverlayGeometryCoverBands, StatesAFullPaintLeavesPartlyAsTheyWereAreNotExact) {
    // One pixel wide or high: the selection keeps what was there.
    EXPECT_FALSE(overlay_cover_rect_shown({4, 3}, {4, 6}, 21, 13, 22, 14).exact);
    EXPECT_FALSE(overlay_cover_rect_shown({4, 3}, {9, 3}, 21, 13, 22, 14).exact);
    // A picture smaller than the client area leaves a strip unpainted.
    EXPECT_FALSE(overlay_cover_rect_shown({4, 3}, {9, 6}, 21, 13, 20, 13).exact);
    EXPECT_FALSE(overlay_cover_top_left_shown({4, 3}, 21, 13, 21, 12).exact);
    EXPECT_TRUE(overlay_cover_rect_shown({4, 3}, {9, 6}, 21, 13, 21, 13).exact);
    EXPECT_TRUE(overlay_cover_top_left_shown({21, 13}, 21, 13, 22, 14).exact);
}

TEST(OverlayGeometryCoverBands, AOnePixelMoveRepaintsOneColumnOfTheSelection) {
    // 4K: the bottom-right corner one pixel right repaints a column of the
    // selection's height, not the screen.
    const CoverShown was = overlay_cover_rect_shown({768, 432}, {3071, 1727}, 3840, 2160, 3841, 2161);
    const CoverShown now = overlay_cover_rect_shown({768, 432}, {3072, 1727}, 3840, 2160, 3841, 2161);
    const CoverDelta d = overlay_cover_delta(was.image, now.image, 2161);
    EXPECT_EQ(d.fill_count, 0);
    ASSERT_EQ(d.blit_count, 1);
    EXPECT_EQ(d.blits[0].dest_x, 3072);
    EXPECT_EQ(d.blits[0].width, 1);
    EXPECT_EQ(d.blits[0].height, 1296);
    const CoverDelta back = overlay_cover_delta(now.image, was.image, 2161);
    EXPECT_EQ(back.blit_count, 0);
    ASSERT_EQ(back.fill_count, 1);
    EXPECT_EQ(ltrb(back.fills[0]), std::make_tuple(3072, 432, 3073, 1728));
}

TEST(OverlayGeometryRects, SubtractLeavesEachPixelOfTheDifferenceOnce) {
    const PixelRect a{2, 3, 9, 8};
    const PixelRect others[] = {{0, 0, 20, 20}, {4, 5, 6, 6}, {0, 0, 3, 20}, {5, 0, 20, 4},
                                {9, 3, 12, 8}, {2, 3, 9, 8},  {3, 4, 8, 7}, {-5, 6, 5, 30},
                                {0, 0, 0, 0}};
    for (const PixelRect& b : others) {
        PixelRect out[4];
        const int n = overlay_rect_subtract(a, b, out);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                EXPECT_EQ(cover_count(out, n, x, y), contains(a, x, y) && !contains(b, x, y) ? 1 : 0)
                    << x << "," << y << " minus " << b.left << "," << b.top;
        for (int i = 0; i < n; ++i) EXPECT_TRUE(out[i].left < out[i].right && out[i].top < out[i].bottom);
    }
    PixelRect out[4];
    EXPECT_EQ(overlay_rect_subtract(PixelRect{5, 5, 5, 9}, a, out), 0);
}

TEST(OverlayGeometryRects, ClippedBlitKeepsImagePixelsOnTheirPlaces) {
    // The magnifier's square at the image's corners: what is left still
    // puts image pixel (x, y) on client pixel (x, y).
    const int iw = 30, ih = 20, side = kMagnifierCells * kMagnifierCellSize, half = side / 2;
    const PixelPoint points[] = {{2, 2}, {29, 19}, {0, 19}, {15, 10}, {-30, 5}};
    for (const PixelPoint& p : points) {
        const DibBlit b = overlay_clip_blit(overlay_magnifier_restore(p, ih), iw, ih);
        const int left = std::max(0, p.x - half), top = std::max(0, p.y - half);
        const int right = std::min(iw, p.x - half + side), bottom = std::min(ih, p.y - half + side);
        if (right <= left) {
            EXPECT_EQ(b.width * b.height, 0);
            continue;
        }
        EXPECT_EQ(b.dest_x, left);
        EXPECT_EQ(b.dest_y, top);
        EXPECT_EQ(b.src_x, left);
        EXPECT_EQ(b.width, right - left);
        EXPECT_EQ(b.height, bottom - top);
        EXPECT_EQ(ih - b.src_y - b.height, top) << p.x << "," << p.y;
    }
}

TEST(OverlayGeometryGrab, RowsOf32BitsBecome24) {
    // Every width around the four-pixel steps: each pixel's three bytes in
    // order, the fourth dropped, nothing written past the row.
    for (int width = 0; width <= 13; ++width) {
        std::vector<uint8_t> from(4 * size_t(width));
        for (size_t i = 0; i < from.size(); ++i) from[i] = uint8_t(i % 4 == 3 ? 0xEE : 7 * i + 1);
        std::vector<uint8_t> to(3 * size_t(width) + 4, 0xAB);
        overlay_row_32_to_24(from.data(), to.data(), width);
        std::vector<uint8_t> want(to.size(), 0xAB);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) want[3 * size_t(x) + c] = from[4 * size_t(x) + c];
        EXPECT_EQ(to, want) << "width " << width;
    }
}

}  // namespace
