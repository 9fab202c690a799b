#include "scrap/text.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <malloc.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "sys/files.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace {

TextRealloc g_realloc = nullptr;

void* grow(void* block, size_t size) {
    return g_realloc ? g_realloc(block, size) : std::realloc(block, size);
}

// The bytes a heap block really holds (at least what was asked for).
size_t block_size(void* block) {
    if (!block) return 0;
#ifdef _WIN32
    return _msize(block);
#else
    return malloc_usable_size(block);
#endif
}

// Makes room for `needed` bytes in a block of `capacity`: a full block grows
// by half again, at least to needed + 8. False when memory ran out (the
// block is as it was).
bool reserve(char** block, size_t* capacity, size_t needed) {
    if (needed <= *capacity) return true;
    size_t want = *capacity + *capacity / 2;
    if (want < needed + 8) want = needed + 8;
    char* grown = static_cast<char*>(grow(*block, want));
    if (!grown) return false;
    *block = grown;
    *capacity = want;
    return true;
}

// Moves exactly `size` bytes through `io` (read or write), which the runtime
// may do in pieces; false when it stops short.
template <typename Io, typename Byte>
bool transfer_all(Io io, int fd, Byte* bytes, size_t size) {
    size_t done = 0;
    while (done < size) {
        size_t want = size - done;
        if (want > (1u << 30)) want = 1u << 30;
        int n = int(io(fd, bytes + done, unsigned(want)));
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

}  // namespace

void text_set_realloc(TextRealloc fn) { g_realloc = fn; }

char* append_range(char* buf, const char* start, const char* end, int* lost) {
    size_t old_len = buf ? std::strlen(buf) : 0;
    size_t add = start && end > start ? size_t(end - start) : 0;
    size_t capacity = block_size(buf);
    if (!reserve(&buf, &capacity, old_len + add + 1)) {
        if (lost) *lost = 1;
        return buf;
    }
    if (add) std::memcpy(buf + old_len, start, add);
    buf[old_len + add] = '\0';
    return buf;
}

char* append_text(char* buf, const char* s, int* lost) {
    return append_range(buf, s, s ? s + std::strlen(s) : nullptr, lost);
}

void text_append(TextBuffer* b, const char* bytes, size_t size) {
    if (!reserve(&b->text, &b->capacity, b->length + size + 1)) {
        b->lost = 1;
        return;
    }
    if (size) std::memcpy(b->text + b->length, bytes, size);
    b->length += size;
    b->text[b->length] = '\0';
}

void text_append_string(TextBuffer* b, const char* s) {
    if (s) text_append(b, s, std::strlen(s));
}

char* text_take(TextBuffer* b, size_t* length) {
    if (!b->lost && !b->text) text_append(b, "", 0);
    char* text = b->lost ? nullptr : b->text;
    if (!text) std::free(b->text);
    if (length) *length = text ? b->length : 0;
    *b = TextBuffer{};
    return text;
}

void copy_field32(const char* start, const char* end, char field[32]) {
    size_t n = end > start ? size_t(end - start) : 0;
    if (n > 31) n = 31;
    if (n) std::memcpy(field, start, n);
    field[n] = '\0';
}

namespace {

char* read_fd_whole(int fd, size_t* out_size, FileRead* result) {
    if (out_size) *out_size = 0;
    *result = FileRead::kUnreadable;
    if (fd < 0) return nullptr;
    char* text = nullptr;
    struct stat info;
    // A folder opens on some systems, but it is no file to read.
    const bool folder = ::fstat(fd, &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
    long long size = folder ? -1 : ::lseek(fd, 0, SEEK_END);
    if (size == 0) {
        *result = FileRead::kEmpty;
    } else if (size > 0 && size < kWholeFileLimit && ::lseek(fd, 0, SEEK_SET) == 0) {
        text = static_cast<char*>(std::malloc(size_t(size) + 16));
        if (!text) {
            *result = FileRead::kNoMemory;
        } else if (!transfer_all(::read, fd, text, size_t(size))) {
            std::free(text);
            text = nullptr;
        } else {
            text[size] = '\0';
            if (out_size) *out_size = size_t(size);
            *result = FileRead::kWhole;
        }
    }
    ::close(fd);
    return text;
}

}  // namespace

char* read_fd_sized(int fd, size_t* out_size) {
    FileRead result;
    return read_fd_whole(fd, out_size, &result);
}

char* read_fd_text(int fd) { return read_fd_sized(fd, nullptr); }

char* read_text_file(const char* path, size_t* out_size, FileRead* result) {
    FileRead found;
    if (!result) result = &found;
    int fd = ::open(path, O_RDONLY | O_BINARY);
    // Only "no such file" counts as missing; a file that is there but
    // cannot be opened (shared, denied, a folder) is unreadable.
    const bool missing = fd < 0 && errno == ENOENT;
    char* text = read_fd_whole(fd, out_size, result);
    if (missing) *result = FileRead::kMissing;
    return text;
}

int write_bytes_file(const char* bytes, size_t size, const char* path) {
    int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_BINARY, S_IREAD | S_IWRITE);
    if (fd < 0) return 0;
    bool ok = transfer_all(::write, fd, bytes, size);
    if (::close(fd) != 0) ok = false;
    return ok ? 1 : 0;
}

int write_text_file(const char* text, const char* path) {
    return write_bytes_file(text, std::strlen(text), path);
}

int replace_file_atomically(const char* bytes, size_t size, const char* path) {
    size_t n = std::strlen(path);
    static const char kSuffix[] = ".$tmp";
    char* temp = static_cast<char*>(std::malloc(n + sizeof kSuffix));
    if (!temp) return 0;
    std::memcpy(temp, path, n);
    std::memcpy(temp + n, kSuffix, sizeof kSuffix);
    int ok = write_bytes_file(bytes, size, temp) && fs_replace(temp, path);
    if (!ok) std::remove(temp);
    std::free(temp);
    return ok;
}

const char* find_first(const char* text, const char* end, const char* s) {
    const size_t n = s ? std::strlen(s) : 0;
    if (!text || !n || end - text < std::ptrdiff_t(n)) return nullptr;
    // memchr finds each candidate's first byte quickly in long texts.
    for (const char* p = text; size_t(end - p) >= n; ++p) {
        p = static_cast<const char*>(std::memchr(p, s[0], size_t(end - p) - n + 1));
        if (!p) return nullptr;
        if (std::memcmp(p, s, n) == 0) return p;
    }
    return nullptr;
}

const char* find_last(const char* text, const char* end, const char* s) {
    size_t n = s ? std::strlen(s) : 0;
    if (!text || !n) return nullptr;
    if (!end) end = text + std::strlen(text);
    if (end - text < std::ptrdiff_t(n)) return nullptr;
    for (const char* p = end - n;; --p) {
        if (std::memcmp(p, s, n) == 0) return p;
        if (p == text) break;
    }
    return nullptr;
}

namespace {

// Copies [start, end) with every `from` that starts inside the range
// replaced by `to`.
char* replace_all(const char* start, const char* end, const char* from, const char* to,
                  int* lost) {
    const size_t from_len = std::strlen(from);
    TextBuffer out;
    const char* piece = start;
    for (const char* p = start; p < end;) {
        if (std::strncmp(p, from, from_len) == 0) {
            text_append(&out, piece, size_t(p - piece));
            text_append_string(&out, to);
            p += from_len;
            piece = p;
        } else {
            ++p;
        }
    }
    // A match that reached past `end` has already moved `piece` beyond it.
    if (piece < end) text_append(&out, piece, size_t(end - piece));
    // As with an append, what was built is handed back and the loss told.
    if (out.lost && lost) *lost = 1;
    out.lost = 0;
    return text_take(&out, nullptr);
}

}  // namespace

char* text_to_html(const char* s, int* lost) {
    if (!s || !*s) return nullptr;
    return replace_all(s, s + std::strlen(s), "\r\n", "<br>\r\n", lost);
}

char* html_to_text(const char* start, const char* end, int* lost) {
    if (!start) return nullptr;
    if (!end) end = start + std::strlen(start);
    if (end <= start) return nullptr;
    return replace_all(start, end, "<br>\r\n", "\r\n", lost);
}
