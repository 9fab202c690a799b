// The scrap file: an HTML page (Shift_JIS, CRLF) that collects captured
// pictures as items. A new scrap comes from a fixed template; each item
// starts with a part marker line and new items go in just before the
// insert place.
#pragma once

#include <cstddef>
#include <ctime>

extern const char kInsertPlace[];       // "<!-- Tamble Insert Place -->"
extern const char kPartMarkerPrefix[];  // "<!-- Tamble Scrap Part ["
extern const char kPartMarkerSuffix[];  // "] -->\r\n"
constexpr int kPartMarkerDateLength = 16;  // "yyyy/mm/dd hh:mm"
// The whole marker line: prefix, date, suffix.
constexpr int kPartMarkerLength = 24 + kPartMarkerDateLength + 7;
// The user's own style sheet for new scraps, in the data folder.
extern const char kStyleFileName[];     // "$default_style.txt"

// A new scrap's text with `style` as its style sheet (null or empty: the
// built-in one). A new heap string, or null when memory runs out.
char* scrap_text_with_style(const char* style);
// The same with the style file of the data folder when it can be read and
// is not empty.
char* new_scrap_text();

// The marker line for a local time, and for now (a static buffer that each
// call overwrites).
const char* part_marker_at(const std::tm& local);
const char* part_marker();

// The first occurrence of the marker prefix at or after `text` when it is a
// whole marker (16 characters, then the suffix); null otherwise. A damaged
// first occurrence ends the search even if a good marker follows.
const char* find_part_marker(const char* text);

// The text that results from putting `item` in the `file_size` bytes of
// `file_text` just before its first insert place, with a NUL after it and
// its length in *out_size. Every byte of the file is kept, NUL bytes
// included. Null with *error set: kMsgHtmlNoInsertPlace when there is none,
// kMsgNoMemory when memory runs out (nothing partial is returned).
char* scrap_insert_item(const char* file_text, size_t file_size, const char* item,
                        size_t* out_size, int* error);
// The same for a text that ends at its first NUL.
char* scrap_insert_item(const char* file_text, const char* item, int* error);

// What choosing a file as the scrap does with what it holds (`text` null:
// the file does not exist or is empty).
enum class ScrapChoice {
    kUse,      // a scrap: becomes the current one as it is
    kRefuse,   // a page without the insert place: never touched
    kReplace,  // missing, empty or at most 16 bytes: a new scrap
};
ScrapChoice scrap_choice_for(const char* text, size_t size);

// Makes `path` a file that takes items, as choosing it as the scrap does
// (the tray command and the output settings' OK): a scrap is used as it is;
// a file that does not exist, is empty or holds at most 16 bytes gets a new
// scrap in one step (never a read-only one). A file that is there but cannot
// be read, or any other page, is left as it is. 0 when `path` may now be
// stored as the scrap; otherwise the number of the message to show.
int scrap_make_ready(const char* path);

// The next numbered name of a scrap path: "scrap.html" -> "scrap[1].html",
// "a[7].html" -> "a[8].html", trying up to 100 numbers and skipping names
// for which exists(path) is 1. Writes into `out` (`size` bytes) and returns
// 1; 0 when the name has no backslash or ".html", none of the 100 is free,
// or the name does not fit.
typedef int (*PathExists)(const char* path);
int numbered_scrap_path(const char* current, PathExists exists, char* out, size_t size);
