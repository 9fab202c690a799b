// Scoped locks on PackedDibs for the image tests.
#pragma once

#include "image/dib.h"

// Locks a block for the scope and unlocks it at the end (a MemLock with the
// header at hand as `h`).
struct Locked : MemLock<DibHeader> {
    DibHeader* h;
    explicit Locked(PackedDib d) : MemLock<DibHeader>(d), h(get()) {}
    uint8_t* row(int stored) {
        return dib_bits_ptr(h) + stored * dib_stride(h->biWidth, h->biBitCount);
    }
};

// Keeps a block locked for the rest of the scope, then frees it.
struct Held : Locked {
    explicit Held(PackedDib d) : Locked(d) {}
    ~Held() {
        MemBlock b = block();
        unlock();
        mem_free(b);
    }
};
