#include "image/scale.h"

#include <cstring>
#include <vector>

#include "sys/pump.h"

namespace {

// Whether the header of a locked block describes pixel rows that lie inside
// the block. Blocks read from files carry the file's header fields, so the
// row loops below check once here instead of per row.
bool dib_fits_block(const DibHeader* h, size_t block_size) {
    if (h->biSize != 40 || h->biWidth <= 0 || h->biHeight <= 0) return false;
    uint64_t entries = dib_palette_entries(h);
    uint64_t need = 40 + entries * 4 +
                    uint64_t(dib_stride(h->biWidth, h->biBitCount)) * uint64_t(h->biHeight);
    return need <= block_size;
}

// Bilinear weights and byte offsets of one result column.
struct ColumnStep {
    int offset;  // 3 * x0
    int next;    // byte distance to the right neighbour: 3, or 0 at the last column
    int fx;      // 0..511
};

void scale_rows24(const uint8_t* src, int sh, int64_t sstride, uint8_t* dst, int nw,
                  int64_t dstride, int row, double sy, const std::vector<ColumnStep>& cols) {
    double y = row * sy;
    int y0 = int(y);
    int fy = int((y - y0) * 512);
    if (y0 >= sh) {  // only floating-point rounding gets here
        y0 = sh - 1;
        fy = 0;
    }
    const uint8_t* r0 = src + y0 * sstride;
    // Beyond the top row of the picture the lower neighbours are black.
    const uint8_t* r1 = y0 + 1 < sh ? r0 + sstride : nullptr;
    uint8_t* out = dst + row * dstride;
    for (int j = 0; j < nw; ++j) {
        const ColumnStep& c = cols[j];
        const uint8_t* p00 = r0 + c.offset;
        const uint8_t* p10 = p00 + c.next;
        for (int ch = 0; ch < 3; ++ch) {
            int a = p00[ch];
            int top = a + (((p10[ch] - a) * c.fx) >> 9);
            int bottom = 0;
            if (r1) {
                int b = r1[c.offset + ch];
                bottom = b + (((r1[c.offset + c.next + ch] - b) * c.fx) >> 9);
            }
            out[3 * j + ch] = uint8_t(top + (((bottom - top) * fy) >> 9));
        }
    }
}

void scale_row8(const uint8_t* src, int sw, int sh, int64_t sstride, uint8_t* dst, int nw,
                int64_t dstride, int row, double sx, double sy) {
    int y0 = int(row * sy);
    if (y0 > sh - 1) y0 = sh - 1;
    const uint8_t* in = src + y0 * sstride;
    uint8_t* out = dst + row * dstride;
    for (int j = 0; j < nw; ++j) {
        int x0 = int(j * sx);
        if (x0 > sw - 1) x0 = sw - 1;
        out[j] = in[x0];
    }
}

}  // namespace

