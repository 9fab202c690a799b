#include "state/app_state.h"

AppState g_app;

void capture_release_screen(CaptureState* capture) {
    if (capture->screen_image) {
        if (capture->screen_header) mem_unlock(capture->screen_image);
        if (capture->take_back_screen)
            capture->take_back_screen(capture->screen_image);
        else
            mem_free(capture->screen_image);
    }
    capture->screen_image = nullptr;
    capture->screen_header = nullptr;
    capture->screen_bits = nullptr;
    capture->screen_stride = 0;
}
