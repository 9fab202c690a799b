#include "image/gif_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "image/gif_write.h"
#include "tests/unit/dib_test_support.h"
#include "tests/unit/gif_test_support.h"

namespace {

using namespace gif_test;
using Bytes = std::vector<uint8_t>;

// Packs codes LSB first with the widths a decoder expects: an entry is made
// for every code after the first one following a clear, and the width grows
// when the next free code reaches the limit.
Bytes pack_codes(int m, const std::vector<int>& codes) {
    Bytes out;
    uint32_t acc = 0;
    int nbits = 0, width = m + 1;
    const int clear = 1 << m;
    int next = clear + 2;
    bool first = true;
    for (int code : codes) {
        acc |= uint32_t(code) << nbits;
        nbits += width;
        while (nbits >= 8) {
            out.push_back(uint8_t(acc));
            acc >>= 8;
            nbits -= 8;
        }
        if (code == clear) {
            width = m + 1;
            next = clear + 2;
            first = true;
        } else if (code != clear + 1 && !first) {
            if (next < 4096 && ++next == (1 << width) && width < 12) width++;
        } else {
            first = false;
        }
    }
    if (nbits) out.push_back(uint8_t(acc));
    return out;
}

// Builds GIF files block by block.
struct GifBuilder {
    Bytes b;
    GifBuilder& header(const char* sig, int w, int h, int global_bits) {
        b.assign(sig, sig + 6);
        u16(w);
        u16(h);
        b.push_back(uint8_t(global_bits ? 0x80 | 0x70 | (global_bits - 1) : 0));
        b.push_back(0);
        b.push_back(0);
        if (global_bits) table(global_bits, 0);
        return *this;
    }
    // Entry i is (i + salt, 2i, 255 - i).
    void table(int bits, int salt) {
        for (int i = 0; i < (1 << bits); ++i) {
            b.push_back(uint8_t(i + salt));
            b.push_back(uint8_t(2 * i));
            b.push_back(uint8_t(255 - i));
        }
    }
    GifBuilder& extension(uint8_t label, const std::vector<Bytes>& blocks) {
        b.push_back('!');
        b.push_back(label);
        for (const Bytes& s : blocks) {
            b.push_back(uint8_t(s.size()));
            b.insert(b.end(), s.begin(), s.end());
        }
        b.push_back(0);
        return *this;
    }
    GifBuilder& image(int w, int h, bool interlace, int local_bits, int m, const Bytes& data,
                      bool terminate = true) {
        b.push_back(',');
        u16(0);
        u16(0);
        u16(w);
        u16(h);
        b.push_back(uint8_t((interlace ? 0x40 : 0) | (local_bits ? 0x80 | (local_bits - 1) : 0)));
        if (local_bits) table(local_bits, 100);
        b.push_back(uint8_t(m));
        for (size_t at = 0; at < data.size(); at += 255) {
            size_t n = std::min<size_t>(255, data.size() - at);
            b.push_back(uint8_t(n));
            b.insert(b.end(), data.begin() + at, data.begin() + at + n);
        }
        if (terminate) b.push_back(0);
        return *this;
    }
    GifBuilder& raw(std::initializer_list<uint8_t> bytes) {
        b.insert(b.end(), bytes);
        return *this;
    }
    void u16(int v) {
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(v >> 8));
    }
};

struct Decoded {
    int rc = 1;
    int width = 0, height = 0;
    uint32_t colours = 0;
    size_t block_size = 0;
    Bytes palette;  // blue, green, red, 0 per entry
    Bytes rows;     // top-down, stride bytes each
    int64_t stride = 0;
    uint8_t at(int x, int y) const { return rows[size_t(y * stride + x)]; }
};

