#include "ui/picker_paths.h"

#include <cstdio>
#include <cstring>

#include "sys/paths.h"

namespace {
const char kUntitled[] = "無題";
}

int picker_start_name(char* path, size_t size, const char* pictures, const char* ext) {
    char tail[64];
    if (ext)
        std::snprintf(tail, sizeof tail, "%s.%s", kUntitled, ext);
    else
        std::snprintf(tail, sizeof tail, "%s", kUntitled);
    if (!path[0]) {
        int length = std::snprintf(path, size, "%s\\%s", pictures, tail);
        if (length < 0 || size_t(length) >= size) {
            path[0] = '\0';
            return 0;
        }
        return 1;
    }
    const char* slash = sjis_last_backslash(path);
    if (slash && !slash[1]) return path_append(path, size, tail);
    return 1;
}

int picker_start_folder(const char* path, char* folder, size_t size) {
    const char* slash = sjis_last_backslash(path);
    if (!slash || size_t(slash - path) + 1 > size) return 0;
    std::memcpy(folder, path, size_t(slash - path));
    folder[slash - path] = '\0';
    return 1;
}

int picker_apply_extension(char* path, size_t size, const char* ext) {
    const char* slash = sjis_last_backslash(path);
    if (!slash) return 0;
    char* dot = std::strrchr(path + (slash - path) + 1, '.');
    size_t keep = dot ? size_t(dot - path) : std::strlen(path);
    size_t ext_len = std::strlen(ext);
    if (keep + 1 + ext_len + 1 > size) return 0;
    path[keep] = '.';
    std::memcpy(path + keep + 1, ext, ext_len + 1);
    return 1;
}

int picker_take_name(char* chosen, size_t chosen_size, const char* ext, char* path, size_t size) {
    if (ext && !picker_apply_extension(chosen, chosen_size, ext)) return 0;
    const size_t n = std::strlen(chosen);
    if (n >= size) return 0;
    std::memcpy(path, chosen, n + 1);
    return 1;
}
