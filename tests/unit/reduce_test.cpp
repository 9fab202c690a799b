#include "image/reduce.h"

#include <gtest/gtest.h>

#include "tests/unit/dib_test_support.h"

#include <cstring>
#include <set>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};


// A 24-bit image from stored rows (bottom row first) of colours.
PackedDib make_image(const std::vector<std::vector<Rgb>>& rows) {
    int w = int(rows[0].size()), h = int(rows.size());
    PackedDib dib = dib_create24(w, h);
    Locked l(dib);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = l.row(y) + 3 * x;
            p[0] = rows[y][x].b;
            p[1] = rows[y][x].g;
            p[2] = rows[y][x].r;
        }
    return dib;
}

std::vector<LogPaletteEntry> palette_of(PackedDib image) {
    MemBlock block = select_palette(image);
    EXPECT_NE(block, nullptr);
    if (!block) return {};
    EXPECT_EQ(mem_size(block), kLogPaletteBlockSize);
    std::vector<LogPaletteEntry> out;
    {
        MemLock<const LogPalette> p(block);
        EXPECT_EQ(p->version, 0x300);
        out.assign(p->entry, p->entry + p->count);
    }
    mem_free(block);
    return out;
}

bool has_colour(const std::vector<LogPaletteEntry>& pal, int r, int g, int b) {
    for (const LogPaletteEntry& e : pal)
        if (e.red == r && e.green == g && e.blue == b) return true;
    return false;
}

TEST(ColourKey, RoundsChannelsToNibbles) {
    struct Case { int r, g, b, key; };
    const Case cases[] = {{255, 255, 255, 4095}, {0, 0, 0, 0},        {247, 0, 0, 0x0F0},
                          {8, 0, 0, 0x010},      {7, 0, 0, 0},        {0, 248, 0, 0xF00},
                          {0, 0, 24, 0x002},     {16, 16, 16, 0x111}};
    for (const Case& c : cases) EXPECT_EQ(colour_key(c.r, c.g, c.b), c.key) << c.r << "," << c.g << "," << c.b;
}

TEST(ColourKey, SectorsAndSpread) {
    // key nibbles: green, red, blue
    struct Case { int key, sector, spread; };
    const Case cases[] = {
        {0x000, 0, 0}, {0x888, 0, 0},                 // greys
        {0x0F0, 0, 15}, {0x0F0 | 0x505, 0, 10},        // reds (red max, green = blue)
        {0xF00, 2, 15}, {0xFF0, 1, 15}, {0xF0F, 3, 15},  // green, yellow, cyan
        {0x00F, 4, 15}, {0x0FF, 5, 15},                 // blue, magenta
        {0x456, 5, 2},                                  // blue max, red above green
        {0x118, 4, 7},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(colour_cell_sector(c.key), c.sector) << std::hex << c.key;
        EXPECT_EQ(colour_cell_spread(c.key), c.spread) << std::hex << c.key;
    }
}

TEST(ColourHistogram, WeighsKeyChangesByLumaSteps) {
    const Rgb K{0, 0, 0}, G1{16, 16, 16}, G2{32, 32, 32}, R{255, 0, 0}, Gr{0, 255, 0}, Rd{51, 1, 1};
    PackedDib img = make_image({{K, G1, G2, R}, {Gr, Gr, K, R}, {Gr, G1, Rd, Rd}});
    int64_t w[4096];
    {
        Locked l(img);
        colour_histogram(l.h, w);
    }
    // Rising luma in one sector adds A while bit 6 of A is clear (160),
    // subtracts it when set (320 = 256 + 64, 765); a sector change or A = 0
    // weighs 1; runs count once, the first one too (black here).
    std::vector<std::pair<int, int64_t>> expected = {
        {0x111, 160 + 1}, {0x222, -320}, {0x0F0, -765 - 765}, {0xF00, 2}, {0x000, 1 + 1}, {0x030, 1}};
    for (auto& e : expected) EXPECT_EQ(w[e.first], e.second) << std::hex << e.first;
    int nonzero = 0;
    for (int k = 0; k < 4096; ++k) nonzero += w[k] != 0;
    EXPECT_EQ(nonzero, int(expected.size()));
    mem_free(img);
}