PackedDib dib_scale(PackedDib dib, int new_width, int new_height) {
    if (!dib || new_width <= 0 || new_height <= 0) return nullptr;
    MemLock<DibHeader> src(dib);
    if (!src) return nullptr;
    int bits = src->biBitCount;
    if ((bits != 8 && bits != 24) || !dib_fits_block(src.get(), mem_size(dib))) return nullptr;
    int sw = src->biWidth, sh = src->biHeight;
    double sx = double(sw) / new_width;
    double sy = double(sh) / new_height;

    uint64_t palette = uint64_t(dib_palette_entries(src.get())) * 4;
    uint64_t dstride = uint64_t(dib_stride(new_width, bits));
    uint64_t image = dstride * uint64_t(new_height);
    uint64_t size = palette + image + kDibSpareBytes;
    if (size > kMemBlockMaxSize) return nullptr;
    // The column table before the picture: when memory runs out for it
    // (std::bad_alloc, which the window procedure's guard reports), no
    // picture has been made that nobody would free.
    std::vector<ColumnStep> cols(bits == 24 ? size_t(new_width) : 0);
    PackedDib result = mem_alloc(size_t(size));
    MemLock<DibHeader> dst(result);
    if (!dst) {
        mem_free(result);
        return nullptr;
    }
    std::memcpy(dst.get(), src.get(), size_t(40 + palette));
    dst->biWidth = new_width;
    dst->biHeight = new_height;
    dst->biSizeImage = uint32_t(image);

    const uint8_t* sbits = dib_bits_ptr(src.get());
    uint8_t* dbits = dib_bits_ptr(dst.get());
    int64_t sstride = dib_stride(sw, bits);

    if (bits == 24) {
        for (int j = 0; j < new_width; ++j) {
            double x = j * sx;
            int x0 = int(x);
            int fx = int((x - x0) * 512);
            if (x0 >= sw) {
                x0 = sw - 1;
                fx = 0;
            }
            cols[j] = {3 * x0, x0 + 1 < sw ? 3 : 0, fx};
        }
    }
    for (int i = 0; i < new_height; ++i) {
        if (bits == 24)
            scale_rows24(sbits, sh, sstride, dbits, new_width, int64_t(dstride), i, sy, cols);
        else
            scale_row8(sbits, sw, sh, sstride, dbits, new_width, int64_t(dstride), i, sx, sy);
        // Keep the windows alive on large pictures; give up if the program is quitting.
        if (pump_run() == 1) {
            dst.unlock();
            mem_free(result);
            return nullptr;
        }
    }
    return result;
}

namespace {

// The 24-bit copy of a locked 1, 4, 8 or 32-bit image in a block of
// `block_size` bytes; null when it cannot be read or memory runs out.
PackedDib copy_as_24bit(DibHeader* src, size_t block_size) {
    int bits = src->biBitCount;
    uint32_t entries = (bits == 32) ? 0 : dib_palette_entries(src);
    bool usable = (bits == 1 || bits == 4 || bits == 8 || bits == 32) &&
                  dib_fits_block(src, block_size) && (bits == 32 || entries > 0);
    if (!usable) return nullptr;
    int width = src->biWidth, height = src->biHeight;
    uint64_t image = uint64_t(dib_stride(width, 24)) * uint64_t(height);
    // 40-byte header and 16 spare bytes after the rows.
    PackedDib out = image + 56 <= kMemBlockMaxSize ? mem_alloc(size_t(image + 56)) : nullptr;
    MemLock<DibHeader> dst(out);
    if (!dst) {
        mem_free(out);
        return nullptr;
    }
    dib_write_header(dst.get(), width, height, 24, 0);

    // Indices past the colour table (possible in files) come out black.
    uint8_t lut[256][3] = {};
    const uint8_t* pal = dib_palette_ptr(src);
    for (uint32_t i = 0; i < entries && i < 256; ++i) std::memcpy(lut[i], pal + 4 * i, 3);

    const uint8_t* sbits = dib_bits_ptr(src);
    uint8_t* dbits = dib_bits_ptr(dst.get());
    int64_t sstride = dib_stride(width, bits);
    int64_t dstride = dib_stride(width, 24);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = sbits + y * sstride;
        uint8_t* o = dbits + y * dstride;
        switch (bits) {
            case 1:
                for (int x = 0; x < width; ++x, o += 3)
                    std::memcpy(o, lut[(in[x >> 3] >> (7 - (x & 7))) & 1], 3);
                break;
            case 4:
                for (int x = 0; x < width; ++x, o += 3)
                    std::memcpy(o, lut[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 15], 3);
                break;
            case 8:
                for (int x = 0; x < width; ++x, o += 3) std::memcpy(o, lut[in[x]], 3);
                break;
            default:  // 32: blue, green, red, and a fourth byte that is dropped
                for (int x = 0; x < width; ++x, o += 3) std::memcpy(o, in + 4 * x, 3);
                break;
        }
    }
    return out;
}

}  // namespace

PackedDib dib_to_24bit(PackedDib dib) {
    if (!dib) return nullptr;
    PackedDib out = nullptr;
    {
        MemLock<DibHeader> src(dib);
        if (src && src->biBitCount == 24) return dib;
        if (src) out = copy_as_24bit(src.get(), mem_size(dib));
    }
    // The source is ours: converted or not, it goes.
    mem_free(dib);
    return out;
}
