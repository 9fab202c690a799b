// Feeds arbitrary bytes to the PNG reader. Pictures are held to 4 MiB, as
// for the JPEG reader: a few bytes of header can declare a picture of many
// megapixels that the library then decodes whole from nothing. The size
// limit itself is the reader's own rule, tested with the reader.
#include <cstddef>
#include <cstdint>

#include "fuzz/picture_check.h"
#include "image/png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PackedDib dib = nullptr;
    int code = png_read_dib_memory(data, size, size_t(4) << 20, &dib);
    if (code != 0 && code != kPngErrFile && code != kPngErrDamaged && code != kPngErrMemory)
        __builtin_trap();
    fuzz_check_picture24(code, dib);
    return 0;
}
