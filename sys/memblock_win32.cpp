#include "sys/memblock.h"

#include <windows.h>

MemBlock mem_alloc(size_t size) {
    if (size > kMemBlockMaxSize) return nullptr;
    return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
}

void* mem_lock(MemBlock block) { return block ? GlobalLock(block) : nullptr; }

void mem_unlock(MemBlock block) {
    if (block) GlobalUnlock(block);
}

size_t mem_size(MemBlock block) { return block ? GlobalSize(block) : 0; }

void mem_free(MemBlock block) {
    if (block) GlobalFree(block);
}
