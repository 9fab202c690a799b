#include "image/jpeg.h"

#include <gtest/gtest.h>

#include "tests/unit/dib_test_support.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

std::string scratch(const std::string& name) {
    return (fs::temp_directory_path() / ("tamble_jpeg_" + name)).string();
}

Bytes read_bytes(const std::string& path) {
    Bytes data;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return data;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
    std::fclose(f);
    return data;
}

void write_bytes(const std::string& path, const Bytes& data) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    if (!data.empty()) std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
}

// Smooth gradients with some grain and a few hard edges: enough for every
// part of the coder to matter.
PackedDib make_picture(int w, int h) {
    PackedDib dib = dib_create24(w, h);
    Locked l(dib);
    uint32_t seed = 12345;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = dib_row_top_down(l.h, y);
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            int grain = int((seed >> 16) & 15);
            bool box = (x / 13 + y / 9) % 5 == 0;
            row[3 * x] = uint8_t(box ? 250 : x * 255 / w + grain / 2);
            row[3 * x + 1] = uint8_t(box ? 20 : y * 255 / h);
            row[3 * x + 2] = uint8_t(((x + y) * 3 + grain) & 255);
        }
    }
    return dib;
}

int write_file(PackedDib dib, int quality, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 999;
    return jpeg_write_dib(dib, quality, f);
}

size_t be16(const Bytes& d, size_t at) { return size_t(d[at]) << 8 | d[at + 1]; }

// The markers in order up to and including SOS, with each segment's offset.
struct Segment {
    int marker;
    size_t at;
};
std::vector<Segment> segments(const Bytes& d) {
    std::vector<Segment> out;
    size_t at = 2;
    while (at + 4 <= d.size() && d[at] == 0xFF) {
        int marker = d[at + 1];
        out.push_back({marker, at});
        if (marker == 0xDA) break;
        at += 2 + be16(d, at + 2);
    }
    return out;
}

TEST(JpegWrite, StreamLayout) {
    PackedDib dib = make_picture(40, 24);
    for (int quality : {30, 80, 100}) {
        SCOPED_TRACE(quality);
        std::string path = scratch("layout.jpg");
        ASSERT_EQ(write_file(dib, quality, path), 0);
        Bytes d = read_bytes(path);
        ASSERT_GT(d.size(), 30u);
        const uint8_t head[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0,
                                1, 1, 0, 0, 1, 0, 1, 0, 0};
        EXPECT_EQ(0, std::memcmp(d.data(), head, sizeof head)) << "SOI and APP0";
        const uint8_t tail[] = {0xFF, 0xD9, 'c', '-', 'N', 'R'};
        EXPECT_EQ(0, std::memcmp(d.data() + d.size() - 6, tail, 6)) << "EOI and trailer";

        std::vector<Segment> seg = segments(d);
        std::vector<int> markers;
        for (const Segment& s : seg) markers.push_back(s.marker);
        EXPECT_EQ(markers, (std::vector<int>{0xE0, 0xDB, 0xDB, 0xC0, 0xC4, 0xC4, 0xC4, 0xC4, 0xDA}));
        if (markers.size() != 9) continue;
        for (int t = 0; t < 2; ++t) {
            EXPECT_EQ(be16(d, seg[1 + t].at + 2), 67u);
            EXPECT_EQ(d[seg[1 + t].at + 4], t) << "8-bit table " << t;
        }
        const size_t sof = seg[3].at;
        EXPECT_EQ(be16(d, sof + 5), 24u);
        EXPECT_EQ(be16(d, sof + 7), 40u);
        const uint8_t comps[] = {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1};
        EXPECT_EQ(0, std::memcmp(d.data() + sof + 9, comps, sizeof comps)) << "4:2:0";
        const int dht_ids[] = {0x00, 0x10, 0x01, 0x11};
        for (int k = 0; k < 4; ++k) EXPECT_EQ(d[seg[4 + k].at + 4], dht_ids[k]);
        const size_t sos = seg[8].at;
        EXPECT_EQ(d[sos + 4], 3) << "one interleaved scan";
    }
    mem_free(dib);
}

