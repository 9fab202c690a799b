// The Windows tests' operator new (test_main.cpp) throws std::bad_alloc for
// the next allocation of at least `size` bytes, as when memory runs out.
#pragma once

#include <cstddef>

void fail_next_allocation_of(size_t size);
