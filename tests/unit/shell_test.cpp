// The resident shell's decisions: command line, the open/close count,
// linked applications, tray clicks, paths and first-run defaults.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "state/app_state.h"
#include "state/messages.h"
#include "sys/paths.h"
#include "state/settings.h"
#include "app/shell_logic.h"
#include "app/startup.h"
#include "tests/unit/test_files.h"

namespace {

TEST(StartAction, SwitchesAreSubstringsInFixedOrder) {
    struct Case { bool running; const char* cmd; StartAction action; };
    const Case cases[] = {
        {true, "/open", StartAction::kPostOpen},
        {true, "x/closey", StartAction::kPostClose},
        {true, "/open /close", StartAction::kPostOpen},
        {true, "", StartAction::kOpenReadme},
        {true, "/first", StartAction::kOpenReadme},
        {true, "/OPEN", StartAction::kOpenReadme},  // case matters
        {false, "/open", StartAction::kRunOpened},
        {false, "/close /open", StartAction::kRunOpened},
        {false, "/close", StartAction::kExit},
        {false, "/first", StartAction::kOpenReadme},
        {false, "", StartAction::kRun},
        {false, nullptr, StartAction::kRun},
    };
    for (const Case& c : cases)
        EXPECT_EQ(start_action(c.running, c.cmd), c.action) << (c.cmd ? c.cmd : "(null)");
}

TEST(OpenCloseProtocol, EndsOnlyWhenTheCountReachesZero) {
    AppState app;
    EXPECT_EQ(close_request(&app), 0);  // started without "/open": ignored
    EXPECT_EQ(app.open_count, 0);
    app.open_count = 1;
    open_request(&app);
    EXPECT_EQ(app.open_count, 2);
    EXPECT_EQ(close_request(&app), 0);
    EXPECT_EQ(close_request(&app), 1);
    EXPECT_EQ(app.open_count, 0);
    EXPECT_EQ(close_request(&app), 0);
}

TEST(LinkApp, FirstLiveWindowWinsUntilUnlinked) {
    AppState app;
    WindowHandle a = reinterpret_cast<WindowHandle>(0x1000);
    WindowHandle b = reinterpret_cast<WindowHandle>(0x2000);
    EXPECT_EQ(link_app(&app, a, 0xC001, false), 0);  // dead window
    EXPECT_EQ(app.linked_window, nullptr);
    EXPECT_EQ(link_app(&app, a, 0xC001, true), 1);
    EXPECT_EQ(link_app(&app, b, 0xC002, true), 0);  // one link at a time
    EXPECT_EQ(app.linked_window, a);
    EXPECT_EQ(app.linked_message, 0xC001u);
    EXPECT_EQ(link_app(&app, b, 0, false), 1);  // lParam 0 unlinks whoever asks
    EXPECT_EQ(app.linked_window, nullptr);
    EXPECT_EQ(app.linked_message, 0u);
    EXPECT_EQ(link_app(&app, b, 0xC002, true), 1);
}

TEST(TrayAction, GuardsAndButtons) {
    EXPECT_EQ(tray_action(0, 0x202), TrayAction::kStartCapture);
    EXPECT_EQ(tray_action(0, 0x205), TrayAction::kMenu);
    EXPECT_EQ(tray_action(0, 0x201), TrayAction::kDefault);
    EXPECT_EQ(tray_action(0, 0x200), TrayAction::kDefault);
    EXPECT_EQ(tray_action(kCaptureActive, 0x202), TrayAction::kDefault);
    EXPECT_EQ(tray_action(kCaptureMenuOpen, 0x202), TrayAction::kDefault);
    EXPECT_EQ(tray_action(kCaptureMenuOpen, 0x205), TrayAction::kDefault);
    EXPECT_TRUE(hotkey_wanted(0x70, 2));
    EXPECT_FALSE(hotkey_wanted(0x70, 0));
    EXPECT_FALSE(hotkey_wanted(0, 2));
}

TEST(ShiftJis, LiteralsAreShiftJisBytes) {
    EXPECT_STREQ("表題", "\x95\x5C\x91\xE8");
    EXPECT_STREQ(kNoticeCaption, "\x83\x4C\x83\x83\x83\x76\x83\x60\x83\x83\x81\x5B - Tamble");
}

TEST(Messages, TableTexts) {
    EXPECT_STREQ(message_text(0), "タスクバーにアイコン登録できません．");
    EXPECT_STREQ(message_text(12), "出力を選択してください．");
    EXPECT_STREQ(message_text(28), "項目が一つもありません．");
    EXPECT_STREQ(message_text(29), "");
    EXPECT_STREQ(message_text(30), "既に同じ名前のファイルがあります．\n上書きします．");
    EXPECT_STREQ(message_text(31), "現在の項目を削除します．");
    EXPECT_STREQ(message_text(-1), "");
    EXPECT_STREQ(message_text(kMessageCount), "");
    for (int i = 0; i < kMessageCount; ++i) {
        if (i != kMessageLastWarning + 1) EXPECT_NE(message_text(i)[0], '\0') << i;
    }
    EXPECT_STREQ(kAppCaption, "Tamble Ver4.13");
}

TEST(Paths, BackslashSearchStepsOverDoubleByteCharacters) {
    // "表" is 95 5C: its trail byte is not a separator.
    const char* p = "C:\\表";
    EXPECT_EQ(sjis_last_backslash(p), p + 2);
    EXPECT_EQ(sjis_last_backslash("表"), nullptr);
    EXPECT_EQ(sjis_last_backslash("abc"), nullptr);
    char path[32] = "C:\\ソフト\\表.exe";
    ASSERT_EQ(path_replace_file_name(path, sizeof path, "readme.html"), 1);
    EXPECT_STREQ(path, "C:\\ソフト\\readme.html");
    char tiny[12] = "C:\\a.exe";
    EXPECT_EQ(path_replace_file_name(tiny, sizeof tiny, "readme.html"), 0);
    EXPECT_STREQ(tiny, "C:\\a.exe");
    char none[16] = "表";
    EXPECT_EQ(path_replace_file_name(none, sizeof none, "x"), 0);
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = test_temp_path("startup");
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_ / "docs");
        std::filesystem::create_directories(root_ / "appdata");
        app_ = AppState();
    }
    void TearDown() override {
        std::filesystem::remove_all(root_);
        g_app = AppState();
    }
    std::filesystem::path root_;
    AppState app_;
};

