// Times the capture path inside the program, under the real window system:
// from UM_START_CAPTURE to the end of the overlay's first paint (grab,
// conversion, show, paint), and one corner move in each display mode.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "app/main_window.h"
#include "state/window_messages.h"
#include "capture/overlay.h"

namespace {

WNDPROC program_proc = nullptr;
bool painted = false;

// Lets the program handle everything and notes when a paint has finished.
LRESULT CALLBACK timing_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = CallWindowProcA(program_proc, window, message, wparam, lparam);
    if (message == WM_PAINT) {
        GdiFlush();
        painted = true;
    }
    return result;
}

double now_ms() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * double(t.QuadPart) / double(frequency.QuadPart);
}

void pump_until(bool* flag, double limit_ms) {
    double end = now_ms() + limit_ms;
    MSG msg;
    while (!*flag && now_ms() < end) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
}

void pump_pending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Mean time of one UM_MOVE_CORNER in the current display mode, in µs.
double time_corner_moves(HWND window, int moves) {
    g_app.capture.pick_state = kPickTopLeft;
    g_app.capture.top_left = PixelPoint{400, 300};
    double start = now_ms();
    for (int i = 0; i < moves; ++i)
        SendMessageA(window, UM_MOVE_CORNER, 1, (i & 1) ? kDirLeft : kDirRight);
    GdiFlush();
    return 1000.0 * (now_ms() - start) / moves;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::string folder = (std::filesystem::temp_directory_path() / "tamble_bench").string();
    std::filesystem::create_directories(folder);
    std::snprintf(g_app.data_folder, sizeof g_app.data_folder, "%s\\", folder.c_str());
    std::snprintf(g_app.ini_path, sizeof g_app.ini_path, "%s\\tamble.ini", folder.c_str());
    g_app.instance = GetModuleHandleA(nullptr);
    g_app.flags = 0x80;  // clipboard output, no automatic boxes
    main_window_register(g_app.instance);
    RECT area = {0, 0, 1, 1};
    HWND window = main_window_create(g_app.instance, area);
    if (!window) return 1;
    program_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(timing_proc)));

    std::vector<double> starts;
    double move0 = 0, move1 = 0;
    for (int r = 0; r < rounds; ++r) {
        painted = false;
        double t0 = now_ms();
        PostMessageA(window, UM_START_CAPTURE, 0, 0);
        pump_until(&painted, 10000);
        if (!painted) {
            std::fprintf(stderr, "no paint after UM_START_CAPTURE\n");
            return 1;
        }
        starts.push_back(now_ms() - t0);
        if (r == 0) {
            int width = g_app.capture.screen_rect.right - g_app.capture.screen_rect.left;
            int height = g_app.capture.screen_rect.bottom - g_app.capture.screen_rect.top;
            std::printf("screen %dx%d\n", width, height);
        }
        if (r == rounds - 1) {
            move0 = time_corner_moves(window, 200);
            g_app.flags |= 0x20;
            move1 = time_corner_moves(window, 20);
            g_app.flags &= ~0x20;
        }
        SendMessageA(window, UM_END_CAPTURE, 0, 0);
        pump_pending();
    }
    std::printf("capture_start_to_first_paint_ms median %.2f min %.2f (%d rounds)\n",
                median(starts), *std::min_element(starts.begin(), starts.end()), rounds);
    std::printf("corner_move_mode0_us %.1f\n", move0);
    std::printf("corner_move_mode1_us %.1f\n", move1);
    DestroyWindow(window);
    return 0;
}
