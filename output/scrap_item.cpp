#include "output/scrap_item.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "image/base64.h"
#include "output/image_writer.h"
#include "scrap/scrap_format.h"
#include "scrap/text.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "sys/paths.h"

namespace {

const char kScratchName[] = "$image.";
constexpr int kTypeSize = 16;

// Takes a "<...>" or "[...]" first line off `*rest`: the part between the
// opening byte and the line end, less one closing byte. Null when the text
// does not start with `open`, has no line end, or the line is too long;
// `*rest` then stays.
char* take_bracket_line(const char** rest, char open, char close, int* lost) {
    const char* s = *rest;
    if (*s != open) return nullptr;
    const char* line_end = std::strstr(s, "\r\n");
    if (!line_end || line_end - s >= kPartLineLimit) return nullptr;
    *rest = line_end + 2;
    // The closing byte must be a character of its own, not the second byte
    // of a double-byte one (0x5D is "]").
    const char* last = sjis_last_char(s + 1, line_end);
    const char* end = last && *last == close ? last : line_end;
    if (end == s + 1) return nullptr;
    return append_range(nullptr, s + 1, end, lost);
}

}  // namespace

int split_clipboard_text(const char* clipboard, ClipboardParts* parts) {
    *parts = ClipboardParts{};
    if (!clipboard || !*clipboard) return 1;
    int lost = 0;
    const char* rest = clipboard;
    parts->heading = take_bracket_line(&rest, '<', '>', &lost);
    parts->link = take_bracket_line(&rest, '[', ']', &lost);
    if (*rest) parts->text = append_text(nullptr, rest, &lost);
    if (lost) {
        clipboard_parts_free(parts);
        return 0;
    }
    return 1;
}

void clipboard_parts_free(ClipboardParts* parts) {
    std::free(parts->heading);
    std::free(parts->link);
    std::free(parts->text);
    *parts = ClipboardParts{};
}

char* scrap_item_text(const char* marker, const char* heading, const char* link,
                      const char* text, const char* mime, const char* base64, int flags) {
    const bool has_heading = heading && *heading;
    const bool has_link = link && *link;
    const bool wrap_left = flags & kFlagTextRight;  // text on the right: picture left
    const bool wrap_right = !wrap_left && (flags & kFlagTextLeft);
    int lost = 0;
    char* item = append_text(nullptr, marker, &lost);
    if (has_heading) {
        item = append_text(item, "<p><h2>", &lost);
        item = append_text(item, heading, &lost);
        item = append_text(item, "</h2>", &lost);
    }
    if (has_link) {
        item = append_text(item, "<a href=\"", &lost);
        item = append_text(item, link, &lost);
        item = append_text(item, "\">", &lost);
    }
    item = append_text(item, "\r\n<img ", &lost);
    if (wrap_left) item = append_text(item, "align=left ", &lost);
    if (wrap_right) item = append_text(item, "align=right ", &lost);
    item = append_text(item, "src=\"data:", &lost);
    item = append_text(item, mime, &lost);
    item = append_text(item, ";base64,", &lost);
    item = append_text(item, base64, &lost);
    item = append_text(item, "\">\r\n", &lost);
    if (has_link) item = append_text(item, "</a>", &lost);
    if (!wrap_left && !wrap_right) item = append_text(item, "<br>", &lost);
    if (text && *text) {
        char* html = text_to_html(text, &lost);
        item = append_text(item, html, &lost);
        std::free(html);
    }
    if (wrap_left) item = append_text(item, "<br clear=left>\r\n", &lost);
    if (wrap_right) item = append_text(item, "<br clear=right>\r\n", &lost);
    if (lost) {
        std::free(item);
        return nullptr;
    }
    return item;
}

char* build_scrap_item(const char* heading, const char* link, const char* text, PackedDib image,
                       int* error) {
    *error = 0;
    char type[kTypeSize] = {};
    settings_read_string(kSectionOutput, "Type", type, sizeof type);
    const char* mime = image_mime_type(type);
    if (!mime) {
        *error = kMsgNoFormat;
        return nullptr;
    }
    char path[kPathSize];
    int length = std::snprintf(path, sizeof path, "%s%s%s", g_app.data_folder, kScratchName, type);
    if (length < 0 || length >= int(sizeof path)) {
        // A cut name would write some other file: the format's own failure.
        *error = image_write_failure(type);
        return nullptr;
    }
    int quality = settings_read_int(kSectionOutput, "JpegQuality", kDefaultQuality);
    *error = image_write_as(image, type, path, quality);
    if (*error) return nullptr;

    size_t size = 0;
    char* bytes = read_text_file(path, &size);
    if (!bytes || size > size_t(INT32_MAX) / 4 * 3) {
        std::free(bytes);
        *error = kMsgNoMemory;
        return nullptr;
    }
    char* base64 = base64_encode(bytes, int32_t(size));
    std::free(bytes);
    if (!base64) {
        *error = kMsgNoMemory;
        return nullptr;
    }
    char* item = scrap_item_text(part_marker(), heading, link, text, mime, base64, g_app.flags);
    std::free(base64);
    if (!item) *error = kMsgNoMemory;
    return item;
}
