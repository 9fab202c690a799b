// The settings dialog and the output settings dialog from the program's own
// resources, driven under Wine as a user would: controls clicked and
// filled while the modal dialog runs, warning boxes recorded and closed as
// they open, and the settings file compared before and after OK.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/settings_dialog.h"
#include "output/output_settings_dialog.h"
#include "resources/resource_ids.h"
#include "scrap/scrap_format.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "tests/unit/test_files.h"
#include "tests/win/modal_driver.h"

namespace {

const char kOutputCaption[] = "出力設定 - Tamble";
const char kSettingsCaption[] = "設定 - Tamble Ver4.13";
const char kFolderPickerTitle[] = "出力する画像ファイルのフォルダを選択する";
const char kScrapPickerTitle[] = "BASE64形式の出力するHTMLファイルを設定する";
constexpr int kHotkeyId = 322;
constexpr int kModAlt = 1, kModCtrl = 2, kModShift = 4;

// --- warning boxes ---------------------------------------------------------

// The texts of the program's warning boxes, in the order they opened. Each
// is answered OK as soon as it is activated.
std::vector<std::string> warnings;

void catch_warning(HWND window) {
    char caption[128] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (!std::strcmp(caption, kAppCaption) && GetDlgItem(window, IDOK)) {
        char text[512] = "";
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);  // the box's message
        warnings.push_back(text);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
}

// --- driving modal dialogs ---------------------------------------------------

// `act` runs in the open dialog; a dialog still open after it is cancelled.
std::function<void(HWND)> then_cancel(std::function<void(HWND)> act) {
    return [act](HWND dialog) {
        act(dialog);
        if (IsWindowVisible(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    };
}

int run_output_dialog(std::function<void(HWND)> act) {
    when_open(kOutputCaption, then_cancel(std::move(act)));
    return output_settings_dialog(nullptr);
}

int run_settings_dialog(std::function<void(HWND)> act) {
    when_open(kSettingsCaption, then_cancel(std::move(act)));
    return settings_dialog(nullptr);
}

// Handles what the dialog posted to itself (the enabling after a kind).
void settle(HWND dialog) {
    MSG msg;
    while (PeekMessageA(&msg, dialog, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A click on a button, as the mouse gives it; the dialog's reaction is
// done when it returns.
void click(HWND dialog, int id) {
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
    settle(dialog);
}

void set_check(HWND dialog, int id, bool on) {
    if ((IsDlgButtonChecked(dialog, id) == BST_CHECKED) != on) click(dialog, id);
}

void uncheck_all(HWND dialog, std::initializer_list<int> ids) {
    for (int id : ids) CheckDlgButton(dialog, id, BST_UNCHECKED);
}

bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

// Answers the save-file picker with `path` once it opens.
void answer_picker(const char* title, const std::string& path) {
    when_open(title, [path](HWND picker) {
        // The name field: a combo box in the explorer-style dialog, an edit
        // in the older one.
        SetDlgItemTextA(picker, 0x47C, path.c_str());
        SetDlgItemTextA(picker, 0x480, path.c_str());
        PostMessageA(picker, WM_COMMAND, IDOK, 0);
    });
}

// --- the settings file -------------------------------------------------------

using IniEntries = std::map<std::string, std::string>;  // "Section/Key" -> value

IniEntries ini_entries(const std::string& path) {
    IniEntries entries;
    std::istringstream in(test_read_file(path));
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
        } else if (line.find('=') != std::string::npos) {
            const size_t eq = line.find('=');
            entries[section + "/" + line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return entries;
}

// The keys whose value changed or that appeared, with their new values, and
// those that went (value "<gone>").
IniEntries ini_changes(const IniEntries& before, const IniEntries& after) {
    IniEntries changes;
    for (const auto& [key, value] : after) {
        auto it = before.find(key);
        if (it == before.end() || it->second != value) changes[key] = value;
    }
    for (const auto& [key, value] : before)
        if (!after.count(key)) changes[key] = "<gone>";
    return changes;
}

// --- fixture -----------------------------------------------------------------

class SettingsDialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_app.instance = GetModuleHandleA(nullptr);
        // Hotkeys go to the main window; any window of this thread serves.
        main_ = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                g_app.instance, nullptr);
        other_ = CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 g_app.instance, nullptr);
    }
    static void TearDownTestSuite() {
        DestroyWindow(main_);
        DestroyWindow(other_);
    }

    void SetUp() override {
        ASSERT_TRUE(main_ && other_);
        g_app.main_window = main_;
        g_app.hotkey_id = 0;
        g_app.square = 0;
        g_app.scaling_percent = 100;
        ini_ = test_temp_path("tamble.ini");
        std::remove(ini_.c_str());
        std::snprintf(g_app.ini_path, sizeof g_app.ini_path, "%s", ini_.c_str());
        dir_ = test_temp_path("files");
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
        std::filesystem::create_directories(dir_ + "\\out");
        // No style file there: new scraps take the built-in style.
        std::snprintf(g_app.data_folder, sizeof g_app.data_folder, "%s\\", dir_.c_str());
        // Written before each dialog opens, as the program keeps it.
        settings_write_int(kSectionSystem, "Flags", kDefaultFlags);
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
        warnings.clear();
        watch_ = std::make_unique<ActivationWatch>(catch_warning);
        ASSERT_TRUE(watch_->hooked());
    }

    void TearDown() override {
        watch_.reset();
        modal_stop_all();
        UnregisterHotKey(main_, kHotkeyId);
        g_app.hotkey_id = 0;
        std::remove(ini_.c_str());
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    IniEntries ini() const { return ini_entries(ini_); }

    // Output settings as a user of the file kind left them.
    void write_output_settings() {
        settings_write_string(kSectionOutput, "Type", "png");
        settings_write_int(kSectionOutput, "JpegQuality", 50);
        settings_write_string(kSectionOutput, "OutputFolder", (dir_ + "\\out\\").c_str());
        settings_write_string(kSectionOutput, "Prefix", "B");
        settings_write_int(kSectionOutput, "Number", 7);
    }

    // The hotkey start-up registered: Shift+Ctrl+Z.
    void register_stored_hotkey() {
        settings_write_int(kSectionOption, "HotkeyVK", 'Z');
        settings_write_int(kSectionOption, "HotkeyMOD", kModShift | kModCtrl);
        ASSERT_TRUE(RegisterHotKey(main_, kHotkeyId, kModShift | kModCtrl, 'Z'));
        g_app.hotkey_id = kHotkeyId;
    }

    // Whether a hotkey is held by anyone: another window cannot have it.
    static bool hotkey_held(int mod, int vk) {
        if (!RegisterHotKey(other_, 1, UINT(mod), UINT(vk))) return true;
        UnregisterHotKey(other_, 1);
        return false;
    }

    static HWND main_, other_;
    std::string ini_, dir_;
    std::unique_ptr<ActivationWatch> watch_;
};
HWND SettingsDialogs::main_ = nullptr;
HWND SettingsDialogs::other_ = nullptr;

// --- output settings -----------------------------------------------------------

const int kKinds[] = {IDC_OUT_FILE, IDC_OUT_CLIPBOARD, IDC_OUT_BASE64};
const std::initializer_list<int> kFormats = {IDC_OUT_JPEG, IDC_OUT_GIF, IDC_OUT_PNG, IDC_OUT_BMP};

TEST_F(SettingsDialogs, EachOutputKindEnablesExactlyItsControls) {
    struct KindCase {
        int kind;
        std::vector<int> enabled;  // besides the kinds and the square, always enabled
    };
    const KindCase file = {IDC_OUT_FILE,
                           {IDC_OUT_JPEG, IDC_OUT_GIF, IDC_OUT_PNG, IDC_OUT_BMP, IDC_OUT_QUALITY, IDC_OUT_FOLDER,
                            IDC_OUT_FOLDER_PICK, IDC_OUT_PREFIX, IDC_OUT_NUMBER, IDC_OUT_USE_TEXT}};
    const KindCase clipboard = {IDC_OUT_CLIPBOARD, {}};
    const KindCase base64 = {
        IDC_OUT_BASE64,
        {IDC_OUT_JPEG, IDC_OUT_GIF, IDC_OUT_PNG, IDC_OUT_BMP, IDC_OUT_QUALITY, IDC_OUT_USE_TEXT,
         IDC_OUT_WRAP_RIGHT, IDC_OUT_WRAP_LEFT, IDC_OUT_WRAP_NONE, IDC_OUT_SCRAP,
         IDC_OUT_SCRAP_PICK, IDC_OUT_TO_SCRAP, IDC_OUT_TO_CLIPBOARD}};
    const int controls[] = {IDC_OUT_JPEG,       IDC_OUT_GIF,       IDC_OUT_PNG,  IDC_OUT_BMP,
                            IDC_OUT_QUALITY,    IDC_OUT_FOLDER,    IDC_OUT_FOLDER_PICK,
                            IDC_OUT_PREFIX,     IDC_OUT_NUMBER,    IDC_OUT_USE_TEXT,
                            IDC_OUT_WRAP_RIGHT, IDC_OUT_WRAP_LEFT, IDC_OUT_WRAP_NONE,
                            IDC_OUT_SCRAP,      IDC_OUT_SCRAP_PICK, IDC_OUT_TO_SCRAP,
                            IDC_OUT_TO_CLIPBOARD};
    // The kind from the options first, then every change from one kind to
    // another once.
    const KindCase* steps[] = {&base64, &clipboard, &file, &clipboard, &base64, &file, &base64};
    g_app.flags = kFlagFirstRunDone | kFlagOutputBase64;
    run_output_dialog([&](HWND d) {
        for (size_t s = 0; s < std::size(steps); ++s) {
            const KindCase& c = *steps[s];
            if (s > 0) click(d, c.kind);
            settle(d);
            for (int id : controls) {
                const bool want =
                    std::find(c.enabled.begin(), c.enabled.end(), id) != c.enabled.end();
                EXPECT_EQ(enabled(d, id), want) << "step " << s << ", control " << id;
            }
            for (int kind : kKinds) {
                EXPECT_TRUE(enabled(d, kind)) << "step " << s << ", kind " << kind;
                EXPECT_EQ(IsDlgButtonChecked(d, kind) == BST_CHECKED, kind == c.kind)
                    << "step " << s << ", kind " << kind;
            }
            EXPECT_TRUE(enabled(d, IDC_OUT_SQUARE)) << "step " << s;
        }
    });
}

// A failed check shows its message, keeps the dialog open and writes
// nothing but the square, which is kept at once.
TEST_F(SettingsDialogs, OutputOkWithBadValuesShowsItsMessageAndStaysOpen) {
    struct BadCase {
        const char* name;
        int kind;    // 0: none checked
        int format;  // 0: none checked
        const char* quality;
        const char* prefix;
        bool to_scrap;
        int message;
    };
    const BadCase cases[] = {
        {"no kind", 0, IDC_OUT_JPEG, "80", "A", false, kMsgNoOutput},
        {"no format", IDC_OUT_FILE, 0, "80", "A", false, kMsgNoFormat},
        {"quality 29", IDC_OUT_FILE, IDC_OUT_JPEG, "29", "A", false, kMsgBadJpegQuality},
        {"quality 101 with GIF", IDC_OUT_FILE, IDC_OUT_GIF, "101", "A", false, kMsgBadJpegQuality},
        {"quality 29 for BASE64 with BMP", IDC_OUT_BASE64, IDC_OUT_BMP, "29", "A", true,
         kMsgBadJpegQuality},
        {"empty prefix", IDC_OUT_FILE, IDC_OUT_JPEG, "80", "", false, kMsgNoPrefix},
        {"prefix leaving the folder", IDC_OUT_FILE, IDC_OUT_JPEG, "80", "..\\x", false,
         kMsgBadPrefix},
        {"missing folder", IDC_OUT_FILE, IDC_OUT_JPEG, "80", "A", false, kMsgNoOutputFolder},
        {"BASE64 to a scrap without a name", IDC_OUT_BASE64, IDC_OUT_JPEG, "80", "A", true,
         kMsgHtmlNotSet},
    };
    write_output_settings();
    settings_write_string(kSectionOutput, "OutputFolder", (dir_ + "\\no such folder\\").c_str());
    g_app.flags = kFlagFirstRunDone | kFlagOutputFile;
    const int flags = g_app.flags;
    const int result = run_output_dialog([&](HWND d) {
        for (size_t i = 0; i < std::size(cases); ++i) {
            const BadCase& c = cases[i];
            if (c.kind)
                click(d, c.kind);
            else
                uncheck_all(d, {IDC_OUT_FILE, IDC_OUT_CLIPBOARD, IDC_OUT_BASE64});
            if (c.format)
                click(d, c.format);
            else
                uncheck_all(d, kFormats);
            SetDlgItemTextA(d, IDC_OUT_QUALITY, c.quality);
            SetDlgItemTextA(d, IDC_OUT_PREFIX, c.prefix);
            if (c.to_scrap) click(d, IDC_OUT_TO_SCRAP);
            const std::string square = std::to_string(64 + i);
            SetDlgItemTextA(d, IDC_OUT_SQUARE, square.c_str());
            const IniEntries before = ini();
            warnings.clear();
            click(d, IDOK);
            EXPECT_EQ(warnings, std::vector<std::string>{message_text(c.message)}) << c.name;
            EXPECT_TRUE(IsWindowVisible(d)) << c.name;
            EXPECT_EQ(ini_changes(before, ini()), (IniEntries{{"Output/Square", square}})) << c.name;
            EXPECT_EQ(g_app.square, 64 + int(i)) << c.name;
            EXPECT_EQ(g_app.flags, flags) << c.name;
        }
    });
    EXPECT_EQ(result, -1);
}

TEST_F(SettingsDialogs, OutputOkRefusesAPageWithoutTheInsertPlaceAndLeavesIt) {
    const std::string page = dir_ + "\\page.html";
    const std::string text = "<html><body>someone's own page</body></html>\r\n";
    test_write_file(page, text);
    write_output_settings();
    settings_write_string(kSectionOutput, "HtmlFile", page.c_str());
    g_app.flags = kFlagFirstRunDone | kFlagOutputBase64 | kFlagBase64ToScrap;
    const IniEntries before = ini();
    run_output_dialog([&](HWND d) {
        click(d, IDOK);
        EXPECT_EQ(warnings, std::vector<std::string>{message_text(kMsgHtmlNoInsertPlace)});
        EXPECT_TRUE(IsWindowVisible(d));
    });
    EXPECT_EQ(test_read_file(page), text);
    EXPECT_EQ(ini_changes(before, ini()), (IniEntries{{"Output/Square", "0"}}));
    EXPECT_EQ(g_app.flags, kFlagFirstRunDone | kFlagOutputBase64 | kFlagBase64ToScrap);
}

// A picked name of 258 bytes (the picker takes more): message 13, the scrap stays.
TEST_F(SettingsDialogs, PickedNameTooLongIsRefused) {
    const std::string deep = dir_ + "\\" + std::string(246 - dir_.size(), 'd');
    std::filesystem::create_directories(deep);
    settings_write_string(kSectionOutput, "HtmlFile", (dir_ + "\\scrap.html").c_str());
    g_app.flags = kFlagFirstRunDone | kFlagOutputBase64 | kFlagBase64ToScrap;
    run_output_dialog([&](HWND d) {
        char before[kPathSize] = "", after[kPathSize] = "";
        GetDlgItemTextA(d, IDC_OUT_SCRAP, before, sizeof before);
        answer_picker(kScrapPickerTitle, deep + "\\scrap.html");
        click(d, IDC_OUT_SCRAP_PICK);
        EXPECT_EQ(warnings, std::vector<std::string>{message_text(kMsgImageFile)});
        GetDlgItemTextA(d, IDC_OUT_SCRAP, after, sizeof after);
        EXPECT_STREQ(after, before);
    });
}

// A good OK writes exactly these keys; the option bits change in memory
// only and reach the file at exit.
TEST_F(SettingsDialogs, OutputOkWritesExactlyTheKeysOfItsKind) {
    const std::string out2 = dir_ + "\\out2";
    std::filesystem::create_directories(out2);
    const std::string scrap = dir_ + "\\new scrap.html";
    const int kept = kFlagFirstRunDone | kFlagAutoOpenBox | kFlagSeparateBoxRects;
    struct GoodCase {
        const char* name;
        int flags_before;
        std::function<void(HWND)> fill;
        IniEntries writes;
        int flags_after;
    };
    const GoodCase cases[] = {
        {"clipboard", kept | kFlagOutputFile | kFlagUseClipboardText | kFlagTextRight,
         [](HWND d) {
             click(d, IDC_OUT_CLIPBOARD);
             SetDlgItemTextA(d, IDC_OUT_SQUARE, "100");
         },
         {{"Output/Square", "100"}},
         kept | kFlagOutputClipboard | kFlagUseClipboardText | kFlagTextRight},
        {"image file", kept | kFlagOutputBase64 | kFlagUseClipboardText,
         [&](HWND d) {
             click(d, IDC_OUT_FILE);
             click(d, IDC_OUT_BMP);
             SetDlgItemTextA(d, IDC_OUT_QUALITY, "30");
             // The picker's file name leaves its folder.
             answer_picker(kFolderPickerTitle, out2 + "\\any name.jpg");
             click(d, IDC_OUT_FOLDER_PICK);
             SetDlgItemTextA(d, IDC_OUT_PREFIX, "Z");
             SetDlgItemTextA(d, IDC_OUT_NUMBER, "12");
             set_check(d, IDC_OUT_USE_TEXT, false);
         },
         {{"Output/Type", "bmp"},
          {"Output/JpegQuality", "30"},
          {"Output/OutputFolder", out2 + "\\"},
          {"Output/Prefix", "Z"},
          {"Output/Number", "12"},
          {"Output/Square", "0"}},
         kept | kFlagOutputFile},
        {"BASE64 into a new scrap", kept | kFlagOutputFile | kFlagTextRight,
         [&](HWND d) {
             click(d, IDC_OUT_BASE64);
             click(d, IDC_OUT_JPEG);
             SetDlgItemTextA(d, IDC_OUT_QUALITY, "100");
             click(d, IDC_OUT_WRAP_LEFT);
             click(d, IDC_OUT_TO_SCRAP);
             answer_picker(kScrapPickerTitle, scrap);
             click(d, IDC_OUT_SCRAP_PICK);
             set_check(d, IDC_OUT_USE_TEXT, true);
             SetDlgItemTextA(d, IDC_OUT_SQUARE, "64");
         },
         {{"Output/HtmlFile", scrap},
          {"Output/Type", "jpg"},
          {"Output/JpegQuality", "100"},
          {"Output/Square", "64"}},
         kept | kFlagOutputBase64 | kFlagUseClipboardText | kFlagTextLeft | kFlagBase64ToScrap},
        {"two kinds, hand-edited: BASE64 first, with the stored PNG checked", kept | kFlagOutputFile | kFlagOutputBase64, [](HWND) {},
         {{"Output/HtmlFile", ""}, {"Output/Square", "0"}}, kept | kFlagOutputBase64},
    };
    for (const GoodCase& c : cases) {
        std::remove(ini_.c_str());
        settings_write_int(kSectionSystem, "Flags", kDefaultFlags);
        write_output_settings();
        g_app.flags = c.flags_before;
        g_app.square = 0;
        const IniEntries before = ini();
        warnings.clear();
        const int result = run_output_dialog([&](HWND d) {
            c.fill(d);
            click(d, IDOK);
        });
        EXPECT_EQ(result, 0) << c.name;
        EXPECT_TRUE(warnings.empty()) << c.name << ": " << (warnings.empty() ? "" : warnings[0]);
        EXPECT_EQ(ini_changes(before, ini()), c.writes) << c.name;
        EXPECT_EQ(g_app.flags, c.flags_after) << c.name;
        EXPECT_EQ(std::to_string(g_app.square), c.writes.at("Output/Square")) << c.name;
    }
    // The missing scrap became a new one.
    char* fresh = scrap_text_with_style(nullptr);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(test_read_file(scrap), fresh);
    std::free(fresh);
}

// --- settings ------------------------------------------------------------------

// The labels stand where the layout puts them, level with their fields.
TEST_F(SettingsDialogs, LabelsStandAtTheirPlaces) {
    run_settings_dialog([](HWND d) {
        for (auto [text, x, y] : {std::tuple{"縦横比を固定する(幅/高さ)", 7, 7}, {"ホットキー", 13, 69}}) {
            RECT want = {x, y, x, y}, have = {};
            MapDialogRect(d, &want);
            GetWindowRect(FindWindowExA(d, nullptr, "Static", text), &have);
            MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&have), 2);
            EXPECT_EQ(std::pair(have.left, have.top), std::pair(want.left, want.top)) << text;
        }
    });
}

// The hints' thread timer stops with their dialog (the caret's and the IME's are not ours).
TEST_F(SettingsDialogs, NoTimerTicksOnceTheDialogHasClosed) {
    run_settings_dialog([](HWND) {});
    int ticks = 0;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 350;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
            if (msg.message == WM_TIMER && !msg.hwnd) ++ticks;
            else DispatchMessageA(&msg);
    }
    EXPECT_EQ(ticks, 0);
}

TEST_F(SettingsDialogs, OkRegistersTheNewHotkeyAndSavesScaling) {
    register_stored_hotkey();
    settings_write_int(kSectionWindow, "Scaling", 150);
    g_app.scaling_percent = 150;
    g_app.flags = kFlagFirstRunDone | kFlagAutoOpenBox | kFlagSeparateBoxRects;
    const int result = run_settings_dialog([](HWND d) {
        SetDlgItemTextA(d, IDC_SET_KEY, "a");
        set_check(d, IDC_SET_SHIFT, false);
        set_check(d, IDC_SET_CTRL, true);
        set_check(d, IDC_SET_ALT, true);
        SetDlgItemTextA(d, IDC_SET_SCALING, "201");
        set_check(d, IDC_SET_PRIMARY, true);
        set_check(d, IDC_SET_AUTO_BOX, false);
        click(d, IDOK);
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(warnings.empty());
    const IniEntries after = ini();
    EXPECT_EQ(after.at("Option/HotkeyVK"), "65");
    EXPECT_EQ(after.at("Option/HotkeyMOD"), "3");
    EXPECT_EQ(after.at("Window/Scaling"), "100");
    EXPECT_EQ(g_app.scaling_percent, 100);
    EXPECT_EQ(g_app.flags, kFlagFirstRunDone | kFlagPrimaryOnly | kFlagSeparateBoxRects);
    // Ctrl+Alt+A is the program's now, on its main window; Shift+Ctrl+Z is free.
    EXPECT_EQ(g_app.hotkey_id, kHotkeyId);
    EXPECT_TRUE(hotkey_held(kModCtrl | kModAlt, 'A'));
    EXPECT_TRUE(UnregisterHotKey(main_, kHotkeyId));
    EXPECT_FALSE(hotkey_held(kModShift | kModCtrl, 'Z'));
}

// A refused hotkey keeps the dialog open and writes nothing; closing the
// dialog then brings back the stored hotkey.
TEST_F(SettingsDialogs, BadHotkeysStayOpenAndCancelRestoresTheStoredOne) {
    struct HotkeyCase {
        const char* name;
        const char* key;
        int mod;
        int message;
        bool stored_held;  // the stored hotkey afterwards
    };
    const HotkeyCase cases[] = {
        {"a key without a modifier", "a", 0, kMsgBadHotkey, true},
        {"a function key past F24", "25", kModCtrl, kMsgBadHotkey, true},
        {"a hotkey held elsewhere", "b", kModCtrl, kMsgHotkeyTaken, false},
    };
    register_stored_hotkey();
    ASSERT_TRUE(RegisterHotKey(other_, 7, kModCtrl, 'B'));
    const int result = run_settings_dialog([&](HWND d) {
        for (const HotkeyCase& c : cases) {
            SetDlgItemTextA(d, IDC_SET_KEY, c.key);
            set_check(d, IDC_SET_SHIFT, c.mod & kModShift);
            set_check(d, IDC_SET_CTRL, c.mod & kModCtrl);
            set_check(d, IDC_SET_ALT, c.mod & kModAlt);
            const IniEntries before = ini();
            warnings.clear();
            click(d, IDOK);
            EXPECT_EQ(warnings, std::vector<std::string>{message_text(c.message)}) << c.name;
            EXPECT_TRUE(IsWindowVisible(d)) << c.name;
            EXPECT_EQ(ini_changes(before, ini()), IniEntries{}) << c.name;
            EXPECT_EQ(g_app.hotkey_id != 0, c.stored_held) << c.name;
            EXPECT_EQ(hotkey_held(kModShift | kModCtrl, 'Z'), c.stored_held) << c.name;
        }
        click(d, IDCANCEL);
    });
    UnregisterHotKey(other_, 7);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(g_app.hotkey_id, kHotkeyId);
    EXPECT_TRUE(hotkey_held(kModShift | kModCtrl, 'Z'));
}

}  // namespace
