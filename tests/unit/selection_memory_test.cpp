// The selection's crop rectangle, square shrink and remembered values.
#include "output/selection_memory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "capture/selection.h"
#include "state/app_state.h"
#include "state/settings.h"
#include "tests/unit/test_files.h"

namespace {

// n entries "1,1@2,2@...@n,n".
std::string numbered_list(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        if (i > 1) text += "@";
        text += std::to_string(i) + "," + std::to_string(i);
    }
    return text;
}

TEST(SelectionHistory, WalkRules) {
    struct Case {
        const char* what;
        std::string old_text;
        std::string cur;
        int written;
        std::string result;
    };
    const Case cases[] = {
        {"empty list", "", "20,20", 1, "20,20"},
        {"equal last entry moves up", "10,10@20,20", "20,20", 1, "20,20@10,10"},
        {"equal first entry", "10,10@20,20", "10,10", 0, ""},
        {"new size goes in front", "10,10@20,20", "30,30", 1, "30,30@10,10@20,20"},
        {"single entry", "10,10", "30,30", 1, "30,30@10,10"},
        {"equal middle entry", "1,1@2,2@3,3@4,4", "3,3", 1, "3,3@1,1@2,2@4,4"},
        {"equality is byte for byte", "10,10@ 20,20@020,20", "20,20", 1,
         "20,20@10,10@ 20,20@020,20"},
        {"prefix is not equal", "20,200@20,20", "20,20", 1, "20,20@20,200"},
        {"leading gap", "@10,10", "30,30", 1, "30,30@"},
        {"gap in the middle", "10,10@@20,20", "30,30", 1, "30,30@10,10"},
        {"trailing separator", "10,10@", "30,30", 1, "30,30@10,10"},
        {"our own trailing separator", "30,30@", "30,30", 0, ""},
        {"match before a gap keeps the rest", "1,1@2,2@@3,3", "2,2", 1, "2,2@1,1@@3,3"},
        {"eleven entries grow to twelve", numbered_list(11), "99,99", 1,
         "99,99@" + numbered_list(11)},
        {"twelve entries are cut", numbered_list(12), "99,99", 1, "99,99@" + numbered_list(11)},
        {"longer lists are cut", numbered_list(15), "99,99", 1, "99,99@" + numbered_list(11)},
        {"twelfth entry equal moves up", numbered_list(12), "12,12", 1,
         "12,12@" + numbered_list(11)},
        {"thirteenth entry equal is cut", numbered_list(13), "13,13", 1,
         "13,13@" + numbered_list(11)},
        {"equal within a long list keeps its tail", numbered_list(14), "3,3", 1,
         "3,3@1,1@2,2@4,4@5,5@6,6@7,7@8,8@9,9@10,10@11,11@12,12@13,13@14,14"},
    };
    for (const Case& c : cases) {
        std::string out = "untouched";
        int written = selection_history_update(c.old_text.c_str(), c.cur.c_str(), &out);
        EXPECT_EQ(written, c.written) << c.what;
        if (c.written) EXPECT_EQ(out, c.result) << c.what;
        else EXPECT_EQ(out, "untouched") << c.what;
    }
}

// Hand-edited entries can be long; what is written stays within what is
// read back (1023 characters), losing whole entries from the end.
TEST(SelectionHistory, StaysWithinTheReadBackLimit) {
    const std::string cur = "99,99";  // 5 characters and "@"
    struct Case { size_t first, second; std::string kept; };
    const Case cases[] = {
        {516, 500, "whole"},  // 6 + 516 + 1 + 500 = 1023: fits
        {517, 500, "first"},  // 1024: the last entry goes
    };
    for (const Case& c : cases) {
        const std::string e1(c.first, 'x'), e2(c.second, 'y');
        const std::string old = e1 + "@" + e2;
        std::string out;
        ASSERT_EQ(selection_history_update(old.c_str(), cur.c_str(), &out), 1);
        EXPECT_LE(out.size(), 1023u);
        EXPECT_EQ(out, c.kept == "whole" ? cur + "@" + old : cur + "@" + e1) << old.size();
    }
}

