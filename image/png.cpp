#include "image/png.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <spng.h>
#include <zlib.h>

namespace {

// Compression chosen by measurement on screen pictures (bench/README.md):
// zlib's level 2 over rows that all use the Up filter. Files come out about
// 5 % larger than with every filter tried on every row at the default
// level, in a quarter of the time, and they inflate faster.
constexpr int kLevel = 2;
constexpr int kStrategy = Z_DEFAULT_STRATEGY;
constexpr int kFilters = SPNG_FILTER_CHOICE_UP;

// Ancillary chunks (text, profiles, Exif) are kept by the library while it
// reads; a hostile file could otherwise make it hold gigabytes of them.
constexpr size_t kChunkLimit = size_t(32) << 20;

struct CtxFree {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using Ctx = std::unique_ptr<spng_ctx, CtxFree>;

struct MallocFree {
    void operator()(void* p) const { std::free(p); }
};
using Buffer = std::unique_ptr<uint8_t, MallocFree>;

// Validates a locked PackedDib for the writer; 0 when it can be written.
int check_writable(const DibHeader* h, size_t block_size) {
    if (h->biSize < 40 || h->biPlanes != 1 || h->biCompression != 0 || h->biBitCount != 24 ||
        dib_palette_entries(h) > 256)
        return kPngErrFormat;
    // A top-down (negative height) block is not one the program makes.
    if (h->biWidth <= 0 || h->biHeight <= 0) return kPngErrFormat;
    uint64_t need = uint64_t(h->biSize) + dib_palette_bytes(h) +
                    uint64_t(dib_stride(h->biWidth, 24)) * uint64_t(h->biHeight);
    return need > block_size ? kPngErrLock : 0;
}

// Encodes the locked picture into a buffer the library allocates; 0 with
// the buffer in *png, or a negative code.
int encode(DibHeader* h, Buffer* png, size_t* png_size) {
    Ctx ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx) return kPngErrMemory;
    spng_ctx* c = ctx.get();
    spng_set_option(c, SPNG_ENCODE_TO_BUFFER, 1);
    spng_set_option(c, SPNG_IMG_COMPRESSION_LEVEL, kLevel);
    spng_set_option(c, SPNG_IMG_COMPRESSION_STRATEGY, kStrategy);
    spng_set_option(c, SPNG_FILTER_CHOICE, kFilters);

    const int width = h->biWidth, height = h->biHeight;
    spng_ihdr ihdr = {};
    ihdr.width = uint32_t(width);
    ihdr.height = uint32_t(height);
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
    if (spng_set_ihdr(c, &ihdr)) return kPngErrFormat;
    if (h->biXPelsPerMeter > 0 && h->biYPelsPerMeter > 0) {
        spng_phys phys = {uint32_t(h->biXPelsPerMeter), uint32_t(h->biYPelsPerMeter), 1};
        spng_set_phys(c, &phys);
    }

