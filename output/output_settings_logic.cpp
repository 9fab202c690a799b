#include "output/output_settings_logic.h"

#include <cstring>

#include "output/image_writer.h"
#include "output/selection_memory.h"
#include "resources/resource_ids.h"
#include "state/messages.h"
#include "state/settings.h"
#include "sys/paths.h"
#include "ui/path_tail.h"

namespace {

constexpr int kQualityMin = 30;
constexpr int kQualityMax = 100;

}  // namespace

std::string folder_tail(const char* path) {
    if (!path) return std::string();
    const char* end = path + std::strlen(path);
    const char* third = sjis_find_nth_last(path, end, '\\', 3);
    if (third && size_t(end - third) < kPathTailLimit) return third;
    const char* second = sjis_find_nth_last(path, end, '\\', 2);
    return second ? second : path;
}

int square_from_text(const char* text) {
    const long long v = parse_unsigned(text);
    return v >= kSquareMin && v <= 0x7FFFFFFF ? int(v) : 0;
}

int quality_from_text(const char* text, int* quality) {
    const long long v = parse_unsigned(text);
    if (v < 0) {
        *quality = kDefaultQuality;
        return 0;
    }
    if (v < kQualityMin || v > kQualityMax) return kMsgBadJpegQuality;
    *quality = int(v);
    return 0;
}

int file_number_from_text(const char* text) {
    const long long v = parse_unsigned(text);
    return v < 0 || v > 0x7FFFFFFF ? 1 : int(v);
}

int output_control_enabled(OutputKind kind, int id) {
    if (kind == OutputKind::kNone) return -1;
    const bool file = kind == OutputKind::kFile, base64 = kind == OutputKind::kBase64;
    switch (id) {
        case IDC_OUT_JPEG:
        case IDC_OUT_GIF:
        case IDC_OUT_PNG:
        case IDC_OUT_BMP:
        case IDC_OUT_QUALITY:
        case IDC_OUT_USE_TEXT:
            return file || base64;
        case IDC_OUT_FOLDER:
        case IDC_OUT_FOLDER_PICK:
        case IDC_OUT_PREFIX:
        case IDC_OUT_NUMBER:
            return file;
        case IDC_OUT_WRAP_RIGHT:
        case IDC_OUT_WRAP_LEFT:
        case IDC_OUT_WRAP_NONE:
        case IDC_OUT_SCRAP:
        case IDC_OUT_SCRAP_PICK:
        case IDC_OUT_TO_SCRAP:
        case IDC_OUT_TO_CLIPBOARD:
            return base64;
    }
    return 1;  // the kind radios and the square field
}
