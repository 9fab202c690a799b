// Reads arbitrary text as a scrap and writes it back; a text that reads as
// a scrap must read again from its own rewrite into the same items, and a
// second rewrite must give the same bytes as the first.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "scrap/scrap_model.h"

namespace {

char* copy(const uint8_t* data, size_t size) {
    char* text = static_cast<char*>(std::malloc(size + 1));
    std::memcpy(text, data, size);
    text[size] = '\0';
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 18) return 0;
    ScrapModel first;
    if (scrap_model_load(copy(data, size), size, &first) != 0) {
        scrap_model_free(&first);
        return 0;
    }
    if (first.items.empty() || first.current != int(first.items.size()) - 1) __builtin_trap();
    size_t once_size = 0, twice_size = 0;
    char* once = scrap_model_text(first, &once_size);
    if (!once) __builtin_trap();
    ScrapModel second;
    if (scrap_model_load(copy(reinterpret_cast<const uint8_t*>(once), once_size), once_size, &second) != 0)
        __builtin_trap();
    if (second.items.size() != first.items.size()) __builtin_trap();
    char* twice = scrap_model_text(second, &twice_size);
    if (!twice || twice_size != once_size || std::memcmp(once, twice, once_size) != 0) __builtin_trap();
    // Editing keeps the model usable.
    scrap_model_swap(&second);
    scrap_model_delete(&second);
    std::free(scrap_model_text(second));
    std::free(once);
    std::free(twice);
    scrap_model_free(&first);
    scrap_model_free(&second);
    return 0;
}