    const size_t row_bytes = size_t(3) * size_t(width);
    Buffer rgb(static_cast<uint8_t*>(std::malloc(row_bytes)));
    if (!rgb) return kPngErrMemory;
    int ret = spng_encode_image(c, nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    for (int y = 0; y < height && !ret; ++y) {
        const uint8_t* src = dib_row_top_down(h, y);
        uint8_t* dst = rgb.get();
        for (size_t i = 0; i < row_bytes; i += 3) {
            dst[i] = src[i + 2];
            dst[i + 1] = src[i + 1];
            dst[i + 2] = src[i];
        }
        ret = spng_encode_row(c, dst, row_bytes);
        if (ret == SPNG_EOI && y == height - 1) ret = 0;
    }
    if (ret) return ret == SPNG_EMEM ? kPngErrMemory : kPngErrFormat;
    int error = 0;
    png->reset(static_cast<uint8_t*>(spng_get_png_buffer(c, png_size, &error)));
    if (!*png) return error == SPNG_EMEM ? kPngErrMemory : kPngErrFormat;
    return 0;
}

// Writes all bytes and closes; false on any short write or failed close.
bool write_whole(const char* path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    // A failed close can lose buffered bytes: that is a failed write.
    if (std::fclose(f) != 0) ok = false;
    if (!ok) std::remove(path);
    return ok;
}

}  // namespace

int png_write_dib(PackedDib dib, const char* path) {
    if (!path) return kPngErrFile;
    Buffer png;
    size_t size = 0;
    {
        MemLock<DibHeader> h(dib);
        if (!h || mem_size(dib) < sizeof(DibHeader)) return kPngErrLock;
        int code = check_writable(h.get(), mem_size(dib));
        if (!code) code = encode(h.get(), &png, &size);
        if (code) return code;
    }
    // The whole file is made in memory first: a picture that cannot be
    // encoded never touches what is on disk under its name.
    return write_whole(path, png.get(), size) ? 0 : kPngErrFile;
}

namespace {

// What the library decodes a row into before it becomes blue-green-red.
enum class Layout { kRgb8, kRgba8, kRgba16 };

// c x a / 255, rounded (the product is never exactly half-way).
inline uint8_t over_black8(unsigned c, unsigned a) { return uint8_t((c * a + 127) / 255); }
// The same for 16-bit samples, then rounded to 8 bits.
inline uint8_t over_black16(uint32_t c, uint32_t a) {
    uint32_t p = (c * a + 32767) / 65535;
    return uint8_t((p + 128) / 257);
}

// One decoded row into a blue-green-red row. For kRgb8 `src` may be `dst`.
void convert_row(Layout layout, const uint8_t* src, uint8_t* dst, int width) {
    switch (layout) {
        case Layout::kRgb8:
            for (int x = 0; x < width; ++x) {
                uint8_t r = src[3 * x];
                dst[3 * x + 1] = src[3 * x + 1];
                dst[3 * x] = src[3 * x + 2];
                dst[3 * x + 2] = r;
            }
            break;
        case Layout::kRgba8:
            for (int x = 0; x < width; ++x, src += 4, dst += 3) {
                const unsigned a = src[3];
                dst[0] = over_black8(src[2], a);
                dst[1] = over_black8(src[1], a);
                dst[2] = over_black8(src[0], a);
            }
            break;
        case Layout::kRgba16:
            for (int x = 0; x < width; ++x, src += 8, dst += 3) {
                uint16_t s[4];
                std::memcpy(s, src, 8);  // host order, any alignment
                dst[0] = over_black16(s[2], s[3]);
                dst[1] = over_black16(s[1], s[3]);
                dst[2] = over_black16(s[0], s[3]);
            }
            break;
    }
}

int damaged(int ret) { return ret == SPNG_EMEM ? kPngErrMemory : kPngErrDamaged; }

// Decodes the pixel rows into the locked block `h`, made for the picture's
// sizes. 0, or a negative code.
int read_pixels(spng_ctx* c, const spng_ihdr& ihdr, Layout layout, size_t max_bytes, DibHeader* h) {
    const int fmt = layout == Layout::kRgb8    ? SPNG_FMT_RGB8
                    : layout == Layout::kRgba8 ? SPNG_FMT_RGBA8
                                               : SPNG_FMT_RGBA16;
    // Transparency applies to the layouts with alpha only.
    const int flags = layout == Layout::kRgb8 ? 0 : SPNG_DECODE_TRNS;
    const int width = h->biWidth, height = h->biHeight;
    size_t image_bytes = 0;
    int ret = spng_decoded_image_size(c, fmt, &image_bytes);
    if (ret) return damaged(ret);
    const size_t row_bytes = image_bytes / size_t(height);

    if (ihdr.interlace_method != SPNG_INTERLACE_NONE) {
        // The passes fill the picture out of order: decode it whole first.
        if (image_bytes > max_bytes) return kPngErrMemory;
        Buffer all(static_cast<uint8_t*>(std::malloc(image_bytes)));
        if (!all) return kPngErrMemory;
        ret = spng_decode_image(c, all.get(), image_bytes, fmt, flags);
        if (ret) return damaged(ret);
        for (int y = 0; y < height; ++y)
            convert_row(layout, all.get() + size_t(y) * row_bytes, dib_row_top_down(h, y), width);
        return 0;
    }

    // Rows of RGB are decoded straight into the picture's own rows.
    Buffer scratch;
    if (layout != Layout::kRgb8) {
        scratch.reset(static_cast<uint8_t*>(std::malloc(row_bytes)));
        if (!scratch) return kPngErrMemory;
    }
    ret = spng_decode_image(c, nullptr, 0, fmt, flags | SPNG_DECODE_PROGRESSIVE);
    if (ret) return damaged(ret);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = dib_row_top_down(h, y);
        uint8_t* into = scratch ? scratch.get() : row;
        ret = spng_decode_row(c, into, row_bytes);
        // The last row reports the end of the picture.
        if (ret && !(ret == SPNG_EOI && y == height - 1)) return damaged(ret);
        convert_row(layout, into, row, width);
    }
    return 0;
}

// Reads the header from the context's source, refuses pictures over the
// limit, then makes and fills the PackedDib.
int decode_to_dib(spng_ctx* c, size_t max_bytes, PackedDib* out) {
    spng_set_image_limits(c, 0x7fffffff, 0x7fffffff);
    spng_set_chunk_limits(c, kChunkLimit, kChunkLimit);
    spng_ihdr ihdr = {};
    int ret = spng_get_ihdr(c, &ihdr);
    if (ret) return damaged(ret);
    const int width = int(ihdr.width), height = int(ihdr.height);
    const uint64_t bytes = 40 + uint64_t(dib_stride(width, 24)) * uint64_t(height);
    if (width <= 0 || height <= 0 || bytes > max_bytes || bytes > kMemBlockMaxSize) return kPngErrMemory;

    // Reading tRNS and pHYs reads every chunk up to the pixel data.
    spng_trns trns;
    ret = spng_get_trns(c, &trns);
    if (ret && ret != SPNG_ECHUNKAVAIL) return damaged(ret);
    const bool alpha = !ret || ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA ||
                       ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    const Layout layout = ihdr.bit_depth == 16 ? Layout::kRgba16 : alpha ? Layout::kRgba8 : Layout::kRgb8;
    spng_phys phys;
    const bool metres = spng_get_phys(c, &phys) == 0 && phys.unit_specifier == 1;

    PackedDib dib = mem_alloc(size_t(bytes));
    int code = kPngErrMemory;
    {
        MemLock<DibHeader> h(dib);
        if (h) {
            dib_write_header(h.get(), width, height, 24, 0);
            if (metres && phys.ppu_x <= 0x7fffffff && phys.ppu_y <= 0x7fffffff) {
                h->biXPelsPerMeter = int32_t(phys.ppu_x);
                h->biYPelsPerMeter = int32_t(phys.ppu_y);
            }
            code = read_pixels(c, ihdr, layout, max_bytes, h.get());
        }
    }
    // The chunks after the pixels, to the end: the pixel data's last CRC
    // is read only here when the compressed stream fills its chunk exactly.
    if (!code && (ret = spng_decode_chunks(c)) != 0) code = damaged(ret);
    if (code) {
        mem_free(dib);
        return code;
    }
    *out = dib;
    return 0;
}

// Every chunk's CRC is checked, the pixel data's included; the Adler-32
// inside the compressed stream is not: it only checks the inflated bytes
// again, and costs a tenth of the decoding time.
constexpr int kReaderFlags = SPNG_CTX_IGNORE_ADLER32;

}  // namespace

int png_read_dib_memory(const uint8_t* data, size_t size, size_t max_bytes, PackedDib* out) {
    if (!out) return kPngErrFile;
    *out = nullptr;
    if (!data || !size) return kPngErrFile;
    Ctx ctx(spng_ctx_new(kReaderFlags));
    if (!ctx) return kPngErrMemory;
    if (spng_set_png_buffer(ctx.get(), data, size)) return kPngErrFile;
    return decode_to_dib(ctx.get(), max_bytes, out);
}

int png_read_dib(const char* path, PackedDib* out) {
    if (!out) return kPngErrFile;
    *out = nullptr;
    std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return kPngErrFile;
    // The library reads the file as it decodes; the size limit holds
    // whatever the file's length.
    int code = kPngErrMemory;
    {
        Ctx ctx(spng_ctx_new(kReaderFlags));
        if (ctx) {
            code = spng_set_png_file(ctx.get(), f) ? kPngErrFile
                                                    : decode_to_dib(ctx.get(), kMemBlockMaxSize, out);
        }
    }
    std::fclose(f);
    return code;
}
