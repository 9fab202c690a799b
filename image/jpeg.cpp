#include "image/jpeg.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>

// jpeglib.h wants FILE and size_t declared before it.
extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

namespace {

// The library reports fatal errors through error_exit, which must not
// return: we jump back to the driver frame that set `jump`. Such a frame
// returns the error's code; whoever called it destroys the library's state
// and releases the rest. Objects of the frame itself that change after
// setjmp may come back from the jump with stale values, so the library's
// state and this manager belong to the caller and the frame gets pointers
// to them; its own locals are plain values that the jump path never reads.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void on_error_exit(j_common_ptr cinfo) {
    JpegErrorManager* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

// Warnings (such as a premature end of data) are not shown anywhere.
void on_output_message(j_common_ptr) {}

void install_error_manager(JpegErrorManager* err) {
    jpeg_std_error(&err->pub);
    err->pub.error_exit = on_error_exit;
    err->pub.output_message = on_output_message;
}

const char kTrailer[4] = {'c', '-', 'N', 'R'};
constexpr int kRowBatch = 16;

// Validates a locked PackedDib for the writer; 0 when it can be written.
int check_writable(const DibHeader* h, size_t block_size) {
    if (h->biPlanes != 1) return kJpegErrPlanes;
    if (h->biCompression != 0) return kJpegErrCompression;
    if (dib_palette_entries(h) > 256) return kJpegErrPalette;
    if (h->biBitCount != 8 && h->biBitCount != 24) return kJpegErrDepth;
    // A top-down (negative height) block is not one the program makes.
    if (h->biWidth <= 0 || h->biHeight <= 0) return kJpegErrEmpty;
    if (h->biWidth > kJpegMaxSide || h->biHeight > kJpegMaxSide) return kJpegErrTooLarge;
    uint64_t need = uint64_t(h->biSize) + dib_palette_bytes(h) +
                    uint64_t(dib_stride(h->biWidth, h->biBitCount)) * uint64_t(h->biHeight);
    if (h->biSize < 40 || need > block_size) return kJpegErrLock;
    return 0;
}

// The compressor proper, on the caller's library state and error manager
// (the caller destroys `cinfo` on every path). `rgb_row` is scratch of
// 3 x width bytes for 8-bit images (and for libraries without BGR input);
// it is the caller's. 0, or the library's message code.
int compress_dib(jpeg_compress_struct* cinfo, JpegErrorManager* jerr, DibHeader* h, int quality,
                 std::FILE* stream, uint8_t* rgb_row, const uint8_t (*palette)[3]) {
    cinfo->err = &jerr->pub;
    install_error_manager(jerr);
    if (setjmp(jerr->jump)) {
        int code = jerr->pub.msg_code;
        return code > 0 ? code : JERR_FILE_WRITE;
    }
    jpeg_create_compress(cinfo);
    jpeg_stdio_dest(cinfo, stream);

    const int width = h->biWidth, height = h->biHeight;
    const bool direct = h->biBitCount == 24 && !rgb_row;
    cinfo->image_width = JDIMENSION(width);
    cinfo->image_height = JDIMENSION(height);
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
#ifdef JCS_EXTENSIONS
    // Same conversion as RGB, taken straight from the blue-green-red rows.
    if (direct) cinfo->in_color_space = JCS_EXT_BGR;
#endif
    jpeg_set_quality(cinfo, quality, FALSE);
    cinfo->dct_method = JDCT_IFAST;
    cinfo->optimize_coding = FALSE;
    cinfo->write_JFIF_header = TRUE;
    cinfo->density_unit = 0;
    cinfo->X_density = 1;
    cinfo->Y_density = 1;
    jpeg_start_compress(cinfo, TRUE);

    const uint8_t* bits = dib_bits_ptr(h);
    const int64_t stride = dib_stride(width, h->biBitCount);
    JSAMPROW rows[kRowBatch];
    while (cinfo->next_scanline < cinfo->image_height) {
        int n = int(cinfo->next_scanline);
        const uint8_t* src = bits + int64_t(height - 1 - n) * stride;
        if (direct) {
            int count = 0;
            for (; count < kRowBatch && n + count < height; ++count)
                rows[count] = const_cast<JSAMPROW>(bits + int64_t(height - 1 - n - count) * stride);
            jpeg_write_scanlines(cinfo, rows, JDIMENSION(count));
            continue;
        }
        if (palette) {
            for (int x = 0; x < width; ++x) std::memcpy(rgb_row + 3 * x, palette[src[x]], 3);
        } else {
            for (int x = 0; x < width; ++x) {
                rgb_row[3 * x] = src[3 * x + 2];
                rgb_row[3 * x + 1] = src[3 * x + 1];
                rgb_row[3 * x + 2] = src[3 * x];
            }
        }
        rows[0] = rgb_row;
        jpeg_write_scanlines(cinfo, rows, 1);
    }
    jpeg_finish_compress(cinfo);
    return 0;
}

}  // namespace

