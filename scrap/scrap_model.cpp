#include "scrap/scrap_model.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "scrap/scrap_format.h"
#include "scrap/text.h"
#include "state/messages.h"
#include "sys/paths.h"

namespace {

const char kAreaStart[] = "</h3><br>\r\n";
const char kTagStart[] = "\r\n<img ";
const char kTagEnd[] = "\">\r\n";
const char kLinkStart[] = "<a href=\"";
const char kLinkEnd[] = "\">";
const char kLinkClose[] = "</a>";
const char kHeadingStart[] = "<p><h2>";
const char kHeadingEnd[] = "</h2>";
const char kWrap[] = "<br clear=";
const char kSeparator[] = "<br>";
const char kSeparatorLine[] = "<br>\r\n";

constexpr size_t len(const char* s) { return std::char_traits<char>::length(s); }

bool starts(const char* p, const char* end, const char* s) {
    const size_t n = len(s);
    return size_t(end - p) >= n && std::memcmp(p, s, n) == 0;
}

// Plain form of [start, end): null for an empty range.
char* plain(const char* start, const char* end, int* lost) {
    return end > start ? html_to_text(start, end, lost) : nullptr;
}

// The text between the first `open` in [from, end) and the first `close`
// after it, when it is shorter than a title field.
void copy_title(const char* from, const char* end, const char* open, const char* close,
                char* out) {
    out[0] = '\0';
    const char* a = find_first(from, end, open);
    if (!a) return;
    a += len(open);
    const char* b = find_first(a, end, close);
    if (!b || b - a >= kScrapTitleSize) return;
    int lost = 0;
    char* p = plain(a, b, &lost);
    if (p) {
        std::strncpy(out, p, kScrapTitleSize - 1);
        out[kScrapTitleSize - 1] = '\0';
    }
    std::free(p);
}

void free_item(ScrapItem* item) {
    std::free(item->heading);
    std::free(item->link);
    std::free(item->tag);
    std::free(item->text);
    *item = ScrapItem{};
}

// The "<br clear=...>" that ends an item: the last one in [from, end),
// followed by nothing but its ">" and line ends. One that stands inside the
// text is part of the text (taking it as the end would lose what follows).
const char* wrap_mark(const char* from, const char* end) {
    const char* mark = nullptr;
    for (const char* p = find_first(from, end, kWrap); p; p = find_first(p + 1, end, kWrap))
        mark = p;
    if (!mark) return nullptr;
    const char* close = find_first(mark, end, ">");
    if (!close || find_first(mark + 1, close, "<")) return nullptr;
    for (const char* p = close + 1; p < end; ++p)
        if (*p != '\r' && *p != '\n') return nullptr;
    return mark;
}

// Reads the item whose marker starts at `marker` and whose body ends at
// `end` (the next marker prefix or the insert place).
ScrapItem read_item(const char* marker, const char* end, int* lost) {
    ScrapItem item;
    const char* body = marker + kPartMarkerLength;
    const char* tag = find_first(body, end, kTagStart);
    const char* tag_end = tag ? find_first(tag + len(kTagStart), end, kTagEnd) : nullptr;
    if (!tag_end || std::memchr(marker, '\0', size_t(end - marker))) {
        // No picture tag of its own, or bytes no field can hold: kept as
        // it stands.
        item.raw = marker;
        item.raw_size = size_t(end - marker);
        return item;
    }
    tag_end += len(kTagEnd);
    std::memcpy(item.timestamp, marker + len(kPartMarkerPrefix), kPartMarkerDateLength);
    item.tag = append_range(nullptr, tag, tag_end, lost);

    // A link: "<a href=\"" ... "\">" right before the tag and "</a>" after it.
    const char* text_start = tag_end;
    const char* heading_end = tag;
    if (tag - body >= 2 && starts(tag - 2, end, kLinkEnd) && starts(tag_end, end, kLinkClose)) {
        const char* open = find_last(body, tag - 2, kLinkStart);
        if (open && (tag - 2) - (open + len(kLinkStart)) <= kScrapPartLimit) {
            item.link = plain(open + len(kLinkStart), tag - 2, lost);
            heading_end = open;
            text_start = tag_end + len(kLinkClose);
        }
    }
    // A heading: "<p><h2>" ... "</h2>" right before the link or the tag.
    if (heading_end - body >= 5 && starts(heading_end - 5, end, kHeadingEnd)) {
        const char* open = find_last(body, heading_end - 5, kHeadingStart);
        if (open && (heading_end - 5) - (open + len(kHeadingStart)) <= kScrapPartLimit)
            item.heading = plain(open + len(kHeadingStart), heading_end - 5, lost);
    }
    // The text, up to a wrap mark that ends the item.
    const char* text_end = end;
    if (const char* wrap = wrap_mark(text_start, end)) {
        item.wrap = starts(wrap + len(kWrap), end, "left") ? 1 : 2;
        text_end = wrap;
    }
    // Without a wrap, a line break separates picture and text ("<br>" as
    // output writes it, "<br>\r\n" as the editor does): it is no part of
    // the text, or every rewrite would add one.
    if (item.wrap == 0) {
        if (starts(text_start, text_end, kSeparatorLine))
            text_start += len(kSeparatorLine);
        else if (starts(text_start, text_end, kSeparator))
            text_start += len(kSeparator);
    }
    item.text = plain(text_start, text_end, lost);
    return item;
}

void append_html(TextBuffer* out, const char* plain_text) {
    if (!plain_text || !*plain_text) return;
    int lost = 0;
    char* html = text_to_html(plain_text, &lost);
    if (lost) out->lost = 1;
    text_append_string(out, html);
    std::free(html);
}

void append_between(TextBuffer* out, const char* from, const char* to) {
    if (to > from) text_append(out, from, size_t(to - from));
}

void append_item(TextBuffer* out, const ScrapItem& item) {
    if (item.raw) return text_append(out, item.raw, item.raw_size);
    text_append_string(out, kPartMarkerPrefix);
    text_append_string(out, item.timestamp);
    text_append_string(out, kPartMarkerSuffix);
    if (item.heading && *item.heading) {
        text_append_string(out, kHeadingStart);
        append_html(out, item.heading);
        text_append_string(out, kHeadingEnd);
    }
    const bool linked = item.link && *item.link;
    if (linked) {
        text_append_string(out, kLinkStart);
        append_html(out, item.link);
        text_append_string(out, kLinkEnd);
    }
    text_append_string(out, item.tag);
    if (linked) text_append_string(out, kLinkClose);
    if (item.wrap == 0) text_append_string(out, kSeparatorLine);
    append_html(out, item.text);
    if (item.wrap == 1) text_append_string(out, "<br clear=left>\r\n");
    if (item.wrap == 2) text_append_string(out, "<br clear=right>\r\n");
}

// The six tags of the head in order: <title>, </title>, <h1>, </h1>, <h3>,
// </h3>, all before the item area; false when they are not there.
struct HeadTags {
    const char* t1;
    const char* t2;
    const char* h1;
    const char* h1e;
    const char* h3;
    const char* h3e;
};
bool head_tags(const char* f, const char* area, HeadTags* t) {
    t->t1 = find_first(f, area, "<title>");
    t->t2 = t->t1 ? find_first(t->t1, area, "</title>") : nullptr;
    t->h1 = t->t2 ? find_first(t->t2, area, "<h1>") : nullptr;
    t->h1e = t->h1 ? find_first(t->h1, area, "</h1>") : nullptr;
    t->h3 = t->h1e ? find_first(t->h1e, area, "<h3>") : nullptr;
    t->h3e = t->h3 ? find_first(t->h3, area, "</h3>") : nullptr;
    return t->h3e != nullptr;
}

// The head up to the item area. A changed title goes into <title> and
// <h1>, a changed subtitle into <h3>; everything else, an unchanged title
// or subtitle included, stays byte for byte (a title too long to be read
// is not lost by a change of the subtitle).
void append_head(TextBuffer* out, const ScrapModel& m) {
    const char* f = m.file;
    const char* area = f + m.area_start;
    HeadTags t;
    const bool title = std::strcmp(m.title, m.loaded_title) != 0;
    const bool subtitle = std::strcmp(m.subtitle, m.loaded_subtitle) != 0;
    if (!(title || subtitle) || !head_tags(f, area, &t)) return append_between(out, f, area);
    append_between(out, f, t.t1 + len("<title>"));
    title ? append_html(out, m.title) : append_between(out, t.t1 + len("<title>"), t.t2);
    append_between(out, t.t2, t.h1 + len("<h1>"));
    title ? append_html(out, m.title) : append_between(out, t.h1 + len("<h1>"), t.h1e);
    append_between(out, t.h1e, t.h3 + len("<h3>"));
    subtitle ? append_html(out, m.subtitle) : append_between(out, t.h3 + len("<h3>"), t.h3e);
    append_between(out, t.h3e, area);
}

// The first whole part marker in [from, end), or null. *damaged is set to
// the first marker prefix when that is not a whole marker (the chain of
// items ends there, as with find_part_marker).
const char* marker_in(const char* from, const char* end, const char** damaged) {
    const char* p = find_first(from, end, kPartMarkerPrefix);
    if (!p) return nullptr;
    const char* suffix = p + len(kPartMarkerPrefix) + kPartMarkerDateLength;
    if (suffix <= end && starts(suffix, end, kPartMarkerSuffix)) return p;
    *damaged = p;
    return nullptr;
}

int load(char* file_text, size_t size, ScrapModel* m) {
    m->file = file_text;
    m->file_size = size;
    const char* f = file_text;
    const char* file_end = f + size;
    const char* area = find_first(f, file_end, kAreaStart);
    const char* place = area ? find_first(area + len(kAreaStart), file_end, kInsertPlace) : nullptr;
    if (!place) return kMsgHtmlRead;
    area += len(kAreaStart);
    // The subtitle is the <h3> that the head's tags lead to, where a changed
    // one is written; without them, the first <h3>.
    HeadTags tags;
    copy_title(f, file_end, "<title>", "</title>", m->title);
    copy_title(head_tags(f, area, &tags) ? tags.h1e : f, file_end, "<h3>", "</h3>", m->subtitle);
    std::memcpy(m->loaded_title, m->title, sizeof m->title);
    std::memcpy(m->loaded_subtitle, m->subtitle, sizeof m->subtitle);
    m->area_start = size_t(area - f);
    m->insert_place = size_t(place - f);

    // The chain of good markers; it ends at the first damaged one.
    std::vector<const char*> markers;
    const char* damaged = nullptr;
    for (const char* p = area;;) {
        const char* marker = marker_in(p, place, &damaged);
        if (!marker) break;
        markers.push_back(marker);
        p = marker + kPartMarkerLength;
    }
    if (markers.empty()) return kMsgNoItems;

    int lost = 0;
    m->items_start = size_t(markers[0] - f);
    m->items_end = size_t((damaged ? damaged : place) - f);
    m->items.reserve(markers.size());
    for (const char* marker : markers) {
        const char* next = find_first(marker + kPartMarkerLength, place, kPartMarkerPrefix);
        m->items.push_back(read_item(marker, next ? next : place, &lost));
    }
    if (lost) return kMsgNoMemory;
    m->current = int(m->items.size()) - 1;
    return 0;
}

}  // namespace

