#include "output/selection_memory.h"

#include <algorithm>
#include <cstdio>

#include "capture/selection.h"
#include "state/settings.h"

PixelRect selection_crop_rect(PixelPoint top_left, PixelPoint bottom_right) {
    return PixelRect{top_left.x, top_left.y, bottom_right.x + 1, bottom_right.y + 1};
}

int selection_square_size(int width, int height, int square, int* new_width, int* new_height) {
    if (square < kSquareMin) return 0;
    if (width <= square && height <= square) return 0;
    double f = std::max(double(width) / square, double(height) / square);
    // A very thin strip would round its short side to nothing, which the
    // scaler refuses; keep one pixel so the long side still fits the square.
    *new_width = std::max(1, int(width / f + 0.5));
    *new_height = std::max(1, int(height / f + 0.5));
    return 1;
}

std::string selection_history_entry(PixelPoint top_left, PixelPoint bottom_right) {
    char text[48];
    std::snprintf(text, sizeof text, "%lld,%lld",
                  (long long)bottom_right.x - top_left.x + 1,
                  (long long)bottom_right.y - top_left.y + 1);
    return text;
}

namespace {

int history_with(const char* old_text, const char* cur, std::string* out) {
    const std::string old = old_text;
    if (old.empty()) {
        *out = cur;
        return 1;
    }
    const std::string head = std::string(cur) + "@";
    size_t start = 0;
    for (int index = 0;; ++index) {
        size_t separator = old.find('@', start);
        size_t end = separator == std::string::npos ? old.size() : separator;
        // The entries before this one, without the separator between.
        std::string before = index == 0 ? std::string() : old.substr(0, start - 1);
        if (end == start) {
            // A damaged list ends at its first gap.
            *out = head + before;
            return 1;
        }
        if (old.compare(start, end - start, cur) == 0) {
            if (index == 0) return 0;
            *out = head + before + old.substr(end);
            return 1;
        }
        if (index >= kSizeHistoryMaxEntries - 1) {
            *out = head + before;
            return 1;
        }
        if (separator == std::string::npos) {
            *out = head + old;
            return 1;
        }
        start = separator + 1;
    }
}

}  // namespace

int selection_history_update(const char* old_text, const char* cur, std::string* out) {
    if (!history_with(old_text, cur, out)) return 0;
    // A hand-edited long entry must not push the list past what is read
    // back: whole entries go from the end.
    while (out->size() > size_t(kSizeHistoryMaxLength)) {
        size_t last = out->rfind('@');
        if (last == std::string::npos) break;
        out->erase(last);
    }
    return 1;
}

void selection_remember(PixelPoint top_left, PixelPoint bottom_right) {
    selection_save_corners(top_left, bottom_right);

    char old_text[kSizeHistoryBufferSize];
    settings_read_string(kSectionWindow, "WH_His", old_text, sizeof old_text);
    std::string cur = selection_history_entry(top_left, bottom_right);
    std::string text;
    if (selection_history_update(old_text, cur.c_str(), &text))
        settings_write_string(kSectionWindow, "WH_His", text.c_str());
}
