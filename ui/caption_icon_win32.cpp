#include "ui/caption_icon.h"

#include "state/app_state.h"
#include "state/instance.h"
#include "resources/resource_ids.h"
#include "ui/dpi.h"

namespace {

// The small icon on the caption of the dialog that opened last.
HICON caption_icon;

}  // namespace

void set_caption_icon(HWND dialog, int dpi) {
    destroy_caption_icon();
    const int side = small_icon_metric(dpi > 0 ? dpi : window_dpi(dialog));
    caption_icon = static_cast<HICON>(
        LoadImageA(app_instance(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, side, side, 0));
    if (caption_icon) SendMessageA(dialog, WM_SETICON, ICON_SMALL, LPARAM(caption_icon));
}

void destroy_caption_icon() {
    if (caption_icon) DestroyIcon(caption_icon);
    caption_icon = nullptr;
}
