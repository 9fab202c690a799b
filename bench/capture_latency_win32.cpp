// Times the capture path inside the program, under the real window system:
//
//   floor     one warm full-screen BitBlt from the desktop DC into a memory
//             bitmap (the second of two into the same bitmap): what no
//             capture can beat;
//   start     UM_START_CAPTURE to the end of the overlay's first paint
//             (grab, conversion, show, paint); the first capture of the
//             process apart from the later ones (a burst), and a start after
//             a rest, when the rest timer has freed the kept screen memory;
//   move      one UM_MOVE_CORNER of either corner in each display mode, the
//             handler with its drawing (GdiFlush), and separately with the
//             window system's flush of the overlay that follows when the
//             program next waits for input;
//   output    UM_OUTPUT of a full-screen selection to the clipboard, a BMP,
//             JPEG, GIF or PNG file and BASE64 (jpg) on the clipboard, up to the
//             moment the success notice is created (its display time is
//             not counted; the notice is closed at once); and with no output
//             chosen, which is the cut and the capture's end alone. The
//             screen then shows the benchmarks' desktop-like picture (an
//             empty X screen encodes to almost nothing), and the size of
//             the PNG file is printed with the times.
//
//   capture_bench.exe [rounds] [--no-outputs]
//
// Prints "name value" lines that scripts/bench reads. Every figure is a
// median of `rounds` runs, each in the state the user meets: blocks are
// allocated and first touched inside the timed span where the program does
// that.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "bench/desktop_picture.h"
#include "capture/overlay.h"
#include "capture/screen_grab.h"
#include "output/dispatcher.h"
#include "state/app_state.h"
#include "state/settings.h"
#include "state/window_messages.h"

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

// The floor: a memory bitmap compatible with the screen, one BitBlt of the
// whole screen into it to warm it, and the second timed.
double time_floor(int width, int height) {
    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    double t0 = now_ms();
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    double elapsed = now_ms() - t0;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(desktop, screen);
    return elapsed;
}

// Starts a capture and waits for its first paint; the time in ms, or a
// negative value when no paint came.
double start_capture(HWND window) {
    painted = false;
    double t0 = now_ms();
    PostMessageA(window, UM_START_CAPTURE, 0, 0);
    pump_until(&painted, 10000);
    return painted ? now_ms() - t0 : -1;
}

void end_capture(HWND window) {
    SendMessageA(window, UM_END_CAPTURE, 0, 0);
    pump_pending();
}

// Median time of one UM_MOVE_CORNER in ms, the corner stepping one pixel
// left and right. With `flush`, each move is followed by the check for
// input that lets the window system put the drawing on the screen.
double time_corner_moves(HWND window, PickState corner, int moves, bool flush) {
    CaptureState& cap = g_app.capture;
    const int width = cap.screen_rect.right - cap.screen_rect.left;
    const int height = cap.screen_rect.bottom - cap.screen_rect.top;
    cap.capture_flags &= ~uint32_t(kCaptureFixed);
    cap.top_left = PixelPoint{width / 5, height / 5};
    cap.bottom_right = PixelPoint{width * 4 / 5, height * 4 / 5};
    cap.pick_state = corner;
    // The whole overlay as it is in this state, then the moves.
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    pump_pending();
    std::vector<double> times;
    MSG msg;
    for (int i = 0; i < moves; ++i) {
        double t0 = now_ms();
        SendMessageA(window, UM_MOVE_CORNER, 1, (i & 1) ? kDirLeft : kDirRight);
        GdiFlush();
        if (flush) PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        times.push_back(now_ms() - t0);
        pump_pending();
    }
    return median(times);
}

// The notice or warning that ends an output: when it was created, and
// whether it was a warning (the program's own caption).
double dialog_at = 0;
bool warned = false;

