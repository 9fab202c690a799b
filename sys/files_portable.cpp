#include "sys/files.h"

#include <sys/stat.h>
#include <unistd.h>

int fs_exists(const char* path) { return access(path, F_OK) == 0 ? 1 : 0; }

int fs_make_folder(const char* path) { return mkdir(path, 0777) == 0 ? 1 : 0; }
