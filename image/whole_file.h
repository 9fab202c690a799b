// Reads a whole file into a new movable block for the image readers.
#pragma once

#include <cstddef>

#include "sys/memblock.h"

// The whole file followed by 512 zero bytes (so a decoder may look a little
// past the end without leaving the block), its size in `out_size`; null when
// the file cannot be opened or sized, the block cannot be allocated, or fewer
// bytes than the size can be read.
MemBlock read_entire_file(const char* path, size_t* out_size);

constexpr size_t kWholeFileSlack = 512;
