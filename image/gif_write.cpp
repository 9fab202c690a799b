#include "image/gif_write.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// 16384 slots for at most 4094 - 6 + 1 live strings keeps the load under a
// quarter, so a probe sequence is nearly always one or two slots long.
constexpr int kSlotBits = 14;
constexpr uint32_t kSlotCount = 1u << kSlotBits;
constexpr uint32_t kSlotMask = kSlotCount - 1;
constexpr int kLastCode = 4094;  // past this the coder clears instead of adding
constexpr size_t kOutStep = 4096;

inline uint32_t slot_of(uint32_t key) { return (key * 0x9E3779B1u) >> (32 - kSlotBits); }

bool ensure_room(GifLzw* s, size_t extra) {
    if (s->out_size + extra <= s->out_capacity) return true;
    size_t want = s->out_capacity ? s->out_capacity * 2 : kOutStep;
    while (want < s->out_size + extra) want *= 2;
    uint8_t* grown = static_cast<uint8_t*>(std::realloc(s->out, want));
    if (!grown) {
        s->status = kGifWriteErrMemory;
        return false;
    }
    s->out = grown;
    s->out_capacity = want;
    return true;
}

// Appends one code of the current width; whole bytes go out four at a time.
inline void put_code(GifLzw* s, int code) {
    s->bit_buffer |= uint64_t(code) << s->bit_count;
    s->bit_count += s->code_width;
    if (s->bit_count >= 32) {
        if (!ensure_room(s, 4)) return;
        uint8_t* p = s->out + s->out_size;
        uint32_t v = uint32_t(s->bit_buffer);
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
        p[3] = uint8_t(v >> 24);
        s->out_size += 4;
        s->bit_buffer >>= 32;
        s->bit_count -= 32;
    }
}

void reset_table(GifLzw* s) {
    std::memset(s->slots, 0, kSlotCount * sizeof(uint32_t));
    s->next_code = s->clear_code + 2;
    s->code_width = s->min_code_size + 1;
    s->width_limit = 1 << s->code_width;
}

}  // namespace

int gif_lzw_begin(GifLzw* s, int min_code_size) {
    std::memset(s, 0, sizeof *s);
    s->current = -1;
    if (min_code_size < 2 || min_code_size > 8) {
        s->status = kGifWriteErrImage;
        return kGifWriteErrImage;
    }
    s->slots = static_cast<uint32_t*>(std::malloc(kSlotCount * sizeof(uint32_t)));
    if (!s->slots || !ensure_room(s, kOutStep)) {
        s->status = kGifWriteErrMemory;
        return kGifWriteErrMemory;
    }
    s->min_code_size = min_code_size;
    s->max_pixel = (1u << min_code_size) - 1;
    s->clear_code = 1 << min_code_size;
    reset_table(s);
    put_code(s, s->clear_code);
    return s->status;
}

void gif_lzw_feed(GifLzw* s, const uint8_t* pixels, size_t count) {
    if (s->status || count == 0) return;
    size_t i = 0;
    int current = s->current;
    if (current < 0) {
        if (pixels[0] > s->max_pixel) {
            s->status = kGifWriteErrImage;
            return;
        }
        current = pixels[0];
        i = 1;
    }
    uint32_t* slots = s->slots;
    const unsigned max_pixel = s->max_pixel;
    for (; i < count; ++i) {
        unsigned p = pixels[i];
        if (p > max_pixel) {
            s->status = kGifWriteErrImage;
            break;
        }
        uint32_t key = (uint32_t(current) << 8) | p;
        uint32_t slot = slot_of(key);
        uint32_t entry;
        while ((entry = slots[slot]) != 0) {
            if ((entry >> 12) == key) break;
            slot = (slot + 1) & kSlotMask;
        }
        if (entry) {
            current = int(entry & 0xFFF);
            continue;
        }
        put_code(s, current);
        if (s->next_code > kLastCode) {
            put_code(s, s->clear_code);
            reset_table(s);
        } else {
            slots[slot] = (key << 12) | uint32_t(s->next_code);
            // The decoder learns this entry one code later, so the width
            // grows only for the codes after the one just written.
            if (s->next_code >= s->width_limit) {
                s->code_width++;
                s->width_limit <<= 1;
            }
            s->next_code++;
        }
        if (s->status) break;
        current = int(p);
    }
    s->current = current;
}

int gif_lzw_finish(GifLzw* s) {
    if (s->status) return s->status;
    if (s->current < 0) {
        s->status = kGifWriteErrImage;
        return kGifWriteErrImage;
    }
    put_code(s, s->current);
    put_code(s, s->clear_code + 1);
    if (!s->status && ensure_room(s, 8)) {
        while (s->bit_count > 0) {
            s->out[s->out_size++] = uint8_t(s->bit_buffer);
            s->bit_buffer >>= 8;
            s->bit_count -= 8;
        }
        s->bit_count = 0;
    }
    return s->status;
}

void gif_lzw_free(GifLzw* s) {
    std::free(s->slots);
    std::free(s->out);
    s->slots = nullptr;
    s->out = nullptr;
    s->out_size = s->out_capacity = 0;
}

