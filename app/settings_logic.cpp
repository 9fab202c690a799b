#include "app/settings_logic.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "state/settings.h"
#include "sys/paths.h"

namespace {
constexpr int kVkF1 = 112;
constexpr int kFunctionKeys = 24;
constexpr size_t kTailLimit = 34;
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

std::string editor_path_tail(const char* path) {
    if (!path || !*path) return std::string();
    std::vector<const char*> slashes;
    for (const char* p = path; *p; ++p) {
        if (sjis_is_lead_byte(static_cast<unsigned char>(*p))) {
            if (!p[1]) break;
            ++p;
        } else if (*p == '\\') {
            slashes.push_back(p);
        }
    }
    if (slashes.empty()) return std::string();
    const size_t n = slashes.size();
    for (size_t back = 3; back >= 2; --back)
        if (n >= back && std::strlen(slashes[n - back]) < kTailLimit) return slashes[n - back];
    return slashes[n - 1];
}

int scaling_from_text(const char* text) {
    const long long value = parse_unsigned(text);
    return value >= 100 && value <= 200 ? int(value) : 100;
}
