// Feeds arbitrary bytes to the GIF reader and checks that a result, when
// there is one, is a whole 8-bit image inside its block.
#include <cstddef>
#include <cstdint>

#include "image/gif_read.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PackedDib dib = nullptr;
    int code = gif_read_memory(&dib, data, size);
    if ((code == 0) != (dib != nullptr) || code > 0) __builtin_trap();
    if (!dib) return 0;
    const DibHeader* h = static_cast<const DibHeader*>(mem_lock(dib));
    if (h->biBitCount != 8 || h->biWidth <= 0 || h->biHeight <= 0 || h->biClrUsed < 2 ||
        h->biClrUsed > 256)
        __builtin_trap();
    size_t need = 40 + 4 * size_t(h->biClrUsed) + size_t(dib_stride(h->biWidth, 8)) * size_t(h->biHeight);
    if (mem_size(dib) < need) __builtin_trap();
    // Touch the block so a short allocation shows up under the sanitizer.
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(h);
    volatile uint8_t sum = 0;
    for (size_t i = 0; i < need; i += 61) sum = uint8_t(sum + bytes[i]);
    sum = uint8_t(sum + bytes[need - 1]);
    mem_unlock(dib);
    mem_free(dib);
    return 0;
}
