#include "sys/memblock.h"

#include <cstdlib>

namespace {
struct BlockHead {
    size_t size;
    int locks;
    int pad;
};
constexpr size_t kHeadSize = (sizeof(BlockHead) + 15) & ~size_t(15);

BlockHead* head_of(MemBlock block) { return static_cast<BlockHead*>(block); }
}  // namespace

MemBlock mem_alloc(size_t size) {
    if (size > kMemBlockMaxSize) return nullptr;
    void* raw = std::calloc(1, kHeadSize + size);
    if (!raw) return nullptr;
    head_of(raw)->size = size;
    return raw;
}

void* mem_lock(MemBlock block) {
    if (!block) return nullptr;
    head_of(block)->locks++;
    return static_cast<char*>(block) + kHeadSize;
}

void mem_unlock(MemBlock block) {
    if (block && head_of(block)->locks > 0) head_of(block)->locks--;
}

size_t mem_size(MemBlock block) { return block ? head_of(block)->size : 0; }

void mem_free(MemBlock block) { std::free(block); }
