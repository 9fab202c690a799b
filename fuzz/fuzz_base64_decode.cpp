// Decodes arbitrary text, then checks that encoding the result and decoding
// that again gives the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "image/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) return 0;
    int32_t count = -1;
    uint8_t* bytes = base64_decode(reinterpret_cast<const char*>(data), int32_t(size), &count);
    if (!bytes) {
        if (size > 0 || count != 0) __builtin_trap();
        return 0;
    }
    if (count < 0 || size_t(count) > size || bytes[count] != 0) __builtin_trap();
    char* text = base64_encode(bytes, count);
    if (!text) __builtin_trap();
    size_t length = std::strlen(text);
    if (length != 4 * ((size_t(count) + 2) / 3)) __builtin_trap();
    if (length > 0) {
        int32_t again = -1;
        uint8_t* back = base64_decode(text, int32_t(length), &again);
        if (!back || again != count || std::memcmp(back, bytes, size_t(count)) != 0) __builtin_trap();
        std::free(back);
    }
    std::free(text);
    std::free(bytes);
    return 0;
}
