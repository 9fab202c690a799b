// Movable, zero-filled memory blocks.
//
// On Windows these are real HGLOBALs (GMEM_MOVEABLE | GMEM_ZEROINIT), so an
// image block can be handed straight to the clipboard. The portable build
// keeps the same rules with an ordinary heap allocation: lock only while
// working, unlock before returning, free what you own.
#pragma once

#include <cstddef>

typedef void* MemBlock;

// A new zero-filled block of `size` bytes, or null. Sizes above
// kMemBlockMaxSize are refused so that a reader can never be talked into a
// huge allocation by a damaged header.
MemBlock mem_alloc(size_t size);
void* mem_lock(MemBlock block);
void mem_unlock(MemBlock block);
// The block's size as the allocator reports it (at least the requested size).
size_t mem_size(MemBlock block);
void mem_free(MemBlock block);

constexpr size_t kMemBlockMaxSize = size_t(1) << 31;
