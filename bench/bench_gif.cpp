// GIF writer and reader on the synthetic desktop picture reduced to 8 bits.
//
// Names are BM_<routine>/<width>/<height>; BM_gif_lzw times the LZW coder
// alone over the interlaced rows, BM_gif_write the whole file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "bench/desktop_picture.h"
#include "image/gif_read.h"
#include "image/gif_write.h"
#include "image/reduce.h"

namespace {

// One reduced picture per size for the whole run.
PackedDib reduced_picture(int width, int height) {
    static std::map<std::pair<int, int>, PackedDib> cache;
    PackedDib& dib = cache[{width, height}];
    if (!dib) {
        PackedDib full = bench_desktop_picture(width, height);
        dib = full ? reduce_to_8bit(full) : nullptr;
        mem_free(full);
    }
    return dib;
}

std::string scratch(const char* name, int width, int height) {
    return bench_scratch_path(name, width, height, "gif");
}

int64_t file_size(const std::string& path) {
    std::error_code ec;
    auto n = std::filesystem::file_size(path, ec);
    return ec ? 0 : int64_t(n);
}

void BM_gif_lzw(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    PackedDib dib = reduced_picture(w, h);
    if (!dib) {
        state.SkipWithError("no picture");
        return;
    }
    DibHeader* hdr = static_cast<DibHeader*>(mem_lock(dib));
    size_t stream = 0;
    for (auto _ : state) {
        GifLzw lzw;
        gif_lzw_begin(&lzw, 8);
        static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = kStart[pass]; y < h; y += kStep[pass])
                gif_lzw_feed(&lzw, dib_row_top_down(hdr, y), size_t(w));
        if (gif_lzw_finish(&lzw) != 0) state.SkipWithError("gif_lzw failed");
        stream = lzw.out_size;
        gif_lzw_free(&lzw);
    }
    mem_unlock(dib);
    state.SetItemsProcessed(state.iterations() * int64_t(w) * h);
    state.counters["stream_bytes"] = double(stream);
}

void BM_gif_write(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    PackedDib dib = reduced_picture(w, h);
    const std::string path = scratch("write", w, h);
    for (auto _ : state) {
        if (gif_write(dib, path.c_str()) != 0) {
            state.SkipWithError("gif_write failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(w) * h);
    state.counters["file_bytes"] = double(file_size(path));
}

void BM_gif_read(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const std::string path = scratch("read", w, h);
    if (gif_write(reduced_picture(w, h), path.c_str()) != 0) {
        state.SkipWithError("cannot write the input file");
        return;
    }
    for (auto _ : state) {
        PackedDib out = nullptr;
        if (gif_read(&out, path.c_str()) != 0) {
            state.SkipWithError("gif_read failed");
            break;
        }
        mem_free(out);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(w) * h);
}

}  // namespace

BENCHMARK(BM_gif_lzw)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_gif_write)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_gif_read)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
