#include "output/base64_output.h"

#include <cstdlib>

#include "output/scrap_item.h"
#include "scrap/scrap_format.h"
#include "scrap/text.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "ui/clipboard_text.h"
#include "ui/notice.h"

namespace {

const char kNoticeToClipboard[] = "クリップボードに、BASE64形式データをコピーしました．";
const char kNoticeToScrap[] = "スクラップに、BASE64形式データを追加しました．";

// Heading, link and text from the clipboard when Flags 0x800 asks for
// them. 0 when the clipboard cannot be opened (the user has been told).
int take_clipboard_parts(HWND window, ClipboardParts* parts) {
    *parts = ClipboardParts{};
    if (!(g_app.flags & kFlagUseClipboardText)) return 1;
    int opened = 0;
    char* text = clipboard_copy_text(window, &opened);
    if (!opened) {
        show_warning(window, kMsgClipboardOpen);
        return 0;
    }
    int ok = split_clipboard_text(text, parts);
    std::free(text);
    if (!ok) {
        show_warning(window, kMsgNoMemory);
        return 0;
    }
    return 1;
}

int item_to_clipboard(HWND window, const char* item) {
    int error = clipboard_put_text(window, item);
    if (error) {
        show_warning(window, error);
        return 0;
    }
    show_notice(window, kNoticeCaption, kNoticeToClipboard);
    return 1;
}

// Puts the item before the scrap's insert place. The file is replaced in
// one step, so a failure never loses the items it holds; it is handled as
// bytes of known length, so a NUL byte in it cuts nothing.
int item_to_scrap(HWND window, const char* item) {
    char path[kPathSize] = {};
    settings_read_string(kSectionOutput, "HtmlFile", path, sizeof path);
    size_t size = 0;
    char* file_text = path[0] ? read_text_file(path, &size) : nullptr;
    if (!file_text) {
        show_warning(window, kMsgHtmlRead);
        return 0;
    }
    int error = 0;
    char* updated = scrap_insert_item(file_text, size, item, &size, &error);
    std::free(file_text);
    if (!updated) {
        show_warning(window, error);
        return 0;
    }
    int written = replace_file_atomically(updated, size, path);
    std::free(updated);
    if (!written) {
        show_warning(window, kMsgHtmlCreate);
        return 0;
    }
    show_notice(window, kNoticeCaption, kNoticeToScrap);
    return 1;
}

}  // namespace

int base64_output(HWND window, PackedDib image) {
    ClipboardParts parts;
    if (!take_clipboard_parts(window, &parts)) return 0;
    int error = 0;
    char* item = build_scrap_item(parts.heading, parts.link, parts.text, image, &error);
    clipboard_parts_free(&parts);
    if (!item) {
        if (error) show_warning(window, error);
        return 0;
    }
    int done = g_app.flags & kFlagBase64ToScrap ? item_to_scrap(window, item)
                                                : item_to_clipboard(window, item);
    std::free(item);
    return done;
}
