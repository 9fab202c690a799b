#include "image/bmp.h"

#include <cstdio>
#include <cstring>

namespace {

uint16_t get_u16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t get_u32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void put_u16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void put_u32(uint8_t* p, uint32_t v) {
    put_u16(p, v);
    put_u16(p + 2, v >> 16);
}

// How one channel is taken out of a 16- or 32-bit pixel value.
struct ChannelMask {
    uint32_t mask;
    int shift;       // zero bits below the mask
    int scale;       // left shift that brings a narrow channel up to 8 bits
    int drop;        // right shift that brings a wide channel down to 8 bits
};

ChannelMask make_mask(uint32_t mask) {
    ChannelMask m = {mask, 0, 0, 0};
    if (!mask) return m;  // a channel without bits reads as 0
    while (!((mask >> m.shift) & 1)) ++m.shift;
    int width = 0;
    for (uint32_t v = mask >> m.shift; v; v >>= 1) ++width;
    if (width <= 8)
        m.scale = 8 - width;
    else
        m.drop = width - 8;
    return m;
}

inline uint8_t channel(uint32_t value, const ChannelMask& m) {
    return uint8_t((((value & m.mask) >> m.shift) >> m.drop) << m.scale);
}

bool depth_accepted(uint32_t compression, int bits) {
    if (compression == 0)
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (compression == 3) return bits == 16 || bits == 32;
    return false;
}

// A new block of `size` bytes, or null when it is too large or memory runs out.
MemBlock alloc_block(uint64_t size) {
    return size <= kMemBlockMaxSize ? mem_alloc(size_t(size)) : nullptr;
}

}  // namespace

int bmp_write(PackedDib dib, const char* path) {
    MemLock<DibHeader> h(dib);
    if (!h) return 0;
    h->biSizeImage = 0;
    size_t size = mem_size(dib);
    uint8_t head[14] = {'B', 'M'};
    put_u32(head + 2, uint32_t(size + 14));
    put_u32(head + 10, dib_palette_bytes(h.get()) + h->biSize + 14);
    FILE* f = std::fopen(path, "wb");
    if (!f) return 0;
    // A full disk must not look like a written picture.
    bool ok = std::fwrite(head, 1, 14, f) == 14 && std::fwrite(h.get(), 1, size, f) == size;
    if (std::fclose(f) != 0) ok = false;
    return ok ? 1 : 0;
}

int bmp_read(const char* path, PackedDib* out) {
    *out = nullptr;
    FILE* f = std::fopen(path, "rb");
    if (!f) return kBmpErrFile;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    // Too short for any header, as the memory reader would say too. An empty
    // file must not get that far: Windows cannot lock a block of 0 bytes,
    // which would report it as a lack of memory.
    if (size < 14 || std::fseek(f, 0, SEEK_SET) != 0) {
        std::fclose(f);
        return kBmpErrFile;
    }
    MemBlock block = alloc_block(uint64_t(size));
    MemLock<uint8_t> data(block);
    if (!data) {
        mem_free(block);
        std::fclose(f);
        return kBmpErrMemory;
    }
    size_t got = std::fread(data.get(), 1, size_t(size), f);
    std::fclose(f);
    int rc = got == size_t(size) ? bmp_read_memory(data.get(), got, out) : kBmpErrFile;
    data.unlock();
    mem_free(block);
    return rc;
}

