// JPEG drivers and Base64 on the synthetic desktop picture.
//
// Names are BM_<routine>/<width>/<height>; scripts/bench maps them to the
// outside tools it times on the same picture.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench/desktop_picture.h"
#include "image/base64.h"
#include "image/jpeg.h"

namespace {

std::string scratch(const char* name, int width, int height) {
    return bench_scratch_path(name, width, height, "jpg");
}

int write_jpeg(PackedDib dib, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    return f ? jpeg_write_dib(dib, 80, f) : -1;
}

int64_t file_size(const std::string& path) {
    std::error_code ec;
    auto n = std::filesystem::file_size(path, ec);
    return ec ? 0 : int64_t(n);
}

void BM_jpeg_write_dib(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    PackedDib dib = bench_cached_picture(w, h);
    const std::string path = scratch("write", w, h);
    for (auto _ : state) {
        if (write_jpeg(dib, path) != 0) {
            state.SkipWithError("jpeg_write_dib failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * int64_t(w) * h * 3);
    state.counters["file_bytes"] = double(file_size(path));
}

void BM_jpeg_read_dib(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const std::string path = scratch("read", w, h);
    if (write_jpeg(bench_cached_picture(w, h), path) != 0) {
        state.SkipWithError("cannot write the input file");
        return;
    }
    for (auto _ : state) {
        PackedDib out = nullptr;
        if (jpeg_read_dib(path.c_str(), &out) != 0) {
            state.SkipWithError("jpeg_read_dib failed");
            break;
        }
        mem_free(out);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(w) * h * 3);
}

// The Base64 inputs are the picture's whole block, as a BMP item would be.
void BM_base64_encode(benchmark::State& state) {
    PackedDib dib = bench_cached_picture(int(state.range(0)), int(state.range(1)));
    const void* bytes = mem_lock(dib);
    const int32_t n = int32_t(mem_size(dib));
    for (auto _ : state) {
        char* text = base64_encode(bytes, n);
        benchmark::DoNotOptimize(text);
        std::free(text);
    }
    mem_unlock(dib);
    state.SetBytesProcessed(state.iterations() * int64_t(n));
}

void BM_base64_decode(benchmark::State& state) {
    PackedDib dib = bench_cached_picture(int(state.range(0)), int(state.range(1)));
    char* text = base64_encode(mem_lock(dib), int32_t(mem_size(dib)));
    mem_unlock(dib);
    const int32_t length = text ? int32_t(std::strlen(text)) : 0;
    for (auto _ : state) {
        int32_t count = 0;
        uint8_t* bytes = base64_decode(text, length, &count);
        benchmark::DoNotOptimize(bytes);
        std::free(bytes);
    }
    std::free(text);
    state.SetBytesProcessed(state.iterations() * int64_t(length));
}

// The picture itself; scripts/bench also uses it as the memory baseline of a
// bench process that holds one picture.
void BM_desktop_picture(benchmark::State& state) {
    for (auto _ : state) {
        PackedDib dib = bench_desktop_picture(int(state.range(0)), int(state.range(1)));
        benchmark::DoNotOptimize(dib);
        mem_free(dib);
    }
}

}  // namespace

BENCHMARK(BM_desktop_picture)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_jpeg_write_dib)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_jpeg_read_dib)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_base64_encode)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_base64_decode)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
