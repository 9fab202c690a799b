// Shows a BMP file 1:1 in a borderless window at the desktop's top-left, so
// that the end-to-end tests capture a known picture. Runs until closed.
#include <windows.h>

#include <cstdio>

#include "image/bmp.h"
#include "image/dib_draw.h"

namespace {

PackedDib picture = nullptr;

LRESULT CALLBACK picture_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(window, &ps);
            dib_draw(&ps, picture);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || bmp_read(argv[1], &picture) != 0) {
        std::fprintf(stderr, "usage: show_picture FILE.bmp\n");
        return 2;
    }
    DibHeader* h = static_cast<DibHeader*>(mem_lock(picture));
    int width = h->biWidth, height = h->biHeight;
    mem_unlock(picture);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = picture_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = "Tamble test picture";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "picture", WS_POPUP | WS_VISIBLE, 0, 0,
                                  width, height, nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    mem_free(picture);
    return 0;
}
