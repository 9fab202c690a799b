// Base64 text for the data: URIs of <img> items, and back.
#pragma once

#include <cstdint>

// The 64 digits and the pad character '=' at index 64; shared by both
// directions.
inline constexpr char kBase64Alphabet[66] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";

// The Base64 text of `n` bytes: exactly 4 x ceil(n / 3) characters on one
// line, NUL-terminated, in a heap buffer the caller frees with free().
// n = 0 gives "". Null when the buffer cannot be allocated or n < 0.
char* base64_encode(const void* bytes, int32_t n);

// Decodes `length` characters (no terminator needed). Characters outside
// the alphabet are skipped, '=' counts as zero bits, an incomplete final
// group is dropped and '=' at the very end shortens the result. Returns a
// heap buffer of length + 8 bytes (freed with free()) holding the bytes and
// a NUL after them, with their count in `*out_count`; null with a count of
// 0 when length <= 0 or the buffer cannot be allocated.
uint8_t* base64_decode(const char* text, int32_t length, int32_t* out_count);
