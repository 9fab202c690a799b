// Helpers shared by the GIF tests: paletted test images, scratch files.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "image/dib.h"

namespace gif_test {

// A scratch path of the running test's own, so tests may run in parallel.
inline std::string temp_path(const std::string& name) {
    std::string tag;
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
        tag = std::string(info->test_suite_name()) + "_" + info->name() + "_";
    for (char& c : tag)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return (std::filesystem::temp_directory_path() / ("tamble_gif_" + tag + name)).string();
}

inline std::vector<uint8_t> read_bytes(const std::string& path) {
    std::vector<uint8_t> out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}

inline bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Colour i of the test palettes: distinct for all 256 indices.
inline void palette_rgb(int i, uint8_t* r, uint8_t* g, uint8_t* b) {
    *r = uint8_t(i * 7 + 3);
    *g = uint8_t(255 - i);
    *b = uint8_t(i * 13);
}

// A paletted PackedDib with `indices` given top-down, one per pixel.
// `clr_used` 0 means the full table for the depth.
inline PackedDib make_paletted(int width, int height, int bits, uint32_t clr_used,
                               const std::vector<uint8_t>& indices) {
    uint32_t colours = clr_used ? clr_used : (1u << bits);
    int64_t stride = dib_stride(width, bits);
    PackedDib dib = mem_alloc(40 + 4 * colours + size_t(stride * height));
    MemLock<DibHeader> lock(dib);
    DibHeader* h = lock.get();
    h->biSize = 40;
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = uint16_t(bits);
    h->biSizeImage = uint32_t(stride * height);
    h->biClrUsed = clr_used;
    uint8_t* pal = dib_palette_ptr(h);
    for (uint32_t i = 0; i < colours; ++i)
        palette_rgb(int(i), &pal[4 * i + 2], &pal[4 * i + 1], &pal[4 * i]);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = dib_row_top_down(h, y);
        for (int x = 0; x < width; ++x) {
            uint8_t v = indices[size_t(y) * width + x];
            if (bits == 8) row[x] = v;
            else if (bits == 4) row[x / 2] |= uint8_t((x & 1) ? v : v << 4);
            else row[x / 8] |= uint8_t(v << (7 - x % 8));
        }
    }
    return dib;
}

enum class Pattern { kRandom, kFlat, kHGradient, kVGradient, kRuns, kStripes };

// Indices below `colours` in a pattern, top-down.
inline std::vector<uint8_t> make_indices(int width, int height, unsigned colours, Pattern p,
                                         unsigned seed = 1) {
    std::vector<uint8_t> v(size_t(width) * height);
    std::mt19937 rng(seed);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned c = 0;
            switch (p) {
                case Pattern::kRandom: c = rng() % colours; break;
                case Pattern::kFlat: c = colours - 1; break;
                case Pattern::kHGradient: c = unsigned(x) * colours / unsigned(width); break;
                case Pattern::kVGradient: c = unsigned(y) * colours / unsigned(height); break;
                case Pattern::kRuns: c = (rng() % 8 == 0) ? rng() % colours : (x / 5 + y / 3) % colours; break;
                case Pattern::kStripes: c = (x / 3 + y) % colours; break;
            }
            v[size_t(y) * width + x] = uint8_t(c);
        }
    }
    return v;
}

}  // namespace gif_test
