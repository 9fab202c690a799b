#include "output/image_file_output.h"

#include <climits>
#include <cstdlib>

#include "output/image_writer.h"
#include "scrap/text.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "sys/files.h"
#include "ui/clipboard_text.h"
#include "ui/notice.h"

namespace {

const char kNoticeFile[] = "ファイルに選択範囲の画像を出力しました．";
constexpr int kShortSettingSize = 16;

// Saves the clipboard's text beside the image file when there is some.
// A text that cannot be written is reported; the picture is out already.
void save_companion_text(HWND owner, const char* image_path) {
    int opened = 0;
    char* text = clipboard_copy_text(g_app.main_window, &opened);
    if (!text) return;
    char path[kPathSize];
    if (!companion_text_name(image_path, path, sizeof path) || !write_text_file(text, path))
        show_warning(owner, kMsgFileWrite);
    std::free(text);
}

// Writes the file; 1 on success, else 0 with the user told (or silent when
// the overwrite was declined).
int write_numbered_file(HWND owner, PackedDib image, char* path, int* number) {
    char folder[kPathSize] = {};
    settings_read_string(kSectionOutput, "OutputFolder", folder, sizeof folder);
    if (!fs_exists(folder)) {
        show_warning(owner, kMsgOutputFolderMissing);
        return 0;
    }
    char prefix[kShortSettingSize] = {}, type[kShortSettingSize] = {};
    settings_read_string(kSectionOutput, "Prefix", prefix, sizeof prefix);
    // A hand-edited prefix such as "..\x" would write outside the folder.
    if (!file_prefix_ok(prefix)) {
        show_warning(owner, kMsgBadPrefix);
        return 0;
    }
    *number = settings_read_int(kSectionOutput, "Number", 1);
    settings_read_string(kSectionOutput, "Type", type, sizeof type);
    if (!image_file_name(folder, prefix, *number, type, path, kPathSize)) {
        // Cutting the name would write some other file.
        show_warning(owner, kMsgImageFile);
        return 0;
    }
    if (fs_exists(path)) {
        // The last number's file is the picture taken there before: it is
        // never offered for overwriting, since the number cannot move on.
        if (*number == INT_MAX) {
            show_warning(owner, kMsgNumberExhausted);
            return 0;
        }
        if (!confirm_yes_no(owner, message_text(kMsgOverwrite))) return 0;
    }
    int quality = settings_read_int(kSectionOutput, "JpegQuality", kDefaultQuality);
    int error = image_write_as(image, type, path, quality);
    if (error) {
        show_warning(owner, error);
        return 0;
    }
    return 1;
}

}  // namespace

int image_file_output(HWND owner, PackedDib image) {
    char path[kPathSize] = {};
    int number = 0;
    int written = write_numbered_file(owner, image, path, &number);
    mem_free(image);
    if (!written) return 0;
    if (g_app.flags & kFlagUseClipboardText) save_companion_text(owner, path);
    settings_write_int(kSectionOutput, "Number", number < INT_MAX ? number + 1 : number);
    show_notice(owner, kNoticeCaption, kNoticeFile);
    // The picture is saved; the user must now set a lower number.
    if (number == INT_MAX) show_warning(owner, kMsgNumberExhausted);
    return 1;
}
