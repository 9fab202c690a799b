// A synthetic, desktop-like 24-bit picture for the benchmarks.
//
// The same width and height always give the same pixels, so timings of
// different codecs (ours and the outside tools) are taken on one picture.
// It mixes what a real screen grab holds: a grainy photo-like wallpaper,
// light and dark application windows with title bars, anti-aliased text,
// a smooth gradient, a chart and a task bar.
#pragma once

#include <cstdint>
#include <string>

#include "image/dib.h"

// A new 24-bit PackedDib (owned by the caller), or null for sizes that are
// not positive or cannot be allocated.
PackedDib bench_desktop_picture(int width, int height);

// The picture of that size, made once per run and kept (benchmarks only
// read it).
PackedDib bench_cached_picture(int width, int height);

// A scratch file in the temporary folder: tamble_bench_<name><w>x<h>.<ext>.
std::string bench_scratch_path(const char* name, int width, int height, const char* ext);

// A file's size in bytes, 0 when it cannot be read.
int64_t bench_file_size(const std::string& path);

// Write a 24-bit PackedDib as a binary PPM (P6) or as a 24-bit BMP file for
// the outside tools. 1 on success, 0 on failure.
int bench_write_ppm(PackedDib dib, const char* path);
int bench_write_bmp(PackedDib dib, const char* path);

// The bench binary has a small second use: with the environment variable
// TAMBLE_BENCH_PICTURE set to "WIDTHxHEIGHT:file.bmp" (or ".ppm") it writes
// that picture and exits (status 0 on success) before any benchmark runs.