// A flat picture keeps its colour (black and white are always there).
TEST(SelectPalette, FlatImagesKeepTheirColour) {
    struct Case { Rgb colour; size_t entries; };
    const Case cases[] = {{{100, 150, 200}, 3u}, {{0, 0, 0}, 2u}, {{255, 255, 255}, 2u}};
    for (const Case& c : cases) {
        PackedDib img = make_image(std::vector<std::vector<Rgb>>(4, std::vector<Rgb>(5, c.colour)));
        std::vector<LogPaletteEntry> pal = palette_of(img);
        ASSERT_EQ(pal.size(), c.entries);
        EXPECT_TRUE(has_colour(pal, 0, 0, 0) && pal[0].red == 0);
        EXPECT_EQ(pal.back().red + pal.back().green + pal.back().blue, 765);
        if (c.entries == 3) {
            EXPECT_TRUE(has_colour(pal, 103, 151, 215));  // the cell's colour
        }
        mem_free(img);
    }
}

TEST(SelectPalette, SmallImageKeepsEveryWeightedCellSortedByBrightness) {
    const Rgb K{0, 0, 0}, G1{16, 16, 16}, G2{32, 32, 32}, R{255, 0, 0}, Gr{0, 255, 0}, Rd{51, 1, 1};
    PackedDib img = make_image({{K, G1, G2, R}, {Gr, Gr, K, R}, {Gr, G1, Rd, Rd}});
    std::vector<LogPaletteEntry> pal = palette_of(img);
    // black, white, and the cells 0x111, 0x222, 0x0F0 (negative), 0xF00, 0x030
    ASSERT_EQ(pal.size(), 7u);
    EXPECT_TRUE(has_colour(pal, 23, 23, 23));
    EXPECT_TRUE(has_colour(pal, 39, 39, 39));
    EXPECT_TRUE(has_colour(pal, 247, 7, 7));
    EXPECT_TRUE(has_colour(pal, 7, 247, 7));
    EXPECT_TRUE(has_colour(pal, 55, 7, 7));
    for (size_t i = 1; i < pal.size(); ++i)
        EXPECT_LE(pal[i - 1].red + pal[i - 1].green + pal[i - 1].blue,
                  pal[i].red + pal[i].green + pal[i].blue);
    mem_free(img);
}

TEST(SelectPalette, FullPaletteKeepsSectorRepresentativeAndMostSaturatedCell) {
    // 300 cells outside sectors 0 and 4, each three times between black
    // pixels (weight 3), and three blue-sector cells once each (weight 1).
    std::vector<Rgb> row;
    auto cell_colour = [](int key) {
        return Rgb{uint8_t(((key >> 4) & 15) * 16 + 7), uint8_t((key >> 8) * 16 + 7), uint8_t((key & 15) * 16 + 7)};
    };
    const Rgb black{0, 0, 0};
    int taken = 0;
    for (int k = 4094; k > 0 && taken < 300; --k) {
        int s = colour_cell_sector(k);
        if (s == 0 || s == 4) continue;
        for (int n = 0; n < 3; ++n) {
            row.push_back(black);
            row.push_back(cell_colour(k));
        }
        ++taken;
    }
    for (int key : {0xEEF, 0x118, 0x00F}) {
        row.push_back(black);
        row.push_back(cell_colour(key));
    }
    PackedDib img = make_image({row});
    std::vector<LogPaletteEntry> pal = palette_of(img);
    EXPECT_EQ(pal.size(), 256u);
    EXPECT_TRUE(has_colour(pal, 231, 231, 247));  // first of the sector from the top
    EXPECT_TRUE(has_colour(pal, 7, 7, 247));      // its most saturated cell
    EXPECT_FALSE(has_colour(pal, 23, 23, 135));   // lighter weight than the rest
    EXPECT_EQ(pal.front().red + pal.front().green + pal.front().blue, 0);
    EXPECT_EQ(pal.back().red + pal.back().green + pal.back().blue, 765);
    std::set<int> distinct;
    for (const LogPaletteEntry& e : pal) distinct.insert(e.red << 16 | e.green << 8 | e.blue);
    EXPECT_EQ(distinct.size(), 256u);
    mem_free(img);
}

