#include "tests/win/test_allocator.h"

#include <cstdlib>
#include <new>

namespace {
size_t fail_at_least = 0;
}

void fail_next_allocation_of(size_t size) { fail_at_least = size; }

void* operator new(size_t size) {
    if (fail_at_least && size >= fail_at_least) {
        fail_at_least = 0;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
