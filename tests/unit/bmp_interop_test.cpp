// BMP files checked against an independent decoder and encoder (ImageMagick).
#ifndef _WIN32

#include <gtest/gtest.h>

#include "tests/unit/test_files.h"
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "image/bmp.h"
#include "image/reduce.h"
#include "image/scale.h"
#include "tests/unit/dib_test_support.h"

namespace {

typedef std::vector<uint8_t> Bytes;
namespace fs = std::filesystem;

// /usr/local/bin may hold a stand-in; the real tools live here.
const char* const kConvert = "/usr/bin/convert";
const char* const kIdentify = "/usr/bin/identify";

struct TempDir {
    fs::path path;
    TempDir() {
        path = fs::temp_directory_path() / ("tamble_bmp_im_" + std::to_string(getpid()));
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    std::string file(const char* name) const { return (path / name).string(); }
};

Bytes read_file(const std::string& path) { return test_read_bytes(path); }
void write_file(const std::string& path, const Bytes& data) { test_write_bytes(path, data); }

bool run(const std::string& cmd) { return std::system((cmd + " 2>/dev/null").c_str()) == 0; }

std::string capture(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[256];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
    return out;
}

// ImageMagick's view of a picture file: top-down RGB triples.
Bytes im_rgb(const TempDir& dir, const std::string& file) {
    std::string raw = dir.file("im.rgb");
    if (!run(std::string(kConvert) + " '" + file + "' -depth 8 rgb:'" + raw + "'")) return {};
    return read_file(raw);
}

// Our view: bmp_read, widened to 24 bits, as top-down RGB triples.
Bytes our_rgb(const std::string& file) {
    PackedDib dib = nullptr;
    if (bmp_read(file.c_str(), &dib) != 0) return {};
    dib = dib_to_24bit(dib);
    if (!dib) return {};
    Bytes out;
    Held l(dib);
    for (int y = 0; y < l.h->biHeight; ++y) {
        const uint8_t* row = dib_row_top_down(l.h, y);
        for (int x = 0; x < l.h->biWidth; ++x) out.insert(out.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    return out;
}

// A binary PPM of a deterministic picture: `colours` distinct colours, or
// (colours = 0) a smooth, many-coloured one.
void write_ppm(const std::string& path, int w, int h, int colours) {
    std::string head = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    Bytes data(head.begin(), head.end());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (colours) {
                int i = (x * 3 + y * 5) % colours;
                data.insert(data.end(), {uint8_t(i * 67 + 5), uint8_t(i * 151 + 40), uint8_t(i * 23 + 90)});
            } else {
                data.insert(data.end(), {uint8_t(x * 37 + y * 11), uint8_t(y * 53 + x), uint8_t(x * y * 7)});
            }
        }
    write_file(path, data);
}

class BmpInterop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(access(kConvert, X_OK), 0) << "ImageMagick is needed (scripts/test installs it)";
    }
    TempDir dir;
};

TEST_F(BmpInterop, WrittenFilesReadTheSame) {
    const int w = 13, h = 7;
    PackedDib src = dib_create24(w, h);
    {
        Locked l(src);
        for (int y = 0; y < h; ++y) {
            uint8_t* row = dib_row_top_down(l.h, y);
            for (int x = 0; x < 3 * w; ++x) row[x] = uint8_t(x * 29 + y * 71);
        }
    }
    PackedDib eight = reduce_to_8bit(src);
    ASSERT_NE(eight, nullptr);
    for (PackedDib dib : {src, eight}) {
        std::string file = dir.file("ours.bmp");
        ASSERT_EQ(bmp_write(dib, file.c_str()), 1);
        EXPECT_EQ(capture(std::string(kIdentify) + " -format '%w %h' '" + file + "'"), "13 7");
        Bytes expected = our_rgb(file);  // the block's own pixels through the palette
        ASSERT_EQ(expected.size(), size_t(w * h * 3));
        EXPECT_EQ(im_rgb(dir, file), expected);
    }
    // And the pixels are really the source's for the 24-bit file.
    ASSERT_EQ(bmp_write(src, dir.file("ours.bmp").c_str()), 1);
    Bytes im = im_rgb(dir, dir.file("ours.bmp"));
    ASSERT_EQ(im.size(), size_t(w * h * 3));
    {
        Locked l(src);
        const uint8_t* top = dib_row_top_down(l.h, 0);
        EXPECT_EQ(im[0], top[2]);
        EXPECT_EQ(im[1], top[1]);
        EXPECT_EQ(im[2], top[0]);
    }
    mem_free(eight);
    mem_free(src);
}

TEST_F(BmpInterop, ReadsImageMagickFiles) {
    struct Case {
        const char* what;
        int colours;          // of the source picture, 0 for many
        const char* options;  // for convert, before the output name
        const char* format;   // output prefix
        bool make_fields;     // rewrite a 124-byte header as 40 bytes + bit fields
        int file_header;      // expected size of the information header in the file
        int file_bits;        // expected bit depth in the file
        uint8_t low_mask[3];  // bits of ImageMagick's values that we keep
    };
    const Case cases[] = {
        {"1-bit", 2, "-type Palette", "BMP3", false, 40, 1, {255, 255, 255}},
        {"4-bit", 12, "-type Palette", "BMP3", false, 40, 4, {255, 255, 255}},
        {"8-bit", 100, "-type Palette", "BMP3", false, 40, 8, {255, 255, 255}},
        {"24-bit", 0, "-type TrueColor", "BMP3", false, 40, 24, {255, 255, 255}},
        {"32-bit", 0, "-alpha opaque -define bmp3:alpha=true", "BMP3", false, 40, 32, {255, 255, 255}},
        {"OS/2 1-bit", 2, "-type Palette", "BMP2", false, 12, 1, {255, 255, 255}},
        {"OS/2 8-bit", 100, "-type Palette", "BMP2", false, 12, 8, {255, 255, 255}},
        {"OS/2 24-bit", 0, "-type TrueColor", "BMP2", false, 12, 24, {255, 255, 255}},
        // ImageMagick fills the low bits of 5- and 6-bit channels; we leave them 0.
        {"RGB565 fields", 0, "-define bmp:subtype=RGB565", "BMP", true, 40, 16, {0xF8, 0xFC, 0xF8}},
        {"RGB555 fields", 0, "-define bmp:subtype=RGB555", "BMP", true, 40, 16, {0xF8, 0xF8, 0xF8}},
        {"ARGB8888 fields", 0, "-alpha opaque -define bmp:subtype=ARGB8888", "BMP", true, 40, 32, {255, 255, 255}},
    };
    const int w = 23, h = 9;
    std::string ppm = dir.file("src.ppm");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write_ppm(ppm, w, h, c.colours);
        std::string made = dir.file("made.bmp");
        ASSERT_TRUE(run(std::string(kConvert) + " '" + ppm + "' " + c.options + " -compress None " + c.format + ":'" + made + "'"));
        Bytes expected = im_rgb(dir, made);
        ASSERT_EQ(expected.size(), size_t(w * h * 3));
        std::string file = made;
        if (c.make_fields) {
            // The 124-byte header holds the masks right where a 40-byte
            // header with bit fields expects them; the pixel offset stays.
            Bytes data = read_file(made);
            ASSERT_EQ(data[14], 124);
            data[14] = 40;
            file = dir.file("fields.bmp");
            write_file(file, data);
        }
        Bytes data = read_file(file);
        ASSERT_GT(data.size(), 30u);
        ASSERT_EQ(data[14], c.file_header);
        ASSERT_EQ(c.file_header == 12 ? data[24] : data[28], c.file_bits);
        Bytes ours = our_rgb(file);
        ASSERT_EQ(ours.size(), expected.size());
        int wrong = 0;
        for (size_t i = 0; i < ours.size(); ++i) wrong += ours[i] != (expected[i] & c.low_mask[i % 3]);
        EXPECT_EQ(wrong, 0);
    }
}

}  // namespace

#endif  // _WIN32