TEST(DitherToPalette, SerpentineErrorDiffusion) {
    PackedDib img = make_image(std::vector<std::vector<Rgb>>(2, std::vector<Rgb>(3, Rgb{100, 100, 100})));
    const uint8_t bw[8] = {0, 0, 0, 0, 255, 255, 255, 0};
    PackedDib out = dither_to_palette(bw, 2, img);
    ASSERT_NE(out, nullptr);
    Held l(out);
    // Row 0 left to right, row 1 right to left with the errors of row 0.
    const uint8_t row0[3] = {0, 1, 0}, row1[3] = {1, 0, 1};
    EXPECT_EQ(0, std::memcmp(l.row(0), row0, 3));
    EXPECT_EQ(0, std::memcmp(l.row(1), row1, 3));
    EXPECT_EQ(0, std::memcmp(dib_palette_ptr(l.h), bw, 8));
    mem_free(img);
}

TEST(DitherToPalette, TiesGoToTheLowerIndex) {
    // The cell centre of black is (8, 8, 8): 24 away from both (0,0,0) and (16,16,16).
    const uint8_t first[12] = {255, 255, 255, 0, 0, 0, 0, 0, 16, 16, 16, 0};
    const uint8_t second[12] = {255, 255, 255, 0, 16, 16, 16, 0, 0, 0, 0, 0};
    PackedDib img = make_image({{Rgb{0, 0, 0}}});
    for (const uint8_t* pal : {first, second}) {
        PackedDib out = dither_to_palette(pal, 3, img);
        ASSERT_NE(out, nullptr);
        Held l(out);
        EXPECT_EQ(l.row(0)[0], 1);
    }
    EXPECT_EQ(dither_to_palette(first, 0, img), nullptr);
    mem_free(img);
}

TEST(ReduceTo8Bit, ResultLayout) {
    PackedDib img = dib_create24(5, 3);
    {
        Locked l(img);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 15; ++x) l.row(y)[x] = uint8_t(x * 40 + y * 70);
    }
    PackedDib out = reduce_to_8bit(img);
    ASSERT_NE(out, nullptr);
    Held l(out);
    uint32_t n = l.h->biClrUsed;
    EXPECT_GE(n, 2u);
    EXPECT_EQ(l.h->biClrImportant, n);
    EXPECT_EQ(l.h->biBitCount, 8);
    EXPECT_EQ(l.h->biSizeImage, 24u);
    EXPECT_EQ(l.h->biCompression, 0u);
    EXPECT_EQ(mem_size(out), size_t(40 + 4 * n + 24));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_LT(l.row(y)[x], n);

    PackedDib eight = dither_to_palette(dib_palette_ptr(l.h), int(n), img);  // 24-bit only
    EXPECT_NE(eight, nullptr);
    EXPECT_EQ(reduce_to_8bit(eight), nullptr);
    mem_free(eight);
    mem_free(img);
}

// A flat picture keeps its colour: every pixel takes the colour's own
// entry, the one between black (0) and white (2).
TEST(ReduceTo8Bit, FlatColourKeepsItsEntry) {
    PackedDib img = make_image(std::vector<std::vector<Rgb>>(8, std::vector<Rgb>(8, Rgb{100, 150, 200})));
    PackedDib out = reduce_to_8bit(img);
    ASSERT_NE(out, nullptr);
    Held l(out);
    ASSERT_EQ(l.h->biClrUsed, 3u);
    int others = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) others += l.row(y)[x] != 1;
    EXPECT_EQ(others, 0);
    mem_free(img);
}

}  // namespace
