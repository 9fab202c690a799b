#include "output/output_settings_logic.h"

#include <cstring>
#include <vector>

#include "state/messages.h"
#include "sys/paths.h"

namespace {

constexpr size_t kTailLimit = 34;
constexpr int kDefaultQuality = 80;
constexpr int kQualityMin = 30;
constexpr int kQualityMax = 100;
constexpr int kSquareMin = 64;

std::vector<const char*> backslashes(const char* path) {
    std::vector<const char*> found;
    for (const char* p = path; p && *p; ++p) {
        if (sjis_is_lead_byte(static_cast<unsigned char>(*p))) {
            if (!p[1]) break;
            ++p;
        } else if (*p == '\\') {
            found.push_back(p);
        }
    }
    return found;
}

// The value of a field of digits only; -1 otherwise.
long long digits(const char* text) {
    if (!text || !*text) return -1;
    long long value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return -1;
        if (value < 100000000000LL) value = value * 10 + (*p - '0');
    }
    return value;
}

}  // namespace

std::string folder_tail(const char* path) {
    const std::vector<const char*> s = backslashes(path);
    const size_t n = s.size();
    if (n >= 3 && std::strlen(s[n - 3]) < kTailLimit) return s[n - 3];
    if (n >= 2) return s[n - 2];
    return path ? path : "";
}

std::string scrap_file_tail(const char* path) {
    const std::vector<const char*> s = backslashes(path);
    const size_t n = s.size();
    if (n == 0) return std::string();
    if (n >= 3 && std::strlen(s[n - 3]) < kTailLimit) return s[n - 3];
    if (n >= 2 && std::strlen(s[n - 2]) < kTailLimit) return s[n - 2];
    return s[n - 1];
}

int square_from_text(const char* text) {
    const long long v = digits(text);
    return v >= kSquareMin && v <= 0x7FFFFFFF ? int(v) : 0;
}

int quality_from_text(const char* text, int* quality) {
    const long long v = digits(text);
    if (v < 0) {
        *quality = kDefaultQuality;
        return 0;
    }
    if (v < kQualityMin || v > kQualityMax) return kMsgBadJpegQuality;
    *quality = int(v);
    return 0;
}

int file_number_from_text(const char* text) {
    const long long v = digits(text);
    return v < 0 || v > 0x7FFFFFFF ? 1 : int(v);
}

int output_control_enabled(OutputKind kind, int id) {
    if (kind == OutputKind::kNone) return -1;
    const bool file = kind == OutputKind::kFile, base64 = kind == OutputKind::kBase64;
    switch (id) {
        case 1029: case 1030: case 1032: case 1023: case 1026:
            return file || base64;
        case 1017: case 1014: case 1033: case 1034:
            return file;
        case 1039: case 1040: case 1041: case 1018: case 1015: case 1043: case 1044:
            return base64;
    }
    return 1;  // the kind radios and the square field
}
