#include "image/whole_file.h"

#include <cstdio>
#include <cstring>

namespace {

// Reads `size` bytes of `f` into the start of `block`; false when the block
// cannot be locked or fewer bytes come.
bool read_into(MemBlock block, std::FILE* f, size_t size) {
    MemLock<> data(block);
    return data && std::fread(data.get(), 1, size, f) == size;
}

}  // namespace

MemBlock read_entire_file(const char* path, size_t* out_size) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return nullptr;
    MemBlock block = nullptr;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    if (size >= 0 && size_t(size) <= kMemBlockMaxSize - kWholeFileSlack &&
        std::fseek(f, 0, SEEK_SET) == 0) {
        if (out_size) *out_size = size_t(size);
        block = mem_alloc(size_t(size) + kWholeFileSlack);
        if (!read_into(block, f, size_t(size))) {
            mem_free(block);
            block = nullptr;
        }
    }
    std::fclose(f);
    return block;
}