namespace {

// The smallest code size 2..8 whose roots cover `colours` indices.
int min_code_size_for(uint32_t colours) {
    int b = 2;
    while (b < 8 && (1u << b) < colours) ++b;
    return b;
}

void put_u16(uint8_t* p, int v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

// Checks that the block is a paletted image the writer can store: one plane,
// 1/4/8 bits, uncompressed rows, a size that fits the 16-bit fields, and
// header, colour table and rows all inside the block.
bool usable_image(const DibHeader* h, size_t block_size) {
    if (block_size < sizeof(DibHeader) || h->biSize < sizeof(DibHeader)) return false;
    if (h->biPlanes != 1 || h->biCompression != 0) return false;
    if (h->biBitCount != 1 && h->biBitCount != 4 && h->biBitCount != 8) return false;
    if (h->biWidth <= 0 || h->biHeight <= 0 || h->biWidth > 0xFFFF || h->biHeight > 0xFFFF)
        return false;
    uint64_t need = uint64_t(h->biSize) + 4ull * dib_palette_entries(h) +
                    uint64_t(dib_stride(h->biWidth, h->biBitCount)) * uint64_t(h->biHeight);
    return need <= block_size;
}

// Unpacks one stored row into colour indices, high bits first.
void unpack_row(const uint8_t* row, int width, int bit_count, uint8_t* out) {
    if (bit_count == 4) {
        for (int x = 0; x < width; ++x) out[x] = (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    } else {
        for (int x = 0; x < width; ++x) out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
}

// Encodes the image rows in interlace order.
int encode_image(const DibHeader* h, int min_code_size, GifLzw* lzw) {
    const int width = h->biWidth, height = h->biHeight;
    const int64_t stride = dib_stride(width, h->biBitCount);
    const uint8_t* bits = dib_bits_ptr(const_cast<DibHeader*>(h));
    uint8_t* scratch = nullptr;
    if (h->biBitCount != 8) {
        scratch = static_cast<uint8_t*>(std::malloc(size_t(width)));
        if (!scratch) return kGifWriteErrMemory;
    }
    int rc = gif_lzw_begin(lzw, min_code_size);
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4 && rc == 0; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass]) {
            const uint8_t* row = bits + int64_t(height - 1 - y) * stride;
            if (scratch) {
                unpack_row(row, width, h->biBitCount, scratch);
                row = scratch;
            }
            gif_lzw_feed(lzw, row, size_t(width));
        }
    }
    if (rc == 0) rc = gif_lzw_finish(lzw);
    std::free(scratch);
    return rc;
}

bool write_all(std::FILE* f, const void* p, size_t n) { return std::fwrite(p, 1, n, f) == n; }

int write_file(std::FILE* f, const DibHeader* h, int table_bits, int min_code_size,
               const GifLzw* lzw) {
    uint8_t head[13 + 768 + 11];
    size_t n = 0;
    std::memcpy(head, "GIF87a", 6);
    put_u16(head + 6, h->biWidth);
    put_u16(head + 8, h->biHeight);
    head[10] = uint8_t(0xF0 | (table_bits - 1));
    head[11] = 0;
    head[12] = 0;
    n = 13;
    const uint32_t colours = dib_palette_entries(h);
    const uint8_t* palette = dib_palette_ptr(const_cast<DibHeader*>(h));
    for (uint32_t i = 0; i < (1u << table_bits); ++i, n += 3) {
        if (i < colours) {
            head[n] = palette[4 * i + 2];
            head[n + 1] = palette[4 * i + 1];
            head[n + 2] = palette[4 * i];
        } else {
            head[n] = head[n + 1] = head[n + 2] = 0;
        }
    }
    head[n] = 0x2C;
    put_u16(head + n + 1, 0);
    put_u16(head + n + 3, 0);
    put_u16(head + n + 5, h->biWidth);
    put_u16(head + n + 7, h->biHeight);
    head[n + 9] = 0x40;
    head[n + 10] = uint8_t(min_code_size);
    n += 11;
    if (!write_all(f, head, n)) return kGifWriteErrFile;
    for (size_t at = 0; at < lzw->out_size; at += 255) {
        size_t len = lzw->out_size - at < 255 ? lzw->out_size - at : 255;
        uint8_t len_byte = uint8_t(len);
        if (!write_all(f, &len_byte, 1) || !write_all(f, lzw->out + at, len))
            return kGifWriteErrFile;
    }
    static const uint8_t kTail[2] = {0x00, 0x3B};
    return write_all(f, kTail, 2) ? 0 : kGifWriteErrFile;
}

}  // namespace

int gif_write(PackedDib dib, const char* path) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return kGifWriteErrFile;
    MemLock<const DibHeader> h(dib);
    if (!h) {
        std::fclose(f);
        return kGifWriteErrMemory;
    }
    int rc = usable_image(h.get(), mem_size(dib)) ? 0 : kGifWriteErrImage;
    GifLzw lzw;
    std::memset(&lzw, 0, sizeof lzw);
    int min_code_size = 0, table_bits = 0;
    if (rc == 0) {
        uint32_t colours = dib_palette_entries(h.get());
        min_code_size = min_code_size_for(colours);
        table_bits = (min_code_size == 2 && colours == 2) ? 1 : min_code_size;
        rc = encode_image(h.get(), min_code_size, &lzw);
    }
    if (rc == 0) rc = write_file(f, h.get(), table_bits, min_code_size, &lzw);
    if (std::fclose(f) != 0 && rc == 0) rc = kGifWriteErrFile;
    gif_lzw_free(&lzw);
    return rc;
}
