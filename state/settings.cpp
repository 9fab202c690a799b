#include "state/settings.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "state/app_state.h"
#include "sys/profile.h"

const char kSectionSystem[] = "System";
const char kSectionWindow[] = "Window";
const char kSectionOption[] = "Option";
const char kSectionOutput[] = "Output";
const char kSectionCustom[] = "Custom";

int settings_atoi(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > 1LL + INT_MAX) value = 1LL + INT_MAX;
    }
    if (negative) return value > INT_MAX ? INT_MIN : int(-value);
    return value > INT_MAX ? INT_MAX : int(value);
}

long long parse_unsigned(const char* text) {
    if (!text || !*text) return -1;
    long long value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return -1;
        if (value < 100000000000LL) value = value * 10 + (*p - '0');
    }
    return value;
}

int settings_read_int(const char* section, const char* key, int def) {
    char def_text[16];
    std::snprintf(def_text, sizeof def_text, "%d", def);
    char buffer[16];
    profile_get_string(section, key, def_text, buffer, sizeof buffer, g_app.ini_path);
    return settings_atoi(buffer);
}

void settings_write_int(const char* section, const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    profile_write_string(section, key, text, g_app.ini_path);
}

void settings_parse_rect(const char* text, PixelRect* rect) {
    *rect = PixelRect{0, 0, 0, 0};
    if (!text[0]) return;
    const char* c1 = std::strchr(text, ',');
    const char* c2 = c1 ? std::strchr(c1 + 1, ',') : nullptr;
    const char* c3 = c2 ? std::strchr(c2 + 1, ',') : nullptr;
    if (!c3) return;
    rect->left = settings_atoi(text);
    rect->top = settings_atoi(c1 + 1);
    rect->right = settings_atoi(c2 + 1);
    rect->bottom = settings_atoi(c3 + 1);
}

void settings_read_rect(const char* key, PixelRect* rect) {
    char text[64];
    profile_get_string(kSectionWindow, key, "", text, sizeof text, g_app.ini_path);
    settings_parse_rect(text, rect);
}

void settings_write_rect(const char* key, const PixelRect& rect) {
    char text[64];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", int(rect.left), int(rect.top),
                  int(rect.right), int(rect.bottom));
    profile_write_string(kSectionWindow, key, text, g_app.ini_path);
}

int settings_read_string(const char* section, const char* key, char* out, int size) {
    return profile_get_string(section, key, "", out, size, g_app.ini_path);
}

void settings_write_string(const char* section, const char* key, const char* value) {
    profile_write_string(section, key, value, g_app.ini_path);
}

int settings_normalise_scaling(int percent) {
    return percent < 100 || percent > 200 ? 100 : percent;
}

int settings_normalise_square(int square) { return square < 64 ? 0 : square; }

void settings_load_kept() {
    g_app.flags = settings_read_int(kSectionSystem, "Flags", kDefaultFlags);
    g_app.aspect = settings_read_int(kSectionWindow, "Aspect", 0);
    g_app.fixed_width = settings_read_int(kSectionWindow, "Width", 0);
    g_app.scaling_percent =
        settings_normalise_scaling(settings_read_int(kSectionWindow, "Scaling", 100));
    g_app.background_colour = uint32_t(settings_read_int(kSectionWindow, "BackGroundColor", 0));
    g_app.square = settings_normalise_square(settings_read_int(kSectionOutput, "Square", 0));
}
