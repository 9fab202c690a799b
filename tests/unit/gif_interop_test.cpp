// GIF files checked against an independent decoder and encoder (ImageMagick).
#ifndef _WIN32

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "image/gif_read.h"
#include "image/gif_write.h"
#include "tests/unit/dib_test_support.h"
#include "tests/unit/gif_test_support.h"

namespace {

using namespace gif_test;
using Bytes = std::vector<uint8_t>;

const char kConvert[] = "/usr/bin/convert";
const char kIdentify[] = "/usr/bin/identify";

bool have_imagemagick() {
    return std::filesystem::exists(kConvert) && std::filesystem::exists(kIdentify);
}

// Runs a shell command and returns what it printed.
Bytes run(const std::string& command, int* status = nullptr) {
    Bytes out;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.insert(out.end(), buf, buf + n);
    int rc = pclose(p);
    if (status) *status = rc;
    return out;
}

std::string text(const Bytes& b) { return std::string(b.begin(), b.end()); }

struct WriteCase {
    const char* name;
    int width, height, bits;
    uint32_t clr_used;
    Pattern pattern;
};

class GifInteropWrite : public ::testing::TestWithParam<WriteCase> {};

// ImageMagick decodes the writer's files to the palette colours of the
// indices written, and sees an interlaced GIF87a of the right size.
TEST_P(GifInteropWrite, DecodedByImageMagick) {
    ASSERT_TRUE(have_imagemagick()) << "ImageMagick is needed (scripts/test installs it)";
    const WriteCase& c = GetParam();
    unsigned colours = c.clr_used ? c.clr_used : 1u << c.bits;
    Bytes px = make_indices(c.width, c.height, colours, c.pattern, 11);
    PackedDib dib = make_paletted(c.width, c.height, c.bits, c.clr_used, px);
    std::string path = temp_path(std::string("im_write_") + c.name + ".gif");
    ASSERT_EQ(gif_write(dib, path.c_str()), 0);
    mem_free(dib);

    Bytes file = read_bytes(path);
    ASSERT_GE(file.size(), 13u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF87a");
    EXPECT_EQ(text(run(std::string(kIdentify) + " -format '%m %w %h %[interlace]' '" + path + "'")),
              "GIF " + std::to_string(c.width) + " " + std::to_string(c.height) + " GIF");

    int status = -1;
    Bytes rgb = run(std::string(kConvert) + " '" + path + "' -depth 8 rgb:-", &status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(rgb.size(), size_t(c.width) * c.height * 3);
    for (size_t i = 0; i < px.size(); ++i) {
        uint8_t r, g, b;
        palette_rgb(px[i], &r, &g, &b);
        ASSERT_EQ(rgb[3 * i], r) << "pixel " << i;
        ASSERT_EQ(rgb[3 * i + 1], g) << "pixel " << i;
        ASSERT_EQ(rgb[3 * i + 2], b) << "pixel " << i;
    }
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Images, GifInteropWrite,
                         ::testing::Values(WriteCase{"random8", 400, 300, 8, 0, Pattern::kRandom},
                                           WriteCase{"runs8", 512, 384, 8, 0, Pattern::kRuns},
                                           WriteCase{"flat8", 800, 600, 8, 0, Pattern::kFlat},
                                           WriteCase{"grad8", 257, 129, 8, 50, Pattern::kHGradient},
                                           WriteCase{"two", 97, 61, 8, 2, Pattern::kRandom},
                                           WriteCase{"random4", 301, 77, 4, 0, Pattern::kRandom},
                                           WriteCase{"random1", 333, 111, 1, 0, Pattern::kRandom},
                                           WriteCase{"pixel", 1, 1, 8, 0, Pattern::kFlat}),
                         [](const ::testing::TestParamInfo<WriteCase>& i) { return std::string(i.param.name); });

struct ReadCase {
    const char* name;
    const char* make;  // convert arguments before the output file
    int width, height;
    const char* format = "";  // written before the output name, e.g. "GIF87:"
};

class GifInteropRead : public ::testing::TestWithParam<ReadCase> {};

// Files made by ImageMagick read back as the pixels it reports for frame 0.
TEST_P(GifInteropRead, MatchesImageMagickFirstFrame) {
    ASSERT_TRUE(have_imagemagick()) << "ImageMagick is needed (scripts/test installs it)";
    const ReadCase& c = GetParam();
    std::string path = temp_path(std::string("im_read_") + c.name + ".gif");
    int status = -1;
    run(std::string(kConvert) + " " + c.make + " " + c.format + "'" + path + "'", &status);
    ASSERT_EQ(status, 0) << c.make;
    Bytes expected = run(std::string(kConvert) + " '" + path + "[0]' -depth 8 rgb:-", &status);
    ASSERT_EQ(status, 0);

    PackedDib dib = nullptr;
    ASSERT_EQ(gif_read(&dib, path.c_str()), 0);
    Held l(dib);
    const DibHeader* h = l.h;
    ASSERT_EQ(h->biWidth, c.width);
    ASSERT_EQ(h->biHeight, c.height);
    ASSERT_EQ(expected.size(), size_t(c.width) * c.height * 3);
    const uint8_t* pal = dib_palette_ptr(l.h);
    for (int y = 0; y < c.height; ++y) {
        const uint8_t* row = dib_row_top_down(l.h, y);
        for (int x = 0; x < c.width; ++x) {
            ASSERT_LT(row[x], h->biClrUsed);
            const uint8_t* e = &expected[3 * (size_t(y) * c.width + x)];
            const uint8_t* q = pal + 4 * row[x];
            ASSERT_EQ(q[2], e[0]) << x << "," << y;
            ASSERT_EQ(q[1], e[1]) << x << "," << y;
            ASSERT_EQ(q[0], e[2]) << x << "," << y;
        }
    }
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Files, GifInteropRead,
    ::testing::Values(
        ReadCase{"gradient16", "-size 37x23 gradient:red-blue -colors 16", 37, 23},
        ReadCase{"interlaced", "-size 61x45 gradient:red-blue -colors 16 -interlace GIF", 61, 45},
        ReadCase{"plasma256", "-seed 3 -size 300x200 plasma: -colors 256", 300, 200},
        ReadCase{"plasma256_interlaced", "-seed 5 -size 203x101 plasma: -colors 256 -interlace GIF", 203, 101},
        ReadCase{"two_colours", "-size 50x20 pattern:checkerboard -colors 2 -comment hello", 50, 20},
        ReadCase{"four_colours", "-seed 9 -size 33x17 plasma: -colors 4", 33, 17},
        ReadCase{"gif87a", "-size 40x30 gradient:green-yellow -colors 8", 40, 30, "GIF87:"},
        ReadCase{"animated",
                 "-dispose none -delay 10 \\( -size 30x20 gradient:yellow-blue -colors 8 -repage 50x40+5+3 \\) "
                 "\\( -seed 4 -size 50x40 plasma: -colors 32 -repage +0+0 \\) -loop 0",
                 30, 20}),
    [](const ::testing::TestParamInfo<ReadCase>& i) { return std::string(i.param.name); });

}  // namespace

#endif  // _WIN32
