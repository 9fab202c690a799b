#include "image/png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>

#include "tests/unit/dib_test_support.h"
#include "tests/unit/test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t be32(const Bytes& d, size_t at) {
    return uint32_t(d[at]) << 24 | uint32_t(d[at + 1]) << 16 | uint32_t(d[at + 2]) << 8 | d[at + 3];
}
void put_be32(Bytes& d, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + i] = uint8_t(v >> (24 - 8 * i));
}

PackedDib make_picture(int w, int h) {
    PackedDib dib = dib_create24(w, h);
    Locked l(dib);
    uint32_t seed = uint32_t(w * 31 + h);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = dib_row_top_down(l.h, y);
        for (int i = 0; i < 3 * w; ++i) row[i] = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
    }
    return dib;
}

// Odd widths leave padding after every row; the file must not carry it.
TEST(PngRoundTrip, ExactPixelsFromFileAndMemory) {
    for (auto [w, h] : {std::pair{1, 1}, {3, 5}, {17, 1}, {33, 18}, {257, 130}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        PackedDib dib = make_picture(w, h);
        {
            Locked l(dib);
            l.h->biXPelsPerMeter = l.h->biYPelsPerMeter = 2835;
        }
        const std::string path = test_temp_path("round.png");
        ASSERT_EQ(png_write_dib(dib, path.c_str()), 0);
        const Bytes d = test_read_bytes(path);
        ASSERT_GT(d.size(), 33u);
        EXPECT_EQ(Bytes(d.begin() + 24, d.begin() + 29), (Bytes{8, 2, 0, 0, 0})) << "8-bit RGB, no interlace";
        PackedDib from_file = nullptr, from_memory = nullptr;
        ASSERT_EQ(png_read_dib(path.c_str(), &from_file), 0);
        ASSERT_EQ(png_read_dib_memory(d.data(), d.size(), kMemBlockMaxSize, &from_memory), 0);
        Held a(from_file), b(from_memory), o(dib);
        EXPECT_EQ(a.h->biWidth, w);
        EXPECT_EQ(a.h->biHeight, h);
        EXPECT_EQ(a.h->biBitCount, 24);
        EXPECT_EQ(a.h->biXPelsPerMeter, 2835);
        for (int y = 0; y < h; ++y)
            ASSERT_EQ(0, std::memcmp(dib_row_top_down(a.h, y), dib_row_top_down(o.h, y), size_t(3 * w))) << y;
        EXPECT_EQ(0, std::memcmp(a.h, b.h, mem_size(from_file)));
    }
}

// A picture the writer refuses leaves a file of that name as it was.
TEST(PngWrite, RefusalsLeaveTheFileAlone) {
    struct Case {
        const char* what;
        int width, height, bits, planes, compression, code;
    };
    const Case cases[] = {{"8-bit", 8, 8, 8, 1, 0, kPngErrFormat},     {"two planes", 8, 8, 24, 2, 0, kPngErrFormat},
                          {"compressed", 8, 8, 24, 1, 1, kPngErrFormat}, {"zero width", 0, 8, 24, 1, 0, kPngErrFormat},
                          {"top-down", 8, -8, 24, 1, 0, kPngErrFormat},  {"rows past the block", 8, 900, 24, 1, 0, kPngErrLock}};
    const std::string path = test_temp_path("kept.png");
    for (const Case& c : cases) {
        PackedDib dib = mem_alloc(40 + 8 * 24 * 8 + 1024);
        {
            Locked l(dib);
            dib_write_header(l.h, c.width, c.height, c.bits, 0);
            l.h->biPlanes = uint16_t(c.planes);
            l.h->biCompression = uint32_t(c.compression);
        }
        test_write_file(path, "x");
        EXPECT_EQ(png_write_dib(dib, path.c_str()), c.code) << c.what;
        EXPECT_EQ(test_read_file(path), "x") << c.what;
        mem_free(dib);
    }
    EXPECT_EQ(png_write_dib(nullptr, path.c_str()), kPngErrLock);
    PackedDib dib = make_picture(2, 2);
    const std::string lost = test_temp_path("no_such_folder/x.png");
    EXPECT_EQ(png_write_dib(dib, lost.c_str()), kPngErrFile);
    EXPECT_FALSE(std::filesystem::exists(lost));
    mem_free(dib);
}

TEST(PngRead, RefusesDamagedAndOversizedFiles) {
    PackedDib dib = make_picture(100, 100);
    const std::string path = test_temp_path("good.png");
    ASSERT_EQ(png_write_dib(dib, path.c_str()), 0);
    mem_free(dib);
    const Bytes good = test_read_bytes(path);
    size_t idat = 8;
    while (std::memcmp(&good[idat + 4], "IDAT", 4)) idat += 12 + be32(good, idat);
    const size_t idat_end = idat + 8 + be32(good, idat);
    auto ihdr_with = [&](uint32_t w, uint32_t h) {
        Bytes d = good;
        put_be32(d, 16, w);
        put_be32(d, 20, h);
        put_be32(d, 29, uint32_t(crc32(0, d.data() + 12, 17)));
        return d;
    };
    Bytes bad_ihdr_crc = good, bad_idat_crc = good;
    bad_ihdr_crc[29] ^= 1;
    bad_idat_crc[idat_end] ^= 1;
    const struct {
        const char* what;
        Bytes data;
        int code;
    } cases[] = {
        {"empty", {}, kPngErrDamaged},
        {"signature only", Bytes(good.begin(), good.begin() + 8), kPngErrDamaged},
        {"not a PNG", Bytes(200, 'x'), kPngErrDamaged},
        {"cut in the pixel data", Bytes(good.begin(), good.begin() + long(idat_end) / 2), kPngErrDamaged},
        {"header CRC", bad_ihdr_crc, kPngErrDamaged},
        {"pixel data CRC", bad_idat_crc, kPngErrDamaged},
        {"zero width", ihdr_with(0, 100), kPngErrDamaged},
        {"65535 x 65535", ihdr_with(65535, 65535), kPngErrMemory},
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

}  // namespace