int bmp_read_memory(const uint8_t* data, size_t size, PackedDib* out) {
    *out = nullptr;
    if (size < 14) return kBmpErrFile;
    uint64_t pixel_offset = 0;
    size_t pos = 0;
    if (data[0] == 'B' && data[1] == 'M') {
        pixel_offset = get_u32(data + 10);
        pos = 14;
    } // otherwise a bare bitmap: the information header starts at byte 0

    if (size - pos < 4) return kBmpErrFile;
    uint32_t header_size = get_u32(data + pos);
    DibHeader h;
    uint32_t entries;
    bool core = header_size == 12;
    if (core) {
        // OS/2 core header: 16-bit sizes, no compression; rewritten as a
        // 40-byte header.
        if (size - pos < 12) return kBmpErrFile;
        const uint8_t* c = data + pos;
        entries = dib_palette_entries(c);
        std::memset(&h, 0, sizeof h);
        h.biSize = 40;
        h.biWidth = get_u16(c + 4);
        h.biHeight = get_u16(c + 6);
        h.biPlanes = get_u16(c + 8);
        h.biBitCount = get_u16(c + 10);
        h.biClrUsed = h.biClrImportant = entries;
        pos += 12;
    } else {
        if (size - pos < 40) return kBmpErrFile;
        if (header_size != 40) return kBmpErrFormat;
        std::memcpy(&h, data + pos, 40);
        entries = dib_palette_entries(&h);
        pos += 40;
    }
    int bits = h.biBitCount;
    // Top-down (negative height) files are not handled.
    if (h.biWidth <= 0 || h.biHeight <= 0 || !depth_accepted(h.biCompression, bits))
        return kBmpErrFormat;

    uint64_t row_bytes = (uint64_t(bits) * uint64_t(h.biWidth) + 31) / 32 * 4;
    uint64_t rows_size = row_bytes * uint64_t(h.biHeight);
    // A stated image size smaller than the rows would leave the block short.
    uint64_t image_size = h.biSizeImage > rows_size ? h.biSizeImage : rows_size;
    if (image_size > kMemBlockMaxSize) return kBmpErrFile;
    if (h.biClrUsed == 0) h.biClrUsed = dib_palette_entries(&h);

    uint64_t table_bytes = uint64_t(entries) * (core ? 3 : 4);
    if (table_bytes > size - pos) return kBmpErrFile;
    const uint8_t* table = data + pos;
    pos += size_t(table_bytes);

    ChannelMask red{}, green{}, blue{};
    bool convert = bits == 16 || bits == 32;
    if (h.biCompression == 3) {
        if (size - pos < 12) return kBmpErrFile;
        red = make_mask(get_u32(data + pos));
        green = make_mask(get_u32(data + pos + 4));
        blue = make_mask(get_u32(data + pos + 8));
        pos += 12;
    } else if (bits == 16) {
        red = make_mask(0x7C00);
        green = make_mask(0x03E0);
        blue = make_mask(0x001F);
    } else if (bits == 32) {
        red = make_mask(0xFF0000);
        green = make_mask(0x00FF00);
        blue = make_mask(0x0000FF);
    }
    if (pixel_offset) pos = pixel_offset <= size ? size_t(pixel_offset) : size;
    if (image_size > size - pos) return kBmpErrFile;
    const uint8_t* pixels = data + pos;

    uint64_t dst_row = convert ? (uint64_t(h.biWidth) * 24 + 31) / 32 * 4 : row_bytes;
    uint64_t dst_image = convert ? dst_row * uint64_t(h.biHeight) : image_size;
    PackedDib block = alloc_block(40 + 4 * uint64_t(entries) + dst_image + kDibSpareBytes);
    MemLock<DibHeader> d(block);
    if (!d) {
        mem_free(block);
        return kBmpErrMemory;
    }
    if (convert) {
        h.biBitCount = 24;
        h.biCompression = 0;
        h.biSizeImage = uint32_t(dst_image);
    } else {
        h.biSizeImage = uint32_t(image_size);
    }
    std::memcpy(d.get(), &h, 40);
    uint8_t* palette = dib_palette_ptr(d.get());
    if (core) {
        for (uint32_t i = 0; i < entries; ++i) std::memcpy(palette + 4 * i, table + 3 * i, 3);
    } else {
        std::memcpy(palette, table, size_t(table_bytes));
    }
    uint8_t* dst = palette + 4 * size_t(entries);

    if (!convert) {
        std::memcpy(dst, pixels, size_t(image_size));
    } else {
        int width = h.biWidth;
        for (int32_t y = 0; y < h.biHeight; ++y) {
            const uint8_t* in = pixels + y * row_bytes;
            uint8_t* o = dst + y * dst_row;
            if (bits == 16) {
                for (int x = 0; x < width; ++x, o += 3) {
                    uint32_t v = get_u16(in + 2 * x);
                    o[0] = channel(v, blue);
                    o[1] = channel(v, green);
                    o[2] = channel(v, red);
                }
            } else {
                for (int x = 0; x < width; ++x, o += 3) {
                    uint32_t v = get_u32(in + 4 * x);
                    o[0] = channel(v, blue);
                    o[1] = channel(v, green);
                    o[2] = channel(v, red);
                }
            }
        }
    }
    *out = block;
    return kBmpOk;
}
