#include "scrap/preview.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "image/base64.h"
#include "image/bmp.h"
#include "image/gif_read.h"
#include "image/jpeg.h"
#include "image/png.h"
#include "image/scale.h"
#include "scrap/text.h"

namespace {

const uint8_t kBlack[3] = {0, 0, 0};

// The scratch file's extension and reader for each picture type of a tag;
// a tag naming none of the others is read as BMP.
struct PictureKind {
    const char* mime;
    const char* ext;
    void (*read)(const char* path, PackedDib* out);
};
const PictureKind kKinds[] = {
    {"image/jpeg", ".jpg", [](const char* path, PackedDib* out) { jpeg_read_dib(path, out); }},
    {"image/gif", ".gif", [](const char* path, PackedDib* out) { gif_read(out, path); }},
    {"image/png", ".png", [](const char* path, PackedDib* out) { png_read_dib(path, out); }},
    {"image/bmp", ".bmp", [](const char* path, PackedDib* out) { bmp_read(path, out); }},
};

// Writes the tag's picture to the scratch file and reads it back.
PackedDib read_tag_picture(const char* tag, const char* scratch_base) {
    // The type named first: a later match could lie inside the Base64 text.
    const PictureKind* kind = &kKinds[std::size(kKinds) - 1];
    const char* first = nullptr;
    for (const PictureKind& k : kKinds) {
        const char* at = std::strstr(tag, k.mime);
        if (at && (!first || at < first)) first = at, kind = &k;
    }
    const char* payload = std::strstr(tag, ";base64,");
    if (!payload) return nullptr;
    payload += 8;
    const char* end = std::strstr(payload, "\">\r\n");
    if (!end) end = payload + std::strlen(payload);
    int32_t size = 0;
    uint8_t* bytes = base64_decode(payload, int32_t(end - payload), &size);
    if (!bytes) return nullptr;
    const std::string path = std::string(scratch_base) + kind->ext;
    const int written = write_bytes_file(reinterpret_cast<char*>(bytes), size_t(size), path.c_str());
    std::free(bytes);
    if (!written) return nullptr;
    PackedDib picture = nullptr;
    kind->read(path.c_str(), &picture);
    return picture;
}

bool size_of(PackedDib dib, int* w, int* h) {
    MemLock<const DibHeader> header(dib);
    if (!header) return false;
    *w = header->biWidth;
    *h = header->biHeight;
    return true;
}

}  // namespace

void preview_fit(int w, int h, int cw, int ch, int* fitted_w, int* fitted_h) {
    const double f = std::max(double(w) / cw, double(h) / ch);
    *fitted_w = std::min(cw, int(w / f));
    *fitted_h = std::min(ch, int(h / f));
}

int preview_render(PackedDib canvas, const char* tag, const char* scratch_base) {
    int cw = 0, ch = 0;
    if (!size_of(canvas, &cw, &ch) || cw <= 0 || ch <= 0) return 0;
    PixelRect all{0, 0, cw, ch};
    dib_fill24(canvas, &all, kBlack);
    if (!tag) return 0;
    PackedDib picture = read_tag_picture(tag, scratch_base);
    int w = 0, h = 0;
    if (!picture || !size_of(picture, &w, &h) || w <= 0 || h <= 0) {
        if (picture) mem_free(picture);
        return 0;
    }
    PackedDib rgb = dib_to_24bit(picture);  // takes the picture
    if (!rgb) return 0;
    int fw = 0, fh = 0;
    preview_fit(w, h, cw, ch, &fw, &fh);
    PackedDib fitted = fw > 0 && fh > 0 ? dib_scale(rgb, fw, fh) : nullptr;
    mem_free(rgb);
    if (!fitted) return 0;
    dib_paste_centred24(canvas, &all, fitted);
    mem_free(fitted);
    return 1;
}
