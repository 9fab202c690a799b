#include "capture/constraints.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "state/settings.h"

namespace {

const char kFree[] = "フリー";
const char* const kPresetTexts[7] = {kFree, "16/9", "3/2", "4/3", "1/1", "3/4", "2/3"};
const int kPresetWidths[] = {16, 32, 48, 64, 96, 100, 120, 160, 180, 200,
                             240, 300, 320, 480, 600, 640};
constexpr int kPresetCount = 6;

constexpr SizeMenuChoice kSizeMenuCommands[] = {
    SizeMenuChoice::kTypeSize, SizeMenuChoice::kToggleFixed, SizeMenuChoice::kToggleAspect,
    SizeMenuChoice::kRememberSize};

// Splits the history at "@" until its end or the first empty entry.
std::vector<std::string> history_entries(const char* history) {
    std::vector<std::string> entries;
    const char* p = history ? history : "";
    while (*p) {
        const char* at = std::strchr(p, '@');
        size_t length = at ? size_t(at - p) : std::strlen(p);
        if (length == 0) break;
        entries.emplace_back(p, length);
        if (!at) break;
        p = at + 1;
    }
    return entries;
}

}  // namespace

void constraint_set_aspect(int aspect) {
    g_app.aspect = aspect;
    settings_write_int(kSectionWindow, "Aspect", aspect);
}

void constraint_set_width(int fixed_width) {
    g_app.fixed_width = fixed_width;
    settings_write_int(kSectionWindow, "Width", fixed_width);
}

int custom_aspect(int w, int h) { return int(uint32_t(w) << 16 | uint32_t(h & 0xFFFF)); }

std::string aspect_text(int aspect) {
    if (aspect < 0) return std::string();
    if (aspect <= kPresetCount) return kPresetTexts[aspect];
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d", int(int16_t(uint32_t(aspect) >> 16)),
                  int(uint32_t(aspect) & 0xFFFF));
    return text;
}

std::string width_text(int fixed_width) {
    if (fixed_width == 0) return kFree;
    char text[32];
    std::snprintf(text, sizeof text, "%u", unsigned(fixed_width));
    return text;
}

bool constraint_value_ok(long long value) {
    return value >= kConstraintMin && value <= kConstraintMax;
}

std::vector<MenuEntry> width_menu_entries() {
    std::vector<MenuEntry> menu;
    menu.push_back(menu_item(kWidthMenuFree, kFree));
    for (int width : kPresetWidths) menu.push_back(menu_item(width, std::to_string(width)));
    menu.push_back(menu_item(kWidthMenuCustom, "カスタム"));
    menu.push_back(menu_separator());
    menu.push_back(menu_item(0, "ﾒﾆｭｰを閉じる"));
    return menu;
}

int size_menu_entry_count(const char* history) { return int(history_entries(history).size()); }

std::string size_history_entry(const char* history, int index) {
    std::vector<std::string> entries = history_entries(history);
    return index >= 0 && index < int(entries.size()) ? entries[size_t(index)] : std::string();
}

std::vector<MenuEntry> size_menu_entries(const char* history, int aspect, uint32_t capture_flags) {
    std::vector<MenuEntry> menu;
    std::vector<std::string> entries = history_entries(history);
    const int n = int(entries.size());
    if (n == 0) return menu;
    for (int i = 0; i < n; ++i) menu.push_back(menu_item(i + 1, entries[size_t(i)]));
    menu.push_back(menu_item(size_menu_id(SizeMenuChoice::kTypeSize, n), "矩形サイズを入力する"));
    menu.push_back(menu_separator());
    menu.push_back(menu_item(size_menu_id(SizeMenuChoice::kToggleFixed, n), "矩形サイズを固定する",
                             (capture_flags & kCaptureFixed) != 0));
    if (aspect > 0)
        menu.push_back(menu_item(size_menu_id(SizeMenuChoice::kToggleAspect, n), "縦横比を固定する",
                                 (capture_flags & kCaptureAspectReleased) == 0));
    menu.push_back(menu_separator());
    menu.push_back(
        menu_item(size_menu_id(SizeMenuChoice::kRememberSize, n), "現在の矩形サイズを次回再現する"));
    menu.push_back(menu_separator());
    menu.push_back(menu_item(0, "メニューを閉じる"));
    return menu;
}

int size_menu_id(SizeMenuChoice command, int entry_count) {
    // The commands follow the entries after one unused id.
    for (int i = 0; i < int(std::size(kSizeMenuCommands)); ++i)
        if (kSizeMenuCommands[i] == command) return entry_count + 2 + i;
    return 0;
}

SizeMenuChoice size_menu_choice(int id, int entry_count, int* entry) {
    if (id >= 1 && id <= entry_count) {
        *entry = id - 1;
        return SizeMenuChoice::kEntry;
    }
    for (SizeMenuChoice command : kSizeMenuCommands)
        if (id == size_menu_id(command, entry_count)) return command;
    return SizeMenuChoice::kNone;
}

int size_entry_request(const std::string& entry, int* dw, int* dh) {
    size_t comma = entry.find(',');
    if (comma == std::string::npos) return 0;
    *dw = std::atoi(entry.substr(0, comma).c_str()) - 1;
    *dh = std::atoi(entry.c_str() + comma + 1) - 1;
    return 1;
}

int remembered_size(PixelPoint top_left, PixelPoint bottom_right, int* aspect, int* width) {
    const long long w = (long long)bottom_right.x - top_left.x + 1;
    const long long h = (long long)bottom_right.y - top_left.y + 1;
    if (!constraint_value_ok(w) || !constraint_value_ok(h)) return 0;
    *aspect = custom_aspect(int(w), int(h));
    *width = int(w);
    return 1;
}

int chooser_button_for(int aspect) {
    if (aspect == kAspectFree) return IDC_CHOOSER_FREE;
    if (aspect >= 1 && aspect <= kPresetCount) return IDC_CHOOSER_16_9 + aspect - 1;
    return IDC_CHOOSER_CUSTOM;
}

int chooser_preset_for(int button) {
    if (button >= IDC_CHOOSER_16_9 && button < IDC_CHOOSER_16_9 + kPresetCount)
        return button - IDC_CHOOSER_16_9 + 1;
    if (button == IDC_CHOOSER_FREE) return kAspectFree;
    return -1;
}
