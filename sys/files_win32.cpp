#include "sys/files.h"

#include <io.h>
#include <windows.h>

int fs_exists(const char* path) { return _access(path, 0) == 0 ? 1 : 0; }

int fs_make_folder(const char* path) { return CreateDirectoryA(path, nullptr) ? 1 : 0; }
