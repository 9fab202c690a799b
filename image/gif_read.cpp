#include "image/gif_read.h"

#include <cstring>

#include "image/whole_file.h"

namespace {

constexpr int kMaxCodes = 4096;
// No code can stand for a longer string than this, which bounds how many
// pixels a given amount of image data can possibly produce.
constexpr uint64_t kLongestString = kMaxCodes;

struct CodeEntry {
    int32_t prefix;  // -1 for a root
    uint8_t first;
    uint8_t last;
    uint16_t length;
};

// Working state: one zeroed block for the whole call.
struct GifDecoder {
    uint8_t* data;  // the file followed by at least 8 slack bytes
    size_t size;
    size_t pos;
    bool have_table;
    int colour_bits;
    uint8_t table[768];  // red, green, blue as in the file
    int width;
    int height;
    int64_t stride;
    bool interlaced;
    int p1, p2, p3;  // rows decoded at the end of interlace passes 1..3
    uint8_t* bits;   // the output's pixel rows
    uint8_t* row;    // the row being filled
    int column;
    int rows_done;
    bool full;
    uint8_t stack[kMaxCodes];
    CodeEntry codes[kMaxCodes];
};

inline uint8_t byte_at(const GifDecoder* d, size_t at) { return at < d->size ? d->data[at] : 0; }
inline int u16_at(const GifDecoder* d, size_t at) { return byte_at(d, at) | byte_at(d, at + 1) << 8; }

// Reads a colour table of 2^bits entries at the current position; bytes past
// the end of the file read as zero.
void read_table(GifDecoder* d, int bits) {
    d->colour_bits = bits;
    d->have_table = true;
    size_t n = size_t(3) << bits;
    for (size_t i = 0; i < n; ++i) d->table[i] = byte_at(d, d->pos + i);
    d->pos += n;
}

// Walks the blocks up to the first image descriptor and reads it.
int find_image(GifDecoder* d) {
    while (d->pos < d->size) {
        switch (d->data[d->pos]) {
            case '!':
                d->pos += 2;
                for (;;) {
                    if (d->pos >= d->size) return kGifExtensionOverrun;
                    uint8_t len = d->data[d->pos];
                    if (len == 0) break;
                    d->pos += size_t(len) + 1;
                }
                d->pos++;
                break;
            case ',': {
                d->width = u16_at(d, d->pos + 5);
                d->height = u16_at(d, d->pos + 7);
                uint8_t packed = byte_at(d, d->pos + 9);
                d->interlaced = (packed & 0x40) != 0;
                d->pos += 10;
                if (packed & 0x80) read_table(d, (packed & 7) + 1);
                return 0;
            }
            case ';':
                return kGifNoImage;
            default:
                return kGifBadBlock;
        }
    }
    return kGifNoImage;
}

// Joins the data sub-blocks into one run of bytes in place (each block moves
// down over the length bytes before it) and returns its length. A block cut
// short by the end of the file contributes what is there.
size_t join_sub_blocks(GifDecoder* d, size_t start) {
    size_t rd = start, wr = start;
    while (rd < d->size) {
        size_t len = d->data[rd];
        if (len == 0) break;
        size_t avail = d->size - rd - 1;
        if (avail > len) avail = len;
        std::memmove(d->data + wr, d->data + rd + 1, avail);
        wr += avail;
        rd += len + 1;
    }
    return wr - start;
}

// The image row that the next decoded row belongs to.
int image_row(const GifDecoder* d, int c) {
    if (!d->interlaced) return c;
    if (c < d->p1) return 8 * c;
    if (c < d->p2) return 8 * (c - d->p1) + 4;
    if (c < d->p3) return 4 * (c - d->p2) + 2;
    return 2 * (c - d->p3) + 1;
}

void next_row(GifDecoder* d) {
    d->column = 0;
    if (++d->rows_done == d->height) {
        d->full = true;
        return;
    }
    d->row = d->bits + int64_t(d->height - 1 - image_row(d, d->rows_done)) * d->stride;
}

// Writes the string of `code` into the pixels. Table entries always point to
// lower codes and carry their true lengths, so the walk is bounded.
void emit(GifDecoder* d, int code) {
    const CodeEntry* codes = d->codes;
    int len = codes[code].length;
    if (len <= 0 || len > kMaxCodes) {
        d->full = true;  // cannot happen with a well-formed table; stop quietly
        return;
    }
    if (d->column + len <= d->width) {
        uint8_t* p = d->row + d->column + len;
        for (int c = code; c >= 0; c = codes[c].prefix) *--p = codes[c].last;
        d->column += len;
        if (d->column == d->width) next_row(d);
        return;
    }
    // The string crosses a row end: unwind it first, then copy it in pieces.
    uint8_t* sp = d->stack + kMaxCodes;
    for (int c = code; c >= 0; c = codes[c].prefix) *--sp = codes[c].last;
    while (len > 0 && !d->full) {
        int n = d->width - d->column;
        if (n > len) n = len;
        std::memcpy(d->row + d->column, sp, size_t(n));
        sp += n;
        len -= n;
        d->column += n;
        if (d->column == d->width) next_row(d);
    }
}

inline void add_entry(GifDecoder* d, int at, int prefix, uint8_t last) {
    CodeEntry& e = d->codes[at];
    e.prefix = prefix;
    e.first = d->codes[prefix].first;
    e.last = last;
    e.length = uint16_t(d->codes[prefix].length + 1);
}

// Decodes `count` bytes of LZW data at `stream` into the pixels.
int decode_lzw(GifDecoder* d, const uint8_t* stream, size_t count, int min_code_size) {
    const int clear = 1 << min_code_size;
    const int end = clear + 1;
    for (int i = 0; i < clear; ++i) d->codes[i] = CodeEntry{-1, uint8_t(i), uint8_t(i), 1};
    int code_size = min_code_size + 1;
    int limit = 1 << code_size;
    int next = clear + 2;
    int prev = -1;
    bool first = true;  // a stream that does not open with a clear code is read as if it did
    const uint64_t total_bits = uint64_t(count) * 8;
    uint64_t bit_pos = 0;
    d->row = d->bits + int64_t(d->height - 1) * d->stride;
    while (!d->full && bit_pos + uint64_t(code_size) <= total_bits) {
        // Eight bytes from the code's first byte; the data has slack after it.
        const uint8_t* p = stream + (bit_pos >> 3);
        uint64_t window = 0;
        for (int i = 7; i >= 0; --i) window = window << 8 | p[i];
        int code = int((window >> (bit_pos & 7)) & uint64_t(limit - 1));
        bit_pos += uint64_t(code_size);

        if (code == end) break;
        if (code == clear) {
            code_size = min_code_size + 1;
            limit = 1 << code_size;
            next = clear + 2;
            first = true;
            continue;
        }
        if (first) {
            if (code > clear) return kGifBadFirstCode;
            emit(d, code);
            prev = code;
            first = false;
            continue;
        }
        if (code < next) {
            if (next < kMaxCodes) {
                if (prev >= next) return kGifBadCode;
                add_entry(d, next, prev, d->codes[code].first);
            }
            emit(d, code);
        } else {
            // Only the entry about to be made may be named before it exists.
            if (code > next || prev >= next) return kGifUndefinedCode;
            add_entry(d, next, prev, d->codes[prev].first);
            emit(d, code);
        }
        if (next < kMaxCodes && ++next == limit && code_size < 12) {
            code_size++;
            limit <<= 1;
        }
        prev = code;
    }
    return 0;
}

void put_u32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// Decodes the file in `data` (size bytes plus slack) with the zeroed
// decoder `d`. The bytes are changed in place.
int decode(PackedDib* out, GifDecoder* d, uint8_t* data, size_t size) {
    if (size < 11) return kGifReadFailed;
    if (std::memcmp(data, "GIF8", 4) != 0 || (data[4] != '7' && data[4] != '9') || data[5] != 'a')
        return kGifBadSignature;
    d->data = data;
    d->size = size;
    d->width = u16_at(d, 6);
    d->height = u16_at(d, 8);
    d->pos = 13;
    if (data[10] & 0x80) read_table(d, (data[10] & 7) + 1);
    int rc = find_image(d);
    if (rc != 0) return rc;
    if (!d->have_table) return kGifNoColourTable;
    if (d->width == 0) return kGifZeroWidth;
    if (d->height == 0) return kGifZeroHeight;
    const int min_code_size = byte_at(d, d->pos);
    if (min_code_size < 2 || min_code_size > 11) return kGifBadCodeSize;
    const size_t data_start = d->pos + 1;
    const size_t data_bytes = data_start < size ? join_sub_blocks(d, data_start) : 0;
    // Refuse a size the data cannot possibly fill before allocating for it.
    uint64_t most_pixels = uint64_t(data_bytes) * 8 / uint64_t(min_code_size + 1) * kLongestString;
    if (uint64_t(d->width) * uint64_t(d->height) > most_pixels) return kGifReadFailed;

    const uint32_t colours = 1u << d->colour_bits;
    d->stride = (int64_t(d->width) + 3) & ~int64_t(3);
    const uint64_t image_bytes = uint64_t(d->stride) * uint64_t(d->height);
    PackedDib image = mem_alloc(size_t(image_bytes + 56 + 4 * colours));
    {
        MemLock<uint8_t> base(image);
        if (!base) {
            rc = kGifNoMemory;
        } else {
            DibHeader h;
            std::memset(&h, 0, sizeof h);
            h.biSize = 40;
            h.biWidth = d->width;
            h.biHeight = d->height;
            h.biPlanes = 1;
            h.biBitCount = 8;
            h.biSizeImage = uint32_t(image_bytes);
            h.biClrUsed = colours;
            std::memcpy(base.get(), &h, sizeof h);
            for (uint32_t i = 0; i < colours; ++i) {
                const uint8_t* rgb = d->table + 3 * i;
                put_u32(base.get() + 40 + 4 * i, uint32_t(rgb[2]) | uint32_t(rgb[1]) << 8 | uint32_t(rgb[0]) << 16);
            }
            d->bits = base.get() + 40 + 4 * colours;
            d->p1 = (d->height + 7) / 8;
            d->p2 = d->p1 + (d->height + 3) / 8;
            d->p3 = d->p2 + (d->height + 1) / 4;
            rc = decode_lzw(d, data + data_start, data_bytes, min_code_size);
        }
    }
    if (rc == 0)
        *out = image;
    else
        mem_free(image);
    return rc;
}

// Decodes the file held in `file` (size bytes plus slack). The block is
// changed in place but stays the caller's.
int decode_file(PackedDib* out, MemBlock file, size_t size) {
    MemBlock state_block = mem_alloc(sizeof(GifDecoder));
    int rc = kGifNoMemory;
    {
        MemLock<GifDecoder> d(state_block);
        MemLock<uint8_t> data(file);
        if (d && data) rc = decode(out, d.get(), data.get(), size);
    }
    mem_free(state_block);
    return rc;
}

}  // namespace

int gif_read(PackedDib* out, const char* path) {
    *out = nullptr;
    size_t size = 0;
    MemBlock file = read_entire_file(path, &size);
    if (!file) return kGifReadFailed;
    int rc = decode_file(out, file, size);
    mem_free(file);
    return rc;
}

int gif_read_memory(PackedDib* out, const uint8_t* data, size_t size) {
    *out = nullptr;
    if (size > kMemBlockMaxSize - kWholeFileSlack) return kGifNoMemory;
    MemBlock file = mem_alloc(size + kWholeFileSlack);
    {
        MemLock<uint8_t> copy(file);
        if (!copy) {
            mem_free(file);
            return kGifNoMemory;
        }
        if (size) std::memcpy(copy.get(), data, size);
    }
    int rc = decode_file(out, file, size);
    mem_free(file);
    return rc;
}