int jpeg_write_dib(PackedDib dib, int quality, std::FILE* stream) {
    MemLock<DibHeader> h(dib);
    if (!stream) return kJpegErrNoStream;
    if (!h || mem_size(dib) < sizeof(DibHeader)) {
        std::fclose(stream);
        return kJpegErrLock;
    }
    int code = check_writable(h.get(), mem_size(dib));
    uint8_t* rgb_row = nullptr;
    uint8_t palette[256][3] = {};
    bool need_row = h->biBitCount == 8;
#ifndef JCS_EXTENSIONS
    need_row = true;
#endif
    if (code == 0 && need_row) {
        rgb_row = static_cast<uint8_t*>(std::malloc(size_t(3) * h->biWidth));
        if (!rgb_row) code = JERR_OUT_OF_MEMORY;
    }
    if (code == 0 && h->biBitCount == 8) {
        // Indices past the colour table give black rather than reading
        // the pixel rows as colours.
        uint32_t entries = dib_palette_entries(h.get());
        const uint8_t* quad = dib_palette_ptr(h.get());
        for (uint32_t i = 0; i < entries; ++i) {
            palette[i][0] = quad[4 * i + 2];
            palette[i][1] = quad[4 * i + 1];
            palette[i][2] = quad[4 * i];
        }
    }
    if (code == 0) {
        jpeg_compress_struct cinfo = {};
        JpegErrorManager jerr = {};
        code = compress_dib(&cinfo, &jerr, h.get(), quality, stream, rgb_row,
                            h->biBitCount == 8 ? palette : nullptr);
        jpeg_destroy_compress(&cinfo);
    }
    std::free(rgb_row);
    if (code == 0 && std::fwrite(kTrailer, 1, 4, stream) != 4) code = JERR_FILE_WRITE;
    // A failed close can lose buffered bytes: that is a failed write.
    if (std::fclose(stream) != 0 && code == 0) code = JERR_FILE_WRITE;
    return code;
}

namespace {

// A fatal error of the library as a reader's code: its message code
// negated, or kJpegErrFile when it has none.
int read_error_code(const JpegErrorManager* jerr) {
    int code = jerr->pub.msg_code;
    return code > 0 ? -code : kJpegErrFile;
}

// The decoder works in two frames that call setjmp, with the pixel block
// made and locked between them in a frame that does not: a long jump would
// skip the lock's release. Both frames use the caller's library state and
// error manager. Once a frame has returned its jump buffer is stale: nothing
// between them calls the library, and destroying its state raises no error.

// Reads the header and settles the output (blue-green-red rows). 0 with the
// size of the pixel block in *block_bytes, or a negative code.
int start_reading(jpeg_decompress_struct* cinfo, JpegErrorManager* jerr, const uint8_t* data,
                  size_t size, size_t max_bytes, size_t* block_bytes) {
    cinfo->err = &jerr->pub;
    install_error_manager(jerr);
    if (setjmp(jerr->jump)) return read_error_code(jerr);
    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = long(max_bytes > size_t(0x7fffffff) ? 0x7fffffff : max_bytes);
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);

    if (cinfo->out_color_space != JCS_GRAYSCALE && cinfo->out_color_space != JCS_RGB)
        return kJpegErrColourSpace;
    cinfo->dct_method = JDCT_ISLOW;
#ifdef JCS_EXTENSIONS
    cinfo->out_color_space = JCS_EXT_BGR;  // grayscale is spread to all three too
#endif
    jpeg_calc_output_dimensions(cinfo);
    const int width = int(cinfo->output_width), height = int(cinfo->output_height);
    const uint64_t bytes = 40 + uint64_t(dib_stride(width, 24)) * uint64_t(height);
    if (width <= 0 || height <= 0 || bytes > max_bytes || bytes > kMemBlockMaxSize)
        return kJpegErrMemory;
    *block_bytes = size_t(bytes);
    return 0;
}

