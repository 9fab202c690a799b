// The selection input filter on real windows: what it posts to the main
// window and the box, the mode bits, the keyboard help, and the subclassed
// controls that route their input through it.
#include <windows.h>

#include <gtest/gtest.h>

#include "state/app_state.h"
#include "state/window_messages.h"
#include "capture/filter_rules.h"
#include "capture/filter_subclass.h"
#include "capture/input_filter.h"
#include "ui/notice_layout.h"

namespace {

// The portable table uses the system's numbers.
static_assert(kMsgKeyUp == WM_KEYUP && kMsgCommand == WM_COMMAND, "messages");
static_assert(kMsgRButtonUp == WM_RBUTTONUP && kMsgMButtonUp == WM_MBUTTONUP, "buttons");
static_assert(kMsgMouseWheel == WM_MOUSEWHEEL, "wheel");
static_assert(kVkEscape == VK_ESCAPE && kVkSpace == VK_SPACE && kVkLeft == VK_LEFT &&
                  kVkUp == VK_UP && kVkRight == VK_RIGHT && kVkDown == VK_DOWN,
              "keys");
static_assert(kVkApps == VK_APPS && kVkNumpad0 == VK_NUMPAD0 && kVkNumpad1 == VK_NUMPAD1 &&
                  kVkNumpad9 == VK_NUMPAD9 && kVkMultiply == VK_MULTIPLY && kVkAdd == VK_ADD &&
                  kVkSubtract == VK_SUBTRACT && kVkF1 == VK_F1 && kVkSlash == VK_OEM_2,
              "keypad and function keys");

HWND popup(const char* title) {
    return CreateWindowExA(0, "STATIC", title, WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

class InputFilter : public ::testing::Test {
protected:
    void SetUp() override {
        g_app.instance = GetModuleHandleA(nullptr);
        main_ = popup("main");
        box_ = popup("box");
        ASSERT_TRUE(main_ && box_);
        g_app.main_window = main_;
        g_app.capture.box_window = nullptr;
        g_app.capture.pick_state = kPickTopLeft;
        g_app.aspect = 0;
        g_app.capture.capture_flags = kCaptureActive;
        drain();
    }
    void TearDown() override {
        filter_subclass_restore_all();
        DestroyWindow(main_);
        DestroyWindow(box_);
        g_app.main_window = nullptr;
        g_app.capture.box_window = nullptr;
        g_app.capture.capture_flags = 0;
        drain();
    }
    void drain() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // The one message waiting for `window`, or message 0 when none.
    MSG take(HWND window) {
        MSG msg = {};
        if (!PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) msg.message = 0;
        return msg;
    }
    // Nothing waits for the windows the filter posts to (a thread timer is not the filter's).
    bool nothing_posted() {
        MSG msg;
        return !PeekMessageA(&msg, main_, 0, 0, PM_NOREMOVE) &&
               !PeekMessageA(&msg, box_, 0, 0, PM_NOREMOVE);
    }
    HWND main_ = nullptr;
    HWND box_ = nullptr;
};

// The decisions themselves are covered natively; these check that they
// reach the right real window with the right parameters.
TEST_F(InputFilter, RequestsArePostedToTheMainWindow) {
    EXPECT_EQ(box_input_filter(WM_KEYUP, 'L', main_, 0), 1);
    MSG m = take(main_);
    EXPECT_EQ(m.message, UM_MOVE_CORNER);
    EXPECT_EQ(m.wParam, 0u);
    EXPECT_EQ(m.lParam, 1002);
    EXPECT_EQ(box_input_filter(WM_KEYUP, 'Z', main_, 0), 1);
    m = take(main_);
    EXPECT_EQ(m.message, UM_MOVE_CORNER);
    EXPECT_EQ(INT_PTR(m.wParam), -1);  // the receiver reads it signed
    EXPECT_EQ(box_input_filter(0xCE00, MAKEWPARAM(0, WORD(-600)), main_, 0), 1);
    m = take(main_);
    EXPECT_EQ(m.wParam, 5u);
    EXPECT_EQ(m.lParam, 1001);
    EXPECT_EQ(box_input_filter(WM_KEYUP, VK_ESCAPE, main_, 0), 1);
    EXPECT_EQ(take(main_).message, UM_END_CAPTURE);
    EXPECT_EQ(box_input_filter(WM_KEYDOWN, 'L', main_, 0), 0);
    EXPECT_TRUE(nothing_posted());
}

TEST_F(InputFilter, WithABoxOpenItsCommandsGoToTheBox) {
    g_app.capture.box_window = box_;
    g_app.capture.pick_state = kPickBottomRight;
    g_app.aspect = 1;
    EXPECT_EQ(box_input_filter(WM_KEYUP, '0', box_, 0), 1);
    MSG m = take(box_);
    EXPECT_EQ(m.message, UINT(WM_COMMAND));
    EXPECT_EQ(m.wParam, 1008u);
    EXPECT_EQ(m.lParam, 0);
    EXPECT_EQ(box_input_filter(WM_KEYUP, VK_ADD, box_, 0), 1);
    EXPECT_EQ(take(box_).message, UM_TOGGLE_FIXED);
    EXPECT_EQ(box_input_filter(WM_KEYUP, VK_NUMPAD7, box_, 0), 1);
    m = take(main_);
    EXPECT_EQ(m.message, UM_MOVE_CORNER);
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_TRUE(nothing_posted());
    EXPECT_EQ(g_app.capture.capture_flags, uint32_t(kCaptureActive));
}

TEST_F(InputFilter, ModeBitsToggleWithoutABox) {
    g_app.capture.pick_state = kPickBottomRight;
    g_app.aspect = 2;
    EXPECT_EQ(box_input_filter(WM_MBUTTONUP, 0, main_, 0), 1);
    EXPECT_EQ(g_app.capture.capture_flags, uint32_t(kCaptureActive | kCaptureHorizontal));
    EXPECT_EQ(box_input_filter(WM_KEYUP, VK_MULTIPLY, main_, 0), 1);
    EXPECT_EQ(g_app.capture.capture_flags,
              uint32_t(kCaptureActive | kCaptureHorizontal | kCaptureAspectReleased));
    EXPECT_EQ(box_input_filter(WM_MBUTTONUP, 0, main_, 0), 1);
    EXPECT_EQ(box_input_filter(WM_KEYUP, 'A', main_, 0), 1);
    EXPECT_EQ(g_app.capture.capture_flags, uint32_t(kCaptureActive));
    EXPECT_TRUE(nothing_posted());
}

TEST_F(InputFilter, RightClicksAreRoutedToTheBoxButNotHandled) {
    HWND control = CreateWindowExA(0, "BUTTON", "x", WS_CHILD, 0, 0, 10, 10, box_, HMENU(1000),
                                   GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    g_app.capture.box_window = box_;
    EXPECT_EQ(box_input_filter(WM_RBUTTONUP, 0, main_, MAKELPARAM(30, 40)), 0);
    MSG m = take(box_);
    EXPECT_EQ(m.message, UM_RCLICK_OVERLAY);
    EXPECT_EQ(m.wParam, WPARAM(main_));
    EXPECT_EQ(m.lParam, MAKELPARAM(30, 40));
    EXPECT_EQ(box_input_filter(WM_RBUTTONUP, 0, control, MAKELPARAM(3, 4)), 0);
    m = take(box_);
    EXPECT_EQ(m.message, UM_RCLICK_CONTROL);
    EXPECT_EQ(m.wParam, WPARAM(control));
    EXPECT_EQ(m.lParam, MAKELPARAM(3, 4));
    EXPECT_EQ(box_input_filter(WM_RBUTTONUP, 0, box_, MAKELPARAM(3, 4)), 0);
    g_app.capture.box_window = nullptr;
    EXPECT_EQ(box_input_filter(WM_RBUTTONUP, 0, main_, 0), 0);
    EXPECT_TRUE(nothing_posted());
}

// The help opens owned by the box; the timer closes it once it is seen.
HWND help_owner;
void CALLBACK close_help(HWND, UINT, UINT_PTR id, DWORD) {
    HWND help = FindWindowA("#32770", kKeyboardHelpCaption);
    if (!help) return;
    help_owner = GetWindow(help, GW_OWNER);
    KillTimer(nullptr, id);
    PostMessageA(help, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(InputFilter, F1OpensTheKeyboardHelpOwnedByTheBox) {
    g_app.capture.box_window = box_;
    help_owner = nullptr;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, close_help);
    EXPECT_EQ(box_input_filter(WM_KEYUP, VK_F1, box_, 0), 1);
    KillTimer(nullptr, timer);
    EXPECT_EQ(help_owner, box_);
}

TEST_F(InputFilter, SubclassedControlsAskTheFilterFirst) {
    HWND controls[kFilterSubclassSlots + 1];
    WNDPROC original = nullptr;
    for (int i = 0; i <= kFilterSubclassSlots; ++i) {
        controls[i] = CreateWindowExA(0, "BUTTON", "x", WS_CHILD, 0, 0, 10, 10, box_,
                                      HMENU(INT_PTR(1000 + i)), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(controls[i], nullptr);
        original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(controls[i], GWLP_WNDPROC));
    }
    for (int i = 0; i < kFilterSubclassSlots; ++i)
        EXPECT_EQ(filter_subclass_install(controls[i]), 1) << i;
    EXPECT_EQ(filter_subclass_install(controls[kFilterSubclassSlots]), 0);  // all taken

    g_app.capture.box_window = box_;
    HWND last = controls[kFilterSubclassSlots - 1];
    EXPECT_EQ(SendMessageA(last, WM_KEYUP, 'B', 0), 0);
    EXPECT_EQ(take(box_).message, UM_TOGGLE_FIXED);
    // What the filter leaves alone reaches the control.
    SendMessageA(last, WM_SETTEXT, 0, LPARAM("changed"));
    char text[16] = {};
    GetWindowTextA(last, text, sizeof text);
    EXPECT_STREQ(text, "changed");
    SendMessageA(controls[0], WM_RBUTTONUP, 0, MAKELPARAM(1, 2));
    MSG m = take(box_);
    EXPECT_EQ(m.message, UM_RCLICK_CONTROL);
    EXPECT_EQ(m.wParam, WPARAM(controls[0]));

    // A control destroyed while subclassed frees its slot.
    DestroyWindow(controls[3]);
    EXPECT_EQ(filter_subclass_install(controls[kFilterSubclassSlots]), 1);

    filter_subclass_restore_all();
    for (int i = 0; i <= kFilterSubclassSlots; ++i) {
        if (i == 3) continue;
        EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(controls[i], GWLP_WNDPROC)),
                  original)
            << i;
    }
    SendMessageA(last, WM_KEYUP, 'B', 0);
    EXPECT_TRUE(nothing_posted());
    // Every slot is free again.
    EXPECT_EQ(filter_subclass_install(controls[0]), 1);
}

}  // namespace
