#include "image/bmp.h"

#include <gtest/gtest.h>

#include "tests/unit/dib_test_support.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "image/reduce.h"
#include "tests/unit/test_files.h"

namespace {

typedef std::vector<uint8_t> Bytes;


std::string temp_path(const char* name) { return test_temp_path(name); }

Bytes read_file(const std::string& path) { return test_read_bytes(path); }
void write_file(const std::string& path, const Bytes& data) { test_write_bytes(path, data); }

void put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, v);
    put16(b, v >> 16);
}
uint32_t get32(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// A BMP file with a 40-byte header (or another size, padded with zeros).
struct BmpSpec {
    int width = 1, height = 1, bits = 24;
    uint32_t compression = 0, header_size = 40, size_image = 0, clr_used = 0;
    bool file_header = true;
    Bytes palette, masks, pixels;
};

Bytes build(const BmpSpec& s) {
    Bytes info;
    put32(info, s.header_size);
    put32(info, uint32_t(s.width));
    put32(info, uint32_t(s.height));
    put16(info, 1);
    put16(info, uint32_t(s.bits));
    put32(info, s.compression);
    put32(info, s.size_image);
    put32(info, 0);
    put32(info, 0);
    put32(info, s.clr_used);
    put32(info, 0);
    info.resize(s.header_size < 40 ? 40 : s.header_size);
    Bytes out;
    if (s.file_header) {
        size_t off = 14 + info.size() + s.palette.size() + s.masks.size();
        out = {'B', 'M'};
        put32(out, uint32_t(off + s.pixels.size()));
        put32(out, 0);
        put32(out, uint32_t(off));
    }
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), s.palette.begin(), s.palette.end());
    out.insert(out.end(), s.masks.begin(), s.masks.end());
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    return out;
}

int read_bytes(const Bytes& data, PackedDib* out) { return bmp_read_memory(data.data(), data.size(), out); }

// First pixel (blue, green, red) of a 24-bit result.
std::vector<int> first_pixel(PackedDib dib) {
    Locked l(dib);
    const uint8_t* p = dib_bits_ptr(l.h);
    return {p[0], p[1], p[2]};
}

TEST(BmpWrite, OnePixelFileLayout) {
    std::string path = temp_path("one.bmp");
    PackedDib dib = dib_create24(1, 1);
    ASSERT_EQ(bmp_write(dib, path.c_str()), 1);
    Bytes f = read_file(path);
    ASSERT_EQ(f.size(), 14 + mem_size(dib));
    EXPECT_GE(f.size(), 14u + 40 + 4 + 24);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(get32(f, 2), f.size());
    EXPECT_EQ(get32(f, 6), 0u);
    EXPECT_EQ(get32(f, 10), 54u);
    EXPECT_EQ(get32(f, 14 + 20), 0u);  // biSizeImage
    for (size_t i = 54; i < f.size(); ++i) EXPECT_EQ(f[i], 0) << i;
    Held l(dib);
    EXPECT_EQ(l.h->biSizeImage, 0u);  // cleared in the caller's block too
    std::remove(path.c_str());
}

TEST(BmpWrite, ReplacesAnExistingFile) {
    std::string path = temp_path("replace.bmp");
    write_file(path, Bytes(5000, 0xAB));
    PackedDib dib = dib_create24(2, 2);
    ASSERT_EQ(bmp_write(dib, path.c_str()), 1);
    EXPECT_EQ(read_file(path).size(), 14 + mem_size(dib));
    mem_free(dib);
    std::remove(path.c_str());
}

TEST(BmpWrite, ReportsFailures) {
    PackedDib dib = dib_create24(2, 2);
    std::string dir = temp_path("as_dir");
    std::filesystem::create_directories(dir);
    EXPECT_EQ(bmp_write(dib, dir.c_str()), 0);
    EXPECT_EQ(bmp_write(nullptr, temp_path("null.bmp").c_str()), 0);
#ifndef _WIN32
    // A full disk: the data cannot be written even though the file opened.
    EXPECT_EQ(bmp_write(dib, "/dev/full"), 0);
#endif
    std::filesystem::remove(dir);
    mem_free(dib);
}

TEST(BmpRoundTrip, TwentyFourAndEightBit) {
    PackedDib src = dib_create24(7, 5);
    {
        Locked l(src);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 21; ++x) l.row(y)[x] = uint8_t(x * 13 + y * 50);
    }
    PackedDib eight = reduce_to_8bit(src);
    ASSERT_NE(eight, nullptr);
    std::string path = temp_path("round.bmp");
    for (PackedDib dib : {src, eight}) {
        ASSERT_EQ(bmp_write(dib, path.c_str()), 1);
        PackedDib back = nullptr;
        ASSERT_EQ(bmp_read(path.c_str(), &back), 0);
        Locked a(dib);
        Held b(back);
        int64_t image = dib_stride(7, a.h->biBitCount) * 5;
        EXPECT_EQ(b.h->biSizeImage, uint32_t(image));
        b.h->biSizeImage = 0;
        EXPECT_EQ(0, std::memcmp(a.h, b.h, 40));
        size_t table = 4 * dib_palette_entries(a.h);
        EXPECT_EQ(0, std::memcmp(dib_palette_ptr(a.h), dib_palette_ptr(b.h), table + size_t(image)));
        EXPECT_EQ(mem_size(back), 40 + table + size_t(image) + 64);
    }
    mem_free(eight);
    mem_free(src);
    std::remove(path.c_str());
}

