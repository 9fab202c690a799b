// A path in a one-line read-only field (the editor program, the scrap
// file): as much of its end as reads at a glance.
#pragma once

#include <cstddef>
#include <string>

// What a tail may hold: shorter than this many bytes.
constexpr size_t kPathTailLimit = 34;

// The longest tail of the path's last three components that is shorter
// than kPathTailLimit bytes, each component with its leading backslash; the file name
// alone when even two components are too long. Backslashes are found
// character by character, so a double-byte character ending in 0x5C is no
// separator. Empty for an empty or null path and one without a backslash.
std::string path_tail(const char* path);
