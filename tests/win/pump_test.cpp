// The message pump used by long operations.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/pump.h"

namespace {

int dispatched = 0;
LRESULT CALLBACK counting_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_USER + 1) {
        ++dispatched;
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

HWND counting_window() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = counting_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "pump test";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "pump test", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

TEST(PumpMessages, DispatchesAndLeavesTheQuitRequestQueued) {
    HWND w = counting_window();
    dispatched = 0;
    PostMessageA(w, WM_USER + 1, 0, 0);
    PostMessageA(w, WM_USER + 1, 0, 0);
    EXPECT_EQ(pump_messages(), 0);
    EXPECT_EQ(dispatched, 2);

    PostMessageA(w, WM_USER + 1, 0, 0);
    PostQuitMessage(5);
    EXPECT_EQ(pump_messages(), 1);
    EXPECT_EQ(dispatched, 3);
    // The quit request is still there for the main loop, and again for a
    // second long operation.
    EXPECT_EQ(pump_messages(), 1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
    DestroyWindow(w);
}

}  // namespace
