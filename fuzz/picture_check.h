// What the fuzzers of the 24-bit picture readers check of every result.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/dib.h"

// Traps unless a reader's code and block agree (0 with a block, a failure
// without one) and a block holds a whole 24-bit picture; then frees it.
// Every 61st byte and the last are read, so a short allocation shows up
// under the sanitizer.
inline void fuzz_check_picture24(int code, PackedDib dib) {
    if ((code == 0) != (dib != nullptr)) __builtin_trap();
    if (!dib) return;
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