TEST(SelectionSquare, ShrinksTheLongerSideToTheSquare) {
    struct Case {
        int width, height, square;
        int scaled, new_width, new_height;
    };
    const Case cases[] = {
        {400, 100, 100, 1, 100, 25},
        {300, 200, 100, 1, 100, 67},  // 66.67 rounds to nearest
        {200, 300, 100, 1, 67, 100},
        {90, 80, 100, 0, 0, 0},
        {100, 100, 100, 0, 0, 0},     // exactly the square stays
        {101, 100, 100, 1, 100, 99},
        {4000, 3000, 63, 0, 0, 0},    // below 64 never scales
        {4000, 3000, 0, 0, 0, 0},
        {130, 10, 64, 1, 64, 5},      // 4.92 rounds to 5
        {1, 300, 64, 1, 1, 64},       // the short side keeps one pixel
        {1920, 1080, 64, 1, 64, 36},
    };
    for (const Case& c : cases) {
        int w = 0, h = 0;
        EXPECT_EQ(selection_square_size(c.width, c.height, c.square, &w, &h), c.scaled)
            << c.width << "x" << c.height << " in " << c.square;
        if (!c.scaled) continue;
        EXPECT_EQ(w, c.new_width) << c.width << "x" << c.height << " in " << c.square;
        EXPECT_EQ(h, c.new_height) << c.width << "x" << c.height << " in " << c.square;
    }
}

TEST(SelectionValuesTest, CornersGiveRectangleValuesAndEntry) {
    PixelPoint tl{-30, 5}, br{9, 24};
    PixelRect r = selection_crop_rect(tl, br);
    EXPECT_EQ(r.left, -30);
    EXPECT_EQ(r.top, 5);
    EXPECT_EQ(r.right, 10);
    EXPECT_EQ(r.bottom, 25);
    SelectionValues v = selection_values(tl, br);
    EXPECT_EQ(v.x, -30);
    EXPECT_EQ(v.y, 5);
    EXPECT_EQ(v.w, 39);
    EXPECT_EQ(v.h, 19);
    EXPECT_EQ(selection_history_entry(tl, br), "40,20");
    EXPECT_EQ(selection_history_entry(PixelPoint{7, 7}, PixelPoint{7, 7}), "1,1");
}

class SelectionRemember : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = test_temp_path("remember.ini");
        std::remove(path_.c_str());
        std::snprintf(g_app.ini_path, sizeof g_app.ini_path, "%s", path_.c_str());
    }
    void TearDown() override { std::remove(path_.c_str()); }
    std::string history() {
        char text[kSizeHistoryBufferSize];
        settings_read_string(kSectionWindow, "WH_His", text, sizeof text);
        return text;
    }
    std::string path_;
};

TEST_F(SelectionRemember, WritesPositionSizeAndHistory) {
    selection_remember(PixelPoint{100, 50}, PixelPoint{139, 79});
    EXPECT_EQ(settings_read_int(kSectionWindow, "x", 0), 100);
    EXPECT_EQ(settings_read_int(kSectionWindow, "y", 0), 50);
    EXPECT_EQ(settings_read_int(kSectionWindow, "w", 0), 39);
    EXPECT_EQ(settings_read_int(kSectionWindow, "h", 0), 29);
    EXPECT_EQ(history(), "40,30");

    selection_remember(PixelPoint{0, 0}, PixelPoint{9, 9});
    EXPECT_EQ(history(), "10,10@40,30");
    EXPECT_EQ(settings_read_int(kSectionWindow, "x", -1), 0);

    selection_remember(PixelPoint{5, 5}, PixelPoint{44, 34});
    EXPECT_EQ(history(), "40,30@10,10");
    EXPECT_EQ(settings_read_int(kSectionWindow, "w", 0), 39);
}

TEST_F(SelectionRemember, EqualFirstEntryLeavesTheKeyAlone) {
    // A value the program would never write shows whether the key was rewritten.
    settings_write_string(kSectionWindow, "WH_His", "10,10@10,10");
    selection_remember(PixelPoint{3, 4}, PixelPoint{12, 13});
    EXPECT_EQ(history(), "10,10@10,10");
    EXPECT_EQ(settings_read_int(kSectionWindow, "x", 0), 3);
    EXPECT_EQ(settings_read_int(kSectionWindow, "h", 0), 9);
}

}  // namespace