LRESULT CALLBACK catch_dialogs(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_CREATEWND && dialog_at == 0) {
        auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lparam);
        if (create->lpcs->lpszClass == MAKEINTATOM(32770)) dialog_at = now_ms();
    }
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wparam);
        char cls[32] = "", caption[128] = "";
        GetClassNameA(window, cls, sizeof cls);
        if (!std::strcmp(cls, "#32770")) {
            GetWindowTextA(window, caption, sizeof caption);
            if (std::strcmp(caption, "Tamble") == 0 || GetDlgItem(window, IDNO)) warned = true;
            PostMessageA(window, WM_COMMAND, GetDlgItem(window, IDNO) ? IDNO : IDCANCEL, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

// A top-most window over the whole screen showing the desktop-like picture,
// so that what the outputs encode is a screen's content.
LRESULT CALLBACK picture_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_PAINT) return DefWindowProcA(window, message, wparam, lparam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    auto picture = reinterpret_cast<PackedDib>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (MemLock<DibHeader> h{picture}) {
        SetDIBitsToDevice(dc, 0, 0, DWORD(h->biWidth), DWORD(h->biHeight), 0, 0, 0,
                          UINT(h->biHeight), dib_bits_ptr(h.get()),
                          reinterpret_cast<const BITMAPINFO*>(h.get()), DIB_RGB_COLORS);
    }
    EndPaint(window, &ps);
    return 0;
}

HWND show_desktop_picture(int width, int height) {
    PackedDib picture = bench_desktop_picture(width, height);
    if (!picture) return nullptr;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = picture_proc;
    wc.hInstance = g_app.instance;
    wc.lpszClassName = "capture bench picture";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "",
                                  WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                  g_app.instance, nullptr);
    if (!window) {
        mem_free(picture);
        return nullptr;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

// Paints the picture window anew and lets the window system put it on the
// screen, before a capture grabs it.
void repaint(HWND picture_window) {
    if (!picture_window) return;
    RedrawWindow(picture_window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    GdiFlush();
    pump_pending();
}

int64_t png_file_bytes = 0;

struct OutputKind {
    const char* name;
    int flags;
    const char* type;
};

// One output of the whole screen: ms from UM_OUTPUT to the notice, or a
// negative value when it failed.
double time_output(HWND window, const OutputKind& kind, const std::string& folder,
                   HWND picture_window) {
    repaint(picture_window);
    g_app.flags = kind.flags;
    settings_write_string(kSectionOutput, "Type", kind.type);
    settings_write_int(kSectionOutput, "Number", 1);
    if (start_capture(window) < 0) return -1;
    CaptureState& cap = g_app.capture;
    cap.top_left = PixelPoint{0, 0};
    cap.bottom_right = PixelPoint{cap.screen_rect.right - cap.screen_rect.left - 1,
                                  cap.screen_rect.bottom - cap.screen_rect.top - 1};
    cap.pick_state = kPickBottomRight;
    dialog_at = 0;
    warned = false;
    double t0 = now_ms();
    SendMessageA(window, UM_OUTPUT, 0, 0);
    double t1 = dialog_at ? dialog_at : now_ms();
    pump_pending();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("bench", 0) != 0) continue;
        if (name == "bench00001.png") png_file_bytes = int64_t(entry.file_size(ec));
        std::filesystem::remove(entry, ec);
    }
    if (cap.screen_image) end_capture(window);
    // With no output chosen nothing is shown: the time is the cut and the
    // capture's end alone.
    if (!kind.flags) return warned ? -1 : t1 - t0;
    return warned || dialog_at == 0 ? -1 : t1 - t0;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 10;
    bool outputs = true;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--no-outputs"))
            outputs = false;
        else
            rounds = std::max(1, std::atoi(argv[i]));
    }
    std::string folder = (std::filesystem::temp_directory_path() / "tamble_bench").string();
    std::filesystem::create_directories(folder);
    std::snprintf(g_app.data_folder, sizeof g_app.data_folder, "%s\\", folder.c_str());
    std::snprintf(g_app.ini_path, sizeof g_app.ini_path, "%s\\tamble.ini", folder.c_str());
    DeleteFileA(g_app.ini_path);
    // No rest within the run: starts after a rest are timed on purpose.
    settings_write_int(kSectionSystem, "RestSeconds", 3600);
    g_app.instance = GetModuleHandleA(nullptr);
    g_app.flags = kFlagOutputClipboard;  // no automatic boxes
    main_window_register(g_app.instance);
    RECT area = {0, 0, 1, 1};
    HWND window = main_window_create(g_app.instance, area);
    if (!window) return 1;
    program_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(timing_proc)));

    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int width = desktop.right - desktop.left, height = desktop.bottom - desktop.top;
    std::printf("screen %dx%d\n", width, height);

    // A floor is taken right before each start, and the ratio is the median
    // of the pairs: on a shared machine the load drifts between runs.
    std::vector<double> floors, starts, ends, ratios, grabs;
    double first = 0;
    for (int r = 0; r < rounds + 1; ++r) {
        const double floor_ms = time_floor(width, height);
        floors.push_back(floor_ms);
        double t = start_capture(window);
        if (r > 0) ratios.push_back(t / floor_ms);
        if (t < 0) {
            std::fprintf(stderr, "no paint after UM_START_CAPTURE\n");
            return 1;
        }
        if (r == 0)
            first = t;
        else
            starts.push_back(t);
        if (r == rounds) {
            const int moves = 40;
            for (int mode = 0; mode < 2; ++mode) {
                if (mode) g_app.flags |= kFlagCoverMode;
                for (PickState corner : {kPickTopLeft, kPickBottomRight}) {
                    const char* which = corner == kPickTopLeft ? "top_left" : "bottom_right";
                    std::printf("corner_move_mode%d_%s_ms %.3f\n", mode, which,
                                time_corner_moves(window, corner, moves, false));
                    std::printf("corner_move_flushed_mode%d_%s_ms %.3f\n", mode, which,
                                time_corner_moves(window, corner, moves / 2, true));
                }
            }
            g_app.flags &= ~kFlagCoverMode;
        }
        double t_end = now_ms();
        SendMessageA(window, UM_END_CAPTURE, 0, 0);
        ends.push_back(now_ms() - t_end);
        pump_pending();
        // The grab alone (copy and conversion), without showing anything.
        double t_grab = now_ms();
        grab_take_back(grab_for_capture());
        grabs.push_back(now_ms() - t_grab);
    }
    // Starts after a rest: the kept memory freed as the rest timer does it.
    std::vector<double> rested, rested_ratios;
    for (int r = 0; r < rounds; ++r) {
        const double floor_ms = time_floor(width, height);
        grab_release_cache();
        const double t = start_capture(window);
        if (t < 0) {
            std::fprintf(stderr, "no paint after UM_START_CAPTURE at rest\n");
            return 1;
        }
        rested.push_back(t);
        rested_ratios.push_back(t / floor_ms);
        end_capture(window);
    }
    std::printf("capture_start_rested_ms %.2f\n", median(rested));
    std::printf("rested_floor_ratio %.2f\n", median(rested_ratios));
    std::printf("floor_bitblt_ms %.2f\n", median(floors));
    std::printf("capture_grab_ms %.2f\n", median(grabs));
    std::printf("start_floor_ratio %.2f\n", median(ratios));
    std::printf("capture_start_first_ms %.2f\n", first);
    std::printf("capture_start_ms %.2f\n", median(starts));
    std::printf("capture_end_ms %.2f\n", median(ends));

    if (outputs) {
        settings_write_string(kSectionOutput, "OutputFolder", g_app.data_folder);
        settings_write_string(kSectionOutput, "Prefix", "bench");
        settings_write_int(kSectionOutput, "JpegQuality", 80);
        HWND picture_window = show_desktop_picture(width, height);
        if (!picture_window) {
            std::fprintf(stderr, "no desktop picture\n");
            return 1;
        }
        HHOOK hook = SetWindowsHookExA(WH_CBT, catch_dialogs, nullptr, GetCurrentThreadId());
        const OutputKind kinds[] = {
            {"clipboard", kFlagOutputClipboard, "bmp"},
            {"bmp", kFlagOutputFile, "bmp"},
            {"jpeg", kFlagOutputFile, "jpg"},
            {"gif", kFlagOutputFile, "gif"},
            {"png", kFlagOutputFile, "png"},
            {"base64_jpg", kFlagOutputBase64, "jpg"},
            {"none", 0, "bmp"},
        };
        const int output_rounds = std::max(1, std::min(rounds, 5));
        for (const OutputKind& kind : kinds) {
            std::vector<double> times;
            for (int r = 0; r < output_rounds; ++r) {
                double t = time_output(window, kind, folder, picture_window);
                if (t < 0) {
                    std::fprintf(stderr, "output %s failed\n", kind.name);
                    return 1;
                }
                times.push_back(t);
            }
            std::printf("output_%s_ms %.2f\n", kind.name, median(times));
        }
        UnhookWindowsHookEx(hook);
        std::printf("output_png_file_bytes %lld\n", static_cast<long long>(png_file_bytes));
        DestroyWindow(picture_window);
    }
    DestroyWindow(window);
    return 0;
}
