#include "app/settings_logic.h"

#include <cctype>
#include <cstring>

#include "state/settings.h"

namespace {
constexpr int kVkF1 = 112;
constexpr int kFunctionKeys = 24;
}  // namespace

std::string hotkey_key_text(int vk) {
    if (vk >= 'A' && vk <= 'Z') return std::string(1, char(vk));
    if (vk >= kVkF1 && vk < kVkF1 + kFunctionKeys) return std::to_string(vk - kVkF1 + 1);
    return std::string();
}

int hotkey_key_from_text(const char* text) {
    const char c0 = text[0];
    if ((c0 >= 'a' && c0 <= 'z') || (c0 >= 'A' && c0 <= 'Z')) return std::toupper(c0);
    // Only an empty field or "0" asks for no hotkey; any other text is a key
    // that cannot be used, which must not cost the user the hotkey they have.
    if (!c0 || !std::strcmp(text, "0")) return 0;
    if (c0 < '1' || c0 > '9') return kHotkeyBadKey;
    int number = c0 - '0';
    if (text[1] >= '0' && text[1] <= '9') number = number * 10 + (text[1] - '0');
    // Only function keys have numbers; "25" and up name no key.
    return number <= kFunctionKeys ? kVkF1 + number - 1 : kHotkeyBadKey;
}

int scaling_from_text(const char* text) {
    const long long value = parse_unsigned(text);
    return value >= 100 && value <= 200 ? int(value) : 100;
}