// An 8-bit image must give the very same file as its 24-bit equivalent.
TEST(JpegWrite, PalettedImageUsesItsColourTable) {
    const int w = 21, h = 11;
    PackedDib rgb = make_picture(w, h);
    const int64_t stride8 = dib_stride(w, 8);
    PackedDib pal = mem_alloc(40 + 256 * 4 + size_t(stride8) * h);
    {
        Locked src(rgb), dst(pal);
        dst.h->biSize = 40;
        dst.h->biWidth = w;
        dst.h->biHeight = h;
        dst.h->biPlanes = 1;
        dst.h->biBitCount = 8;
        uint8_t* quads = dib_palette_ptr(dst.h);
        int used = 0;
        for (int y = 0; y < h; ++y) {
            uint8_t* s = dib_row_top_down(src.h, y);
            uint8_t* o = dib_row_top_down(dst.h, y);
            for (int x = 0; x < w; ++x, ++used) {
                // one entry per pixel, stored in reverse so order matters
                int index = 230 - used;
                ASSERT_GE(index, 0);
                std::memcpy(quads + 4 * index, s + 3 * x, 3);
                o[x] = uint8_t(index);
            }
        }
    }
    ASSERT_EQ(write_file(rgb, 75, scratch("rgb.jpg")), 0);
    ASSERT_EQ(write_file(pal, 75, scratch("pal.jpg")), 0);
    EXPECT_EQ(read_bytes(scratch("rgb.jpg")), read_bytes(scratch("pal.jpg")));
    mem_free(rgb);
    mem_free(pal);
}

TEST(JpegWrite, RefusesImagesItCannotCode) {
    struct Case {
        const char* what;
        int width, height, bits, planes, compression, clr_used, code;
    };
    const Case cases[] = {
        {"two planes", 8, 8, 24, 2, 0, 0, 15},
        {"compressed", 8, 8, 24, 1, 1, 0, 16},
        {"palette of 300", 8, 8, 8, 1, 0, 300, 14},
        {"16-bit", 8, 8, 16, 1, 0, 0, 13},
        {"4-bit", 8, 8, 4, 1, 0, 0, 13},
        {"zero width", 0, 8, 24, 1, 0, 0, 23},
        {"zero height", 8, 0, 24, 1, 0, 0, 23},
        {"too tall", 1, 65501, 24, 1, 0, 0, 27},
        {"too wide", 65501, 1, 24, 1, 0, 0, 27},
        {"block smaller than its rows", 8, 12000, 24, 1, 0, 0, kJpegErrLock},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Large enough for every case but the last.
        PackedDib dib = mem_alloc(40 + 4 * 65501 + 1200 * 4 + 64);
        {
            Locked l(dib);
            l.h->biSize = 40;
            l.h->biWidth = c.width;
            l.h->biHeight = c.height;
            l.h->biBitCount = uint16_t(c.bits);
            l.h->biPlanes = uint16_t(c.planes);
            l.h->biCompression = uint32_t(c.compression);
            l.h->biClrUsed = uint32_t(c.clr_used);
        }
        std::string path = scratch("refused.jpg");
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(f);
        // Buffered; it reaches the file only if the writer closes the stream.
        std::fputs("x", f);
#ifndef _WIN32
        int fd = fileno(f);
#endif
        EXPECT_EQ(jpeg_write_dib(dib, 80, f), c.code);
        EXPECT_EQ(read_bytes(path), Bytes{'x'});
#ifndef _WIN32
        EXPECT_EQ(fcntl(fd, F_GETFD), -1) << "stream left open";
#endif
        mem_free(dib);
    }
}

TEST(JpegWrite, NullImageClosesTheStream) {
    std::string path = scratch("null.jpg");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fputs("x", f);
    EXPECT_EQ(jpeg_write_dib(nullptr, 80, f), kJpegErrLock);
    EXPECT_EQ(read_bytes(path), Bytes{'x'});
    PackedDib dib = make_picture(2, 2);
    EXPECT_EQ(jpeg_write_dib(dib, 80, nullptr), kJpegErrNoStream);
    mem_free(dib);
}

