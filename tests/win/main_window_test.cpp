// The main window's message rules, sent to a real window of the program's
// own class under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "state/app_state.h"
#include "app/main_window.h"
#include "state/settings.h"
#include "state/window_messages.h"
#include "sys/pump.h"
#include "tests/unit/test_files.h"
#include "tests/win/dpi_unaware.h"

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_app.instance = GetModuleHandleA(nullptr);
        main_window_register(g_app.instance);
    }
    void SetUp() override {
        g_app.linked_window = nullptr;
        g_app.linked_message = 0;
        g_app.open_count = 0;
        RECT area = {0, 0, 100, 100};
        window_ = main_window_create(g_app.instance, area);
        ASSERT_NE(window_, nullptr);
        other_ = CreateWindowExA(0, "STATIC", "linked", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 g_app.instance, nullptr);
        ASSERT_NE(other_, nullptr);
    }
    void TearDown() override {
        if (IsWindow(window_)) DestroyWindow(window_);
        if (IsWindow(other_)) DestroyWindow(other_);
        // Take the quit request the main window posts when it is destroyed.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // Dispatches what is waiting; returns true when WM_QUIT came by.
    bool drain() {
        MSG msg;
        bool quit = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) quit = true;
            DispatchMessageA(&msg);
        }
        return quit;
    }
    HWND window_ = nullptr;
    HWND other_ = nullptr;
};

TEST_F(MainWindowTest, CreationAddsTheTrayIcon) {
    EXPECT_EQ(g_app.main_window, window_);
    EXPECT_NE(g_app.tray_icon, nullptr);
    EXPECT_FALSE(IsWindowVisible(window_));
    DestroyWindow(window_);
    EXPECT_EQ(g_app.tray_icon, nullptr);
    EXPECT_TRUE(drain());  // WM_DESTROY posts the quit request
}

TEST_F(MainWindowTest, LinkAppTakesOneLiveWindow) {
    EXPECT_EQ(SendMessageA(window_, UM_LINK_APP, WPARAM(other_), 0xC123), 1);
    EXPECT_EQ(g_app.linked_window, other_);
    EXPECT_EQ(g_app.linked_message, 0xC123u);
    // A second registration is refused and the first link stays.
    EXPECT_EQ(SendMessageA(window_, UM_LINK_APP, WPARAM(window_), 0xC124), 0);
    EXPECT_EQ(g_app.linked_window, other_);
    // lParam 0 unlinks.
    EXPECT_EQ(SendMessageA(window_, UM_LINK_APP, 0, 0), 1);
    EXPECT_EQ(g_app.linked_window, nullptr);
    EXPECT_EQ(g_app.linked_message, 0u);
    // A window that no longer exists is refused.
    HWND dead = other_;
    DestroyWindow(other_);
    EXPECT_EQ(SendMessageA(window_, UM_LINK_APP, WPARAM(dead), 0xC125), 0);
    EXPECT_EQ(g_app.linked_window, nullptr);
}

TEST_F(MainWindowTest, OpenCloseCountsDownToTheEnd) {
    g_app.open_count = 1;
    PostMessageA(window_, UM_OPEN, 0, 0);
    PostMessageA(window_, UM_CLOSE, 0, 0);
    EXPECT_FALSE(drain());
    EXPECT_EQ(g_app.open_count, 1);
    EXPECT_TRUE(IsWindow(window_));
    PostMessageA(window_, UM_CLOSE, 0, 0);
    EXPECT_TRUE(drain());
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(MainWindowTest, CloseWithoutOpenIsIgnored) {
    PostMessageA(window_, UM_CLOSE, 0, 0);
    EXPECT_FALSE(drain());
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(g_app.open_count, 0);
}

TEST_F(MainWindowTest, TrayLeftClickStartsACaptureUnlessGuarded) {
    PostMessageA(window_, UM_TRAY, 101, WM_LBUTTONUP);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window_, UM_TRAY, UM_TRAY, PM_REMOVE));
    DispatchMessageA(&msg);
    EXPECT_TRUE(PeekMessageA(&msg, window_, UM_START_CAPTURE, UM_START_CAPTURE, PM_REMOVE));
    g_app.capture.capture_flags = kCaptureMenuOpen;
    SendMessageA(window_, UM_TRAY, 101, WM_LBUTTONUP);
    EXPECT_FALSE(PeekMessageA(&msg, window_, UM_START_CAPTURE, UM_START_CAPTURE, PM_REMOVE));
    g_app.capture.capture_flags = 0;
}

