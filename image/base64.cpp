#include "image/base64.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

// Both tables are derived from the one alphabet at compile time.

// Two output characters for every 12-bit value, in memory order.
struct PairTable {
    char c[4096][2];
};
constexpr PairTable make_pairs() {
    PairTable t{};
    for (int v = 0; v < 4096; ++v) {
        t.c[v][0] = kBase64Alphabet[v >> 6];
        t.c[v][1] = kBase64Alphabet[v & 63];
    }
    return t;
}
constexpr PairTable kPairs = make_pairs();

// For each byte and each position in a group of four, the value already
// shifted into its place in the 24-bit group. A pad marks itself with
// kPadBit and any other byte outside the alphabet with kSkipBit, so one
// test on the OR of four entries tells whether a group is plain digits.
constexpr uint32_t kPadBit = 0x01000000;
constexpr uint32_t kSkipBit = 0x02000000;
constexpr uint32_t kSpecial = kPadBit | kSkipBit;
struct DecodeTable {
    uint32_t v[4][256];
};
constexpr DecodeTable make_decode() {
    DecodeTable t{};
    for (int pos = 0; pos < 4; ++pos)
        for (int b = 0; b < 256; ++b) t.v[pos][b] = kSkipBit;
    for (int i = 0; i < 64; ++i) {
        unsigned char ch = static_cast<unsigned char>(kBase64Alphabet[i]);
        for (int pos = 0; pos < 4; ++pos) t.v[pos][ch] = uint32_t(i) << (18 - 6 * pos);
    }
    for (int pos = 0; pos < 4; ++pos) t.v[pos]['='] = kPadBit;
    return t;
}
constexpr DecodeTable kDecode = make_decode();

inline void put_group(uint8_t* out, uint32_t group) {
    out[0] = uint8_t(group >> 16);
    out[1] = uint8_t(group >> 8);
    out[2] = uint8_t(group);
}

}  // namespace

char* base64_encode(const void* bytes, int32_t n) {
    if (n < 0 || (n > 0 && !bytes)) return nullptr;
    const size_t groups = (size_t(n) + 2) / 3;
    char* text = static_cast<char*>(std::malloc(groups * 4 + 1));
    if (!text) return nullptr;
    const uint8_t* in = static_cast<const uint8_t*>(bytes);
    const size_t full = size_t(n) / 3 * 3;
    char* out = text;
    size_t i = 0;
    for (; i + 6 <= full; i += 6, out += 8) {
        uint32_t a = uint32_t(in[i]) << 16 | uint32_t(in[i + 1]) << 8 | in[i + 2];
        uint32_t b = uint32_t(in[i + 3]) << 16 | uint32_t(in[i + 4]) << 8 | in[i + 5];
        std::memcpy(out, kPairs.c[a >> 12], 2);
        std::memcpy(out + 2, kPairs.c[a & 0xFFF], 2);
        std::memcpy(out + 4, kPairs.c[b >> 12], 2);
        std::memcpy(out + 6, kPairs.c[b & 0xFFF], 2);
    }
    for (; i < full; i += 3, out += 4) {
        uint32_t a = uint32_t(in[i]) << 16 | uint32_t(in[i + 1]) << 8 | in[i + 2];
        std::memcpy(out, kPairs.c[a >> 12], 2);
        std::memcpy(out + 2, kPairs.c[a & 0xFFF], 2);
    }
    const size_t rest = size_t(n) - full;
    if (rest == 1) {
        uint8_t b0 = in[full];
        out[0] = kBase64Alphabet[b0 >> 2];
        out[1] = kBase64Alphabet[(b0 & 0x03) << 4];
        out[2] = kBase64Alphabet[64];
        out[3] = kBase64Alphabet[64];
        out += 4;
    } else if (rest == 2) {
        uint8_t b0 = in[full], b1 = in[full + 1];
        out[0] = kBase64Alphabet[b0 >> 2];
        out[1] = kBase64Alphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
        out[2] = kBase64Alphabet[(b1 & 0x0F) << 2];
        out[3] = kBase64Alphabet[64];
        out += 4;
    }
    *out = '\0';
    return text;
}

uint8_t* base64_decode(const char* text, int32_t length, int32_t* out_count) {
    if (out_count) *out_count = 0;
    if (length <= 0 || !text) return nullptr;
    const size_t len = size_t(length);
    uint8_t* buffer = static_cast<uint8_t*>(std::malloc(len + 8));
    if (!buffer) return nullptr;
    const uint8_t* in = reinterpret_cast<const uint8_t*>(text);
    const uint32_t* const d0 = kDecode.v[0];
    const uint32_t* const d1 = kDecode.v[1];
    const uint32_t* const d2 = kDecode.v[2];
    const uint32_t* const d3 = kDecode.v[3];
    size_t o = 0, j = 0;
    bool complete = true;
    while (j < len) {
        // Plain runs: eight digits, six bytes, one test.
        while (j + 8 <= len) {
            uint32_t a = d0[in[j]] | d1[in[j + 1]] | d2[in[j + 2]] | d3[in[j + 3]];
            uint32_t b = d0[in[j + 4]] | d1[in[j + 5]] | d2[in[j + 6]] | d3[in[j + 7]];
            if ((a | b) & kSpecial) break;
            put_group(buffer + o, a);
            put_group(buffer + o + 3, b);
            o += 6;
            j += 8;
        }
        if (j + 4 <= len) {
            uint32_t a = d0[in[j]] | d1[in[j + 1]] | d2[in[j + 2]] | d3[in[j + 3]];
            if (!(a & kSpecial)) {
                put_group(buffer + o, a);
                o += 3;
                j += 4;
                continue;
            }
        }
        // One group the slow way: skip what is not in the alphabet, take a
        // pad as zero bits.
        uint32_t group = 0;
        int have = 0;
        while (have < 4 && j < len) {
            uint32_t v = kDecode.v[have][in[j++]];
            if (v & kSkipBit) continue;
            if (!(v & kPadBit)) group |= v;
            ++have;
        }
        if (have < 4) {
            // An incomplete group at the end is dropped, and its pads are
            // not counted. Mere trailing line ends or spaces (no value at
            // all) end the text normally, so the pads before them count.
            complete = have == 0;
            break;
        }
        put_group(buffer + o, group);
        o += 3;
    }
    size_t count = o;
    if (complete) {
        // Pads at the very end, possibly followed by line ends or other
        // control bytes, shorten the result.
        size_t pads = 0;
        for (size_t k = len - 1; k > 0; --k) {
            signed char ch = static_cast<signed char>(in[k]);
            if (ch == '=') ++pads;
            else if (ch >= 0x20) break;
        }
        // More pads than decoded bytes (a text of nothing but '=') would
        // give a negative count; there is simply nothing then.
        count = pads < o ? o - pads : 0;
    }
    buffer[count] = 0;
    if (out_count) *out_count = int32_t(count);
    return buffer;
}
