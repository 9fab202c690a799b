#include "sys/paths.h"

#include <cstring>

int sjis_is_lead_byte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

namespace {

// Calls `visit` with the start of every character of [start, end).
template <typename Visit>
void for_each_char(const char* start, const char* end, Visit visit) {
    for (const char* p = start; p < end; ++p) {
        visit(p);
        if (sjis_is_lead_byte(static_cast<unsigned char>(*p)) && p + 1 < end) ++p;
    }
}

}  // namespace

const char* sjis_last_char(const char* start, const char* end) {
    const char* last = nullptr;
    for_each_char(start, end, [&](const char* p) { last = p; });
    return last;
}

const char* sjis_find_last(const char* start, const char* end, char c) {
    return sjis_find_nth_last(start, end, c, 1);
}

const char* sjis_find_nth_last(const char* start, const char* end, char c, int n) {
    int count = 0;
    for_each_char(start, end, [&](const char* p) { count += *p == c; });
    if (n < 1 || n > count) return nullptr;
    const char* found = nullptr;
    int seen = 0;
    for_each_char(start, end, [&](const char* p) {
        if (*p == c && ++seen == count - n + 1) found = p;
    });
    return found;
}

const char* sjis_last_backslash(const char* path) {
    return sjis_find_last(path, path + std::strlen(path), '\\');
}

int path_replace_file_name(char* path, size_t size, const char* name) {
    const char* slash = sjis_last_backslash(path);
    if (!slash) return 0;
    size_t keep = size_t(slash - path) + 1;
    size_t n = std::strlen(name);
    if (keep + n + 1 > size) return 0;
    std::memcpy(path + keep, name, n + 1);
    return 1;
}

int path_append(char* path, size_t size, const char* tail) {
    size_t a = std::strlen(path), b = std::strlen(tail);
    if (a + b + 1 > size) return 0;
    std::memcpy(path + a, tail, b + 1);
    return 1;
}
