// PNG files of every kind made by ImageMagick, read as ImageMagick reads
// them, transparency over black, with its 16-bit samples rounded to the
// nearest 8-bit value (its own -depth 8 truncates them).
#ifndef _WIN32

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "image/png.h"
#include "tests/unit/dib_test_support.h"
#include "tests/unit/test_files.h"

namespace {

std::string output_of(const std::string& command) {
    std::string out;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

TEST(PngInterop, ReadsEveryKindAsImageMagickDoes) {
    const std::string convert = "/usr/bin/convert -seed 3 -size 37x23 plasma: -depth 8 ";
    const std::string alpha = " -alpha set -channel A -fx '(i+j)/(w+h)' +channel ";
    const struct {
        std::string make;  // convert arguments after the source picture
        const char* kind;  // colour type, bit depth, interlace, tRNS as identify tells them
    } cases[] = {
        {"-colors 12 PNG8:", "3 8 None 0"},
        {"-colors 12 -fuzz 25% -transparent '#8080ff' PNG8:", "3 8 None 1"},
        {"-colorspace Gray -depth 1 PNG:", "0 1 None 0"},
        {"-colorspace Gray -depth 2 PNG:", "0 2 None 0"},
        {"-colorspace Gray -depth 4 PNG:", "0 4 None 0"},
        {"-colorspace Gray PNG:", "0 8 None 0"},
        {"-colorspace Gray -depth 16 PNG:", "0 16 None 0"},
        {"-colorspace Gray -fuzz 20% -transparent gray50 -define png:color-type=0 PNG:", "0 8 None 1"},
        {"-colorspace Gray" + alpha + "-define png:color-type=4 PNG:", "4 8 None 0"},
        {"-depth 16 PNG48:", "2 16 None 0"},
        {"-fuzz 20% -transparent '#8080ff' -define png:color-type=2 PNG:", "2 8 None 1"},
        {alpha + "PNG32:", "6 8 None 0"},
        {alpha + "-depth 16 PNG64:", "6 16 None 0"},
        {"-interlace PNG PNG24:", "2 8 PNG 0"},
        {"-colors 7 -interlace PNG PNG8:", "3 8 PNG 0"},
        {alpha + "-depth 16 -interlace PNG PNG64:", "6 16 PNG 0"},
    };
    const std::string path = test_temp_path("kind.png");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.make);
        ASSERT_EQ(std::system((convert + c.make + "'" + path + "'").c_str()), 0);
        EXPECT_EQ(output_of("/usr/bin/identify -format '%[png:IHDR.color-type-orig] %[png:IHDR.bit-depth-orig] "
                            "%[interlace] ' '" + path + "'; grep -c tRNS '" + path + "'"),
                  std::string(c.kind) + "\n");
        const std::string rgb =
            output_of("/usr/bin/convert '" + path + "' -background black -alpha remove -alpha off -depth 16 -endian MSB rgb:-");
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

}  // namespace

#endif  // _WIN32
