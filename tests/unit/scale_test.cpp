#include "image/scale.h"

#include <gtest/gtest.h>

#include "tests/unit/dib_test_support.h"

#include <cstring>
#include <vector>

#include "sys/pump.h"

namespace {


// A paletted (or 32-bit) block laid out like the readers make them.
PackedDib make_dib(int width, int height, int bits, uint32_t clr_used) {
    DibHeader head{};
    head.biSize = 40;
    head.biWidth = width;
    head.biHeight = height;
    head.biPlanes = 1;
    head.biBitCount = uint16_t(bits);
    head.biClrUsed = clr_used;
    uint32_t entries = dib_palette_entries(&head);
    int64_t image = dib_stride(width, bits) * height;
    head.biSizeImage = uint32_t(image);
    PackedDib dib = mem_alloc(size_t(40 + 4 * entries + image + 64));
    Locked l(dib);
    *l.h = head;
    return dib;
}

// Writes one channel value into all three channels of a 24-bit pixel.
void set_grey(Locked& l, int x, int stored_row, uint8_t v) {
    uint8_t* p = l.row(stored_row) + 3 * x;
    p[0] = p[1] = p[2] = v;
}

TEST(DibScale, OwnSizeIsExactCopy) {
    PackedDib src = dib_create24(5, 3);
    {
        Locked l(src);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 15; ++x) l.row(y)[x] = uint8_t(x * 17 + y * 5);
    }
    PackedDib out = dib_scale(src, 5, 3);
    ASSERT_NE(out, nullptr);
    Held a(src), b(out);
    EXPECT_EQ(0, std::memcmp(a.h, b.h, 40));
    EXPECT_EQ(0, std::memcmp(dib_bits_ptr(a.h), dib_bits_ptr(b.h), 16 * 3));
    EXPECT_EQ(mem_size(out), size_t(16 * 3 + 64));
}

TEST(DibScale, HalvingSamplesWithoutAveraging) {
    PackedDib src = dib_create24(4, 4);
    {
        Locked l(src);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) set_grey(l, x, y, uint8_t(10 * y + x));
    }
    PackedDib out = dib_scale(src, 2, 2);
    ASSERT_NE(out, nullptr);
    Held l(out);
    EXPECT_EQ(l.row(0)[0], 0);
    EXPECT_EQ(l.row(0)[3], 2);
    EXPECT_EQ(l.row(1)[0], 20);
    EXPECT_EQ(l.row(1)[3], 22);
    mem_free(src);
}

TEST(DibScale, TopEdgeFadesToBlack) {
    PackedDib src = dib_create24(1, 2);
    const uint8_t white[3] = {255, 255, 255};
    dib_fill24(src, nullptr, white);
    PackedDib out = dib_scale(src, 1, 4);
    ASSERT_NE(out, nullptr);
    Held l(out);
    const int expected[4] = {255, 255, 255, 127};
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(l.row(i)[c], expected[i]) << "row " << i;
    mem_free(src);
}

TEST(DibScale, WideningRepeatsLastColumnAndFloorsNegativeSteps) {
    PackedDib src = dib_create24(2, 1);
    {
        Locked l(src);
        const uint8_t px[6] = {10, 20, 30, 110, 20, 1};
        std::memcpy(l.row(0), px, 6);
    }
    PackedDib out = dib_scale(src, 4, 1);
    ASSERT_NE(out, nullptr);
    Held l(out);
    // x = 0, 0.5, 1, 1.5; red 30 -> 1 at half weight is 30 + floor(-14.5) = 15.
    const uint8_t expected[12] = {10, 20, 30, 60, 20, 15, 110, 20, 1, 110, 20, 1};
    EXPECT_EQ(0, std::memcmp(l.row(0), expected, 12));
    mem_free(src);
}

TEST(DibScale, BilinearWeightsOnTwoByTwo) {
    PackedDib src = dib_create24(2, 2);
    {
        Locked l(src);
        set_grey(l, 0, 0, 0);
        set_grey(l, 1, 0, 100);
        set_grey(l, 0, 1, 200);
        set_grey(l, 1, 1, 50);
    }
    PackedDib out = dib_scale(src, 3, 3);
    ASSERT_NE(out, nullptr);
    Held l(out);
    // (1,1): fx = fy = 341 between all four neighbours; (2,2): fx = 170 with
    // the right neighbour repeated, fy = 170 towards black above the top row.
    struct Case { int x, row, value; };
    const Case cases[] = {{0, 0, 0}, {1, 1, 88}, {2, 2, 33}, {1, 0, 66}, {0, 1, 133}};
    for (const Case& c : cases) EXPECT_EQ(l.row(c.row)[3 * c.x], c.value) << c.x << "," << c.row;
    mem_free(src);
}

