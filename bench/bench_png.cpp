// PNG writer and reader on the synthetic desktop picture.
//
// Names are BM_<routine>/<width>/<height>; scripts/bench times ImageMagick's
// convert with its default PNG settings on the same picture beside them.
// file_bytes is the written file's size, compared with convert's file.
// BM_png_settings/<level>/<filters> encodes with libspng alone at each zlib
// level and filter choice: the measurement the writer's settings come from.
#include <benchmark/benchmark.h>
#include <spng.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/desktop_picture.h"
#include "image/png.h"

namespace {

// The desktop picture as the library takes it: top-down RGB rows.
std::vector<uint8_t> rgb_rows(int w, int h) {
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    DibHeader* dib = static_cast<DibHeader*>(mem_lock(bench_cached_picture(w, h)));
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = dib_row_top_down(dib, y);
        for (int i = 0; i < 3 * w; i += 3) {
            uint8_t* px = &rgb[(size_t(y) * w) * 3 + i];
            px[0] = src[i + 2], px[1] = src[i + 1], px[2] = src[i];
        }
    }
    mem_unlock(bench_cached_picture(w, h));
    return rgb;
}

void BM_png_settings(benchmark::State& state) {
    const int level = int(state.range(0)), filters = int(state.range(1));
    const int w = 1920, h = 1080;
    std::vector<uint8_t> rgb = rgb_rows(w, h);
    void* png = nullptr;
    size_t size = 0;
    for (auto _ : state) {
        std::free(png);
        spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
        spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
        spng_set_option(ctx, SPNG_IMG_COMPRESSION_LEVEL, level);
        spng_set_option(ctx, SPNG_FILTER_CHOICE, filters);
        spng_ihdr ihdr = {uint32_t(w), uint32_t(h), 8, SPNG_COLOR_TYPE_TRUECOLOR, 0, 0, 0};
        spng_set_ihdr(ctx, &ihdr);
        spng_encode_image(ctx, rgb.data(), rgb.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
        int error = 0;
        png = spng_get_png_buffer(ctx, &size, &error);
        spng_ctx_free(ctx);
    }
    // How long the file takes to read back: the best of three.
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        auto start = std::chrono::steady_clock::now();
        spng_ctx* ctx = spng_ctx_new(SPNG_CTX_IGNORE_ADLER32);
        spng_set_png_buffer(ctx, png, size);
        spng_decode_image(ctx, rgb.data(), rgb.size(), SPNG_FMT_RGB8, 0);
        spng_ctx_free(ctx);
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["decode_ms"] = best;
    state.counters["file_bytes"] = double(size);
    std::free(png);
}

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
// Levels 1, 2, 3 and 6 (zlib's default) with each filter alone and with all
// five tried on every row.
BENCHMARK(BM_png_settings)
    ->ArgsProduct({{1, 2, 3, 6},
                   {SPNG_FILTER_CHOICE_NONE, SPNG_FILTER_CHOICE_SUB, SPNG_FILTER_CHOICE_UP,
                    SPNG_FILTER_CHOICE_PAETH, SPNG_FILTER_CHOICE_ALL}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_png_read_dib)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
