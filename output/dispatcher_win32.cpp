#include "output/dispatcher.h"

#include <cstdio>

#include "state/app_state.h"
#include "state/messages.h"
#include "state/warnings.h"
#include "capture/overlay.h"
#include "image/bmp.h"
#include "image/dib.h"
#include "image/scale.h"
#include "output/base64_output.h"
#include "output/image_file_output.h"
#include "output/selection_memory.h"
#include "ui/notice.h"

namespace {

// The hand-over file of a linked application, in the data folder.
const char kLinkedImageName[] = "$image.bmp";

const char kNoticeLinked[] = "連携アプリケーションに選択範囲の画像を転送しました．";
const char kNoticeClipboard[] = "クリップボードに選択範囲の画像をコピーしました．";

bool linked_app_alive() { return g_app.linked_window && IsWindow(g_app.linked_window); }

// Writes the picture for the linked application and tells it. Takes the
// image and ends capture mode.
void output_to_linked_app(HWND owner, PackedDib image) {
    char path[kPathSize];
    int length = std::snprintf(path, sizeof path, "%s%s", g_app.data_folder, kLinkedImageName);
    // A cut path would name some other file.
    bool written = length > 0 && length < int(sizeof path) && bmp_write(image, path);
    mem_free(image);
    capture_end();
    if (!written) {
        show_warning(owner, kMsgBmpFile);
        return;
    }
    PostMessageA(g_app.linked_window, g_app.linked_message, 0, 0);
    show_notice(owner, kNoticeCaption, kNoticeLinked);
}

// Shrinks the picture to the configured square. Returns the picture to go
// on with, or null (image freed, capture ended, user told) when it cannot
// be read.
PackedDib shrink_to_square(HWND owner, PackedDib image) {
    if (g_app.square < kSquareMin) return image;
    int width = 0, height = 0;
    bool locked = false;
    {
        MemLock<const DibHeader> header(image);
        if ((locked = bool(header))) {
            width = header->biWidth;
            height = header->biHeight;
        }
    }
    if (!locked) {
        capture_end();
        mem_free(image);
        show_warning(owner, kMsgBadImage);
        return nullptr;
    }
    int new_width, new_height;
    if (!selection_square_size(width, height, g_app.square, &new_width, &new_height))
        return image;
    // A failed scaling is not fatal: the picture goes out at its own size.
    PackedDib scaled = dib_scale(image, new_width, new_height);
    if (!scaled) return image;
    mem_free(image);
    return scaled;
}

// Puts the picture on the clipboard as CF_DIB; the clipboard takes the
// block. 1 on success; on failure the image is freed and the user told.
int output_to_clipboard(HWND owner, PackedDib image) {
    if (!OpenClipboard(g_app.main_window)) {
        show_warning(owner, kMsgClipboardOpen);
        mem_free(image);
        return 0;
    }
    EmptyClipboard();
    HANDLE taken = SetClipboardData(CF_DIB, image);
    CloseClipboard();
    if (!taken) {
        // The block is still ours and nothing was copied.
        mem_free(image);
        show_warning(owner, kMsgClipboardImage);
        return 0;
    }
    show_notice(owner, kNoticeCaption, kNoticeClipboard);
    return 1;
}

// Delivers the picture in the chosen way; takes the image. 1 when the
// selection is to be remembered. The clipboard owns the block once it has
// it; BASE64 output leaves the image to us; the file output frees it.
int deliver(HWND owner, PackedDib image) {
    if (g_app.flags & kFlagOutputClipboard) return output_to_clipboard(owner, image);
    if (g_app.flags & kFlagOutputBase64) {
        int done = base64_output(owner, image);
        mem_free(image);
        return done;
    }
    if (g_app.flags & kFlagOutputFile) return image_file_output(owner, image);
    // No output chosen: nothing goes out, and the selection still counts.
    mem_free(image);
    return 1;
}

void deliver_selection(HWND owner) {
    // Scaling runs the message pump; keep the corners as they were confirmed.
    const PixelPoint top_left = g_app.capture.top_left, bottom_right = g_app.capture.bottom_right;
    PixelRect rect = selection_crop_rect(top_left, bottom_right);
    PackedDib image = dib_crop24(g_app.capture.screen_image, &rect);
    if (!image) {
        capture_end();
        show_warning(owner, kMsgClipboardImage);
        return;
    }

    // A linked application takes the picture as cut, whatever else is set.
    if (linked_app_alive()) {
        g_app.capture.busy = 0;  // nothing pumps before the capture ends
        output_to_linked_app(owner, image);
        return;
    }

    image = shrink_to_square(owner, image);
    // From here on nothing runs the pump before the capture has ended; the
    // notices and warnings that follow may let a new capture start.
    g_app.capture.busy = 0;
    if (!image) return;
    capture_end();

    if (deliver(owner, image)) selection_remember(top_left, bottom_right);
}

}  // namespace

void output_selection(HWND owner) {
    // Only a capture delivers, once: scaling runs the message pump, and a
    // second confirmation arriving meanwhile must not start another output.
    CaptureState& capture = g_app.capture;
    if (!(capture.capture_flags & kCaptureActive) || !capture.screen_image || capture.busy) return;
    const CaptureBusy delivering(&capture);
    deliver_selection(owner);
}
