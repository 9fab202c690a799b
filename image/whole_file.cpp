#include "image/whole_file.h"

#include <cstdio>
#include <cstring>

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
        void* data = block ? mem_lock(block) : nullptr;
        if (data) {
            size_t got = std::fread(data, 1, size_t(size), f);
            mem_unlock(block);
            if (got != size_t(size)) {
                mem_free(block);
                block = nullptr;
            }
        } else if (block) {
            mem_free(block);
            block = nullptr;
        }
    }
    std::fclose(f);
    return block;
}