int scrap_model_load(char* file_text, size_t size, ScrapModel* m) {
    scrap_model_free(m);
    int error = kMsgNoMemory;
    try {
        error = load(file_text, size, m);
    } catch (const std::bad_alloc&) {
        // The item list could not grow: told like any other lack of memory.
    }
    if (error) scrap_model_free(m);
    return error;
}

char* scrap_model_text(const ScrapModel& m, size_t* size) {
    TextBuffer out;
    append_head(&out, m);
    append_between(&out, m.file + m.area_start, m.file + m.items_start);
    for (const ScrapItem& item : m.items) append_item(&out, item);
    append_between(&out, m.file + m.items_end, m.file + m.file_size);
    return text_take(&out, size);
}

void scrap_model_free(ScrapModel* m) {
    for (ScrapItem& item : m->items) free_item(&item);
    m->items.clear();
    std::free(m->file);
    m->file = nullptr;
    m->file_size = m->area_start = m->insert_place = m->items_start = m->items_end = 0;
    m->title[0] = m->subtitle[0] = m->loaded_title[0] = m->loaded_subtitle[0] = '\0';
    m->current = 0;
}

void scrap_fit_field(char* text, size_t limit) {
    size_t used = 0;
    for (char* p = text; *p;) {
        const bool line_end = p[0] == '\r' && p[1] == '\n';
        const size_t bytes = line_end || (sjis_is_lead_byte(static_cast<unsigned char>(*p)) && p[1]) ? 2 : 1;
        const size_t cost = line_end ? len(kSeparatorLine) : bytes;
        if (used + cost > limit) {
            *p = '\0';
            return;
        }
        used += cost;
        p += bytes;
    }
}