TEST(BmpRead, BareBitmapTakesRowsAfterColourTable) {
    BmpSpec s;
    s.file_header = false;
    s.width = 2;
    s.bits = 8;
    s.clr_used = 2;
    s.palette = {1, 2, 3, 0, 4, 5, 6, 0};
    s.pixels = {1, 0, 0, 0};
    PackedDib out = nullptr;
    ASSERT_EQ(read_bytes(build(s), &out), 0);
    Held l(out);
    EXPECT_EQ(l.h->biClrUsed, 2u);
    EXPECT_EQ(l.row(0)[0], 1);
    EXPECT_EQ(dib_palette_ptr(l.h)[4], 4);
}

// OS/2 core header: u32 size 12, u16 width, height, planes, bit count.
Bytes core_file(int width, int height, int bits, const Bytes& table, const Bytes& pixels) {
    Bytes info;
    put32(info, 12);
    put16(info, uint32_t(width));
    put16(info, uint32_t(height));
    put16(info, 1);
    put16(info, uint32_t(bits));
    Bytes out = {'B', 'M'};
    put32(out, uint32_t(26 + table.size() + pixels.size()));
    put32(out, 0);
    put32(out, uint32_t(26 + table.size()));
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

TEST(BmpRead, CoreHeaderIsWidened) {
    Bytes table;
    for (int i = 0; i < 256; ++i) table.insert(table.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    PackedDib out = nullptr;
    ASSERT_EQ(read_bytes(core_file(3, 2, 8, table, {7, 8, 9, 0, 10, 11, 12, 0}), &out), 0);
    {
        Locked l(out);
        EXPECT_EQ(l.h->biSize, 40u);
        EXPECT_EQ(l.h->biWidth, 3);
        EXPECT_EQ(l.h->biHeight, 2);
        EXPECT_EQ(l.h->biBitCount, 8);
        EXPECT_EQ(l.h->biClrUsed, 256u);
        EXPECT_EQ(l.h->biClrImportant, 256u);
        EXPECT_EQ(l.h->biSizeImage, 8u);
        const uint8_t* pal = dib_palette_ptr(l.h);
        const uint8_t entry200[4] = {200, 55, 100, 0};
        EXPECT_EQ(0, std::memcmp(pal + 4 * 200, entry200, 4));
        EXPECT_EQ(l.row(1)[2], 12);
    }
    mem_free(out);
    // The smallest OS/2 file is shorter than a 40-byte header would be.
    Bytes tiny = core_file(1, 1, 1, {0, 0, 0, 255, 255, 255}, {0x80, 0, 0, 0});
    ASSERT_LT(tiny.size(), 14u + 40);
    ASSERT_EQ(read_bytes(tiny, &out), 0);
    {
        Locked l(out);
        EXPECT_EQ(l.h->biBitCount, 1);
        EXPECT_EQ(l.row(0)[0], 0x80);
    }
    mem_free(out);
}

TEST(BmpRead, SixteenAndThirtyTwoBitPixelsBecomeTwentyFourBit) {
    auto px16 = [](uint32_t v) { return Bytes{uint8_t(v), uint8_t(v >> 8), 0, 0}; };
    auto masks = [](uint32_t r, uint32_t g, uint32_t b) {
        Bytes m;
        put32(m, r);
        put32(m, g);
        put32(m, b);
        return m;
    };
    struct Case {
        const char* what;
        int bits;
        uint32_t compression;
        Bytes masks, pixels;
        std::vector<int> bgr;
    };
    const Case cases[] = {
        {"555 red", 16, 0, {}, px16(0x7C00), {0, 0, 248}},
        {"555 mixed", 16, 0, {}, px16(0x0001 | 0x0200), {8, 128, 0}},
        {"565 green", 16, 3, masks(0xF800, 0x07E0, 0x001F), px16(0x07E0), {0, 252, 0}},
        {"565 red+blue", 16, 3, masks(0xF800, 0x07E0, 0x001F), px16(0xF81F), {248, 0, 248}},
        {"32 plain", 32, 0, {}, {0x33, 0x22, 0x11, 0x00}, {0x33, 0x22, 0x11}},
        {"32 fields", 32, 3, masks(0xFF00, 0xFF0000, 0xFF000000), {0xAA, 0x33, 0x22, 0x11}, {0x11, 0x22, 0x33}},
        // Zero mask: the channel reads as 0; wider than 8 bits: its top 8 bits.
        {"zero mask", 32, 3, masks(0, 0xFF00, 0xFF), {0x33, 0x22, 0x11, 0}, {0x33, 0x22, 0}},
        {"10-bit", 32, 3, masks(0x3FF00000, 0xFFC00, 0x3FF), {0xFF, 0x03, 0x00, 0x20}, {255, 0, 128}},
    };
    for (const Case& c : cases) {
        BmpSpec s;
        s.bits = c.bits;
        s.compression = c.compression;
        s.masks = c.masks;
        s.pixels = c.pixels;
        PackedDib out = nullptr;
        ASSERT_EQ(read_bytes(build(s), &out), 0) << c.what;
        EXPECT_EQ(first_pixel(out), c.bgr) << c.what;
        Held l(out);
        EXPECT_EQ(l.h->biBitCount, 24) << c.what;
        EXPECT_EQ(l.h->biCompression, 0u) << c.what;
        EXPECT_EQ(l.h->biSizeImage, 4u) << c.what;
    }
}

TEST(BmpRead, RefusedHeadersAndShortFiles) {
    auto with = [](void (*edit)(BmpSpec&)) {
        BmpSpec s;
        s.width = 3;
        s.height = 2;
        s.pixels = Bytes(24, 0x55);
        edit(s);
        return build(s);
    };
    struct Case {
        const char* what;
        Bytes data;
        int code;
    };
    const Case cases[] = {
        {"v4 header", with([](BmpSpec& s) { s.header_size = 108; }), kBmpErrFormat},
        {"v5 header", with([](BmpSpec& s) { s.header_size = 124; }), kBmpErrFormat},
        {"rle8", with([](BmpSpec& s) { s.bits = 8; s.compression = 1; s.palette = Bytes(1024); }), kBmpErrFormat},
        {"bit fields at 24 bits", with([](BmpSpec& s) { s.compression = 3; }), kBmpErrFormat},
        {"2 bits", with([](BmpSpec& s) { s.bits = 2; }), kBmpErrFormat},
        {"top-down", with([](BmpSpec& s) { s.height = -2; }), kBmpErrFormat},
        {"zero width", with([](BmpSpec& s) { s.width = 0; }), kBmpErrFormat},
        {"pixels short", with([](BmpSpec& s) { s.pixels.resize(23); }), kBmpErrFile},
        {"stated size past the end", with([](BmpSpec& s) { s.size_image = 25; }), kBmpErrFile},
        {"palette short", with([](BmpSpec& s) { s.bits = 8; s.palette = Bytes(1000); s.pixels.clear(); }), kBmpErrFile},
        {"huge palette count", with([](BmpSpec& s) { s.bits = 8; s.clr_used = 0x40000001; }), kBmpErrFile},
        {"masks short", with([](BmpSpec& s) { s.bits = 16; s.compression = 3; s.file_header = false; s.pixels = {1, 2}; }), kBmpErrFile},
        {"huge size", with([](BmpSpec& s) { s.width = 0x7FFFFFFF; s.height = 0x7FFFFFFF; s.bits = 32; }), kBmpErrFile},
        {"wide rows overflow", with([](BmpSpec& s) { s.width = 0x40000000; s.height = 16; }), kBmpErrFile},
        {"header cut", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0}, kBmpErrFile},
        {"too short", Bytes{'B', 'M', 1}, kBmpErrFile},
    };
    for (const Case& c : cases) {
        PackedDib out = reinterpret_cast<PackedDib>(1);
        EXPECT_EQ(read_bytes(c.data, &out), c.code) << c.what;
        EXPECT_EQ(out, nullptr) << c.what;
    }
    PackedDib out = nullptr;
    EXPECT_EQ(bmp_read(temp_path("does_not_exist.bmp").c_str(), &out), kBmpErrFile);
    EXPECT_EQ(out, nullptr);
    // An empty file is too short, whatever the system makes of an empty block.
    std::string empty = temp_path("empty.bmp");
    write_file(empty, Bytes{});
    EXPECT_EQ(bmp_read(empty.c_str(), &out), kBmpErrFile);
    EXPECT_EQ(out, nullptr);
    std::remove(empty.c_str());
}

TEST(BmpRead, UnderstatedImageSizeStillGivesWholeRows) {
    BmpSpec s;
    s.width = 3;
    s.height = 2;
    s.size_image = 4;
    s.pixels = Bytes(24, 0x55);
    PackedDib out = nullptr;
    ASSERT_EQ(read_bytes(build(s), &out), 0);
    Held l(out);
    EXPECT_EQ(l.h->biSizeImage, 24u);
    EXPECT_GE(mem_size(out), 40u + 24);
    EXPECT_EQ(l.row(1)[8], 0x55);
}

}  // namespace
