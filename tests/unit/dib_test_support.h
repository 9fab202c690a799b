// Scoped locks on PackedDibs for the image tests.
#pragma once

#include "image/dib.h"

// Locks a block for the scope and unlocks it at the end.
struct Locked {
    PackedDib dib;
    DibHeader* h;
    explicit Locked(PackedDib d) : dib(d), h(static_cast<DibHeader*>(mem_lock(d))) {}
    ~Locked() { mem_unlock(dib); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    uint8_t* row(int stored) {
        return dib_bits_ptr(h) + stored * dib_stride(h->biWidth, h->biBitCount);
    }
};

// Keeps a block locked for the rest of the scope, then frees it.
struct Held : Locked {
    explicit Held(PackedDib d) : Locked(d) {}
    ~Held() {
        mem_unlock(dib);
        mem_free(dib);
        dib = nullptr;
    }
};
