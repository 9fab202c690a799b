// A scrap file read into items for the editor, and written back: the head
// with its title and subtitle, the items in their order with their
// heading, link, picture tag and text, and the tail from the insert place.
#pragma once

#include <cstddef>
#include <vector>

constexpr int kScrapTitleSize = 256;  // title and subtitle: at most 255 bytes
constexpr int kScrapPartLimit = 1023;  // heading and link: at most 1023 bytes

// One item. Texts are heap strings (std::free) in plain form (line ends as
// "\r\n"), or null. An item whose marker has no picture tag of its own, or
// whose bytes hold a NUL (which no field could show), is kept as it stands:
// `raw` points at its `raw_size` bytes in the file text (marker line
// included), written back unchanged.
struct ScrapItem {
    char* heading = nullptr;
    char* link = nullptr;
    char* tag = nullptr;   // "\r\n<img " through "\">\r\n", as in the file
    char* text = nullptr;
    char timestamp[17] = {};
    int wrap = 0;          // 0 none, 1 "<br clear=left", 2 another "<br clear="
    const char* raw = nullptr;
    size_t raw_size = 0;
};

struct ScrapModel {
    char* file = nullptr;  // the whole file as read (a NUL after its bytes)
    size_t file_size = 0;
    size_t area_start = 0;    // offset just after "</h3><br>\r\n"
    size_t insert_place = 0;  // offset of the insert place
    // Bytes of the item area the items do not hold, written back in place:
    // [area_start, items_start) before the first marker and
    // [items_end, insert_place) from a damaged marker on.
    size_t items_start = 0;
    size_t items_end = 0;
    char title[kScrapTitleSize] = {};
    char subtitle[kScrapTitleSize] = {};
    // As read: each of the two is written anew only when it was changed, so
    // a title too long to be read is kept as it stands.
    char loaded_title[kScrapTitleSize] = {};
    char loaded_subtitle[kScrapTitleSize] = {};
    std::vector<ScrapItem> items;
    int current = 0;
};

// Reads the file's `size` bytes (taken over by the model; a NUL must follow
// them) into `model`. 0 on success with current on the newest item;
// otherwise the number of the message to show (24 not a scrap, 28 no item,
// 20 no memory) and the model is empty.
int scrap_model_load(char* file_text, size_t size, ScrapModel* model);
// The new file text (its length in *size): head with the title and
// subtitle, the items, the tail. Null when memory ran out while building
// it (a text that lost a piece must not be written).
char* scrap_model_text(const ScrapModel& model, size_t* size = nullptr);
void scrap_model_free(ScrapModel* model);

// Cuts a plain text in place so that its form in the file (each "\r\n" as
// "<br>\r\n") takes at most `limit` bytes, never inside a double-byte
// character: what is stored must read back as the same field.
void scrap_fit_field(char* text, size_t limit);

// Editing. Navigation keeps current within the items.
enum class ScrapMove { kFirst, kPrevious, kNext, kLast };
// 1 when current changed.
int scrap_model_move(ScrapModel* model, ScrapMove move);
// Deletes the current item; returns 1 when it was the only one (the editor
// then ends as if confirmed and the file keeps no item).
int scrap_model_delete(ScrapModel* model);
// Exchanges the current item with the one before; 0 on the first item.
int scrap_model_swap(ScrapModel* model);
// Replaces a stored text by a copy of `value` (null or empty: no text).
// 0 when memory ran out (the old text stays).
int scrap_set_text(char** field, const char* value);
