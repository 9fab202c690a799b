#include "image/reduce.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Channel value -> 4-bit nibble, rounded; 248 and up saturate at 15.
struct NibbleTable {
    uint8_t n[256];
    constexpr NibbleTable() : n() {
        for (int c = 0; c < 256; ++c) n[c] = uint8_t(c >= 248 ? 15 : (c + 8) / 16);
    }
};
constexpr NibbleTable kNibble;

// The nibble of a dithering sum clamped to 0..255, in one lookup: the sums
// stay within -300..600 (carried errors never exceed about 130 in size), and
// the mask keeps any index inside the table regardless.
constexpr int kWantedBias = 1024;
constexpr int kWantedMask = 2047;
struct WantedNibbleTable {
    uint8_t n[2048];
    constexpr WantedNibbleTable() : n() {
        for (int i = 0; i < 2048; ++i) {
            int c = i - kWantedBias;
            n[i] = kNibble.n[c < 0 ? 0 : c > 255 ? 255 : c];
        }
    }
};
constexpr WantedNibbleTable kWantedNibble;

inline int key_of(const uint8_t* bgr) {
    return (kNibble.n[bgr[1]] << 8) | (kNibble.n[bgr[2]] << 4) | kNibble.n[bgr[0]];
}
inline int luma_of(const uint8_t* bgr) { return 3 * bgr[2] + 6 * bgr[1] + bgr[0]; }

int nib_r(int key) { return (key >> 4) & 15; }
int nib_g(int key) { return (key >> 8) & 15; }
int nib_b(int key) { return key & 15; }

int sector_of(int key) {
    int r = nib_r(key), g = nib_g(key), b = nib_b(key);
    int mx = std::max(r, std::max(g, b));
    int mn = std::min(r, std::min(g, b));
    int d = mx - mn;
    if (mx == 0 || d == 0) return 0;
    int rc = (mx - r) / d, gc = (mx - g) / d, bc = (mx - b) / d;
    int s;
    if (g == mx)
        s = rc - bc + 2;
    else if (r == mx)
        s = bc - gc;
    else
        s = gc - rc + 4;
    if (s < 0) s += 6;
    return std::min(5, std::max(0, s));
}

struct SectorTable {
    uint8_t s[4096];
    SectorTable() {
        for (int k = 0; k < 4096; ++k) s[k] = uint8_t(sector_of(k));
    }
};
const SectorTable& sectors() {
    static const SectorTable table;
    return table;
}

// Whether a lock took and holds a 24-bit image whose rows lie inside the block.
bool locked_source24(const MemLock<DibHeader>& h) {
    return h && h->biSize == 40 && h->biBitCount == 24 && h->biWidth > 0 && h->biHeight > 0 &&
           40 + uint64_t(dib_palette_entries(h.get())) * 4 +
                   uint64_t(dib_stride(h->biWidth, 24)) * uint64_t(h->biHeight) <=
               mem_size(h.block());
}

void append_cell(LogPalette* pal, int key) {
    LogPaletteEntry& e = pal->entry[pal->count++];
    e.red = uint8_t(nib_r(key) * 16 + 7);
    e.green = uint8_t(nib_g(key) * 16 + 7);
    e.blue = uint8_t(nib_b(key) * 16 + 7);
    e.flags = 0;
}

}  // namespace

int colour_key(int r, int g, int b) {
    const uint8_t bgr[3] = {uint8_t(b), uint8_t(g), uint8_t(r)};
    return key_of(bgr);
}

int colour_cell_sector(int key) { return sectors().s[key & 4095]; }

int colour_cell_spread(int key) {
    int r = nib_r(key), g = nib_g(key), b = nib_b(key);
    return std::max(r, std::max(g, b)) - std::min(r, std::min(g, b));
}

