#include "scrap/scrap_format.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scrap/text.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "sys/paths.h"

const char kInsertPlace[] = "<!-- Tamble Insert Place -->";
const char kPartMarkerPrefix[] = "<!-- Tamble Scrap Part [";
const char kPartMarkerSuffix[] = "] -->\r\n";
const char kStyleFileName[] = "$default_style.txt";

static_assert(sizeof kPartMarkerPrefix - 1 + kPartMarkerDateLength + sizeof kPartMarkerSuffix - 1 ==
                  size_t(kPartMarkerLength),
              "marker pieces");

namespace {

const char kHead[] =
    "<html>\r\n<head>\r\n<meta charset=\"Shift_JIS\">\r\n<title>表題</title>\r\n"
    "<style type=\"text/css\">\r\n<!--\r\n";
const char kBuiltInStyle[] =
    "body{padding:6px;line-height:160%;}\r\nul{line-height:100%;}\r\nh1{margin-left:20px;}\r\n"
    "h3{margin-left:60px;}\r\nimg{margin:6px;}\r\n";
const char kBodyStart[] =
    "-->\r\n</style>\r\n</head>\r\n<body>\r\n<h1>表題</h1>\r\n<h3>副題</h3><br>\r\n";
const char kBodyEnd[] = "\r\n</body>\r\n</html>";

// Files that are too short to hold a page are replaced by a new scrap.
constexpr size_t kScrapMinBytes = 16;
constexpr int kNumberedCandidates = 100;

}  // namespace

char* scrap_text_with_style(const char* style) {
    int lost = 0;
    char* text = append_text(nullptr, kHead, &lost);
    text = append_text(text, style && *style ? style : kBuiltInStyle, &lost);
    text = append_text(text, kBodyStart, &lost);
    text = append_text(text, kInsertPlace, &lost);
    text = append_text(text, kBodyEnd, &lost);
    if (lost) {
        std::free(text);
        return nullptr;
    }
    return text;
}

char* new_scrap_text() {
    char path[kPathSize];
    int length = std::snprintf(path, sizeof path, "%s%s", g_app.data_folder, kStyleFileName);
    // A cut path would name some other file: use the built-in style then.
    char* style = length > 0 && length < int(sizeof path) ? read_text_file(path) : nullptr;
    char* text = scrap_text_with_style(style);
    std::free(style);
    return text;
}

const char* part_marker_at(const std::tm& local) {
    static char marker[64];
    std::snprintf(marker, sizeof marker, "%s%04d/%02d/%02d %02d:%02d%s", kPartMarkerPrefix,
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, kPartMarkerSuffix);
    return marker;
}

const char* part_marker() {
    std::time_t now = std::time(nullptr);
    std::tm local = *std::localtime(&now);
    return part_marker_at(local);
}

const char* find_part_marker(const char* text) {
    if (!text) return nullptr;
    const char* found = std::strstr(text, kPartMarkerPrefix);
    if (!found) return nullptr;
    const char* date = found + sizeof kPartMarkerPrefix - 1;
    for (int i = 0; i < kPartMarkerDateLength; ++i)
        if (!date[i]) return nullptr;
    const char* suffix = date + kPartMarkerDateLength;
    if (std::strncmp(suffix, kPartMarkerSuffix, sizeof kPartMarkerSuffix - 1) != 0) return nullptr;
    return found;
}

char* scrap_insert_item(const char* file_text, size_t file_size, const char* item,
                        size_t* out_size, int* error) {
    *error = 0;
    *out_size = 0;
    const char* end = file_text + file_size;
    const char* place = find_first(file_text, end, kInsertPlace);
    if (!place) {
        *error = kMsgHtmlNoInsertPlace;
        return nullptr;
    }
    const size_t before = size_t(place - file_text), item_size = std::strlen(item);
    const size_t after = size_t(end - place);
    char* text = static_cast<char*>(std::malloc(before + item_size + after + 1));
    if (!text) {
        *error = kMsgNoMemory;
        return nullptr;
    }
    std::memcpy(text, file_text, before);
    std::memcpy(text + before, item, item_size);
    std::memcpy(text + before + item_size, place, after);
    *out_size = before + item_size + after;
    text[*out_size] = '\0';
    return text;
}

char* scrap_insert_item(const char* file_text, const char* item, int* error) {
    size_t size = 0;
    return scrap_insert_item(file_text, std::strlen(file_text), item, &size, error);
}

ScrapChoice scrap_choice_for(const char* text, size_t size) {
    if (!text || size <= kScrapMinBytes) return ScrapChoice::kReplace;
    return find_first(text, text + size, kInsertPlace) ? ScrapChoice::kUse : ScrapChoice::kRefuse;
}

int scrap_make_ready(const char* path) {
    size_t size = 0;
    FileRead read = FileRead::kWhole;
    char* text = read_text_file(path, &size, &read);
    const ScrapChoice choice = scrap_choice_for(text, size);
    std::free(text);
    if (read == FileRead::kUnreadable) return kMsgHtmlRead;
    if (read == FileRead::kNoMemory) return kMsgNoMemory;
    if (choice == ScrapChoice::kUse) return 0;
    if (choice == ScrapChoice::kRefuse) return kMsgHtmlNoInsertPlace;
    char* fresh = new_scrap_text();
    if (!fresh) return kMsgNoMemory;
    // In one step, so that a failed write leaves what was there; a
    // read-only file is refused by the replace itself.
    const int written = replace_file_atomically(fresh, std::strlen(fresh), path);
    std::free(fresh);
    return written ? 0 : kMsgHtmlCreate;
}

int numbered_scrap_path(const char* current, PathExists exists, char* out, size_t size) {
    const char* slash = sjis_last_backslash(current);
    if (!slash) return 0;
    const char* html = std::strstr(slash + 1, ".html");
    if (!html) return 0;
    const char* cut = html;  // everything from here on is replaced
    long long n = 0;
    // Brackets are characters of their own: the second byte of a
    // double-byte character can be 0x5B or 0x5D too.
    const char* name = slash + 1;
    const char* last = sjis_last_char(name, html);
    if (last && *last == ']') {
        const char* open = sjis_find_last(name, last, '[');
        if (!open) return 0;
        for (const char* p = open + 1; *p >= '0' && *p <= '9' && n < 1000000000LL; ++p)
            n = n * 10 + (*p - '0');
        cut = open;
    }
    const size_t keep = size_t(cut - current);
    for (int i = 1; i <= kNumberedCandidates; ++i) {
        char tail[40];
        int tail_len = std::snprintf(tail, sizeof tail, "[%lld].html", n + i);
        if (keep + size_t(tail_len) + 1 > size) return 0;
        std::memcpy(out, current, keep);
        std::memcpy(out + keep, tail, size_t(tail_len) + 1);
        if (!exists(out)) return 1;
    }
    return 0;
}