Decoded unpack(PackedDib dib, int rc) {
    Decoded d;
    d.rc = rc;
    if (!dib) return d;
    Held l(dib);
    DibHeader* h = l.h;
    d.width = h->biWidth;
    d.height = h->biHeight;
    d.colours = h->biClrUsed;
    d.block_size = mem_size(dib);
    d.stride = dib_stride(h->biWidth, 8);
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biBitCount, 8);
    EXPECT_EQ(h->biCompression, 0u);
    EXPECT_EQ(h->biSizeImage, uint32_t(d.stride * d.height));
    EXPECT_EQ(h->biClrImportant, 0u);
    const uint8_t* pal = dib_palette_ptr(h);
    d.palette.assign(pal, pal + 4 * d.colours);
    for (int y = 0; y < d.height; ++y) {
        const uint8_t* row = dib_row_top_down(h, y);
        d.rows.insert(d.rows.end(), row, row + d.stride);
    }
    return d;
}

Decoded decode(const Bytes& file) {
    PackedDib dib = reinterpret_cast<PackedDib>(1);
    int rc = gif_read_memory(&dib, file.data(), file.size());
    if (rc != 0) {
        EXPECT_EQ(dib, nullptr);
    }
    return unpack(dib, rc);
}

Decoded decode_path(const std::string& path) {
    PackedDib dib = nullptr;
    int rc = gif_read(&dib, path.c_str());
    return unpack(dib, rc);
}

// Files from the writer come back with the same indices and colours.
TEST(GifRead, ReadsWhatTheWriterWrote) {
    struct Case {
        int w, h, bits;
        uint32_t clr_used;
        Pattern p;
        uint32_t colours;  // table size in the file
    };
    const Case cases[] = {
        {640, 480, 8, 0, Pattern::kRandom, 256},   {333, 97, 8, 0, Pattern::kFlat, 256},
        {517, 211, 8, 40, Pattern::kHGradient, 64}, {13, 7, 1, 0, Pattern::kStripes, 2},
        {211, 157, 4, 0, Pattern::kRandom, 16},    {5, 9, 8, 3, Pattern::kRuns, 4},
        {1, 1, 8, 0, Pattern::kFlat, 256},
    };
    std::string path = temp_path("roundtrip.gif");
    for (const Case& c : cases) {
        unsigned n = c.clr_used ? c.clr_used : 1u << c.bits;
        Bytes px = make_indices(c.w, c.h, n, c.p, 5);
        PackedDib dib = make_paletted(c.w, c.h, c.bits, c.clr_used, px);
        ASSERT_EQ(gif_write(dib, path.c_str()), 0);
        mem_free(dib);
        Decoded d = decode_path(path);
        ASSERT_EQ(d.rc, 0);
        ASSERT_EQ(d.width, c.w);
        ASSERT_EQ(d.height, c.h);
        EXPECT_EQ(d.colours, c.colours);
        EXPECT_EQ(d.block_size, size_t(d.stride * c.h) + 56 + 4 * c.colours);
        for (uint32_t i = 0; i < d.colours; ++i) {
            uint8_t r = 0, g = 0, b = 0;
            if (i < n) palette_rgb(int(i), &r, &g, &b);
            ASSERT_EQ(d.palette[4 * i], b);
            ASSERT_EQ(d.palette[4 * i + 1], g);
            ASSERT_EQ(d.palette[4 * i + 2], r);
            ASSERT_EQ(d.palette[4 * i + 3], 0);
        }
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) ASSERT_EQ(d.at(x, y), px[size_t(y) * c.w + x]) << x << "," << y;
            for (int64_t x = c.w; x < d.stride; ++x) ASSERT_EQ(d.at(int(x), y), 0) << "padding";
        }
    }
    std::remove(path.c_str());
}

// 2x2 pixels 0,1 / 2,3 as a plain code stream with m = 2.
Bytes small_stream() { return pack_codes(2, {4, 0, 1, 2, 3, 5}); }

