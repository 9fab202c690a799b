#include "image/png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>

#include "tests/unit/dib_test_support.h"
#include "tests/unit/test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Odd widths leave padding after every row; the file must not carry it.
TEST(PngRoundTrip, ExactPixels) {
    for (auto [w, h] : {std::pair{1, 1}, {17, 1}, {33, 18}, {257, 130}}) {
        PackedDib dib = dib_create24(w, h), back = nullptr;
        Held o(dib);
        uint32_t seed = uint32_t(w);
        for (int y = 0; y < h; ++y)
            for (int i = 0; i < 3 * w; ++i) o.row(y)[i] = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
        o.h->biXPelsPerMeter = o.h->biYPelsPerMeter = 2835;
        const std::string path = test_temp_path("round.png");
        ASSERT_EQ(png_write_dib(dib, path.c_str()), 0);
        const Bytes d = test_read_bytes(path);
        EXPECT_EQ(Bytes(d.begin() + 24, d.begin() + 29), (Bytes{8, 2, 0, 0, 0})) << "8-bit RGB, no interlace";
        ASSERT_EQ(png_read_dib(path.c_str(), &back), 0);
        Held a(back);
        EXPECT_EQ(0, std::memcmp(a.h, o.h, size_t(40 + dib_stride(w, 24) * h))) << "header, rows, padding";
    }
}

// A picture the writer cannot write leaves a file of that name as it was;
// the reader refuses damaged files, and pictures over the limit before decoding.
TEST(PngCodec, Refusals) {
    const std::string path = test_temp_path("refused.png");
    PackedDib dib = dib_create24(100, 100);
    Locked(dib).h->biBitCount = 8;
    test_write_file(path, "x");
    EXPECT_EQ(png_write_dib(dib, path.c_str()), kPngErrFormat);
    EXPECT_EQ(test_read_file(path), "x");
    Locked(dib).h->biBitCount = 24;
    EXPECT_EQ(png_write_dib(dib, test_temp_path("no_folder/x.png").c_str()), kPngErrFile);
    ASSERT_EQ(png_write_dib(dib, path.c_str()), 0);
    mem_free(dib);
    const Bytes good = test_read_bytes(path);
    ASSERT_EQ(0, std::memcmp(&good[37], "IDAT", 4)) << "the pixel data follows the header";
    const size_t idat_crc = 41 + (good[33] << 24 | good[34] << 16 | good[35] << 8 | good[36]);
    // The header with other sizes and its CRC made anew, and one byte changed.
    auto changed = [&](uint32_t w, uint32_t h, size_t flip) {
        Bytes d = good;
        d[18] = uint8_t(w >> 8), d[19] = uint8_t(w), d[22] = uint8_t(h >> 8), d[23] = uint8_t(h);
        const uLong crc = crc32(0, d.data() + 12, 17);
        for (int i = 0; i < 4; ++i) d[29 + i] = uint8_t(crc >> (24 - 8 * i));
        if (flip) d[flip] ^= 1;
        return d;
    };
    const struct { const char* what; Bytes data; int code; } cases[] = {
        {"not a PNG", Bytes(200, 'x'), kPngErrDamaged},
        {"cut in the pixel data", Bytes(good.begin(), good.begin() + long(idat_crc) / 2), kPngErrDamaged},
        {"header CRC", changed(100, 100, 29), kPngErrDamaged},
        {"pixel data CRC", changed(100, 100, idat_crc), kPngErrDamaged},
        {"zero width", changed(0, 100, 0), kPngErrDamaged},
        {"65535 x 65535", changed(65535, 65535, 0), kPngErrMemory},
    };
    for (const auto& c : cases) {
        test_write_bytes(path, c.data);
        PackedDib out = reinterpret_cast<PackedDib>(1);
        EXPECT_EQ(png_read_dib(path.c_str(), &out), c.code) << c.what;
        EXPECT_EQ(out, nullptr) << c.what;
    }
    PackedDib out = nullptr;
    EXPECT_EQ(png_read_dib(test_temp_path("missing.png").c_str(), &out), kPngErrFile);
    EXPECT_EQ(png_read_dib_memory(good.data(), good.size(), 40 + 300 * 100 - 1, &out), kPngErrMemory);
    ASSERT_EQ(png_read_dib_memory(good.data(), good.size(), 40 + 300 * 100, &out), 0);
    mem_free(out);
}

#ifndef _WIN32
std::string output_of(const std::string& command) {
    std::string out;
    std::FILE* p = popen(command.c_str(), "r");
    for (int c; p && (c = std::fgetc(p)) != EOF;) out += char(c);
    if (p) pclose(p);
    return out;
}

// Every kind of PNG ImageMagick makes reads as it reads it: transparency over black, 16-bit
// samples rounded to the nearest 8-bit value (its -depth 8 cuts them, so its 16 bits are taken).
TEST(PngInterop, ReadsEveryKindAsImageMagickDoes) {
    const std::string alpha = " -alpha set -channel A -fx '(i+j)/(w+h)' +channel ";
    // What convert makes of the source, and its colour type, bit depth, interlace and tRNS chunks.
    const struct { std::string make; const char* kind; } cases[] = {
        {"-colors 12 PNG8:", "3 8 None 0"},    {"-colors 12 -fuzz 25% -transparent '#8080ff' PNG8:", "3 8 None 1"},
        {"-colorspace Gray -depth 1 PNG:", "0 1 None 0"}, {"-colorspace Gray -depth 2 PNG:", "0 2 None 0"},
        {"-colorspace Gray -depth 4 PNG:", "0 4 None 0"}, {"-colorspace Gray PNG:", "0 8 None 0"},
        {"-colorspace Gray -depth 16 PNG:", "0 16 None 0"}, {"-depth 16 PNG48:", "2 16 None 0"},
        {"-colorspace Gray" + alpha + "-define png:color-type=4 PNG:", "4 8 None 0"}, {alpha + "PNG32:", "6 8 None 0"},
        {"-fuzz 20% -transparent '#8080ff' -define png:color-type=2 PNG:", "2 8 None 1"},
        {"-interlace PNG PNG24:", "2 8 PNG 0"}, {alpha + "-depth 16 -interlace PNG PNG64:", "6 16 PNG 0"},
    };
    const std::string path = test_temp_path("kind.png");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.make);
        ASSERT_EQ(std::system(("/usr/bin/convert -seed 3 -size 37x23 plasma: -depth 8 " + c.make + path).c_str()), 0);
        EXPECT_EQ(output_of("/usr/bin/identify -format '%[png:IHDR.color-type-orig] %[png:IHDR.bit-depth-orig] "
                            "%[interlace] ' " + path + "; grep -c tRNS " + path),
                  std::string(c.kind) + "\n");
        const std::string rgb = output_of("/usr/bin/convert " + path +
                                          " -background black -alpha remove -alpha off -depth 16 -endian MSB rgb:-");
        PackedDib dib = nullptr;
        ASSERT_EQ(png_read_dib(path.c_str(), &dib), 0);
        Held l(dib);
        ASSERT_EQ(rgb.size(), size_t(37 * 23 * 6));
        for (int i = 0; i < 37 * 23 * 3; ++i) {
            const unsigned theirs = uint8_t(rgb[2 * i]) << 8 | uint8_t(rgb[2 * i + 1]);
            const uint8_t* ours = dib_row_top_down(l.h, i / 111) + 3 * (i % 111 / 3);
            ASSERT_EQ(ours[2 - i % 3], (theirs * 255 + 32767) / 65535) << "sample " << i;
        }
    }
}

#endif  // _WIN32

}  // namespace