TEST_F(MainWindowTest, HotkeyPostsStartCapture) {
    SendMessageA(window_, WM_HOTKEY, 7, 0);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, window_, UM_START_CAPTURE, UM_START_CAPTURE, PM_REMOVE));
}

// Another program may post selection requests at any time; before any
// capture they must find the overlay ready, not crash the program.
TEST_F(MainWindowTest, SelectionRequestsBeforeAnyCaptureAreHarmless) {
    PostMessageA(window_, UM_MOVE_CORNER, 3, 1003);
    PostMessageA(window_, UM_ADVANCE, 0, 0);
    PostMessageA(window_, UM_TOGGLE_FIXED, 0, 0);
    EXPECT_FALSE(drain());
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_FALSE(IsWindowVisible(window_));
}

// Alt+F4 on the full-screen picture ends the capture, not the program.
TEST_F(MainWindowTest, CloseCommandDuringACaptureEndsOnlyTheCapture) {
    g_app.capture.capture_flags |= kCaptureActive;
    SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(g_app.capture.capture_flags & kCaptureActive, 0u);
    EXPECT_FALSE(drain());
    EXPECT_TRUE(IsWindow(window_));
}

// Shutdown and sign-out end the process before the message loop's end.
TEST_F(MainWindowTest, EndOfTheSessionSavesTheOptions) {
    const std::string ini = test_temp_path("tamble.ini");
    std::snprintf(g_app.ini_path, sizeof g_app.ini_path, "%s", ini.c_str());
    g_app.flags = kFlagFirstRunDone | kFlagOutputBase64 | kFlagPrimaryOnly;
    EXPECT_EQ(SendMessageA(window_, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageA(window_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(settings_read_int(kSectionSystem, "Flags", -1), g_app.flags);
    std::remove(ini.c_str());
}

// Resizing a picture runs the message pump. A start request or a
// confirmation that arrives meanwhile must not start a second capture or a
// nested output: the pump here delivers one of each while it runs.
HWND pumped_window = nullptr;
int pump_calls = 0;
bool nested_start_refused = true, nested_output_refused = true;
int deliver_requests() {
    if (++pump_calls != 1) return 0;
    const bool was_active = g_app.capture.capture_flags & kCaptureActive;
    SendMessageA(pumped_window, UM_START_CAPTURE, 0, 0);
    if (!was_active) nested_start_refused = g_app.capture.screen_image == nullptr;
    SendMessageA(pumped_window, UM_OUTPUT, 0, 0);
    if (was_active) nested_output_refused = g_app.capture.capture_flags & kCaptureActive;
    return 0;
}

TEST_F(MainWindowTest, NoSecondStartOrOutputWhileAPictureIsResized) {
    // The grab is resized where the system scales the program: a window
    // made while the thread is not DPI-aware handles its messages so.
    DestroyWindow(window_);
    drain();
    DpiUnawareScope unaware;
    ASSERT_TRUE(unaware.took());
    const RECT area = {0, 0, 100, 100};
    window_ = main_window_create(g_app.instance, area);
    pumped_window = window_;
    pump_set_hook(deliver_requests);
    g_app.flags = kFlagOutputClipboard;  // no box, output to the clipboard
    g_app.scaling_percent = 150;          // the grab is resized
    pump_calls = 0;
    SendMessageA(window_, UM_START_CAPTURE, 0, 0);
    EXPECT_GT(pump_calls, 0);
    EXPECT_TRUE(nested_start_refused);
    ASSERT_NE(g_app.capture.screen_image, nullptr);

    g_app.scaling_percent = 100;
    g_app.square = 64;  // the output shrinks the picture
    g_app.capture.top_left = PixelPoint{0, 0};
    g_app.capture.bottom_right = PixelPoint{199, 99};
    pump_calls = 0;
    SendMessageA(window_, UM_OUTPUT, 0, 0);
    EXPECT_GT(pump_calls, 0);
    EXPECT_TRUE(nested_output_refused);
    pump_set_hook(nullptr);
    g_app.square = 0;
    capture_release_screen(&g_app.capture);
    g_app.capture.capture_flags = 0;
}

}  // namespace
