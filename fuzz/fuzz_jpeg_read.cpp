// Feeds arbitrary bytes to the JPEG reader. Pictures are held to 4 MiB: a
// few bytes of header can declare a picture of many megapixels, which the
// library then decodes whole from nothing, and at 64 MiB that left the
// fuzzer at under a hundred inputs a second. The size limit itself is the
// reader's own rule, tested with the reader.
#include <cstddef>
#include <cstdint>

#include "fuzz/picture_check.h"
#include "image/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PackedDib dib = nullptr;
    int code = jpeg_read_dib_memory(data, size, size_t(4) << 20, &dib);
    fuzz_check_picture24(code, dib);
    return 0;
}
