#include "scrap/scrap_model.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "scrap/scrap_format.h"
#include "scrap/text.h"
#include "state/messages.h"

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

// The first `s` in [from, end), or null.
const char* find_in(const char* from, const char* end, const char* s) {
    const size_t n = len(s);
    for (const char* p = from; p + n <= end; ++p)
        if (std::memcmp(p, s, n) == 0) return p;
    return nullptr;
}

// Plain form of [start, end): null for an empty range.
char* plain(const char* start, const char* end, int* lost) {
    return end > start ? html_to_text(start, end, lost) : nullptr;
}

void copy_title(const char* text, const char* open, const char* close, char* out) {
    out[0] = '\0';
    const char* a = std::strstr(text, open);
    if (!a) return;
    a += std::strlen(open);
    const char* b = std::strstr(a, close);
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
    std::free(item->raw);
    *item = ScrapItem{};
}

// The "<br clear=...>" that ends an item: the last one in [from, end),
// followed by nothing but its ">" and line ends. One that stands inside the
// text is part of the text (taking it as the end would lose what follows).
const char* wrap_mark(const char* from, const char* end) {
    const char* mark = nullptr;
    for (const char* p = find_in(from, end, kWrap); p; p = find_in(p + 1, end, kWrap)) mark = p;
    if (!mark) return nullptr;
    const char* close = find_in(mark, end, ">");
    if (!close || find_in(mark + 1, close, "<")) return nullptr;
    for (const char* p = close + 1; p < end; ++p)
        if (*p != '\r' && *p != '\n') return nullptr;
    return mark;
}

