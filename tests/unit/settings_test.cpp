// The settings store. Natively this runs over the portable INI code; in the
// Windows build the same cases run over the real private-profile functions.
#include "state/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "state/app_state.h"
#include "sys/profile.h"
#include "tests/unit/test_files.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = test_temp_path("settings.ini");
        std::remove(path_.c_str());
        std::snprintf(g_app.ini_path, sizeof g_app.ini_path, "%s", path_.c_str());
    }
    void TearDown() override { std::remove(path_.c_str()); }
    std::string path_;
};

TEST(SettingsAtoi, FollowsTheRuntimeRules) {
    struct Case { const char* text; int value; };
    const Case cases[] = {
        {"42", 42},   {"  42", 42},   {"-5", -5},       {"+7x", 7},
        {"abc", 0},   {"", 0},        {" 12abc", 12},   {"- 3", 0},
        {"2147483647", INT_MAX},      {"99999999999999", INT_MAX},
        {"-2147483648", INT_MIN},     {"-99999999999999", INT_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(settings_atoi(c.text), c.value) << c.text;
}

TEST_F(SettingsTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(settings_read_int("System", "Flags", 1156), 1156);
    EXPECT_EQ(settings_read_int("Window", "x", -16), -16);
    char text[32] = "junk";
    EXPECT_EQ(settings_read_string("Output", "Type", text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    settings_write_int("Window", "w", 64);
    EXPECT_EQ(settings_read_int("Window", "h", 48), 48);
    EXPECT_EQ(settings_read_int("Custom", "w", 48), 48);
}

TEST_F(SettingsTest, EachReadSeesTheLastWriteAndOthersStay) {
    settings_write_int("Window", "x", 10);
    settings_write_int("Window", "y", 20);
    settings_write_int("Output", "Number", 3);
    EXPECT_EQ(settings_read_int("Window", "x", 0), 10);
    settings_write_int("Window", "x", -7);
    EXPECT_EQ(settings_read_int("Window", "x", 0), -7);
    EXPECT_EQ(settings_read_int("Window", "y", 0), 20);
    EXPECT_EQ(settings_read_int("Output", "Number", 0), 3);
    std::string text = test_read_file(path_);
    EXPECT_NE(text.find("[Window]"), std::string::npos);
    EXPECT_NE(text.find("x=-7"), std::string::npos);
    EXPECT_NE(text.find("Number=3"), std::string::npos);
}

TEST_F(SettingsTest, NamesMatchWithoutCaseAndValuesAreTrimmed) {
    test_write_file(path_,
                    "[window]\r\n"
                    "  Width =   321   \r\n"
                    "Aspect=abc\r\n"
                    "[Output]\r\n"
                    "Prefix=\"cap \"\r\n"
                    "Square=123456789012345678\r\n");
    EXPECT_EQ(settings_read_int("Window", "width", 0), 321);
    EXPECT_EQ(settings_read_int("Window", "Aspect", 5), 0);  // letters read as 0, not the default
    char text[16];
    settings_read_string("Output", "Prefix", text, sizeof text);
    EXPECT_STREQ(text, "cap ");
    // Only 15 characters reach the conversion.
    EXPECT_EQ(settings_read_int("Output", "Square", 0), INT_MAX);
}

TEST_F(SettingsTest, StringsAreCutToTheCallersBuffer) {
    settings_write_string("Output", "Type", "jpgjpgjpgjpgjpgjpg");
    char type[16];
    EXPECT_EQ(settings_read_string("Output", "Type", type, sizeof type), 15);
    EXPECT_STREQ(type, "jpgjpgjpgjpgjpg");
    // Shift_JIS values pass through unchanged.
    settings_write_string("Output", "ScrapFolder", "C:\\表題\\スクラップ\\");
    char folder[256];
    settings_read_string("Output", "ScrapFolder", folder, sizeof folder);
    EXPECT_STREQ(folder, "C:\\表題\\スクラップ\\");
}

TEST_F(SettingsTest, RectsNeedFourFields) {
    struct Case { const char* text; PixelRect rect; };
    const Case cases[] = {
        {"10,20,30,40", {10, 20, 30, 40}},
        {"10,20,30", {0, 0, 0, 0}},
        {"", {0, 0, 0, 0}},
        {"-5, 6 ,x,8", {-5, 6, 0, 8}},
        {"1,2,3,4,5", {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        settings_write_string("Window", "DialogRect", c.text);
        PixelRect r{9, 9, 9, 9};
        settings_read_rect("DialogRect", &r);
        EXPECT_EQ(r.left, c.rect.left) << c.text;
        EXPECT_EQ(r.top, c.rect.top) << c.text;
        EXPECT_EQ(r.right, c.rect.right) << c.text;
        EXPECT_EQ(r.bottom, c.rect.bottom) << c.text;
    }
    settings_write_rect("DialogRect3", PixelRect{-100, 5, 300, 405});
    char text[64];
    settings_read_string("Window", "DialogRect3", text, sizeof text);
    EXPECT_STREQ(text, "-100,5,300,405");
}

TEST_F(SettingsTest, KeptValuesAreLoadedAndNormalised) {
    settings_load_kept();
    EXPECT_EQ(g_app.flags, 1156);
    EXPECT_EQ(g_app.scaling_percent, 100);
    EXPECT_EQ(g_app.square, 0);
    EXPECT_EQ(g_app.fixed_width, 0);

    struct Case { int scaling, want_scaling, square, want_square; };
    const Case cases[] = {{250, 100, 63, 0}, {200, 200, 64, 64}, {99, 100, 0, 0}, {150, 150, 1000, 1000}};
    for (const Case& c : cases) {
        settings_write_int("Window", "Scaling", c.scaling);
        settings_write_int("Output", "Square", c.square);
        settings_write_string("Window", "Width", "abc");
        settings_write_int("Window", "BackGroundColor", 0x00FF8040);
        settings_load_kept();
        EXPECT_EQ(g_app.scaling_percent, c.want_scaling);
        EXPECT_EQ(g_app.square, c.want_square);
        EXPECT_EQ(g_app.fixed_width, 0);
        EXPECT_EQ(g_app.background_colour, 0x00FF8040u);
    }
}

}  // namespace