// Decodes the pixel rows into the locked block `h`, made for the sizes that
// start_reading settled. 0, or a negative code.
int read_pixels(jpeg_decompress_struct* cinfo, JpegErrorManager* jerr, DibHeader* h) {
    if (setjmp(jerr->jump)) return read_error_code(jerr);
    jpeg_start_decompress(cinfo);
    const int height = h->biHeight;
    const int64_t stride = dib_stride(h->biWidth, 24);
    uint8_t* bits = dib_bits_ptr(h);
    while (cinfo->output_scanline < cinfo->output_height) {
        int n = int(cinfo->output_scanline);
        JSAMPROW row = bits + int64_t(height - 1 - n) * stride;
        // Cannot happen with a memory source; never spin on it.
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return kJpegErrFile;
#ifndef JCS_EXTENSIONS
        const int width = h->biWidth;
        if (cinfo->out_color_space == JCS_GRAYSCALE) {
            for (int x = width - 1; x >= 0; --x) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = row[x];
        } else {
            for (int x = 0; x < width; ++x) {
                uint8_t r = row[3 * x];
                row[3 * x] = row[3 * x + 2];
                row[3 * x + 2] = r;
            }
        }
#endif
    }
    jpeg_finish_decompress(cinfo);
    return 0;
}

// The decompressor: builds the PackedDib in `*out` or returns a negative
// code with nothing left allocated.
int decompress_to_dib(const uint8_t* data, size_t size, size_t max_bytes, PackedDib* out) {
    jpeg_decompress_struct cinfo = {};
    JpegErrorManager jerr = {};
    size_t bytes = 0;
    int code = start_reading(&cinfo, &jerr, data, size, max_bytes, &bytes);
    PackedDib dib = nullptr;
    if (code == 0) {
        dib = mem_alloc(bytes);
        MemLock<DibHeader> h(dib);
        if (!h) {
            code = kJpegErrMemory;
        } else {
            h->biSize = 40;
            h->biWidth = int(cinfo.output_width);
            h->biHeight = int(cinfo.output_height);
            h->biPlanes = 1;
            h->biBitCount = 24;
            if (cinfo.saw_JFIF_marker && cinfo.density_unit == 2) {
                h->biXPelsPerMeter = int32_t(cinfo.X_density) * 100;
                h->biYPelsPerMeter = int32_t(cinfo.Y_density) * 100;
            }
            code = read_pixels(&cinfo, &jerr, h.get());
        }
    }
    jpeg_destroy_decompress(&cinfo);
    if (code != 0) {
        mem_free(dib);
        return code;
    }
    *out = dib;
    return 0;
}

}  // namespace

int jpeg_read_dib_memory(const uint8_t* data, size_t size, size_t max_bytes, PackedDib* out) {
    if (!out) return kJpegErrFile;
    *out = nullptr;
    if (!data || size <= 4) return kJpegErrFile;
    return decompress_to_dib(data, size, max_bytes, out);
}

int jpeg_read_dib(const char* path, PackedDib* out) {
    if (!out) return kJpegErrFile;
    *out = nullptr;
    std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return kJpegErrFile;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    if (size <= 4 || std::fseek(f, 0, SEEK_SET) != 0) {
        std::fclose(f);
        return kJpegErrFile;
    }
    // A little slack past the data, as the file readers keep. No picture
    // fits a block after a file larger than a block (this also catches the
    // odd sizes some systems report for directories).
    uint8_t* buffer = uint64_t(size) <= kMemBlockMaxSize
                          ? static_cast<uint8_t*>(std::malloc(size_t(size) + 16))
                          : nullptr;
    if (!buffer) {
        std::fclose(f);
        return kJpegErrMemory;
    }
    size_t got = std::fread(buffer, 1, size_t(size), f);
    std::fclose(f);
    if (got != size_t(size)) {
        std::free(buffer);
        return kJpegErrFile;
    }
    int code = decompress_to_dib(buffer, size_t(size), kMemBlockMaxSize, out);
    std::free(buffer);
    return code;
}