TEST(GifRead, ResultCodes) {
    struct Case {
        const char* what;
        Bytes file;
        int rc;
    };
    const Bytes data = small_stream();
    const Case cases[] = {
        {"GIF87a", GifBuilder().header("GIF87a", 2, 2, 2).image(2, 2, false, 0, 2, data).raw({';'}).b, 0},
        {"GIF89a", GifBuilder().header("GIF89a", 2, 2, 2).image(2, 2, false, 0, 2, data).raw({';'}).b, 0},
        {"GIF88a", GifBuilder().header("GIF88a", 2, 2, 2).image(2, 2, false, 0, 2, data).b, kGifBadSignature},
        {"GIF87b", GifBuilder().header("GIF87b", 2, 2, 2).image(2, 2, false, 0, 2, data).b, kGifBadSignature},
        {"ten bytes", Bytes{'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0}, kGifReadFailed},
        {"empty", Bytes{}, kGifReadFailed},
        {"extension past the end",
         GifBuilder().header("GIF89a", 2, 2, 2).raw({'!', 0xFE, 10, 'a', 'b'}).b, kGifExtensionOverrun},
        {"extension without terminator", GifBuilder().header("GIF89a", 2, 2, 2).raw({'!', 0xFE, 1, 'a'}).b,
         kGifExtensionOverrun},
        {"trailer first", GifBuilder().header("GIF89a", 2, 2, 2).raw({';'}).image(2, 2, false, 0, 2, data).b,
         kGifNoImage},
        {"file ends before an image", GifBuilder().header("GIF89a", 2, 2, 2).extension(0xFE, {{'x'}}).b,
         kGifNoImage},
        {"header only", GifBuilder().header("GIF89a", 2, 2, 0).b, kGifNoImage},
        {"unknown block", GifBuilder().header("GIF89a", 2, 2, 2).raw({'X'}).image(2, 2, false, 0, 2, data).b,
         kGifBadBlock},
        {"no colour table", GifBuilder().header("GIF89a", 2, 2, 0).image(2, 2, false, 0, 2, data).b,
         kGifNoColourTable},
        {"zero width", GifBuilder().header("GIF89a", 2, 2, 2).image(0, 2, false, 0, 2, data).b,
         kGifZeroWidth},
        {"zero height", GifBuilder().header("GIF89a", 2, 2, 2).image(2, 0, false, 0, 2, data).b,
         kGifZeroHeight},
        {"code size 1", GifBuilder().header("GIF89a", 2, 2, 2).image(2, 2, false, 0, 1, data).b,
         kGifBadCodeSize},
        {"code size 12", GifBuilder().header("GIF89a", 2, 2, 2).image(2, 2, false, 0, 12, data).b,
         kGifBadCodeSize},
        {"descriptor cut short", GifBuilder().header("GIF89a", 2, 2, 2).raw({',', 0, 0, 0, 0, 2, 0, 2}).b,
         kGifBadCodeSize},
        {"first code above clear",
         GifBuilder().header("GIF89a", 2, 2, 2).image(2, 2, false, 0, 2, pack_codes(2, {4, 6, 5})).b,
         kGifBadFirstCode},
        {"code beyond the next entry",
         GifBuilder().header("GIF89a", 2, 2, 2).image(2, 2, false, 0, 2, pack_codes(2, {4, 1, 7, 5})).b,
         kGifUndefinedCode},
    };
    for (const Case& c : cases) EXPECT_EQ(decode(c.file).rc, c.rc) << c.what;
    PackedDib dib = nullptr;
    EXPECT_EQ(gif_read(&dib, temp_path("does_not_exist.gif").c_str()), kGifReadFailed);
    EXPECT_EQ(dib, nullptr);
}

// Pixels of a decoded image, top-down, without padding.
Bytes pixels_of(const Decoded& d) {
    Bytes out;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) out.push_back(d.at(x, y));
    return out;
}

TEST(GifRead, CodeStreamCases) {
    struct Case {
        const char* what;
        int w, h;
        std::vector<int> codes;
        Bytes pixels;
    };
    const Case cases[] = {
        {"plain", 2, 2, {4, 0, 1, 2, 3, 5}, {0, 1, 2, 3}},
        // Code 6 names the entry being made: "0" + "0".
        {"code of the entry being made", 3, 1, {4, 0, 6, 5}, {0, 0, 0}},
        {"no leading clear", 2, 2, {0, 1, 2, 3, 5}, {0, 1, 2, 3}},
        {"clear in the middle", 2, 2, {4, 1, 1, 4, 3, 6, 5}, {1, 1, 3, 3}},
        {"more pixels than the image", 2, 1, {4, 1, 2, 3, 0, 5}, {1, 2}},
        {"stream ends early", 3, 2, {4, 2, 3}, {2, 3, 0, 0, 0, 0}},
        {"no end code", 2, 1, {4, 3, 3}, {3, 3}},
        {"string across rows", 2, 3, {4, 1, 6, 7, 5}, {1, 1, 1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        Decoded d = decode(GifBuilder().header("GIF87a", c.w, c.h, 2)
                               .image(c.w, c.h, false, 0, 2, pack_codes(2, c.codes))
                               .raw({';'})
                               .b);
        ASSERT_EQ(d.rc, 0) << c.what;
        EXPECT_EQ(pixels_of(d), c.pixels) << c.what;
    }
}

// Past 4096 entries the table stays full and 12-bit codes go on until a
// clear, without the decoder growing the width further.
TEST(GifRead, FullTableWithoutClear) {
    std::vector<int> codes = {4, 0};
    for (int i = 0; i < 4200; ++i) codes.push_back(i % 2 ? 1 : 0);
    codes.push_back(3);
    codes.push_back(5);
    const int width = int(codes.size()) - 2;  // all but the clear and end codes
    Decoded d = decode(GifBuilder().header("GIF89a", width, 1, 2)
                           .image(width, 1, false, 0, 2, pack_codes(2, codes))
                           .b);
    ASSERT_EQ(d.rc, 0);
    Bytes px = pixels_of(d);
    for (int i = 0; i < width - 1; ++i) ASSERT_EQ(px[i], i == 0 ? 0 : (i - 1) % 2) << i;
    EXPECT_EQ(px[width - 1], 3);
}

// A 1x10 interlaced image whose k-th decoded row holds k.
TEST(GifRead, InterlacedRowsGoToTheirPlaces) {
    std::vector<int> codes = {16};
    for (int k = 0; k < 10; ++k) codes.insert(codes.end(), {k, 16});
    codes.push_back(17);
    Decoded d = decode(GifBuilder().header("GIF89a", 1, 10, 4).image(1, 10, true, 0, 4, pack_codes(4, codes)).b);
    ASSERT_EQ(d.rc, 0);
    const int order[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};  // image row of decoded row k
    for (int k = 0; k < 10; ++k) EXPECT_EQ(d.at(0, order[k]), k) << k;
}

TEST(GifRead, ColourTables) {
    const Bytes data = small_stream();
    // Only a local table: it is used.
    Decoded local = decode(GifBuilder().header("GIF89a", 2, 2, 0).image(2, 2, false, 3, 2, data).b);
    ASSERT_EQ(local.rc, 0);
    EXPECT_EQ(local.colours, 8u);
    EXPECT_EQ(local.palette[4 * 5 + 2], 105);  // red of local entry 5
    // A local table replaces the global one.
    Decoded both = decode(GifBuilder().header("GIF89a", 2, 2, 8).image(2, 2, false, 1, 2, data).b);
    ASSERT_EQ(both.rc, 0);
    EXPECT_EQ(both.colours, 2u);
    EXPECT_EQ(both.palette, (Bytes{255, 0, 100, 0, 254, 2, 101, 0}));
    // A two-colour global table.
    Decoded two = decode(GifBuilder().header("GIF87a", 2, 2, 1).image(2, 2, false, 0, 2, data).b);
    ASSERT_EQ(two.rc, 0);
    EXPECT_EQ(two.colours, 2u);
    // A global table cut off by the end of the file reads as zeros, and the
    // file then holds no image.
    Bytes cut = GifBuilder().header("GIF89a", 2, 2, 8).b;
    cut.resize(100);
    EXPECT_EQ(decode(cut).rc, kGifNoImage);
}

// Extensions before the image are skipped; the first image of an animation
// is read at its own size.
TEST(GifRead, SkipsExtensionsAndReadsFirstFrame) {
    Bytes data = small_stream();
    Bytes file = GifBuilder()
                     .header("GIF89a", 40, 30, 2)
                     .extension(0xFF, {Bytes{'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'}, {1, 0, 0}})
                     .extension(0xF9, {{0, 10, 0, 0}})
                     .extension(0xFE, {Bytes(255, 'c'), Bytes(3, 'd')})
                     .image(2, 2, false, 0, 2, data)
                     .extension(0xF9, {{0, 10, 0, 0}})
                     .image(3, 1, false, 0, 2, pack_codes(2, {4, 3, 3, 3, 5}))
                     .raw({';'})
                     .b;
    Decoded d = decode(file);
    ASSERT_EQ(d.rc, 0);
    EXPECT_EQ(d.width, 2);
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(pixels_of(d), (Bytes{0, 1, 2, 3}));
}

TEST(GifRead, FiveWideRowsArePadded) {
    Decoded d = decode(
        GifBuilder().header("GIF87a", 5, 2, 2).image(5, 2, false, 0, 2, pack_codes(2, {4, 3, 6, 7, 3, 5})).b);
    ASSERT_EQ(d.rc, 0);
    EXPECT_EQ(d.stride, 8);
    EXPECT_EQ(d.rows, (Bytes{3, 3, 3, 3, 3, 0, 0, 0, 3, 3, 0, 0, 0, 0, 0, 0}));
}

// Sizes the data cannot fill are refused before any allocation for them.
TEST(GifRead, RefusesSizesBeyondTheData) {
    const Bytes data = small_stream();
    EXPECT_EQ(decode(GifBuilder().header("GIF89a", 65535, 65535, 2).image(65535, 65535, false, 0, 2, data).b).rc,
              kGifReadFailed);
    EXPECT_EQ(decode(GifBuilder().header("GIF89a", 1000, 1000, 2).image(1000, 1000, false, 0, 2, data).b).rc,
              kGifReadFailed);
    // No data at all: an empty first sub-block.
    EXPECT_EQ(decode(GifBuilder().header("GIF89a", 2, 2, 2).image(2, 2, false, 0, 2, {}).b).rc,
              kGifReadFailed);
    // The data ends inside a sub-block: what is there is used.
    Bytes cut = GifBuilder().header("GIF89a", 2, 2, 2).image(2, 2, false, 0, 2, data, false).b;
    cut[cut.size() - data.size() - 1] = 200;  // the sub-block claims 200 bytes
    Decoded d = decode(cut);
    ASSERT_EQ(d.rc, 0);
    EXPECT_EQ(pixels_of(d), (Bytes{0, 1, 2, 3}));
}

#ifndef _WIN32
// Inputs that once broke the reader; each must come back with a result.
TEST(GifRead, FuzzRegressions) {
    std::filesystem::path dir = std::filesystem::path(TAMBLE_SOURCE_DIR) / "tests/fixtures/fuzz/gif_read";
    // Hostile inputs kept as files: hand-made ones and anything the fuzzer
    // ever found. None may crash, leak or claim success without an image.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        ++files;
        PackedDib dib = nullptr;
        int rc = gif_read(&dib, entry.path().string().c_str());
        EXPECT_TRUE(rc == 0 ? dib != nullptr : dib == nullptr) << entry.path();
        mem_free(dib);
    }
    EXPECT_GE(files, 3);
}
#endif

}  // namespace
