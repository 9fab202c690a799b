// Writes a few small GIFs with the program's own writer into a folder, as
// seeds for the GIF reader's fuzzing corpus: gif_seeds <folder>
#include <cstdio>
#include <cstring>
#include <string>

#include "image/gif_write.h"

namespace {

PackedDib make_image(int width, int height, int bits, int colours, int seed) {
    int64_t stride = dib_stride(width, bits);
    PackedDib dib = mem_alloc(40 + 4 * size_t(colours) + size_t(stride * height));
    DibHeader* h = static_cast<DibHeader*>(mem_lock(dib));
    h->biSize = 40;
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = uint16_t(bits);
    h->biSizeImage = uint32_t(stride * height);
    h->biClrUsed = uint32_t(colours);
    uint8_t* pal = dib_palette_ptr(h);
    for (int i = 0; i < colours; ++i) {
        pal[4 * i] = uint8_t(i * 13);
        pal[4 * i + 1] = uint8_t(255 - i);
        pal[4 * i + 2] = uint8_t(i * 7 + 3);
    }
    uint32_t state = uint32_t(seed) * 2654435761u + 1;
    uint8_t* bits_ptr = dib_bits_ptr(h);
    const int per_byte = 8 / bits;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bits_ptr + y * stride;
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            int v = (seed & 1) ? int((state >> 16) % uint32_t(colours)) : (x / 3 + y) % colours;
            int shift = (per_byte - 1 - x % per_byte) * bits;
            row[x / per_byte] = uint8_t(row[x / per_byte] | (v << shift));
        }
    }
    mem_unlock(dib);
    return dib;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gif_seeds <folder>\n");
        return 2;
    }
    struct Seed {
        int width, height, bits, colours;
    };
    const Seed seeds[] = {{1, 1, 8, 256}, {5, 3, 8, 3},  {16, 16, 8, 256}, {33, 9, 4, 16},
                          {13, 7, 1, 2},  {40, 30, 8, 64}, {64, 64, 8, 256}, {9, 17, 8, 5}};
    int failures = 0;
    int index = 0;
    for (const Seed& s : seeds) {
        for (int variant = 0; variant < 2; ++variant, ++index) {
            PackedDib dib = make_image(s.width, s.height, s.bits, s.colours, index * 2 + variant);
            std::string path = std::string(argv[1]) + "/own_" + std::to_string(index) + ".gif";
            if (gif_write(dib, path.c_str()) != 0) ++failures;
            mem_free(dib);
        }
    }
    return failures ? 1 : 0;
}
