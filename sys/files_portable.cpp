#include "sys/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

int fs_exists(const char* path) { return access(path, F_OK) == 0 ? 1 : 0; }

int fs_make_folder(const char* path) { return mkdir(path, 0777) == 0 ? 1 : 0; }

int fs_replace(const char* from, const char* to) {
    // A file the user made read-only is not to be replaced: its mode says
    // so, whatever this process (root, say) would be allowed.
    struct stat info;
    if (stat(to, &info) == 0 && !(info.st_mode & S_IWUSR)) return 0;
    return std::rename(from, to) == 0 ? 1 : 0;
}

long long fs_modified_time(const char* path) {
    struct stat info;
    if (stat(path, &info) != 0) return 0;
    return (long long)info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
}
