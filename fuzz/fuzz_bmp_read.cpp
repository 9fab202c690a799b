// Feeds arbitrary bytes to the BMP reader and checks that a result, when
// there is one, is a whole image inside its block; then widens and scales it
// the way the scrap editor's preview does, so those routines see the odd
// headers a file can carry too.
#include <cstddef>
#include <cstdint>

#include "image/bmp.h"
#include "image/scale.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PackedDib dib = nullptr;
    int code = bmp_read_memory(data, size, &dib);
    if ((code == 0) != (dib != nullptr)) __builtin_trap();
    if (code != 0 && code != -1 && code != -3 && code != -6) __builtin_trap();
    if (!dib) return 0;
    const DibHeader* h = static_cast<const DibHeader*>(mem_lock(dib));
    int bits = h->biBitCount;
    if (h->biSize != 40 || h->biWidth <= 0 || h->biHeight <= 0 || h->biCompression != 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24))
        __builtin_trap();
    size_t need = 40 + 4 * size_t(dib_palette_entries(h)) +
                  size_t(dib_stride(h->biWidth, bits)) * size_t(h->biHeight);
    if (mem_size(dib) < need || h->biSizeImage < need - 40 - 4 * size_t(dib_palette_entries(h)))
        __builtin_trap();
    // Touch the block so a short allocation shows up under the sanitizer.
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(h);
    volatile uint8_t sum = 0;
    for (size_t i = 0; i < need; i += 61) sum = uint8_t(sum + bytes[i]);
    sum = uint8_t(sum + bytes[need - 1]);
    mem_unlock(dib);

    PackedDib wide = dib_to_24bit(dib);  // frees dib unless it is returned
    if (!wide) return 0;
    PackedDib small = dib_scale(wide, 7, 5);
    mem_free(small);
    mem_free(wide);
    return 0;
}
