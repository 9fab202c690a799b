// The path rules of the file pickers, apart from the dialogs.
#pragma once

#include <cstddef>

// The name a file picker starts with: an empty `path` becomes the pictures
// folder + "\無題" (+ "." + ext); a path that ends with a backslash gets
// "無題" (+ "." + ext). 0 when the result does not fit `size` bytes.
int picker_start_name(char* path, size_t size, const char* pictures, const char* ext);
// The folder part of `path` (up to its last backslash) into `folder`; 0
// when there is no backslash.
int picker_start_folder(const char* path, char* folder, size_t size);
// Gives the chosen name the extension `ext`: the part after the last "."
// of the file name is replaced, or "." + ext is appended. 0 when the path
// has no backslash or the result does not fit.
int picker_apply_extension(char* path, size_t size, const char* ext);
// Takes the name a picker gave back (`chosen`, in its buffer of
// `chosen_size` bytes) into `path` (`size` bytes), with `ext` (or null)
// forced on it. 0 when the result does not fit `size` bytes or has no
// backslash; `path` then stays as it was.
int picker_take_name(char* chosen, size_t chosen_size, const char* ext, char* path, size_t size);
