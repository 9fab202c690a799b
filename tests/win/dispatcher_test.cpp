// The output dispatcher on a real main window, the real clipboard and real
// settings file under Wine. Notices and warning boxes are caught as they
// open, their texts recorded, and closed.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "state/app_state.h"
#include "app/main_window.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/window_messages.h"
#include "image/bmp.h"
#include "image/dib.h"
#include "output/dispatcher.h"
#include "scrap/scrap_format.h"
#include "tests/unit/test_files.h"
#include "tests/win/modal_driver.h"
#include "tests/win/test_allocator.h"

namespace {

struct SeenDialog {
    std::string caption;
    std::string text;  // the texts of its controls, joined
};
std::vector<SeenDialog> seen_dialogs;
std::set<HWND> closed_dialogs;

// Dialogs of this thread are recorded when they are first activated and
// closed at once: notices with their close button, warnings with OK.
void catch_dialog(HWND window) {
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") || !closed_dialogs.insert(window).second) return;
    SeenDialog seen;
    char caption[128] = "";
    GetWindowTextA(window, caption, sizeof caption);
    seen.caption = caption;
    seen.text = control_texts(window, "\n");
    seen_dialogs.push_back(seen);
    bool warning = seen.caption == kAppCaption;
    // Questions (the overwrite question) are answered No.
    int answer = GetDlgItem(window, IDNO) ? IDNO : warning ? IDOK : IDCANCEL;
    PostMessageA(window, WM_COMMAND, answer, 0);
}

// A test pixel that differs in every channel from its neighbours.
void pattern(int x, int y, uint8_t out[3]) {
    out[0] = uint8_t(x * 3 + y);
    out[1] = uint8_t(y * 5 + x);
    out[2] = uint8_t(x ^ (y << 2));
}

// Checks a locked 24-bit image against the pattern at `area` (image
// coordinates, right and bottom exclusive).
void expect_pattern(const void* header_bytes, PixelRect area) {
    const DibHeader* h = static_cast<const DibHeader*>(header_bytes);
    ASSERT_EQ(h->biBitCount, 24);
    ASSERT_EQ(h->biWidth, area.right - area.left);
    ASSERT_EQ(h->biHeight, area.bottom - area.top);
    int mismatches = 0;
    for (int y = 0; y < h->biHeight; ++y) {
        const uint8_t* row = dib_row_top_down(const_cast<DibHeader*>(h), y);
        for (int x = 0; x < h->biWidth; ++x) {
            uint8_t want[3];
            pattern(area.left + x, area.top + y, want);
            if (std::memcmp(row + 3 * x, want, 3)) ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// The clipboard's CF_DIB bytes, empty when there is none.
std::vector<uint8_t> clipboard_dib() {
    std::vector<uint8_t> bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    HANDLE data = GetClipboardData(CF_DIB);
    const uint8_t* p = data ? static_cast<const uint8_t*>(GlobalLock(data)) : nullptr;
    if (p) {
        bytes.assign(p, p + GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

// A text on the clipboard that an output must not replace. (Sequence
// numbers are no help: Wine's X11 side bumps them after a while.)
const char kClipboardMarker[] = "dispatcher test marker";
void mark_clipboard() {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, sizeof kClipboardMarker);
    std::memcpy(GlobalLock(text), kClipboardMarker, sizeof kClipboardMarker);
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
}
bool clipboard_still_marked() {
    if (!OpenClipboard(nullptr)) return false;
    bool marked = false;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text) {
        marked = !std::strcmp(text, kClipboardMarker);
        GlobalUnlock(data);
    }
    bool has_dib = IsClipboardFormatAvailable(CF_DIB);
    CloseClipboard();
    return marked && !has_dib;
}

// Records what the linked application receives; the notice's own message
// loop dispatches it before the dispatcher returns.
struct LinkedCall {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};
std::vector<LinkedCall> linked_calls;
LRESULT CALLBACK linked_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m >= 0xC000) linked_calls.push_back(LinkedCall{m, wp, lp});
    return DefWindowProcA(w, m, wp, lp);
}

// Registered messages the linked window got, dispatched or still queued.
std::vector<LinkedCall> linked_received(HWND linked) {
    MSG msg;
    while (PeekMessageA(&msg, linked, 0xC000, 0xFFFF, PM_REMOVE)) DispatchMessageA(&msg);
    std::vector<LinkedCall> calls = linked_calls;
    linked_calls.clear();
    return calls;
}

class OutputDispatcher : public ::testing::Test {
protected:
    static constexpr int kImageWidth = 320;
    static constexpr int kImageHeight = 240;

    static void SetUpTestSuite() {
        g_app.instance = GetModuleHandleA(nullptr);
        main_window_register(g_app.instance);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = linked_proc;
        wc.hInstance = g_app.instance;
        wc.lpszClassName = "dispatcher test linked";
        RegisterClassA(&wc);
        // One main window for the suite: adding its tray icon takes a while.
        RECT area = {0, 0, kImageWidth, kImageHeight};
        window_ = main_window_create(g_app.instance, area);
    }

    static void TearDownTestSuite() {
        if (IsWindow(window_)) DestroyWindow(window_);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    void SetUp() override {
        ini_ = test_temp_path("tamble.ini");
        std::remove(ini_.c_str());
        std::snprintf(g_app.ini_path, sizeof g_app.ini_path, "%s", ini_.c_str());
        folder_ = test_temp_path("data");
        std::filesystem::create_directories(folder_);
        std::snprintf(g_app.data_folder, sizeof g_app.data_folder, "%s\\", folder_.c_str());
        linked_bmp_ = folder_ + "\\$image.bmp";
        std::remove(linked_bmp_.c_str());

        g_app.flags = kFlagOutputClipboard;
        g_app.square = 0;
        g_app.linked_window = nullptr;
        g_app.linked_message = 0;
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(g_app.main_window, window_);
        seen_dialogs.clear();
        closed_dialogs.clear();
        linked_calls.clear();
        watch_ = std::make_unique<ActivationWatch>(catch_dialog);
        ASSERT_TRUE(watch_->hooked());
    }

    void TearDown() override {
        watch_.reset();
        // A failed test may leave capture mode on.
        capture_release_screen(&g_app.capture);
        if (IsWindowVisible(window_)) ShowWindow(window_, SW_HIDE);
        g_app.linked_window = nullptr;
        g_app.linked_message = 0;
        std::remove(ini_.c_str());
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // The state capture mode leaves for the dispatcher: a grabbed image kept
    // locked, and, when asked, the overlay shown (hiding a shown window
    // costs two seconds under Wine without a window manager).
    void start_capture_state(bool show = false) {
        g_app.capture.screen_image = dib_create24(kImageWidth, kImageHeight);
        ASSERT_NE(g_app.capture.screen_image, nullptr);
        g_app.capture.screen_header = static_cast<DibHeader*>(mem_lock(g_app.capture.screen_image));
        g_app.capture.screen_bits = dib_bits_ptr(g_app.capture.screen_header);
        g_app.capture.screen_stride = int(dib_stride(kImageWidth, 24));
        for (int y = 0; y < kImageHeight; ++y) {
            uint8_t* row = dib_row_top_down(g_app.capture.screen_header, y);
            for (int x = 0; x < kImageWidth; ++x) pattern(x, y, row + 3 * x);
        }
        g_app.capture.capture_flags |= kCaptureActive;
        if (show) ShowWindow(window_, SW_SHOWNOACTIVATE);
    }

    void select(int x1, int y1, int x2, int y2) {
        g_app.capture.top_left = PixelPoint{x1, y1};
        g_app.capture.bottom_right = PixelPoint{x2, y2};
    }

    void expect_capture_ended() {
        EXPECT_EQ(g_app.capture.screen_image, nullptr);
        EXPECT_EQ(g_app.capture.screen_header, nullptr);
        EXPECT_EQ(g_app.capture.capture_flags & kCaptureActive, 0u);
    }

    // Exactly one dialog was seen, with this caption and text.
    void expect_one_dialog(const char* caption, const char* text) {
        ASSERT_EQ(seen_dialogs.size(), 1u);
        EXPECT_EQ(seen_dialogs[0].caption, caption);
        EXPECT_NE(seen_dialogs[0].text.find(text), std::string::npos) << seen_dialogs[0].text;
    }

    std::string history() {
        char text[1024];
        settings_read_string(kSectionWindow, "WH_His", text, sizeof text);
        return text;
    }
    bool nothing_remembered() {
        return settings_read_int(kSectionWindow, "x", -999) == -999 && history().empty();
    }

    static HWND window_;
    std::string ini_, folder_, linked_bmp_;
    std::unique_ptr<ActivationWatch> watch_;
};

HWND OutputDispatcher::window_ = nullptr;

const char kClipboardNotice[] = "クリップボードに選択範囲の画像をコピーしました．";
const char kLinkedNotice[] = "連携アプリケーションに選択範囲の画像を転送しました．";

TEST_F(OutputDispatcher, ClipboardGetsTheCropAndTheSelectionIsRemembered) {
    start_capture_state(true);
    ASSERT_TRUE(IsWindowVisible(window_));
    select(10, 5, 49, 24);
    output_selection(window_);
    expect_capture_ended();
    EXPECT_FALSE(IsWindowVisible(window_));
    expect_one_dialog(kNoticeCaption, kClipboardNotice);
    std::vector<uint8_t> dib = clipboard_dib();
    ASSERT_GE(dib.size(), sizeof(DibHeader));
    expect_pattern(dib.data(), PixelRect{10, 5, 50, 25});
    EXPECT_EQ(settings_read_int(kSectionWindow, "x", 0), 10);
    EXPECT_EQ(settings_read_int(kSectionWindow, "y", 0), 5);
    EXPECT_EQ(settings_read_int(kSectionWindow, "w", 0), 39);
    EXPECT_EQ(settings_read_int(kSectionWindow, "h", 0), 19);
    EXPECT_EQ(history(), "40,20");

    // A second selection of another size goes in front of the list.
    start_capture_state();
    select(0, 0, 9, 9);
    output_selection(window_);
    EXPECT_EQ(history(), "10,10@40,20");
}

// Memory that runs out while the picture is shrunk ends that message with
// message 20; the next capture is not refused as one still under way.
TEST_F(OutputDispatcher, NoMemoryDuringTheShrinkLeavesCapturesPossible) {
    start_capture_state();
    g_app.square = 64;
    select(0, 0, 299, 99);
    fail_next_allocation_of(500);  // the scaler's table of 64 columns
    SendMessageA(window_, UM_OUTPUT, 0, 0);
    fail_next_allocation_of(0);
    EXPECT_EQ(g_app.capture.busy, 0);
    expect_one_dialog(kAppCaption, message_text(kMsgNoMemory));
}

TEST_F(OutputDispatcher, RectanglePastTheEdgeGivesThePartInside) {
    start_capture_state();
    select(300, 230, 339, 259);
    output_selection(window_);
    std::vector<uint8_t> dib = clipboard_dib();
    ASSERT_GE(dib.size(), sizeof(DibHeader));
    expect_pattern(dib.data(), PixelRect{300, 230, 320, 240});
    // The corners as confirmed are remembered, not the cut rectangle.
    EXPECT_EQ(settings_read_int(kSectionWindow, "w", 0), 39);
    EXPECT_EQ(history(), "40,30");
}

TEST_F(OutputDispatcher, RectangleOutsideTheImageWarnsAndKeepsNothing) {
    start_capture_state();
    mark_clipboard();
    select(400, 10, 420, 30);
    output_selection(window_);
    expect_capture_ended();
    expect_one_dialog(kAppCaption, message_text(kMsgClipboardImage));
    EXPECT_TRUE(clipboard_still_marked());
    EXPECT_TRUE(nothing_remembered());
}

TEST_F(OutputDispatcher, SquareShrinksTheClipboardImage) {
    start_capture_state();
    struct Case {
        int x2, y2, square, width, height;
    };
    const Case cases[] = {
        {299, 199, 100, 100, 67},
        {299, 99, 64, 64, 21},         // 300 x 100: 21.3
        {89, 79, 100, 90, 80},         // smaller than the square
        {299, 199, 63, 300, 200},      // below 64 nothing is shrunk
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x2 + 1 << "x" << c.y2 + 1 << " in " << c.square);
        if (!g_app.capture.screen_image) start_capture_state();
        g_app.square = c.square;
        select(0, 0, c.x2, c.y2);
        output_selection(window_);
        expect_capture_ended();
        std::vector<uint8_t> dib = clipboard_dib();
        ASSERT_GE(dib.size(), sizeof(DibHeader));
        const DibHeader* h = reinterpret_cast<const DibHeader*>(dib.data());
        EXPECT_EQ(h->biWidth, c.width);
        EXPECT_EQ(h->biHeight, c.height);
        // The stored first pixel samples the crop's bottom-left pixel.
        uint8_t want[3];
        pattern(0, c.y2, want);
        EXPECT_EQ(std::memcmp(dib_bits_ptr(const_cast<uint8_t*>(dib.data())), want, 3), 0);
        // The remembered size is the selection's, not the shrunk image's.
        EXPECT_EQ(settings_read_int(kSectionWindow, "w", 0), c.x2);
    }
}

TEST_F(OutputDispatcher, LinkedApplicationGetsTheFileAndTheMessage) {
    start_capture_state();
    HWND linked = CreateWindowExA(0, "dispatcher test linked", "", WS_POPUP, 0, 0, 1, 1,
                                  nullptr, nullptr, g_app.instance, nullptr);
    ASSERT_NE(linked, nullptr);
    UINT message = RegisterWindowMessageA("tamble dispatcher test");
    ASSERT_EQ(SendMessageA(window_, UM_LINK_APP, WPARAM(linked), LPARAM(message)), 1);
    g_app.square = 64;  // not applied on this path
    mark_clipboard();

    select(20, 30, 119, 89);
    output_selection(window_);
    expect_capture_ended();
    expect_one_dialog(kNoticeCaption, kLinkedNotice);
    std::vector<LinkedCall> calls = linked_received(linked);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, message);
    EXPECT_EQ(calls[0].wparam, 0u);
    EXPECT_EQ(calls[0].lparam, 0);
    PackedDib file_image = nullptr;
    ASSERT_EQ(bmp_read(linked_bmp_.c_str(), &file_image), kBmpOk);
    void* header = mem_lock(file_image);
    expect_pattern(header, PixelRect{20, 30, 120, 90});
    mem_unlock(file_image);
    mem_free(file_image);
    EXPECT_TRUE(clipboard_still_marked());
    EXPECT_TRUE(nothing_remembered());

    // An existing file is replaced.
    start_capture_state();
    select(0, 0, 4, 4);
    output_selection(window_);
    ASSERT_EQ(bmp_read(linked_bmp_.c_str(), &file_image), kBmpOk);
    header = mem_lock(file_image);
    expect_pattern(header, PixelRect{0, 0, 5, 5});
    mem_unlock(file_image);
    mem_free(file_image);

    SendMessageA(window_, UM_LINK_APP, 0, 0);
    DestroyWindow(linked);
}

TEST_F(OutputDispatcher, DeadLinkedWindowFallsThroughToTheClipboard) {
    start_capture_state();
    HWND linked = CreateWindowExA(0, "dispatcher test linked", "", WS_POPUP, 0, 0, 1, 1,
                                  nullptr, nullptr, g_app.instance, nullptr);
    ASSERT_EQ(SendMessageA(window_, UM_LINK_APP, WPARAM(linked), 0xC321), 1);
    DestroyWindow(linked);

    select(1, 2, 10, 20);
    output_selection(window_);
    expect_one_dialog(kNoticeCaption, kClipboardNotice);
    std::vector<uint8_t> dib = clipboard_dib();
    ASSERT_GE(dib.size(), sizeof(DibHeader));
    expect_pattern(dib.data(), PixelRect{1, 2, 11, 21});
    EXPECT_FALSE(std::filesystem::exists(linked_bmp_));
    EXPECT_EQ(history(), "10,19");
    // The link values stay until the application unlinks.
    EXPECT_EQ(g_app.linked_window, linked);
    EXPECT_EQ(g_app.linked_message, 0xC321u);
}

TEST_F(OutputDispatcher, LinkedFileThatCannotBeWrittenWarns) {
    start_capture_state();
    HWND linked = CreateWindowExA(0, "dispatcher test linked", "", WS_POPUP, 0, 0, 1, 1,
                                  nullptr, nullptr, g_app.instance, nullptr);
    g_app.linked_window = linked;
    g_app.linked_message = 0xC322;
    std::snprintf(g_app.data_folder, sizeof g_app.data_folder, "%s\\missing\\", folder_.c_str());

    select(0, 0, 9, 9);
    output_selection(window_);
    expect_capture_ended();
    expect_one_dialog(kAppCaption, message_text(kMsgBmpFile));
    EXPECT_TRUE(linked_received(linked).empty());
    EXPECT_TRUE(nothing_remembered());
    DestroyWindow(linked);
}

TEST_F(OutputDispatcher, ImageFileIsNumberedAndTheNumberAdvances) {
    const std::string out = folder_ + "\\out\\";
    std::filesystem::create_directories(out);
    settings_write_string(kSectionOutput, "OutputFolder", out.c_str());
    settings_write_string(kSectionOutput, "Prefix", "A");
    settings_write_int(kSectionOutput, "Number", 99);
    settings_write_string(kSectionOutput, "Type", "bmp");
    start_capture_state();
    g_app.flags = kFlagOutputFile;
    select(10, 5, 49, 24);
    output_selection(window_);
    expect_capture_ended();
    expect_one_dialog(kNoticeCaption, "ファイルに選択範囲の画像を出力しました．");
    PackedDib written = nullptr;
    ASSERT_EQ(bmp_read((out + "A00099.bmp").c_str(), &written), 0);
    expect_pattern(mem_lock(written), PixelRect{10, 5, 50, 25});
    mem_unlock(written);
    mem_free(written);
    EXPECT_EQ(settings_read_int(kSectionOutput, "Number", 0), 100);
    EXPECT_EQ(history(), "40,20");
}

TEST_F(OutputDispatcher, ImageFileFailuresKeepTheNumber) {
    const std::string out = folder_ + "\\out\\";
    std::filesystem::create_directories(out);
    test_write_file(out + "B00007.bmp", "existing");
    struct Case { std::string folder, prefix, type; int message; };
    const Case cases[] = {
        {folder_ + "\\missing\\", "B", "bmp", kMsgOutputFolderMissing},
        {out, "B", "tif", kMsgNoFormat},
        {out, "B", "bmp", -1},  // exists: answered No, nothing more is said
        // Folder, prefix, number and type beyond the 256-byte name buffer.
        {out + std::string(250 - out.size(), 'd') + "\\", "B", "bmp", kMsgImageFile},
        {out, "..\\B", "bmp", kMsgBadPrefix},  // hand-edited, it would leave the folder
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        if (c.message != kMsgOutputFolderMissing)
            std::filesystem::create_directories(c.folder.substr(0, c.folder.size() - 1));
        settings_write_string(kSectionOutput, "OutputFolder", c.folder.c_str());
        settings_write_string(kSectionOutput, "Prefix", c.prefix.c_str());
        settings_write_string(kSectionOutput, "Type", c.type.c_str());
        settings_write_int(kSectionOutput, "Number", 7);
        seen_dialogs.clear();
        start_capture_state();
        g_app.flags = kFlagOutputFile;
        select(0, 0, 9, 9);
        output_selection(window_);
        expect_capture_ended();
        ASSERT_EQ(seen_dialogs.size(), 1u);
        if (c.message >= 0)
            EXPECT_NE(seen_dialogs[0].text.find(message_text(c.message)), std::string::npos);
        else
            EXPECT_NE(seen_dialogs[0].text.find("既に同じ名前のファイルがあります．"),
                      std::string::npos);
        EXPECT_EQ(settings_read_int(kSectionOutput, "Number", 0), 7);
        EXPECT_TRUE(nothing_remembered());
    }
    EXPECT_EQ(test_read_file(out + "B00007.bmp"), "existing");
    EXPECT_FALSE(std::filesystem::exists(folder_ + "\\B00007.bmp"));
}

// The last number writes its picture and says that it cannot advance; the
// next capture says so again instead of asking to overwrite.
TEST_F(OutputDispatcher, ImageFileAtTheLastNumberIsWrittenOnce) {
    const std::string out = folder_ + "\\out\\", file = out + "2147483647.bmp";
    std::filesystem::create_directories(out);
    settings_write_string(kSectionOutput, "OutputFolder", out.c_str());
    settings_write_string(kSectionOutput, "Type", "bmp");
    settings_write_int(kSectionOutput, "Number", INT_MAX);
    std::string first;
    for (size_t dialogs : {2, 1}) {  // the notice the first time
        seen_dialogs.clear();
        start_capture_state();
        g_app.flags = kFlagOutputFile;
        select(0, 0, 8 + int(dialogs), 9);
        output_selection(window_);
        ASSERT_EQ(seen_dialogs.size(), dialogs);
        EXPECT_NE(seen_dialogs.back().text.find(message_text(kMsgNumberExhausted)), std::string::npos);
        if (first.empty()) first = test_read_file(file);
    }
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(test_read_file(file), first);
}

// The scrap as a fresh one holds it, for the BASE64 tests.
std::string new_scrap() {
    char* text = scrap_text_with_style(nullptr);
    std::string s = text;
    std::free(text);
    return s;
}

TEST_F(OutputDispatcher, Base64ItemGoesIntoTheScrapBeforeTheInsertPlace) {
    const std::string scrap = folder_ + "\\scrap.html";
    const std::string tail = std::string("\0 kept", 6);  // a NUL after the insert place cuts nothing
    test_write_file(scrap, new_scrap() + tail);
    settings_write_string(kSectionOutput, "HtmlFile", scrap.c_str());
    settings_write_string(kSectionOutput, "Type", "bmp");
    start_capture_state();
    g_app.flags = kFlagOutputBase64 | kFlagBase64ToScrap;
    select(2, 3, 21, 13);
    output_selection(window_);
    expect_capture_ended();
    expect_one_dialog(kNoticeCaption, "スクラップに、BASE64形式データを追加しました．");
    const std::string text = test_read_file(scrap);
    const size_t item = text.find("<!-- Tamble Scrap Part ["), place = text.find(kInsertPlace);
    ASSERT_NE(item, std::string::npos);
    EXPECT_LT(item, place);
    EXPECT_EQ(text.substr(place - 8, 8), "\">\r\n<br>");
    EXPECT_NE(text.find("src=\"data:image/bmp;base64,Qk"), std::string::npos);  // "BM"
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(history(), "20,11");
}

TEST_F(OutputDispatcher, Base64ScrapFailuresLeaveTheFileAsItWas) {
    const std::string scrap = folder_ + "\\scrap.html";
    settings_write_string(kSectionOutput, "HtmlFile", scrap.c_str());
    settings_write_string(kSectionOutput, "Type", "bmp");
    struct Case { std::string content; bool read_only; int message; };
    const Case cases[] = {
        {"", false, kMsgHtmlRead},  // empty file
        {"<html>a page of its own</html>", false, kMsgHtmlNoInsertPlace},
        {new_scrap(), true, kMsgHtmlCreate},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SetFileAttributesA(scrap.c_str(), FILE_ATTRIBUTE_NORMAL);
        test_write_file(scrap, c.content);
        if (c.read_only) SetFileAttributesA(scrap.c_str(), FILE_ATTRIBUTE_READONLY);
        seen_dialogs.clear();
        start_capture_state();
        g_app.flags = kFlagOutputBase64 | kFlagBase64ToScrap;
        select(0, 0, 9, 9);
        output_selection(window_);
        expect_capture_ended();
        expect_one_dialog(kAppCaption, message_text(c.message));
        EXPECT_EQ(test_read_file(scrap), c.content);
        EXPECT_TRUE(nothing_remembered());
    }
    SetFileAttributesA(scrap.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(OutputDispatcher, Base64ItemToTheClipboardAsText) {
    settings_write_string(kSectionOutput, "Type", "gif");
    start_capture_state();
    g_app.flags = kFlagOutputBase64;
    select(0, 0, 15, 15);
    output_selection(window_);
    expect_capture_ended();
    expect_one_dialog(kNoticeCaption, "クリップボードに、BASE64形式データをコピーしました．");
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    std::string item = text ? text : "";
    if (text) GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(item.compare(0, 24, "<!-- Tamble Scrap Part ["), 0);
    EXPECT_NE(item.find("\r\n<img src=\"data:image/gif;base64,R0lG"), std::string::npos);
    EXPECT_EQ(history(), "16,16");
}

TEST_F(OutputDispatcher, NoOutputKindStillRemembers) {
    start_capture_state();
    g_app.flags = 0;
    mark_clipboard();
    select(3, 4, 12, 13);
    output_selection(window_);
    expect_capture_ended();
    EXPECT_TRUE(seen_dialogs.empty());
    EXPECT_TRUE(clipboard_still_marked());
    EXPECT_EQ(history(), "10,10");
    EXPECT_EQ(settings_read_int(kSectionWindow, "x", 0), 3);
}

TEST_F(OutputDispatcher, ClipboardHeldElsewhereWarns) {
    start_capture_state();
    // Another thread keeps the clipboard open until told to let go.
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        BOOL ok = OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        if (ok) CloseClipboard();
    });
    WaitForSingleObject(opened, 10000);

    select(0, 0, 9, 9);
    output_selection(window_);
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    expect_capture_ended();
    expect_one_dialog(kAppCaption, message_text(kMsgClipboardOpen));
    EXPECT_TRUE(nothing_remembered());
}

}  // namespace