TEST(DibScale, EightBitNearestKeepsColourTable) {
    PackedDib src = make_dib(4, 2, 8, 17);
    {
        Locked l(src);
        uint8_t* pal = dib_palette_ptr(l.h);
        for (int i = 0; i < 17 * 4; ++i) pal[i] = uint8_t(i);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) l.row(y)[x] = uint8_t(y * 4 + x);
    }
    PackedDib out = dib_scale(src, 8, 3);
    ASSERT_NE(out, nullptr);
    Held l(out), s(src);
    EXPECT_EQ(l.h->biBitCount, 8);
    EXPECT_EQ(l.h->biClrUsed, 17u);
    EXPECT_EQ(l.h->biSizeImage, 8u * 3);
    EXPECT_EQ(0, std::memcmp(dib_palette_ptr(l.h), dib_palette_ptr(s.h), 17 * 4));
    // sx = 0.5, sy = 2/3: stored rows 0, 0, 1.
    const uint8_t rows[3][8] = {{0, 0, 1, 1, 2, 2, 3, 3}, {0, 0, 1, 1, 2, 2, 3, 3}, {4, 4, 5, 5, 6, 6, 7, 7}};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(0, std::memcmp(l.row(i), rows[i], 8)) << "row " << i;
}

TEST(DibScale, RefusesWhatItCannotScale) {
    PackedDib src = dib_create24(4, 4);
    EXPECT_EQ(dib_scale(src, 0, 4), nullptr);
    EXPECT_EQ(dib_scale(src, 4, -1), nullptr);
    EXPECT_EQ(dib_scale(nullptr, 4, 4), nullptr);
    PackedDib wide = make_dib(4, 4, 32, 0);
    EXPECT_EQ(dib_scale(wide, 2, 2), nullptr);
    // A header that claims more rows than the block holds.
    {
        Locked l(src);
        l.h->biHeight = 400;
    }
    EXPECT_EQ(dib_scale(src, 2, 2), nullptr);
    mem_free(wide);
    mem_free(src);
}

int g_pump_calls = 0;
int g_quit_after = 0;
int counting_pump() { return ++g_pump_calls >= g_quit_after ? 1 : 0; }

TEST(DibScale, PumpsOncePerRowAndGivesUpWhenQuitting) {
    PackedDib src = dib_create24(6, 6);
    pump_set_hook(counting_pump);
    g_pump_calls = 0;
    g_quit_after = 1000;
    PackedDib out = dib_scale(src, 3, 5);
    EXPECT_NE(out, nullptr);
    EXPECT_EQ(g_pump_calls, 5);
    mem_free(out);

    g_pump_calls = 0;
    g_quit_after = 2;
    EXPECT_EQ(dib_scale(src, 3, 5), nullptr);
    EXPECT_EQ(g_pump_calls, 2);
    pump_set_hook(nullptr);
    // The source is still the caller's and intact.
    Held l(src);
    EXPECT_EQ(l.h->biWidth, 6);
}

TEST(DibTo24Bit, TwentyFourBitComesBackAsIs) {
    PackedDib src = dib_create24(3, 3);
    EXPECT_EQ(dib_to_24bit(src), src);
    mem_free(src);
    EXPECT_EQ(dib_to_24bit(make_dib(3, 3, 16, 0)), nullptr);  // freed inside
}

TEST(DibTo24Bit, ExpandsPalettedAndThirtyTwoBitRows) {
    struct Case { int bits; uint32_t clr_used; };
    const Case cases[] = {{1, 0}, {4, 0}, {8, 0}, {8, 3}, {32, 0}};
    const int width = 9, height = 2;
    for (const Case& c : cases) {
        PackedDib src = make_dib(width, height, c.bits, c.clr_used);
        std::vector<uint8_t> expect;
        {
            Locked l(src);
            uint32_t n = dib_palette_entries(l.h);
            uint8_t* pal = dib_palette_ptr(l.h);
            for (uint32_t i = 0; i < n; ++i) {
                pal[4 * i] = uint8_t(i * 3 + 1);
                pal[4 * i + 1] = uint8_t(i * 5 + 2);
                pal[4 * i + 2] = uint8_t(i * 7 + 3);
            }
            for (int y = 0; y < height; ++y) {
                uint8_t* row = l.row(y);
                for (int x = 0; x < width; ++x) {
                    int v = (x * 5 + y * 3) % (c.bits == 1 ? 2 : c.bits == 4 ? 16 : 200);
                    if (c.bits == 1) row[x / 8] |= uint8_t(v << (7 - x % 8));
                    if (c.bits == 4) row[x / 2] |= uint8_t(x % 2 ? v : v << 4);
                    if (c.bits == 8) row[x] = uint8_t(v);
                    if (c.bits == 32) {
                        const uint8_t px[4] = {uint8_t(v), uint8_t(v + 1), uint8_t(v + 2), 0xEE};
                        std::memcpy(row + 4 * x, px, 4);
                        expect.insert(expect.end(), px, px + 3);
                    } else if (uint32_t(v) < n) {
                        expect.insert(expect.end(), pal + 4 * v, pal + 4 * v + 3);
                    } else {
                        expect.insert(expect.end(), {0, 0, 0});  // past the table: black
                    }
                }
            }
        }
        PackedDib out = dib_to_24bit(src);
        ASSERT_NE(out, nullptr) << c.bits;
        Held l(out);
        EXPECT_EQ(l.h->biBitCount, 24);
        EXPECT_EQ(l.h->biClrUsed, 0u);
        EXPECT_EQ(l.h->biSizeImage, 28u * height);
        EXPECT_EQ(mem_size(out), size_t(28 * height + 56));
        for (int y = 0; y < height; ++y) {
            EXPECT_EQ(0, std::memcmp(l.row(y), expect.data() + 27 * y, 27)) << c.bits << " row " << y;
            EXPECT_EQ(l.row(y)[27], 0) << "padding";
        }
    }
}

}  // namespace
