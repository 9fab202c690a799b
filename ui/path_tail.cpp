#include "ui/path_tail.h"

#include <cstring>

#include "sys/paths.h"

std::string path_tail(const char* path) {
    if (!path) return std::string();
    const char* end = path + std::strlen(path);
    for (int back = 3; back >= 2; --back) {
        const char* from = sjis_find_nth_last(path, end, '\\', back);
        if (from && size_t(end - from) < kPathTailLimit) return from;
    }
    const char* last = sjis_find_nth_last(path, end, '\\', 1);
    return last ? last : std::string();
}
