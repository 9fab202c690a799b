// The small parsers of outside text in one target, the first byte choosing
// which: the clipboard text split, the part marker search, the settings'
// number and rectangle rules, and the line-end conversions.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "output/scrap_item.h"
#include "scrap/scrap_format.h"
#include "scrap/text.h"
#include "state/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 1 << 16) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const char* s = text.c_str();  // up to the first NUL, as the program reads it
    switch (data[0] % 4) {
        case 0: {
            ClipboardParts parts;
            if (!split_clipboard_text(s, &parts)) __builtin_trap();
            // The parts come from the text and fit its limits.
            if (parts.heading && std::strlen(parts.heading) >= size_t(kPartLineLimit)) __builtin_trap();
            if (parts.link && std::strlen(parts.link) >= size_t(kPartLineLimit)) __builtin_trap();
            if (parts.text && !std::strstr(s, parts.text)) __builtin_trap();
            clipboard_parts_free(&parts);
            break;
        }
        case 1: {
            const char* marker = find_part_marker(s);
            if (marker && (marker < s || std::strncmp(marker, kPartMarkerPrefix, 24) != 0 ||
                           std::strlen(marker) < size_t(kPartMarkerLength)))
                __builtin_trap();
            break;
        }
        case 2: {
            (void)settings_atoi(s);
            PixelRect r;
            settings_parse_rect(s, &r);
            if (!std::strchr(s, ',') && (r.left || r.top || r.right || r.bottom)) __builtin_trap();
            break;
        }
        case 3: {
            char* html = text_to_html(s);
            if (html) {
                char* back = html_to_text(html, nullptr);
                // Only "<br>\r\n" the text already held can differ.
                if (!std::strstr(s, "<br>\r\n") && (!back || std::strcmp(back, s) != 0))
                    __builtin_trap();
                std::free(back);
            }
            std::free(html);
            break;
        }
    }
    return 0;
}