void colour_histogram(const DibHeader* image, int64_t weight[4096]) {
    std::fill(weight, weight + 4096, 0);
    const uint8_t* sector = sectors().s;
    int width = image->biWidth, height = image->biHeight;
    int64_t stride = dib_stride(width, 24);
    const uint8_t* bits = dib_bits_ptr(const_cast<DibHeader*>(image));
    int prev = key_of(bits);
    // The first run counts too, where it starts: a colour that fills the
    // first stretch of the picture and never comes back after another one
    // (a flat picture, a solid top half) would otherwise get no entry and
    // come out as black-and-white dither.
    if (width > 0 && height > 0) weight[prev] += 1;
    for (int row = 0; row < height; ++row) {
        const uint8_t* p = bits + row * stride;
        int s = sector[prev];
        int last_luma = luma_of(p);
        int acc = 0;
        for (int x = 0; x < width; ++x, p += 3) {
            int k = key_of(p);
            // A run of one key counts once, where it starts.
            if (k == prev) continue;
            int y = luma_of(p);
            int64_t w;
            if (sector[k] == s) {
                acc += y - last_luma;
                // Bit 6, not the sign, decides the sign of the weight.
                w = acc == 0 ? 1 : ((acc & 64) ? -acc : acc);
            } else {
                s = sector[k];
                acc = 0;
                w = 1;
            }
            weight[k] += w;
            prev = k;
            last_luma = y;
        }
    }
}

MemBlock select_palette(PackedDib dib) {
    // Weights are kept in 64 bits: a large picture can push a busy cell past 32.
    int64_t weight[4096];
    {
        MemLock<DibHeader> h(dib);
        if (!locked_source24(h)) return nullptr;
        colour_histogram(h.get(), weight);
    }

    MemBlock block = mem_alloc(kLogPaletteBlockSize);
    MemLock<LogPalette> locked(block);
    if (!locked) {
        mem_free(block);
        return nullptr;
    }
    LogPalette* pal = locked.get();
    pal->version = 0x300;
    pal->count = 2;
    pal->entry[0] = {0, 0, 0, 0};
    pal->entry[1] = {255, 255, 255, 0};
    weight[0] = weight[4095] = 0;

    // One representative per hue sector (the first met from the top key
    // down), then that sector's most saturated other cell.
    const uint8_t* sector = sectors().s;
    bool has_rep[6] = {};
    int candidate[6] = {-1, -1, -1, -1, -1, -1};
    int best_spread[6] = {-1, -1, -1, -1, -1, -1};
    for (int k = 4095; k >= 0; --k) {
        if (weight[k] <= 0) continue;
        int s = sector[k];
        if (!has_rep[s]) {
            has_rep[s] = true;
            append_cell(pal, k);
            weight[k] = 0;
        } else if (colour_cell_spread(k) > best_spread[s]) {
            best_spread[s] = colour_cell_spread(k);
            candidate[s] = k;
        }
    }
    for (int s = 0; s < 6 && pal->count < 256; ++s) {
        if (candidate[s] < 0) continue;
        append_cell(pal, candidate[s]);
        weight[candidate[s]] = 0;
    }

    // The rest by weight: the heaviest positive cells first, then, if room
    // remains, the most negative ones.
    struct Cell {
        int64_t weight;
        int key;
    };
    Cell cells[4096];
    for (int k = 0; k < 4096; ++k) cells[k] = {weight[k], k};
    std::sort(cells, cells + 4096, [](const Cell& a, const Cell& b) {
        return a.weight != b.weight ? a.weight < b.weight : a.key < b.key;
    });
    for (int i = 4095; i >= 0 && pal->count < 256; --i) {
        if (cells[i].weight == 0) continue;
        if (cells[i].weight < 0) break;
        append_cell(pal, cells[i].key);
        cells[i].weight = 0;
    }
    for (int i = 0; i < 4096 && pal->count < 256; ++i) {
        if (cells[i].weight == 0) continue;
        if (cells[i].weight > 0) break;
        append_cell(pal, cells[i].key);
    }

    std::stable_sort(pal->entry, pal->entry + pal->count,
                     [](const LogPaletteEntry& a, const LogPaletteEntry& b) {
                         return a.red + a.green + a.blue < b.red + b.green + b.blue;
                     });
    return block;
}