// The program joins paths with backslashes; natively they only name files
// inside the test folder, so the tests use the native separator to find them.
std::string native(const std::string& windows_path) {
#ifdef _WIN32
    return windows_path;
#else
    std::string s = windows_path;
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
#endif
}

TEST_F(StartupTest, FirstRunWritesDefaultsOnceAndSecondRunKeepsThem) {
    std::string appdata = native((root_ / "appdata").string());
    startup_prepare_data_folder(&g_app, appdata.c_str());
    EXPECT_EQ(std::string(g_app.ini_path), appdata + "\\Tamble\\tamble.ini");
    // Natively the backslashes are part of one file name; the folder rule
    // itself is what counts: it exists afterwards.
    EXPECT_TRUE(std::filesystem::exists(g_app.data_folder));

    settings_load_kept();
    startup_first_run(&g_app, "C:\\windows");
    EXPECT_EQ(g_app.flags, 1156 | 0x8000);
    std::string docs = native((root_ / "docs").string());
    startup_scrap_folder(&g_app, docs.c_str());

    char text[256];
    settings_read_string("Option", "Editor", text, sizeof text);
    EXPECT_STREQ(text, "C:\\windows\\System32\\notepad.exe");
    std::string scrap = docs + "\\スクラップ\\";
    settings_read_string("Output", "ScrapFolder", text, sizeof text);
    EXPECT_EQ(std::string(text), scrap);
    EXPECT_EQ(std::string(g_app.scrap_folder), scrap);
    settings_read_string("Output", "HtmlFile", text, sizeof text);
    EXPECT_EQ(std::string(text), scrap + "scrap.html");

    // Second start: the bit is saved, the folder exists; nothing is rewritten.
    settings_write_int("System", "Flags", g_app.flags);
    settings_write_string("Option", "Editor", "C:\\edit.exe");
    settings_write_string("Output", "HtmlFile", "C:\\mine.html");
    settings_load_kept();
    startup_first_run(&g_app, "C:\\windows");
    startup_scrap_folder(&g_app, "C:\\elsewhere");
    settings_read_string("Option", "Editor", text, sizeof text);
    EXPECT_STREQ(text, "C:\\edit.exe");
    settings_read_string("Output", "HtmlFile", text, sizeof text);
    EXPECT_STREQ(text, "C:\\mine.html");
    EXPECT_EQ(std::string(g_app.scrap_folder), scrap);
}

// A hand-damaged Flags value reads as 0 and so looks like a first run; the
// user's own editor must survive it.
TEST_F(StartupTest, DamagedFlagsKeepTheUsersEditor) {
    std::string appdata = native((root_ / "appdata").string());
    startup_prepare_data_folder(&g_app, appdata.c_str());
    settings_write_string("System", "Flags", "garbage");
    settings_write_string("Option", "Editor", "C:\\mine\\edit.exe");
    settings_load_kept();
    startup_first_run(&g_app, "C:\\windows");
    EXPECT_EQ(g_app.flags, 0x8000);
    char text[256];
    settings_read_string("Option", "Editor", text, sizeof text);
    EXPECT_STREQ(text, "C:\\mine\\edit.exe");
}

TEST_F(StartupTest, MissingScrapFolderIsReplacedButHtmlFileKept) {
    std::string appdata = native((root_ / "appdata").string());
    startup_prepare_data_folder(&g_app, appdata.c_str());
    settings_write_string("Output", "ScrapFolder", "Z:\\gone\\");
    settings_write_string("Output", "HtmlFile", "C:\\keep.html");
    std::string docs = native((root_ / "docs").string());
    startup_scrap_folder(&g_app, docs.c_str());
    char text[256];
    settings_read_string("Output", "ScrapFolder", text, sizeof text);
    EXPECT_EQ(std::string(text), docs + "\\スクラップ\\");
    settings_read_string("Output", "HtmlFile", text, sizeof text);
    EXPECT_STREQ(text, "C:\\keep.html");
}

}  // namespace
