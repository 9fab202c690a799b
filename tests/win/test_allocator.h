// The Windows tests' operator new (test_main.cpp): the next allocation of at
// least `size` bytes throws std::bad_alloc, as when memory runs out.
#pragma once

#include <cstddef>

void fail_next_allocation_of(size_t size);
