// Feeds arbitrary bytes to the JPEG reader. Pictures are held to 4 MiB: a
// few bytes of header can declare a picture of many megapixels, which the
// library then decodes whole from nothing, and at 64 MiB that left the
// fuzzer at under a hundred inputs a second. The size limit itself is the
// reader's own rule, tested with the reader.
#include <cstddef>
#include <cstdint>

#include "image/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PackedDib dib = nullptr;
    int code = jpeg_read_dib_memory(data, size, size_t(4) << 20, &dib);
    if ((code == 0) != (dib != nullptr)) __builtin_trap();
    if (dib) {
        // Touch the whole block so a short allocation shows up.
        const DibHeader* h = static_cast<const DibHeader*>(mem_lock(dib));
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(h);
        size_t need = 40 + size_t(dib_stride(h->biWidth, 24)) * size_t(h->biHeight);
        if (h->biBitCount != 24 || mem_size(dib) < need) __builtin_trap();
        volatile uint8_t sum = 0;
        for (size_t i = 0; i < need; i += 61) sum = uint8_t(sum + bytes[i]);
        sum = uint8_t(sum + bytes[need - 1]);
        mem_unlock(dib);
        mem_free(dib);
    }
    return 0;
}
