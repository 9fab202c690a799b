// The scrap editor on a scrap of 5,000 items (about 3.2 MB): reading it into
// items when the editor opens, and building the new file text on OK.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "output/scrap_item.h"
#include "scrap/scrap_format.h"
#include "scrap/scrap_model.h"

namespace {

constexpr int kItems = 5000;

// Items as BASE64 output writes them: a heading, a link, a small picture's
// Base64 and two lines of text each.
const std::string& big_scrap() {
    static std::string text;
    if (!text.empty()) return text;
    char* fresh = scrap_text_with_style(nullptr);
    text = fresh;
    std::free(fresh);
    const std::string picture(480, 'Q');
    std::string items;
    for (int i = 0; i < kItems; ++i) {
        const std::string n = std::to_string(i);
        char* item = scrap_item_text(part_marker(), ("見出し " + n).c_str(),
                                     ("http://example.com/" + n).c_str(),
                                     ("一行目の文章 " + n + "\r\n二行目").c_str(), "image/jpeg",
                                     picture.c_str(), 0);
        items += item;
        std::free(item);
    }
    text.insert(text.find(kInsertPlace), items);
    return text;
}

char* copy_of(const std::string& s) {
    char* p = static_cast<char*>(std::malloc(s.size() + 1));
    std::memcpy(p, s.c_str(), s.size() + 1);
    return p;
}

void BM_scrap_load(benchmark::State& state) {
    const std::string& file = big_scrap();
    for (auto _ : state) {
        ScrapModel m;
        if (scrap_model_load(copy_of(file), file.size(), &m) != 0 || m.items.size() != kItems) {
            state.SkipWithError("the scrap did not load");
            break;
        }
        scrap_model_free(&m);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(file.size()));
}

void BM_scrap_rewrite(benchmark::State& state) {
    const std::string& file = big_scrap();
    ScrapModel m;
    if (scrap_model_load(copy_of(file), file.size(), &m) != 0) {
        state.SkipWithError("the scrap did not load");
        return;
    }
    for (auto _ : state) {
        size_t size = 0;
        char* text = scrap_model_text(m, &size);
        if (!text) {
            state.SkipWithError("no text");
            break;
        }
        benchmark::DoNotOptimize(text);
        std::free(text);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(file.size()));
    state.counters["file_bytes"] = double(file.size());
    scrap_model_free(&m);
}

}  // namespace

BENCHMARK(BM_scrap_load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_scrap_rewrite)->Unit(benchmark::kMillisecond);