namespace {

// Dithers the rows of a locked 24-bit image onto `palette` into the index
// rows of `dst`. `cache` holds 4096 cell entries (nearest palette index, or
// -1) followed by three error terms per column.
void dither_rows(DibHeader* src, DibHeader* dst, const uint8_t* palette, int count,
                 int16_t* cache) {
    const int width = src->biWidth, height = src->biHeight;
    std::fill(cache, cache + 4096, int16_t(-1));
    int16_t* err = cache + 4096;  // red, green, blue error per column
    const uint8_t* sbits = dib_bits_ptr(src);
    uint8_t* dbits = dib_bits_ptr(dst);
    int64_t sstride = dib_stride(width, 24);
    int64_t stride = dib_stride(width, 8);

    for (int row = 0; row < height; ++row) {
        const uint8_t* in = sbits + row * sstride;
        uint8_t* o = dbits + row * stride;
        // Serpentine: even stored rows run left to right, odd ones back.
        int x = (row & 1) ? width - 1 : 0;
        int step = (row & 1) ? -1 : 1;
        int er = 0, eg = 0, eb = 0;
        for (int n = 0; n < width; ++n, x += step) {
            const uint8_t* p = in + 3 * x;
            int16_t* e = err + 3 * x;
            er += p[2] + e[0];
            eg += p[1] + e[1];
            eb += p[0] + e[2];
            int key = kWantedNibble.n[(eg + kWantedBias) & kWantedMask] << 8 |
                      kWantedNibble.n[(er + kWantedBias) & kWantedMask] << 4 |
                      kWantedNibble.n[(eb + kWantedBias) & kWantedMask];
            int index = cache[key];
            if (index < 0) {
                // Nearest entry to the cell centre; ties keep the lower index.
                int cr = nib_r(key) * 16 + 8, cg = nib_g(key) * 16 + 8, cb = nib_b(key) * 16 + 8;
                int best = 1 << 30;
                for (int i = 0; i < count; ++i) {
                    const uint8_t* c = palette + 4 * i;
                    int d = std::abs(c[2] - cr) + std::abs(c[1] - cg) + std::abs(c[0] - cb);
                    if (d < best) {
                        best = d;
                        index = i;
                    }
                }
                cache[key] = int16_t(index);
            }
            o[x] = uint8_t(index);
            const uint8_t* c = palette + 4 * index;
            er -= c[2];
            eg -= c[1];
            eb -= c[0];
            // |e| > 128 for any channel, without branches (dithering noise
            // defeats branch prediction): e + 128 outside 0..256.
            int shift = 1 + int((unsigned(er + 128) > 256u) | (unsigned(eg + 128) > 256u) |
                                (unsigned(eb + 128) > 256u));
            er >>= shift;
            eg >>= shift;
            eb >>= shift;
            e[0] = int16_t(er);
            e[1] = int16_t(eg);
            e[2] = int16_t(eb);
        }
    }
}

// The palette of a block from select_palette as colour-table entries (blue,
// green, red, 0) in `table`; the entry count, or 0 when it cannot be locked.
int palette_quads(MemBlock block, uint8_t table[256 * 4]) {
    MemLock<const LogPalette> pal(block);
    if (!pal) return 0;
    int count = pal->count;
    for (int i = 0; i < count; ++i) {
        table[4 * i] = pal->entry[i].blue;
        table[4 * i + 1] = pal->entry[i].green;
        table[4 * i + 2] = pal->entry[i].red;
        table[4 * i + 3] = 0;
    }
    return count;
}

}  // namespace

PackedDib dither_to_palette(const uint8_t* palette, int count, PackedDib dib) {
    if (!palette || count < 1 || count > 256) return nullptr;
    MemLock<DibHeader> src(dib);
    if (!locked_source24(src)) return nullptr;
    int width = src->biWidth, height = src->biHeight;
    uint64_t image = uint64_t(dib_stride(width, 8)) * uint64_t(height);
    uint64_t size = 40 + 4 * uint64_t(count) + image;
    PackedDib out = size <= kMemBlockMaxSize ? mem_alloc(size_t(size)) : nullptr;
    MemBlock work = nullptr;
    bool done = false;
    {
        MemLock<DibHeader> dst(out);
        work = dst ? mem_alloc(8192 + 6 * size_t(width)) : nullptr;
        MemLock<int16_t> cache(work);
        if (cache) {
            dib_write_header(dst.get(), width, height, 8, uint32_t(count));
            std::memcpy(dib_palette_ptr(dst.get()), palette, 4 * size_t(count));
            dither_rows(src.get(), dst.get(), palette, count, cache.get());
            done = true;
        }
    }
    mem_free(work);
    if (!done) {
        mem_free(out);
        return nullptr;
    }
    return out;
}

PackedDib reduce_to_8bit(PackedDib dib) {
    MemBlock block = select_palette(dib);
    if (!block) return nullptr;
    uint8_t table[256 * 4];
    int count = palette_quads(block, table);
    mem_free(block);
    return count ? dither_to_palette(table, count, dib) : nullptr;
}
