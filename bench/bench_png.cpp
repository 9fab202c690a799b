// PNG writer and reader on the synthetic desktop picture.
//
// Names are BM_<routine>/<width>/<height>; scripts/bench times ImageMagick's
// convert with its default PNG settings on the same picture beside them.
// file_bytes is the written file's size, compared with convert's file.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/desktop_picture.h"
#include "image/png.h"

namespace {

void BM_png_write_dib(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    PackedDib dib = bench_cached_picture(w, h);
    const std::string path = bench_scratch_path("write", w, h, "png");
    for (auto _ : state) {
        if (png_write_dib(dib, path.c_str()) != 0) {
            state.SkipWithError("png_write_dib failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * int64_t(w) * h * 3);
    state.counters["file_bytes"] = double(bench_file_size(path));
}

void BM_png_read_dib(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const std::string path = bench_scratch_path("read", w, h, "png");
    if (png_write_dib(bench_cached_picture(w, h), path.c_str()) != 0) {
        state.SkipWithError("cannot write the input file");
        return;
    }
    for (auto _ : state) {
        PackedDib out = nullptr;
        if (png_read_dib(path.c_str(), &out) != 0) {
            state.SkipWithError("png_read_dib failed");
            break;
        }
        mem_free(out);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(w) * h * 3);
}

}  // namespace

BENCHMARK(BM_png_write_dib)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_png_read_dib)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
