#include "output/image_writer.h"

#include <cstdio>
#include <cstring>

#include "image/bmp.h"
#include "image/gif_write.h"
#include "image/jpeg.h"
#include "image/png.h"
#include "image/reduce.h"
#include "state/messages.h"
#include "sys/paths.h"

const char kTypeJpeg[] = "jpg";
const char kTypeGif[] = "gif";
const char kTypeBmp[] = "bmp";
const char kTypePng[] = "png";

namespace {

struct Format {
    const char* type;
    const char* mime;
    int failure;  // the message of a failed write
};
const Format kFormats[] = {
    {kTypeJpeg, "image/jpeg", kMsgJpegFile},
    {kTypeGif, "image/gif", kMsgGifFile},
    {kTypeBmp, "image/bmp", kMsgBmpFile},
    {kTypePng, "image/png", kMsgPngFile},
};

const Format* format_of(const char* type) {
    for (const Format& f : kFormats)
        if (!std::strcmp(type, f.type)) return &f;
    return nullptr;
}

}  // namespace

const char* image_mime_type(const char* type) {
    const Format* f = format_of(type);
    return f ? f->mime : nullptr;
}

int image_write_as(PackedDib image, const char* type, const char* path, int quality) {
    const Format* format = format_of(type);
    if (!format) return kMsgNoFormat;
    bool written;
    if (format->type == kTypeJpeg) {
        std::FILE* f = std::fopen(path, "wb");
        // The encoder closes the stream on every path.
        written = f && jpeg_write_dib(image, quality, f) == 0;
    } else if (format->type == kTypeGif) {
        PackedDib reduced = reduce_to_8bit(image);
        if (!reduced) return kMsgDither;
        written = gif_write(reduced, path) == 0;
        mem_free(reduced);
    } else if (format->type == kTypeBmp) {
        written = bmp_write(image, path);
    } else {
        // The PNG writer removes a file it could not finish.
        written = png_write_dib(image, path) == 0;
    }
    return written ? 0 : format->failure;
}

int image_write_failure(const char* type) {
    const Format* f = format_of(type);
    return f ? f->failure : kMsgNoFormat;
}

int file_prefix_ok(const char* prefix) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(prefix); *p; ++p) {
        if (sjis_is_lead_byte(*p)) {
            const unsigned char trail = p[1];
            if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return 0;
            ++p;
        } else if (*p < 0x20 || std::strchr("<>:\"/\\|?*", *p)) {
            return 0;
        }
    }
    return 1;
}

int image_file_name(const char* folder, const char* prefix, int number, const char* type,
                    char* out, size_t size) {
    // A hand-edited folder may lack its closing backslash; without it the
    // file would land in the parent folder under a longer name.
    const char* last = sjis_last_backslash(folder);
    const char* separator = folder[0] && !(last && !last[1]) ? "\\" : "";
    int length =
        std::snprintf(out, size, "%s%s%s%05d.%s", folder, separator, prefix, number, type);
    if (length < 0 || size_t(length) >= size) {
        if (size) out[0] = '\0';
        return 0;
    }
    return 1;
}

int companion_text_name(const char* image_path, char* out, size_t size) {
    const char* slash = sjis_last_backslash(image_path);
    const char* name = slash ? slash + 1 : image_path;
    const char* dot = std::strrchr(name, '.');
    if (!dot) return 0;
    size_t keep = size_t(dot - image_path) + 1;
    if (keep + 4 > size) return 0;
    std::memcpy(out, image_path, keep);
    std::memcpy(out + keep, "txt", 4);
    return 1;
}