TEST(JpegRoundTrip, SizesAndHeader) {
    const int sizes[][2] = {{1, 1}, {1, 17}, {17, 1}, {33, 18}, {257, 130}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(std::to_string(s[0]) + "x" + std::to_string(s[1]));
        PackedDib dib = make_picture(s[0], s[1]);
        std::string path = scratch("round.jpg");
        ASSERT_EQ(write_file(dib, 90, path), 0);
        PackedDib back = reinterpret_cast<PackedDib>(1);
        ASSERT_EQ(jpeg_read_dib(path.c_str(), &back), 0);
        ASSERT_TRUE(back);
        int64_t stride = dib_stride(s[0], 24);
        EXPECT_EQ(mem_size(back), size_t(40 + stride * s[1])) << "no spare bytes";
        {
            Locked l(back), o(dib);
            const DibHeader& h = *l.h;
            EXPECT_EQ(h.biSize, 40u);
            EXPECT_EQ(h.biWidth, s[0]);
            EXPECT_EQ(h.biHeight, s[1]);
            EXPECT_EQ(h.biPlanes, 1);
            EXPECT_EQ(h.biBitCount, 24);
            EXPECT_EQ(h.biCompression, 0u);
            EXPECT_EQ(h.biSizeImage, 0u);
            EXPECT_EQ(h.biXPelsPerMeter, 0);
            EXPECT_EQ(h.biClrUsed, 0u);
            // Lossy, but rows must not be flipped or channels swapped.
            long diff = 0;
            for (int y = 0; y < s[1]; ++y) {
                uint8_t* a = dib_row_top_down(l.h, y);
                uint8_t* b = dib_row_top_down(o.h, y);
                for (int i = 0; i < 3 * s[0]; ++i) diff += std::abs(a[i] - b[i]);
            }
            EXPECT_LT(double(diff) / (3.0 * s[0] * s[1]), 12.0);
        }
        mem_free(back);
        mem_free(dib);
    }
}

void set_density(Bytes& d, int unit, int x, int y) {
    d[13] = uint8_t(unit);
    d[14] = uint8_t(x >> 8);
    d[15] = uint8_t(x);
    d[16] = uint8_t(y >> 8);
    d[17] = uint8_t(y);
}

TEST(JpegRead, DensityOnlyInDotsPerCentimetre) {
    PackedDib dib = make_picture(9, 9);
    std::string path = scratch("density.jpg");
    ASSERT_EQ(write_file(dib, 80, path), 0);
    const Bytes original = read_bytes(path);
    struct Case {
        int unit, x, y, want_x, want_y;
    };
    const Case cases[] = {{2, 28, 28, 2800, 2800}, {2, 40, 12, 4000, 1200}, {1, 72, 72, 0, 0},
                          {0, 1, 1, 0, 0}};
    for (const Case& c : cases) {
        Bytes d = original;
        set_density(d, c.unit, c.x, c.y);
        write_bytes(path, d);
        PackedDib back = nullptr;
        ASSERT_EQ(jpeg_read_dib(path.c_str(), &back), 0);
        Held l(back);
        EXPECT_EQ(l.h->biXPelsPerMeter, c.want_x) << "unit " << c.unit;
        EXPECT_EQ(l.h->biYPelsPerMeter, c.want_y) << "unit " << c.unit;
    }
    mem_free(dib);
}

// A 4-component file made with the library itself, so this runs anywhere.
TEST(JpegRead, RefusesCmyk) {
    std::string path = scratch("cmyk.jpg");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = 8;
    cinfo.image_height = 8;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    uint8_t row[32] = {10, 20, 30, 40};
    JSAMPROW rows[1] = {row};
    while (cinfo.next_scanline < cinfo.image_height) jpeg_write_scanlines(&cinfo, rows, 1);
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(f);
    PackedDib out = reinterpret_cast<PackedDib>(1);
    EXPECT_EQ(jpeg_read_dib(path.c_str(), &out), kJpegErrColourSpace);
    EXPECT_EQ(out, nullptr);
}