int scrap_model_move(ScrapModel* m, ScrapMove move) {
    const int last = int(m->items.size()) - 1;
    int to = m->current;
    switch (move) {
        case ScrapMove::kFirst: to = 0; break;
        case ScrapMove::kPrevious: to = m->current - 1; break;
        case ScrapMove::kNext: to = m->current + 1; break;
        case ScrapMove::kLast: to = last; break;
    }
    if (to < 0 || to > last || to == m->current) return 0;
    m->current = to;
    return 1;
}

int scrap_model_delete(ScrapModel* m) {
    if (m->items.empty()) return 1;
    if (m->current < 0 || m->current >= int(m->items.size())) return 0;
    free_item(&m->items[size_t(m->current)]);
    m->items.erase(m->items.begin() + m->current);
    if (m->items.empty()) return 1;
    if (m->current > int(m->items.size()) - 1) m->current = int(m->items.size()) - 1;
    return 0;
}

int scrap_model_swap(ScrapModel* m) {
    if (m->current < 1 || m->current >= int(m->items.size())) return 0;
    std::swap(m->items[size_t(m->current)], m->items[size_t(m->current) - 1]);
    --m->current;
    return 1;
}

int scrap_set_text(char** field, const char* value) {
    if (!value || !*value) {
        std::free(*field);
        *field = nullptr;
        return 1;
    }
    int lost = 0;
    char* copy = append_text(nullptr, value, &lost);
    if (lost) {
        std::free(copy);
        return 0;
    }
    std::free(*field);
    *field = copy;
    return 1;
}
