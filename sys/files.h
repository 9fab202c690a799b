// Files and folders: existence checks, folder creation and replacing a
// file by another in one step.
#pragma once

// 1 when the file or folder exists.
int fs_exists(const char* path);
// Creates one folder; 1 on success, 0 on failure (also when it exists).
int fs_make_folder(const char* path);
// Gives `from` the name `to`, replacing an existing `to` in one step (both
// in the same folder). 1 on success; on failure both files stay as they were.
int fs_replace(const char* from, const char* to);
// The file's modification time as finely as the system keeps it (an editor
// may save within the second it was started); 0 when it does not exist.
long long fs_modified_time(const char* path);
