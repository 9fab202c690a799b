// Folder checks for start-up.
#pragma once

// 1 when the file or folder exists.
int fs_exists(const char* path);
// Creates one folder; 1 on success, 0 on failure (also when it exists).
int fs_make_folder(const char* path);
