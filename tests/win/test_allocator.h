// The Windows tests' operator new, which can be made to fail once.
#pragma once

#include <cstddef>

// The next allocation through operator new of at least `size` bytes throws
// std::bad_alloc, as when memory runs out; later ones succeed again.
void fail_next_allocation_of(size_t size);
