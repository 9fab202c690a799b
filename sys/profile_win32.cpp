#include "sys/profile.h"

#include <windows.h>

int profile_get_string(const char* section, const char* key, const char* def, char* out,
                       int size, const char* path) {
    return int(GetPrivateProfileStringA(section, key, def, out, DWORD(size), path));
}

int profile_write_string(const char* section, const char* key, const char* value,
                         const char* path) {
    return WritePrivateProfileStringA(section, key, value, path) ? 1 : 0;
}
