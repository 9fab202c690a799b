#include "image/gif_write.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/unit/gif_test_support.h"

namespace {

using namespace gif_test;

// Greedy LZW written the plain way: strings compared as strings, the clear
// code sent when the next free code would pass 4094, and the width growing
// once an entry at the current limit has been made.
std::vector<uint8_t> reference_lzw(const std::vector<uint8_t>& pixels, int b) {
    std::vector<uint8_t> out;
    uint32_t acc = 0;
    int nbits = 0;
    int width = b + 1, limit = 1 << width;
    const int clear = 1 << b;
    int next = clear + 2;
    auto put = [&](int code) {
        acc |= uint32_t(code) << nbits;
        nbits += width;
        while (nbits >= 8) {
            out.push_back(uint8_t(acc));
            acc >>= 8;
            nbits -= 8;
        }
    };
    std::map<std::string, int> table;
    auto code_of = [&](const std::string& s) {
        return s.size() == 1 ? int(uint8_t(s[0])) : table.at(s);
    };
    put(clear);
    std::string current(1, char(pixels[0]));
    for (size_t i = 1; i < pixels.size(); ++i) {
        std::string longer = current + char(pixels[i]);
        if (table.count(longer)) {
            current = longer;
            continue;
        }
        put(code_of(current));
        if (next > 4094) {
            put(clear);
            table.clear();
            width = b + 1;
            limit = 1 << width;
            next = clear + 2;
        } else {
            table[longer] = next;
            if (next >= limit) {
                width++;
                limit <<= 1;
            }
            next++;
        }
        current = std::string(1, char(pixels[i]));
    }
    put(code_of(current));
    put(clear + 1);
    if (nbits > 0) out.push_back(uint8_t(acc));
    return out;
}

// Top-down indices in GIF interlace order.
std::vector<uint8_t> interlaced(const std::vector<uint8_t>& v, int width, int height) {
    std::vector<uint8_t> out;
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            out.insert(out.end(), v.begin() + size_t(y) * width, v.begin() + size_t(y + 1) * width);
    return out;
}

struct Written {
    int width = 0, height = 0;
    uint8_t screen_packed = 0, image_packed = 0, min_code_size = 0;
    std::vector<uint8_t> table;  // 3 bytes per entry
    std::vector<uint8_t> data;   // sub-blocks joined
    std::vector<size_t> block_lengths;
};

// Splits a file from gif_write into its fields, checking the fixed bytes.
Written parse_written(const std::vector<uint8_t>& f) {
    Written w;
    EXPECT_GE(f.size(), 13u);
    if (f.size() < 13) return w;
    EXPECT_EQ(std::string(f.begin(), f.begin() + 6), "GIF87a");
    w.width = f[6] | f[7] << 8;
    w.height = f[8] | f[9] << 8;
    w.screen_packed = f[10];
    EXPECT_EQ(f[11], 0);
    EXPECT_EQ(f[12], 0);
    size_t pos = 13, table_bytes = size_t(3) << ((f[10] & 7) + 1);
    EXPECT_LE(pos + table_bytes + 11, f.size());
    if (pos + table_bytes + 11 > f.size()) return w;
    w.table.assign(f.begin() + pos, f.begin() + pos + table_bytes);
    pos += table_bytes;
    EXPECT_EQ(f[pos], 0x2C);
    EXPECT_EQ(f[pos + 1] | f[pos + 2] | f[pos + 3] | f[pos + 4], 0);
    EXPECT_EQ(f[pos + 5] | f[pos + 6] << 8, w.width);
    EXPECT_EQ(f[pos + 7] | f[pos + 8] << 8, w.height);
    w.image_packed = f[pos + 9];
    w.min_code_size = f[pos + 10];
    pos += 11;
    while (pos < f.size() && f[pos] != 0) {
        size_t len = f[pos];
        EXPECT_LE(pos + 1 + len, f.size());
        if (pos + 1 + len > f.size()) return w;
        w.block_lengths.push_back(len);
        w.data.insert(w.data.end(), f.begin() + pos + 1, f.begin() + pos + 1 + len);
        pos += len + 1;
    }
    EXPECT_EQ(pos + 2, f.size()) << "terminator and trailer end the file";
    if (pos + 2 == f.size()) {
        EXPECT_EQ(f[pos], 0);
        EXPECT_EQ(f[pos + 1], 0x3B);
    }
    for (size_t i = 0; i + 1 < w.block_lengths.size(); ++i) EXPECT_EQ(w.block_lengths[i], 255u);
    return w;
}

std::vector<uint8_t> write_and_read(PackedDib dib, const std::string& name, int* rc) {
    std::string path = temp_path(name);
    *rc = gif_write(dib, path.c_str());
    std::vector<uint8_t> bytes = read_bytes(path);
    std::remove(path.c_str());
    return bytes;
}

struct StreamCase {
    const char* name;
    int width, height, bits;
    uint32_t clr_used;
    Pattern pattern;
    int expect_b;
};

class GifWriteStream : public ::testing::TestWithParam<StreamCase> {};

// The whole file for varied images: the code stream must equal the
// reference coder's on the interlaced pixels.
TEST_P(GifWriteStream, MatchesReferenceCoder) {
    const StreamCase& c = GetParam();
    unsigned colours = c.clr_used ? c.clr_used : 1u << c.bits;
    std::vector<uint8_t> px = make_indices(c.width, c.height, colours, c.pattern);
    PackedDib dib = make_paletted(c.width, c.height, c.bits, c.clr_used, px);
    int rc = 1;
    std::vector<uint8_t> file = write_and_read(dib, std::string("stream_") + c.name + ".gif", &rc);
    mem_free(dib);
    ASSERT_EQ(rc, 0);
    Written w = parse_written(file);
    EXPECT_EQ(w.width, c.width);
    EXPECT_EQ(w.height, c.height);
    EXPECT_EQ(w.image_packed, 0x40);
    EXPECT_EQ(w.min_code_size, c.expect_b);
    std::vector<uint8_t> expected = reference_lzw(interlaced(px, c.width, c.height), c.expect_b);
    ASSERT_EQ(w.data.size(), expected.size());
    EXPECT_TRUE(w.data == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Images, GifWriteStream,
    ::testing::Values(
        StreamCase{"random8", 301, 97, 8, 0, Pattern::kRandom, 8},  // several clears
        StreamCase{"flat8", 640, 480, 8, 0, Pattern::kFlat, 8},
        StreamCase{"hgrad8", 517, 211, 8, 0, Pattern::kHGradient, 8},
        StreamCase{"vgrad8", 200, 333, 8, 0, Pattern::kVGradient, 8},
        StreamCase{"runs8", 700, 300, 8, 200, Pattern::kRuns, 8},
        StreamCase{"stripes8", 123, 45, 8, 0, Pattern::kStripes, 8},
        StreamCase{"random_b2", 250, 250, 8, 3, Pattern::kRandom, 2},
        StreamCase{"random_b3", 199, 101, 8, 7, Pattern::kRandom, 3},
        StreamCase{"random_b5", 255, 129, 8, 32, Pattern::kRandom, 5},
        StreamCase{"random_b7", 160, 120, 8, 100, Pattern::kRandom, 7},
        StreamCase{"random1", 333, 211, 1, 0, Pattern::kRandom, 2},
        StreamCase{"stripes1", 13, 7, 1, 0, Pattern::kStripes, 2},
        StreamCase{"random4", 211, 157, 4, 0, Pattern::kRandom, 4},
        StreamCase{"hgrad4", 15, 9, 4, 0, Pattern::kHGradient, 4},
        StreamCase{"pixel", 1, 1, 8, 0, Pattern::kRandom, 8},
        StreamCase{"three_rows", 4, 3, 8, 0, Pattern::kVGradient, 8}),
    [](const ::testing::TestParamInfo<StreamCase>& i) { return std::string(i.param.name); });

struct TableCase {
    int bits;
    uint32_t clr_used;
    uint8_t packed;
    size_t table_bytes;
    int b;
};

class GifWriteTable : public ::testing::TestWithParam<TableCase> {};

// Colour counts decide the minimum code size and the table exponent.
TEST_P(GifWriteTable, SizesFollowColourCount) {
    const TableCase& c = GetParam();
    std::vector<uint8_t> px(4 * 3, 1);
    PackedDib dib = make_paletted(4, 3, c.bits, c.clr_used, px);
    int rc = 1;
    std::vector<uint8_t> file = write_and_read(dib, "table.gif", &rc);
    mem_free(dib);
    ASSERT_EQ(rc, 0);
    Written w = parse_written(file);
    EXPECT_EQ(w.screen_packed, c.packed);
    EXPECT_EQ(w.table.size(), c.table_bytes);
    EXPECT_EQ(w.min_code_size, c.b);
    uint32_t colours = c.clr_used ? c.clr_used : 1u << c.bits;
    for (size_t i = 0; i < w.table.size() / 3; ++i) {
        uint8_t r = 0, g = 0, b = 0;
        if (i < colours) palette_rgb(int(i), &r, &g, &b);
        EXPECT_EQ(w.table[3 * i], r) << i;
        EXPECT_EQ(w.table[3 * i + 1], g) << i;
        EXPECT_EQ(w.table[3 * i + 2], b) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, GifWriteTable,
                         ::testing::Values(TableCase{8, 0, 0xF7, 768, 8}, TableCase{8, 2, 0xF0, 6, 2},
                                           TableCase{8, 3, 0xF1, 12, 2}, TableCase{8, 1, 0xF1, 12, 2},
                                           TableCase{8, 5, 0xF2, 24, 3}, TableCase{8, 16, 0xF3, 48, 4},
                                           TableCase{8, 17, 0xF4, 96, 5}, TableCase{8, 64, 0xF5, 192, 6},
                                           TableCase{8, 65, 0xF6, 384, 7}, TableCase{8, 129, 0xF7, 768, 8},
                                           TableCase{1, 0, 0xF0, 6, 2}, TableCase{4, 0, 0xF3, 48, 4},
                                           TableCase{4, 3, 0xF1, 12, 2}));

TEST(GifWrite, SinglePixelBytes) {
    PackedDib dib = make_paletted(1, 1, 8, 0, {0});
    int rc = 1;
    std::vector<uint8_t> file = write_and_read(dib, "one.gif", &rc);
    mem_free(dib);
    ASSERT_EQ(rc, 0);
    Written w = parse_written(file);
    ASSERT_EQ(w.block_lengths, std::vector<size_t>{4});
    EXPECT_EQ(w.data, (std::vector<uint8_t>{0x00, 0x01, 0x04, 0x04}));
    EXPECT_EQ(file.size(), 13u + 768 + 11 + 1 + 4 + 2);
}

// Interlace order seen through a 1-pixel-wide image whose row y holds y.
TEST(GifWrite, RowsGoOutInInterlaceOrder) {
    for (int height : {3, 8, 19}) {
        std::vector<uint8_t> px(height);
        for (int y = 0; y < height; ++y) px[y] = uint8_t(y);
        PackedDib dib = make_paletted(1, height, 8, 0, px);
        int rc = 1;
        Written w = parse_written(write_and_read(dib, "rows.gif", &rc));
        mem_free(dib);
        ASSERT_EQ(rc, 0);
        std::vector<uint8_t> order = interlaced(px, 1, height);
        if (height == 3) {
            EXPECT_EQ(order, (std::vector<uint8_t>{0, 2, 1}));
        } else if (height == 8) {
            EXPECT_EQ(order, (std::vector<uint8_t>{0, 4, 2, 6, 1, 3, 5, 7}));
        }
        EXPECT_EQ(w.data, reference_lzw(order, 8)) << height;
    }
}

// Random rows of growing length until the code stream is 255 and then 256
// bytes long: one full sub-block, then a full one and a 1-byte one.
TEST(GifWrite, SubBlocksSplitAt255) {
    bool saw255 = false, saw256 = false;
    for (int n = 200; n < 400 && !(saw255 && saw256); ++n) {
        std::vector<uint8_t> px = make_indices(n, 1, 256, Pattern::kRandom, 7);
        size_t size = reference_lzw(px, 8).size();
        if (size != 255 && size != 256) continue;
        PackedDib dib = make_paletted(n, 1, 8, 0, px);
        int rc = 1;
        Written w = parse_written(write_and_read(dib, "split.gif", &rc));
        mem_free(dib);
        ASSERT_EQ(rc, 0);
        if (size == 255) {
            saw255 = true;
            EXPECT_EQ(w.block_lengths, std::vector<size_t>{255});
        } else {
            saw256 = true;
            EXPECT_EQ(w.block_lengths, (std::vector<size_t>{255, 1}));
        }
    }
    EXPECT_TRUE(saw255 && saw256);
}

TEST(GifWrite, RefusesWhatItCannotStore) {
    std::string path = temp_path("refused.gif");
    // A 24-bit image is refused after the file was created empty.
    PackedDib rgb = dib_create24(4, 4);
    EXPECT_EQ(gif_write(rgb, path.c_str()), kGifWriteErrImage);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    mem_free(rgb);

    struct Bad {
        const char* what;
        void (*spoil)(DibHeader*);
    };
    const Bad bad[] = {
        {"two planes", [](DibHeader* h) { h->biPlanes = 2; }},
        {"16 bits", [](DibHeader* h) { h->biBitCount = 16; }},
        {"no width", [](DibHeader* h) { h->biWidth = 0; }},
        {"negative height", [](DibHeader* h) { h->biHeight = -4; }},
        {"too wide for GIF", [](DibHeader* h) { h->biWidth = 70000; }},
        {"rows beyond block", [](DibHeader* h) { h->biHeight = 400; }},
        {"huge colour count", [](DibHeader* h) { h->biClrUsed = 0x40000000; }},
        {"run-length rows", [](DibHeader* h) { h->biCompression = 1; }},
    };
    for (const Bad& b : bad) {
        PackedDib dib = make_paletted(4, 4, 8, 0, std::vector<uint8_t>(16, 2));
        b.spoil(MemLock<DibHeader>(dib).get());
        EXPECT_EQ(gif_write(dib, path.c_str()), kGifWriteErrImage) << b.what;
        mem_free(dib);
    }
    // An index that the code size cannot express would corrupt the stream.
    PackedDib stray = make_paletted(4, 4, 8, 3, std::vector<uint8_t>(16, 0));
    dib_bits_ptr(MemLock<>(stray).get())[5] = 9;
    EXPECT_EQ(gif_write(stray, path.c_str()), kGifWriteErrImage);

    EXPECT_EQ(gif_write(nullptr, path.c_str()), kGifWriteErrMemory);
    std::string no_dir = temp_path("no_such_dir/x.gif");
    EXPECT_EQ(gif_write(stray, no_dir.c_str()), kGifWriteErrFile);
    mem_free(stray);
    std::remove(path.c_str());
}

}  // namespace
