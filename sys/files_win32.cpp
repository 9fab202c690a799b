#include "sys/files.h"

#include <io.h>
#include <windows.h>

int fs_exists(const char* path) { return _access(path, 0) == 0 ? 1 : 0; }

int fs_make_folder(const char* path) { return CreateDirectoryA(path, nullptr) ? 1 : 0; }

int fs_replace(const char* from, const char* to) {
    // A file the user made read-only is not to be replaced (Windows refuses
    // it too; some implementations of the call do not).
    DWORD attributes = GetFileAttributesA(to);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return 0;
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
}

long long fs_modified_time(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &info)) return 0;
    return (long long)info.ftLastWriteTime.dwHighDateTime << 32 | info.ftLastWriteTime.dwLowDateTime;
}