// Reads the item whose marker starts at `marker` and whose body ends at
// `end` (the next marker prefix or the insert place).
ScrapItem read_item(const char* marker, const char* end, int* lost) {
    ScrapItem item;
    const char* body = marker + kPartMarkerLength;
    const char* tag = find_in(body, end, kTagStart);
    const char* tag_end = tag ? find_in(tag + len(kTagStart), end, kTagEnd) : nullptr;
    if (!tag_end) {
        // No picture tag of its own: kept as it stands.
        item.raw = append_range(nullptr, marker, end, lost);
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

char* append_html(char* out, const char* plain_text, int* lost) {
    if (!plain_text || !*plain_text) return out;
    char* html = text_to_html(plain_text, lost);
    out = append_text(out, html, lost);
    std::free(html);
    return out;
}

char* append_item(char* out, const ScrapItem& item, int* lost) {
    if (item.raw) return append_text(out, item.raw, lost);
    out = append_text(out, kPartMarkerPrefix, lost);
    out = append_range(out, item.timestamp, item.timestamp + std::strlen(item.timestamp), lost);
    out = append_text(out, kPartMarkerSuffix, lost);
    if (item.heading && *item.heading) {
        out = append_text(out, kHeadingStart, lost);
        out = append_html(out, item.heading, lost);
        out = append_text(out, kHeadingEnd, lost);
    }
    const bool linked = item.link && *item.link;
    if (linked) {
        out = append_text(out, kLinkStart, lost);
        out = append_html(out, item.link, lost);
        out = append_text(out, kLinkEnd, lost);
    }
    out = append_text(out, item.tag, lost);
    if (linked) out = append_text(out, kLinkClose, lost);
    if (item.wrap == 0) out = append_text(out, kSeparatorLine, lost);
    out = append_html(out, item.text, lost);
    if (item.wrap == 1) out = append_text(out, "<br clear=left>\r\n", lost);
    if (item.wrap == 2) out = append_text(out, "<br clear=right>\r\n", lost);
    return out;
}

// The six tags of the head in order: <title>, </title>, <h1>, </h1>, <h3>,
// </h3>, the last before the item area; false when they are not there.
struct HeadTags {
    const char* t1;
    const char* t2;
    const char* h1;
    const char* h1e;
    const char* h3;
    const char* h3e;
};
bool head_tags(const char* f, const char* area, HeadTags* t) {
    t->t1 = std::strstr(f, "<title>");
    t->t2 = t->t1 ? std::strstr(t->t1, "</title>") : nullptr;
    t->h1 = t->t2 ? std::strstr(t->t2, "<h1>") : nullptr;
    t->h1e = t->h1 ? std::strstr(t->h1, "</h1>") : nullptr;
    t->h3 = t->h1e ? std::strstr(t->h1e, "<h3>") : nullptr;
    t->h3e = t->h3 ? std::strstr(t->h3, "</h3>") : nullptr;
    return t->h3e && t->h3e < area;
}

// The head up to the item area. When the user changed the title or the
// subtitle, the title goes into <title> and <h1> and the subtitle into
// <h3>; otherwise the head stays byte for byte (a long or odd title that
// could not be read is not lost).
char* append_head(char* out, const ScrapModel& m, int* lost) {
    const char* f = m.file;
    const char* area = f + m.area_start;
    HeadTags tags;
    const bool changed = std::strcmp(m.title, m.loaded_title) != 0 ||
                         std::strcmp(m.subtitle, m.loaded_subtitle) != 0;
    if (!changed || !head_tags(f, area, &tags)) return append_range(out, f, area, lost);
    const char *t1 = tags.t1, *t2 = tags.t2, *h1 = tags.h1, *h1e = tags.h1e, *h3 = tags.h3,
               *h3e = tags.h3e;
    out = append_range(out, f, t1 + len("<title>"), lost);
    out = append_html(out, m.title, lost);
    out = append_range(out, t2, h1 + len("<h1>"), lost);
    out = append_html(out, m.title, lost);
    out = append_range(out, h1e, h3 + len("<h3>"), lost);
    out = append_html(out, m.subtitle, lost);
    return append_range(out, h3e, area, lost);
}

}  // namespace

int scrap_model_load(char* file_text, ScrapModel* m) {
    scrap_model_free(m);
    m->file = file_text;
    const char* f = file_text;
    const char* area = std::strstr(f, kAreaStart);
    const char* place = area ? std::strstr(area + len(kAreaStart), kInsertPlace) : nullptr;
    if (!place) {
        scrap_model_free(m);
        return kMsgHtmlRead;
    }
    area += len(kAreaStart);
    // The subtitle is the <h3> that the head's tags lead to, where a changed
    // one is written; without them, the first <h3>.
    HeadTags tags;
    copy_title(f, "<title>", "</title>", m->title);
    copy_title(head_tags(f, area, &tags) ? tags.h1e : f, "<h3>", "</h3>", m->subtitle);
    std::memcpy(m->loaded_title, m->title, sizeof m->title);
    std::memcpy(m->loaded_subtitle, m->subtitle, sizeof m->subtitle);
    m->area_start = size_t(area - f);
    m->insert_place = size_t(place - f);

    // The chain of good markers; it ends at the first damaged one.
    std::vector<const char*> markers;
    const char* damaged = nullptr;
    for (const char* p = area;;) {
        const char* marker = find_part_marker(p);
        if (!marker || marker >= place) {
            const char* prefix = std::strstr(p, kPartMarkerPrefix);
            if (!marker && prefix && prefix < place) damaged = prefix;
            break;
        }
        markers.push_back(marker);
        p = marker + kPartMarkerLength;
    }
    if (markers.empty()) {
        scrap_model_free(m);
        return kMsgNoItems;
    }

    int lost = 0;
    if (markers[0] > area) m->leading = append_range(nullptr, area, markers[0], &lost);
    for (const char* marker : markers) {
        const char* body = marker + kPartMarkerLength;
        const char* next = std::strstr(body, kPartMarkerPrefix);
        const char* end = next && next < place ? next : place;
        m->items.push_back(read_item(marker, end, &lost));
    }
    if (damaged) m->trailing = append_range(nullptr, damaged, place, &lost);
    if (lost) {
        scrap_model_free(m);
        return kMsgNoMemory;
    }
    m->current = int(m->items.size()) - 1;
    return 0;
}

char* scrap_model_text(const ScrapModel& m) {
    int lost = 0;
    char* out = append_head(nullptr, m, &lost);
    if (m.leading) out = append_text(out, m.leading, &lost);
    for (const ScrapItem& item : m.items) out = append_item(out, item, &lost);
    if (m.trailing) out = append_text(out, m.trailing, &lost);
    out = append_text(out, m.file + m.insert_place, &lost);
    if (lost) {
        std::free(out);
        return nullptr;
    }
    return out;
}

void scrap_model_free(ScrapModel* m) {
    for (ScrapItem& item : m->items) free_item(&item);
    m->items.clear();
    std::free(m->file);
    std::free(m->leading);
    std::free(m->trailing);
    m->file = m->leading = m->trailing = nullptr;
    m->area_start = m->insert_place = 0;
    m->title[0] = m->subtitle[0] = m->loaded_title[0] = m->loaded_subtitle[0] = '\0';
    m->current = 0;
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
