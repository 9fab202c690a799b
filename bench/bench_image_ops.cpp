// Cropping, scaling, colour reduction and BMP files on the synthetic
// desktop picture. Names are BM_<routine>/<width>/<height>.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "bench/desktop_picture.h"
#include "image/bmp.h"
#include "image/reduce.h"
#include "image/scale.h"

namespace {

std::string scratch(const char* name, int width, int height) {
    return bench_scratch_path(name, width, height, "bmp");
}

void BM_dib_crop24(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    PackedDib dib = bench_cached_picture(w, h);
    for (auto _ : state) {
        // A selection a little inside the screen, as a user makes it.
        PixelRect r = {w / 8, h / 8, w - w / 8, h - h / 8};
        PackedDib out = dib_crop24(dib, &r);
        benchmark::DoNotOptimize(out);
        mem_free(out);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(w) * h * 3 * 9 / 16);
}

// range(2) / range(3) is the result size; 0 means half the source.
void BM_dib_scale(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const int nw = state.range(2) ? int(state.range(2)) : w / 2;
    const int nh = state.range(3) ? int(state.range(3)) : h / 2;
    PackedDib dib = bench_cached_picture(w, h);
    for (auto _ : state) {
        PackedDib out = dib_scale(dib, nw, nh);
        if (!out) {
            state.SkipWithError("dib_scale failed");
            break;
        }
        mem_free(out);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(nw) * nh);
}

void BM_reduce_to_8bit(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    PackedDib dib = bench_cached_picture(w, h);
    size_t result_bytes = 0;
    for (auto _ : state) {
        PackedDib out = reduce_to_8bit(dib);
        if (!out) {
            state.SkipWithError("reduce_to_8bit failed");
            break;
        }
        result_bytes = mem_size(out);
        mem_free(out);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(w) * h);
    // Memory beyond the source: the result, the dithering work block and the palette.
    double extra = double(result_bytes) + 8192 + 6.0 * w + kLogPaletteBlockSize;
    state.counters["extra_per_source"] = extra / double(mem_size(dib));
}

void BM_bmp_write(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    PackedDib dib = bench_cached_picture(w, h);
    const std::string path = scratch("write", w, h);
    for (auto _ : state) {
        if (!bmp_write(dib, path.c_str())) {
            state.SkipWithError("bmp_write failed");
            break;
        }
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(state.iterations() * int64_t(mem_size(dib)));
}

void BM_bmp_read(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    PackedDib dib = bench_cached_picture(w, h);
    const std::string path = scratch("read", w, h);
    if (!bmp_write(dib, path.c_str())) {
        state.SkipWithError("cannot write the input file");
        return;
    }
    for (auto _ : state) {
        PackedDib out = nullptr;
        if (bmp_read(path.c_str(), &out) != 0) {
            state.SkipWithError("bmp_read failed");
            break;
        }
        mem_free(out);
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(state.iterations() * int64_t(mem_size(dib)));
}

}  // namespace

BENCHMARK(BM_dib_crop24)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_dib_scale)
    ->Args({1920, 1080, 0, 0})
    ->Args({1920, 1080, 1280, 720})
    ->Args({3840, 2160, 0, 0})
    ->Args({3840, 2160, 1280, 720})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_reduce_to_8bit)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_bmp_write)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_bmp_read)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