TEST(JpegRead, DamagedFilesGiveCodes) {
    PackedDib dib = make_picture(64, 48);
    std::string good = scratch("good.jpg");
    ASSERT_EQ(write_file(dib, 80, good), 0);
    mem_free(dib);
    const Bytes d = read_bytes(good);
    std::vector<Segment> seg = segments(d);
    ASSERT_EQ(seg.size(), 9u);
    const size_t sof = seg[3].at, sos = seg[8].at;

    struct Case {
        const char* what;
        Bytes data;
        int want;  // 0, a code, or 1 for "any negative code"
    };
    Bytes huge = d;  // 65000 x 65000 would need far more than a block may hold
    huge[sof + 5] = huge[sof + 7] = 0xFD;
    huge[sof + 6] = huge[sof + 8] = 0xE8;
    Bytes zero_width = d;
    zero_width[sof + 7] = zero_width[sof + 8] = 0;
    Bytes bad_table = d;
    bad_table[sof + 11] = 7;  // Y uses quantisation table 7
    Bytes cut_in_scan(d.begin(), d.begin() + long(sos + (d.size() - sos) / 2));
    Bytes cut_in_header(d.begin(), d.begin() + long(sof + 6));
    Bytes noise(500);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = uint8_t(i * 7 + 3);
    const Case cases[] = {
        {"three bytes", {0xFF, 0xD8, 0xFF}, kJpegErrFile},
        {"four bytes", {0xFF, 0xD8, 0xFF, 0xD9}, kJpegErrFile},
        {"empty", {}, kJpegErrFile},
        {"not a jpeg", noise, 1},
        {"huge dimensions", huge, kJpegErrMemory},
        {"zero width", zero_width, 1},
        {"bad table number", bad_table, 1},
        {"cut in the header", cut_in_header, 1},
        // The library finishes such an image with grey, as it does for files.
        {"cut in the scan", cut_in_scan, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = scratch("damaged.jpg");
        write_bytes(path, c.data);
        PackedDib out = reinterpret_cast<PackedDib>(1);
        int code = jpeg_read_dib(path.c_str(), &out);
        if (c.want == 1) {
            EXPECT_LT(code, 0);
        } else {
            EXPECT_EQ(code, c.want);
        }
        EXPECT_EQ(out == nullptr, code != 0);
        mem_free(out);
    }
    PackedDib out = reinterpret_cast<PackedDib>(1);
    EXPECT_EQ(jpeg_read_dib(scratch("does_not_exist.jpg").c_str(), &out), kJpegErrFile);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<PackedDib>(1);
    EXPECT_LT(jpeg_read_dib(fs::temp_directory_path().string().c_str(), &out), 0) << "a folder";
    EXPECT_EQ(out, nullptr);
}

// Fatal errors that the library raises once the drivers have set it up --
// while the writer is in the middle of its rows, and while the reader fills
// the pixel block it has already made -- come back with their own codes,
// and the writer still closes its stream.
TEST(JpegErrors, LibraryErrorsAfterSetUpKeepTheirCodes) {
    PackedDib dib = make_picture(200, 150);
    std::string path = scratch("errors.jpg");
    ASSERT_EQ(write_file(dib, 80, path), 0);
    const Bytes good = read_bytes(path);
    ASSERT_GT(good.size(), 4096u) << "larger than the library's output buffer";
    // A stream opened for reading takes no bytes: the library's first write fails.
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_TRUE(f);
#ifndef _WIN32
    int fd = fileno(f);
#endif
    EXPECT_EQ(jpeg_write_dib(dib, 80, f), JERR_FILE_WRITE);
#ifndef _WIN32
    EXPECT_EQ(fcntl(fd, F_GETFD), -1) << "stream left open";
#endif
    EXPECT_EQ(read_bytes(path), good);
    mem_free(dib);

    std::vector<Segment> seg = segments(good);
    ASSERT_EQ(seg.size(), 9u);
    const size_t sof = seg[3].at;
    Bytes zero_width = good;  // refused while the header is read
    zero_width[sof + 7] = zero_width[sof + 8] = 0;
    Bytes bad_table = good;  // refused when decoding starts, after the block was made
    bad_table[sof + 12] = 7;  // Y's quantisation table
    const struct {
        const char* what;
        const Bytes& data;
        int code;
    } cases[] = {{"zero width", zero_width, -JERR_EMPTY_IMAGE},
                 {"quantisation table 7", bad_table, -JERR_NO_QUANT_TABLE}};
    for (const auto& c : cases) {
        PackedDib out = reinterpret_cast<PackedDib>(1);
        EXPECT_EQ(jpeg_read_dib_memory(c.data.data(), c.data.size(), kMemBlockMaxSize, &out), c.code)
            << c.what;
        EXPECT_EQ(out, nullptr) << c.what;
    }
}

TEST(JpegRead, MemoryLimit) {
    PackedDib dib = make_picture(100, 100);
    std::string path = scratch("limit.jpg");
    ASSERT_EQ(write_file(dib, 80, path), 0);
    mem_free(dib);
    Bytes d = read_bytes(path);
    PackedDib out = nullptr;
    EXPECT_EQ(jpeg_read_dib_memory(d.data(), d.size(), 40 + 300 * 100 - 1, &out), kJpegErrMemory);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(jpeg_read_dib_memory(d.data(), d.size(), 40 + 300 * 100, &out), 0);
    mem_free(out);
}

#ifndef _WIN32
// Checks against the outside tools: the reference encoder and decoder and
// an independent CMYK writer.

bool run(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

void write_ppm(PackedDib dib, const std::string& path) {
    Locked l(dib);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fprintf(f, "P6\n%d %d\n255\n", int(l.h->biWidth), int(l.h->biHeight));
    for (int y = 0; y < l.h->biHeight; ++y) {
        const uint8_t* p = dib_row_top_down(l.h, y);
        for (int x = 0; x < l.h->biWidth; ++x) {
            uint8_t rgb[3] = {p[3 * x + 2], p[3 * x + 1], p[3 * x]};
            std::fwrite(rgb, 1, 3, f);
        }
    }
    std::fclose(f);
}

// A binary PPM or PGM as top-down RGB triples.
bool read_pnm(const std::string& path, int* w, int* h, Bytes* rgb) {
    Bytes d = read_bytes(path);
    int maxval = 0, used = 0;
    char kind = 0;
    std::string head(d.begin(), d.begin() + long(std::min<size_t>(d.size(), 64)));
    if (std::sscanf(head.c_str(), "P%c %d %d %d%n", &kind, w, h, &maxval, &used) != 4) return false;
    size_t at = size_t(used) + 1, n = size_t(*w) * size_t(*h);
    size_t channels = kind == '6' ? 3 : 1;
    if (maxval != 255 || d.size() < at + n * channels) return false;
    rgb->resize(3 * n);
    for (size_t i = 0; i < n; ++i)
        for (size_t c = 0; c < 3; ++c) (*rgb)[3 * i + c] = d[at + i * channels + (channels == 3 ? c : 0)];
    return true;
}

void expect_pixels_equal(PackedDib dib, const std::string& pnm) {
    int w = 0, h = 0;
    Bytes rgb;
    ASSERT_TRUE(read_pnm(pnm, &w, &h, &rgb));
    Locked l(dib);
    ASSERT_EQ(l.h->biWidth, w);
    ASSERT_EQ(l.h->biHeight, h);
    long mismatches = 0;
    for (int y = 0; y < h; ++y) {
        const uint8_t* p = dib_row_top_down(l.h, y);
        const uint8_t* q = rgb.data() + size_t(3) * w * y;
        for (int x = 0; x < w; ++x)
            mismatches += p[3 * x] != q[3 * x + 2] || p[3 * x + 1] != q[3 * x + 1] || p[3 * x + 2] != q[3 * x];
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(JpegTools, WrittenBytesEqualReferenceEncoder) {
    const int sizes[][2] = {{1, 1}, {67, 45}, {320, 200}};
    for (const auto& s : sizes) {
        PackedDib dib = make_picture(s[0], s[1]);
        std::string ppm = scratch("ref.ppm"), ours = scratch("ours.jpg"), theirs = scratch("ref.jpg");
        write_ppm(dib, ppm);
        for (int quality : {30, 80, 100}) {
            SCOPED_TRACE(std::to_string(s[0]) + "x" + std::to_string(s[1]) + " q" +
                         std::to_string(quality));
            ASSERT_EQ(write_file(dib, quality, ours), 0);
            ASSERT_TRUE(run("cjpeg -quality " + std::to_string(quality) + " -dct fast '" + ppm +
                            "' > '" + theirs + "'"));
            Bytes want = read_bytes(theirs);
            ASSERT_FALSE(want.empty());
            want.insert(want.end(), {'c', '-', 'N', 'R'});
            EXPECT_TRUE(read_bytes(ours) == want);
            std::string out = scratch("ours.ppm");
            ASSERT_TRUE(run("djpeg -ppm '" + ours + "' > '" + out + "'"));
            int w = 0, h = 0;
            Bytes rgb;
            ASSERT_TRUE(read_pnm(out, &w, &h, &rgb));
            EXPECT_EQ(w, s[0]);
            EXPECT_EQ(h, s[1]);
        }
        mem_free(dib);
    }
}

TEST(JpegTools, ReadsWhatReferenceDecoderReads) {
    PackedDib dib = make_picture(133, 71);
    std::string ppm = scratch("src.ppm");
    write_ppm(dib, ppm);
    mem_free(dib);
    const char* variants[] = {"-quality 85", "-quality 85 -progressive", "-grayscale",
                              "-grayscale -progressive", "-sample 1x1 -quality 95",
                              "-restart 2 -optimize"};
    for (const char* flags : variants) {
        SCOPED_TRACE(flags);
        std::string jpg = scratch("variant.jpg"), want = scratch("variant.pnm");
        ASSERT_TRUE(run(std::string("cjpeg ") + flags + " '" + ppm + "' > '" + jpg + "'"));
        ASSERT_TRUE(run("djpeg -dct int -pnm '" + jpg + "' > '" + want + "'"));
        PackedDib out = nullptr;
        ASSERT_EQ(jpeg_read_dib(jpg.c_str(), &out), 0);
        expect_pixels_equal(out, want);
        mem_free(out);
    }
}

TEST(JpegTools, ImageMagickFiles) {
    std::string ppm = scratch("im.ppm"), cm = scratch("im_dpcm.jpg"), cmyk = scratch("im_cmyk.jpg");
    PackedDib dib = make_picture(50, 30);
    write_ppm(dib, ppm);
    mem_free(dib);
    ASSERT_TRUE(run("/usr/bin/convert '" + ppm + "' -units PixelsPerCentimeter -density 28 '" + cm + "'"));
    PackedDib out = nullptr;
    ASSERT_EQ(jpeg_read_dib(cm.c_str(), &out), 0);
    {
        Locked l(out);
        EXPECT_EQ(l.h->biXPelsPerMeter, 2800);
        EXPECT_EQ(l.h->biYPelsPerMeter, 2800);
    }
    mem_free(out);
    ASSERT_TRUE(run("/usr/bin/convert '" + ppm + "' -colorspace CMYK '" + cmyk + "'"));
    out = reinterpret_cast<PackedDib>(1);
    EXPECT_EQ(jpeg_read_dib(cmyk.c_str(), &out), kJpegErrColourSpace);
    EXPECT_EQ(out, nullptr);
}

TEST(JpegTools, FullDiskIsAFailure) {
    std::FILE* f = std::fopen("/dev/full", "wb");
    ASSERT_NE(f, nullptr) << "/dev/full is part of every Linux system";
    PackedDib dib = make_picture(64, 64);
    EXPECT_NE(jpeg_write_dib(dib, 80, f), 0);
    mem_free(dib);
}
#endif

}  // namespace
