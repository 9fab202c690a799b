#include "image/dib.h"

#include <cstring>

int64_t dib_row_bytes(int width, int bit_count) {
    int64_t w = width;
    switch (bit_count) {
        case 1: return (w + 7) / 8;
        case 4: return (w + 1) / 2;
        case 8: return w;
        case 16: return 2 * w;
        case 24: return 3 * w;
        case 32: return 4 * w;
        default: return 0;
    }
}

int dib_row_padding(int width, int bit_count) {
    switch (bit_count) {
        case 1: case 4: case 8: case 16: case 24: case 32:
            return int((4 - dib_row_bytes(width, bit_count) % 4) % 4);
        default:
            return 0;
    }
}

int64_t dib_stride(int width, int bit_count) {
    return dib_row_bytes(width, bit_count) + dib_row_padding(width, bit_count);
}

namespace {
uint32_t read_u32(const void* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
uint16_t read_u16(const void* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
uint32_t entries_for_depth(unsigned bit_count) {
    switch (bit_count) {
        case 1: return 2;
        case 4: return 16;
        case 8: return 256;
        default: return 0;
    }
}
}  // namespace

uint32_t dib_palette_entries(const void* header) {
    const uint8_t* h = static_cast<const uint8_t*>(header);
    if (read_u32(h) == 12) return entries_for_depth(read_u16(h + 10));
    uint32_t used = read_u32(h + 32);
    if (used) return used;
    return entries_for_depth(read_u16(h + 14));
}

uint32_t dib_palette_bytes(const void* header) {
    uint32_t n = dib_palette_entries(header);
    return read_u32(header) == 12 ? n * 3 : n * 4;
}

uint8_t* dib_palette_ptr(void* header) {
    return static_cast<uint8_t*>(header) + static_cast<DibHeader*>(header)->biSize;
}

uint8_t* dib_bits_ptr(void* header) {
    return dib_palette_ptr(header) + dib_palette_bytes(header);
}

uint8_t* dib_row_top_down(void* header, int y) {
    const DibHeader* h = static_cast<const DibHeader*>(header);
    int64_t stride = dib_stride(h->biWidth, h->biBitCount);
    return dib_bits_ptr(header) + int64_t(h->biHeight - 1 - y) * stride;
}

void dib_write_header(DibHeader* h, int width, int height, int bit_count, uint32_t colours) {
    std::memset(h, 0, sizeof *h);
    h->biSize = 40;
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = uint16_t(bit_count);
    h->biSizeImage = uint32_t(dib_stride(width, bit_count) * height);
    h->biClrUsed = h->biClrImportant = colours;
}

namespace {

// Size of a 24-bit block with spare bytes; 0 when it cannot be represented.
size_t block_size24(int width, int height) {
    uint64_t stride = uint64_t(dib_stride(width, 24));
    uint64_t image = stride * uint64_t(height);
    if (image > kMemBlockMaxSize) return 0;
    return size_t(image + kDibSpareBytes);
}

void clamp_rect(PixelRect* r, int width, int height) {
    if (r->left < 0) r->left = 0;
    if (r->top < 0) r->top = 0;
    if (r->right > width) r->right = width;
    if (r->bottom > height) r->bottom = height;
}

// Whether a lock took and holds a 24-bit image.
bool locked24(const MemLock<DibHeader>& h) { return h && h->biBitCount == 24; }
}  // namespace

PackedDib dib_create24(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    size_t size = block_size24(width, height);
    if (!size) return nullptr;
    PackedDib dib = mem_alloc(size);
    MemLock<DibHeader> h(dib);
    if (!h) {
        mem_free(dib);
        return nullptr;
    }
    dib_write_header(h.get(), width, height, 24, 0);
    return dib;
}

PackedDib dib_crop24(PackedDib source, PixelRect* rect) {
    MemLock<DibHeader> src(source);
    if (!locked24(src)) return nullptr;
    clamp_rect(rect, src->biWidth, src->biHeight);
    if (rect->left >= rect->right || rect->top >= rect->bottom) return nullptr;
    int w = rect->right - rect->left;
    int h = rect->bottom - rect->top;
    PackedDib out = dib_create24(w, h);
    MemLock<DibHeader> dst(out);
    if (!dst) {
        mem_free(out);
        return nullptr;
    }
    int64_t src_stride = dib_stride(src->biWidth, 24);
    int64_t dst_stride = dib_stride(w, 24);
    const uint8_t* src_bits = dib_bits_ptr(src.get());
    uint8_t* dst_bits = dib_bits_ptr(dst.get());
    int64_t first_row = src->biHeight - rect->bottom;
    for (int i = 0; i < h; ++i) {
        std::memcpy(dst_bits + i * dst_stride,
                    src_bits + (first_row + i) * src_stride + 3 * int64_t(rect->left),
                    size_t(3) * w);
    }
    return out;
}

void dib_fill24(PackedDib dib, PixelRect* rect, const uint8_t colour[3]) {
    MemLock<DibHeader> h(dib);
    if (!locked24(h)) return;
    if (rect) {
        clamp_rect(rect, h->biWidth, h->biHeight);
        for (int y = rect->top; y < rect->bottom; ++y) {
            uint8_t* row = dib_row_top_down(h.get(), y);
            for (int x = rect->left; x < rect->right; ++x) std::memcpy(row + 3 * x, colour, 3);
        }
    } else {
        int64_t stride = dib_stride(h->biWidth, 24);
        uint8_t* bits = dib_bits_ptr(h.get());
        for (int x = 0; x < h->biWidth; ++x) std::memcpy(bits + 3 * x, colour, 3);
        for (int y = 1; y < h->biHeight; ++y) std::memcpy(bits + y * stride, bits, size_t(stride));
    }
}

void dib_paste_centred24(PackedDib canvas, const PixelRect* rect, PackedDib image) {
    int rw = rect->right - rect->left;
    int rh = rect->bottom - rect->top;
    if (rw <= 0 || rh <= 0) return;
    MemLock<DibHeader> c(canvas);
    if (!locked24(c)) return;
    MemLock<DibHeader> im(image);
    if (!locked24(im)) return;
    int iw = im->biWidth, ih = im->biHeight;
    int x0 = iw < rw ? rect->left + (rw - iw) / 2 : rect->left;
    if (x0 + rw > c->biWidth) rw = c->biWidth - x0;
    int y0 = ih < rh ? rect->top + (rh - ih) / 2 : rect->top;
    if (y0 + rh > c->biHeight) rh = c->biHeight - y0;
    int rows = ih < rh ? ih : rh;
    int cols = iw < rw ? iw : rw;
    // A rectangle that starts outside the canvas has nothing to copy.
    if (x0 >= 0 && y0 >= 0 && cols > 0) {
        for (int k = 0; k < rows; ++k) {
            std::memcpy(dib_row_top_down(c.get(), y0 + k) + 3 * int64_t(x0),
                        dib_row_top_down(im.get(), k), size_t(3) * cols);
        }
    }
}
