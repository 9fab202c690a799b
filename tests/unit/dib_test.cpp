#include "image/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/unit/dib_test_support.h"

namespace {

// A 24-bit image whose pixel (x, y) top-down is (x, y, x ^ y) as blue, green, red.
PackedDib make_pattern(int w, int h) {
    PackedDib dib = dib_create24(w, h);
    Locked l(dib);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = dib_row_top_down(l.h, y);
        for (int x = 0; x < w; ++x) {
            row[3 * x] = uint8_t(x);
            row[3 * x + 1] = uint8_t(y);
            row[3 * x + 2] = uint8_t(x ^ y);
        }
    }
    return dib;
}

TEST(DibLayout, RowPaddingByDepth) {
    struct Case { int width, bits, padding; };
    const Case cases[] = {{5, 24, 1}, {5, 8, 3}, {5, 1, 3}, {5, 4, 1}, {5, 16, 2}, {5, 32, 0},
                          {4, 24, 0}, {1, 24, 1}, {5, 2, 0}, {33, 1, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(dib_row_padding(c.width, c.bits), c.padding) << c.width << "x" << c.bits;
    EXPECT_EQ(dib_stride(5, 24), 16);
}

TEST(DibLayout, PaletteEntries) {
    DibHeader h{};
    h.biSize = 40;
    h.biBitCount = 8;
    h.biClrUsed = 17;
    EXPECT_EQ(dib_palette_entries(&h), 17u);
    h.biClrUsed = 0;
    EXPECT_EQ(dib_palette_entries(&h), 256u);
    EXPECT_EQ(dib_palette_bytes(&h), 1024u);
    h.biBitCount = 24;
    EXPECT_EQ(dib_palette_entries(&h), 0u);
    // OS/2 core header: bit count at byte 10, 3-byte entries.
    uint8_t core[12] = {12, 0, 0, 0, 4, 0, 4, 0, 1, 0, 4, 0};
    EXPECT_EQ(dib_palette_entries(core), 16u);
    EXPECT_EQ(dib_palette_bytes(core), 48u);
}

TEST(DibCreate, RefusesEmptySizes) {
    EXPECT_EQ(dib_create24(0, 10), nullptr);
    EXPECT_EQ(dib_create24(10, -1), nullptr);
    // Too large for a block: refused rather than overflowing.
    EXPECT_EQ(dib_create24(100000, 100000), nullptr);
}

TEST(DibCreate, OnePixel) {
    PackedDib dib = dib_create24(1, 1);
    ASSERT_NE(dib, nullptr);
    EXPECT_GE(mem_size(dib), 4u + 64);  // the 64 spare bytes include the header
    {
        Locked l(dib);
        EXPECT_EQ(l.h->biSize, 40u);
        EXPECT_EQ(l.h->biPlanes, 1);
        EXPECT_EQ(l.h->biBitCount, 24);
        EXPECT_EQ(l.h->biSizeImage, 4u);
        const uint8_t* px = dib_bits_ptr(l.h);
        EXPECT_EQ(px[0] | px[1] | px[2], 0);
    }
    mem_free(dib);
}

TEST(DibCrop, ClampsAndCopiesTheFramedPixels) {
    PackedDib src = make_pattern(20, 10);
    PixelRect r{15, -3, 30, 4};
    PackedDib out = dib_crop24(src, &r);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(r.left, 15);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 20);
    EXPECT_EQ(r.bottom, 4);
    {
        Locked l(out);
        ASSERT_EQ(l.h->biWidth, 5);
        ASSERT_EQ(l.h->biHeight, 4);
        for (int y = 0; y < 4; ++y) {
            const uint8_t* row = dib_row_top_down(l.h, y);
            for (int x = 0; x < 5; ++x) {
                EXPECT_EQ(row[3 * x], 15 + x);
                EXPECT_EQ(row[3 * x + 1], y);
            }
        }
    }
    mem_free(out);
    mem_free(src);
}

TEST(DibCrop, WholeImageIsExactCopyAndEmptyRectsFail) {
    PackedDib src = make_pattern(7, 3);
    PixelRect all{0, 0, 7, 3};
    PackedDib copy = dib_crop24(src, &all);
    ASSERT_NE(copy, nullptr);
    {
        Locked a(src), b(copy);
        EXPECT_EQ(0, std::memcmp(dib_bits_ptr(a.h), dib_bits_ptr(b.h), a.h->biSizeImage));
    }
    PixelRect outside{10, 0, 20, 3};
    EXPECT_EQ(dib_crop24(src, &outside), nullptr);
    PixelRect zero{2, 0, 2, 3};
    EXPECT_EQ(dib_crop24(src, &zero), nullptr);
    mem_free(copy);
    mem_free(src);
}

TEST(DibFill, WholeImageAndClampedRect) {
    PackedDib dib = dib_create24(5, 3);
    const uint8_t blue[3] = {255, 0, 0};
    dib_fill24(dib, nullptr, blue);
    {
        Locked l(dib);
        const uint8_t* bits = dib_bits_ptr(l.h);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(0, std::memcmp(bits + y * 16 + 3 * x, blue, 3));
        for (int y = 0; y < 3; ++y) EXPECT_EQ(bits[y * 16 + 15], bits[15]);
    }
    const uint8_t red[3] = {0, 0, 255};
    PixelRect r{3, 1, 99, 99};
    dib_fill24(dib, &r, red);
    EXPECT_EQ(r.right, 5);
    EXPECT_EQ(r.bottom, 3);
    {
        Locked l(dib);
        EXPECT_EQ(dib_row_top_down(l.h, 0)[3 * 4 + 2], 0);
        EXPECT_EQ(dib_row_top_down(l.h, 1)[3 * 4 + 2], 255);
        EXPECT_EQ(dib_row_top_down(l.h, 2)[3 * 2 + 2], 0);
    }
    mem_free(dib);
}

TEST(DibPaste, CentresSmallImagesAndClipsLargeOnes) {
    PackedDib canvas = dib_create24(30, 20);
    PackedDib small = make_pattern(10, 10);
    PixelRect r{0, 0, 30, 20};
    dib_paste_centred24(canvas, &r, small);
    {
        Locked l(canvas);
        EXPECT_EQ(dib_row_top_down(l.h, 5)[3 * 10 + 2], 0);   // (0,0) of the image: x^y = 0
        EXPECT_EQ(dib_row_top_down(l.h, 6)[3 * 11 + 1], 1);   // image y = 1
        EXPECT_EQ(dib_row_top_down(l.h, 4)[3 * 10 + 1], 0);   // above stays black
    }
    PackedDib big = make_pattern(50, 50);
    dib_paste_centred24(canvas, &r, big);
    {
        Locked l(canvas);
        EXPECT_EQ(dib_row_top_down(l.h, 19)[3 * 29], 29);
        EXPECT_EQ(dib_row_top_down(l.h, 19)[3 * 29 + 1], 19);
    }
    mem_free(big);
    mem_free(small);
    mem_free(canvas);
}

}  // namespace
