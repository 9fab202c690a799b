// Text and buffer helpers shared by the scrap code, BASE64 output and the
// dialogs: growable heap strings, whole-file reads and writes, the CRLF <->
// "<br>\r\n" conversion and small searches. All texts are Shift_JIS bytes;
// every search works on bytes.
#pragma once

#include <cstddef>

// Growable strings: NUL-terminated, one heap block (std::malloc/free), null
// for an empty string not yet begun; the caller frees it with std::free.
// A block that is full grows by half its size again (at least to the new
// length plus 8 bytes), so a string built of many pieces is not copied
// anew for every piece. When memory runs out the string is returned
// unchanged (without the piece) and *lost, when given, is set to 1 and
// stays set: a text that lost a piece must never be written to a file.
char* append_text(char* buf, const char* s, int* lost = nullptr);
// Appends the bytes [start, end).
char* append_range(char* buf, const char* start, const char* end, int* lost = nullptr);

// A growable string that keeps its length, for texts of many pieces and
// for bytes that may hold NULs of their own (a file read whole): each
// append copies only the piece. A NUL always follows the `length` bytes.
struct TextBuffer {
    char* text = nullptr;
    size_t length = 0;
    size_t capacity = 0;  // bytes allocated
    int lost = 0;         // a piece was dropped: the text must not be written
};
void text_append(TextBuffer* buffer, const char* bytes, size_t size);
void text_append_string(TextBuffer* buffer, const char* s);
// Hands the text over (the caller frees it) with its length in *length;
// null, with the block freed, when a piece was lost. An empty text that
// lost nothing is an empty string.
char* text_take(TextBuffer* buffer, size_t* length);

// Copies [start, end) into a 32-byte field: at most 31 bytes, always
// NUL-terminated.
void copy_field32(const char* start, const char* end, char field[32]);

// What a whole-file read found. A file that is there but cannot be read
// whole is never taken for a missing one, so that nobody replaces it.
enum class FileRead {
    kWhole,       // every byte is in the returned block
    kMissing,     // no such file (or no such folder)
    kEmpty,
    kUnreadable,  // there, but not read whole: locked, a folder, an I/O error,
                  // a short read, or kWholeFileLimit bytes or more
    kNoMemory,
};
// Whole files here are scraps, texts and pictures; a file this large is a
// damaged or foreign one, not something to hold in memory.
constexpr long long kWholeFileLimit = 1LL << 30;

// Reads the whole file behind an open descriptor into a new heap block
// with a NUL after the bytes (16 spare bytes allocated). Null when the file
// is empty, cannot be sized, memory runs out or fewer bytes than its size
// can be read. The descriptor is closed in every case.
char* read_fd_text(int fd);
char* read_fd_sized(int fd, size_t* out_size);
// Opens `path` read-only in binary mode and reads it as above; null also
// when it cannot be opened. `*result`, when given, tells why there is no
// text.
char* read_text_file(const char* path, size_t* out_size = nullptr, FileRead* result = nullptr);

// Writes `text` without its NUL to `path` (created or truncated, binary).
// 1 when every byte was written and the file closed cleanly, else 0.
int write_text_file(const char* text, const char* path);
int write_bytes_file(const char* bytes, size_t size, const char* path);

// Replaces `path` with the bytes without ever leaving it half written: the
// bytes go to a temporary file beside it, which then takes its name. When
// anything fails the old file stays as it was and 0 is returned.
int replace_file_atomically(const char* bytes, size_t size, const char* path);

// The first position at which `s` lies wholly inside [text, end); null
// when none or `s` is empty. Bytes, NULs included.
const char* find_first(const char* text, const char* end, const char* s);
// The last position p >= text at which `s` lies wholly before `end` (null
// end: the end of text); null when none or `s` is empty.
const char* find_last(const char* text, const char* end, const char* s);

// Every "\r\n" becomes "<br>\r\n"; null for a null or empty text. Lone "\r"
// or "\n" stay as they are.
char* text_to_html(const char* s, int* lost = nullptr);
// Every "<br>\r\n" that starts in [start, end) becomes "\r\n" (null end:
// up to the NUL); null for a null or empty range.
char* html_to_text(const char* start, const char* end, int* lost = nullptr);

// Replaces the allocator behind the growable strings (null: the C runtime's
// realloc), so that tests can make memory run out at a chosen append.
typedef void* (*TextRealloc)(void* block, size_t size);
void text_set_realloc(TextRealloc fn);
