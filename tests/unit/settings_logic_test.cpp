// The settings dialogs' field rules: hotkey key text both ways, the
// shortened paths, scaling, square, quality and number fields, and which
// controls each output kind enables.
#include <gtest/gtest.h>

#include <string>

#include "app/settings_logic.h"
#include "output/output_settings_logic.h"
#include "state/messages.h"
#include "ui/path_tail.h"

namespace {

TEST(HotkeyKey, TypedAndShown) {
    struct Case { const char* typed; int vk; const char* shown; };
    const Case cases[] = {
        {"a", 'A', "A"},     {"A", 'A', "A"},    {"z", 'Z', "Z"},
        {"1", 112, "1"},     {"9", 120, "9"},    {"10", 121, "10"},
        {"12", 123, "12"},   {"24", 135, "24"},  {"1x", 112, "1"},
        {"", 0, ""},         {"0", 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hotkey_key_from_text(c.typed), c.vk) << c.typed;
        EXPECT_EQ(hotkey_key_text(c.vk), c.shown) << c.typed;
    }
    // Texts that name no usable key are refused, not taken for "no hotkey".
    for (const char* bad : {"25", "99", "+", "!", " b", "ａ", "00"})
        EXPECT_EQ(hotkey_key_from_text(bad), kHotkeyBadKey) << bad;
    EXPECT_EQ(hotkey_key_text(0x20), "");
}

// The editor program's and the scrap file's one-line fields.
TEST(PathTail, LongestTailUnder34Bytes) {
    struct Case { std::string path, shown; };
    const std::string long_dir(30, 'd');
    const Case cases[] = {
        {"C:\\Program Files\\Editor\\bin\\edit.exe", "\\Editor\\bin\\edit.exe"},  // 20 bytes
        {"C:\\" + long_dir + "\\bin\\edit.exe", "\\bin\\edit.exe"},
        {"C:\\x\\" + long_dir + "\\" + long_dir + ".exe", "\\" + long_dir + ".exe"},
        {"C:\\edit.exe", "\\edit.exe"},
        {"edit.exe", ""},
        {"", ""},
        // 表 is 0x95 0x5C: its second byte is no separator.
        {"C:\\a\\b\\c\\表.exe", "\\b\\c\\表.exe"},
        {"C:\\Users\\me\\Documents\\スクラップ\\scrap.html", "\\Documents\\スクラップ\\scrap.html"},
        {"C:\\a\\" + std::string(40, 'n') + ".html", "\\" + std::string(40, 'n') + ".html"},
    };
    for (const Case& c : cases) EXPECT_EQ(path_tail(c.path.c_str()), c.shown) << c.path;
    // Exactly 33 bytes is shown, 34 is not.
    const std::string t33 = "\\" + std::string(13, 'a') + "\\" + std::string(9, 'b') + "\\" + std::string(8, 'c');
    ASSERT_EQ(t33.size(), 33u);
    EXPECT_EQ(path_tail(("C:" + t33).c_str()), t33);
    EXPECT_EQ(path_tail(("C:" + t33 + "x").c_str()),
              "\\" + std::string(9, 'b') + "\\" + std::string(8, 'c') + "x");
}

TEST(OutputTails, Folder) {
    EXPECT_EQ(folder_tail("C:\\Users\\me\\Pictures\\Shots\\"), "\\Pictures\\Shots\\");
    const std::string deep = "C:\\" + std::string(40, 'p') + "\\Shots\\";
    EXPECT_EQ(folder_tail(deep.c_str()), "\\Shots\\");
    EXPECT_EQ(folder_tail("C:\\"), "C:\\");
}

TEST(OutputFields, SquareQualityNumber) {
    struct Sq { const char* text; int value; };
    for (const Sq& c : {Sq{"63", 0}, Sq{"64", 64}, Sq{"", 0}, Sq{"abc", 0}, Sq{"500", 500}})
        EXPECT_EQ(square_from_text(c.text), c.value) << c.text;
    struct Q { const char* text; int error; int quality; };
    for (const Q& c : {Q{"29", kMsgBadJpegQuality, 0}, Q{"30", 0, 30}, Q{"100", 0, 100},
                       Q{"101", kMsgBadJpegQuality, 0}, Q{"", 0, 80}, Q{"x", 0, 80}}) {
        int quality = 0;
        EXPECT_EQ(quality_from_text(c.text, &quality), c.error) << c.text;
        if (!c.error) {
            EXPECT_EQ(quality, c.quality) << c.text;
        }
    }
    EXPECT_EQ(file_number_from_text("99"), 99);
    EXPECT_EQ(file_number_from_text(""), 1);
    EXPECT_EQ(file_number_from_text("9a"), 1);
    EXPECT_EQ(scaling_from_text("99"), 100);
    EXPECT_EQ(scaling_from_text("150"), 150);
    EXPECT_EQ(scaling_from_text("200"), 200);
    EXPECT_EQ(scaling_from_text("201"), 100);
    EXPECT_EQ(scaling_from_text("abc"), 100);
}

TEST(OutputKinds, EnabledControls) {
    struct Case { int id; int file, clipboard, base64; };
    const Case cases[] = {
        {1029, 1, 0, 1}, {1023, 1, 0, 1}, {1026, 1, 0, 1},  // format, quality, clipboard text
        {1017, 1, 0, 0}, {1014, 1, 0, 0}, {1033, 1, 0, 0}, {1034, 1, 0, 0},  // file naming
        {1039, 0, 0, 1}, {1018, 0, 0, 1}, {1015, 0, 0, 1}, {1043, 0, 0, 1},  // BASE64
        {1035, 1, 1, 1}, {1036, 1, 1, 1},                                    // always
    };
    for (const Case& c : cases) {
        EXPECT_EQ(output_control_enabled(OutputKind::kFile, c.id), c.file) << c.id;
        EXPECT_EQ(output_control_enabled(OutputKind::kClipboard, c.id), c.clipboard) << c.id;
        EXPECT_EQ(output_control_enabled(OutputKind::kBase64, c.id), c.base64) << c.id;
    }
    EXPECT_EQ(output_control_enabled(OutputKind::kNone, 1029), -1);
}

}  // namespace
