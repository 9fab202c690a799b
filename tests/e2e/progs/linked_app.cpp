// A linked application as another program would write it: registers itself
// with the running Tamble, waits for its message, copies the hand-over
// picture and unlinks.
//
//   linked_app DATA_FOLDER OUT.bmp [MILLISECONDS]
//
// Prints "linked" once registered. Exit codes: 0 picture copied, 1 no
// message within the time limit, 2 usage, 3 no Tamble window or the
// registration was refused, 4 the picture could not be copied.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The outside interface, spelled out as a separate program sees it.
const char kTambleClass[] = "Tamble Touroku kurasu";
const UINT kLinkMessage = WM_USER + 79;
const char kHandOverName[] = "$image.bmp";
const char kOwnClass[] = "Tamble linked application test";

LRESULT CALLBACK window_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

HWND wait_for_tamble(DWORD end) {
    for (;;) {
        HWND main = FindWindowA(kTambleClass, nullptr);
        if (main || GetTickCount() > end) return main;
        Sleep(20);
    }
}

// 1 when the message came before `end`, 0 on timeout.
int wait_for_message(HWND window, UINT message, DWORD end) {
    for (;;) {
        DWORD now = GetTickCount();
        if (now >= end) return 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.hwnd == window && msg.message == message) return 1;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: linked_app DATA_FOLDER OUT.bmp [MILLISECONDS]\n");
        return 2;
    }
    std::string source = argv[1];
    if (!source.empty() && source.back() != '\\' && source.back() != '/') source += '\\';
    source += kHandOverName;
    DWORD limit = argc == 4 ? DWORD(std::strtoul(argv[3], nullptr, 10)) : 30000;
    DWORD end = GetTickCount() + limit;

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.lpszClassName = kOwnClass;
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, kOwnClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  instance, nullptr);
    UINT message = RegisterWindowMessageA("Tamble linked application test picture");
    if (!window || !message) return 3;

    HWND tamble = wait_for_tamble(end);
    if (!tamble || SendMessageA(tamble, kLinkMessage, WPARAM(window), LPARAM(message)) != 1) {
        std::fprintf(stderr, "linked_app: registration failed\n");
        DestroyWindow(window);
        return 3;
    }
    std::printf("linked\n");
    std::fflush(stdout);

    int got = wait_for_message(window, message, end);
    int result = 1;
    if (got) result = CopyFileA(source.c_str(), argv[2], FALSE) ? 0 : 4;
    else std::fprintf(stderr, "linked_app: no picture within %lu ms\n", (unsigned long)limit);

    // Unlink before going away, so that the next application can register.
    if (IsWindow(tamble)) SendMessageA(tamble, kLinkMessage, WPARAM(window), 0);
    DestroyWindow(window);
    return result;
}
