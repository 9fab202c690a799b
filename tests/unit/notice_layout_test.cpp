// The notice's line splitting and how it grows to fit its text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "ui/notice_layout.h"

namespace {

std::vector<std::string> split(const char* text) {
    std::vector<std::string> out;
    for (const NoticeLine& line : notice_split_lines(text))
        out.emplace_back(text + line.offset, line.length);
    return out;
}

// Seven pixels per byte, so widths follow from the text.
int seven_per_byte(const char*, int length, void* calls) {
    ++*static_cast<int*>(calls);
    return 7 * length;
}

TEST(NoticeLines, SplitAtEachLineBreak) {
    using V = std::vector<std::string>;
    EXPECT_EQ(split("abc"), V({"abc"}));
    EXPECT_EQ(split("abc\r\n"), V({"abc"}));
    EXPECT_EQ(split("a\r\nbc"), V({"a", "bc"}));
    EXPECT_EQ(split("a\r\n\r\nb\r\n"), V({"a", "", "b"}));
    EXPECT_EQ(split("\r\n\r\n"), V({"", ""}));
    EXPECT_EQ(split(""), V());
    EXPECT_EQ(split(nullptr), V());
    // A lone CR or LF is part of the line.
    EXPECT_EQ(split("a\rb\nc\r"), V({"a\rb\nc\r"}));
    EXPECT_EQ(split("x\r\r\ny"), V({"x\r", "y"}));
}

TEST(NoticeLines, MeasureOnlyNonEmptyLines) {
    int calls = 0;
    NoticeExtent e = notice_measure("ab\r\n\r\nabcd\r\nx", seven_per_byte, &calls);
    EXPECT_EQ(e.lines, 4);
    EXPECT_EQ(e.widest, 28);
    EXPECT_EQ(calls, 3);
    calls = 0;
    e = notice_measure("\r\n\r\n\r\n", seven_per_byte, &calls);
    EXPECT_EQ(e.lines, 3);
    EXPECT_EQ(e.widest, 0);
    EXPECT_EQ(calls, 0);
}

const NoticeTemplate kTemplate = {96, 11, 12, 20, 40, 96};

TEST(NoticeLayout, ThreeLinesGrowByTwoThirdsOfTheFieldPerLine) {
    NoticeLayout l = notice_layout(NoticeExtent{200, 3}, kTemplate);
    ASSERT_TRUE(l.resize);
    int extra = (2 * 2 * 20) / 3;  // 26, truncated
    EXPECT_EQ(l.window_width, 260);
    EXPECT_EQ(l.window_height, 96 + extra);
    EXPECT_EQ(l.edit_width, 210);
    EXPECT_EQ(l.edit_height, 20 + extra);
    EXPECT_EQ(l.button_x, 80);
    EXPECT_EQ(l.button_y, 40 + extra);
}

TEST(NoticeLayout, OneLineKeepsTheTemplateHeight) {
    NoticeLayout l = notice_layout(NoticeExtent{31, 1}, kTemplate);
    ASSERT_TRUE(l.resize);
    EXPECT_EQ(l.window_width, 91);
    EXPECT_EQ(l.window_height, 96);
    EXPECT_EQ(l.edit_height, 20);
    EXPECT_EQ(l.button_x, -5);
    EXPECT_EQ(l.button_y, 40);
}

TEST(NoticeLayout, NothingMeasurableKeepsTheTemplateSize) {
    int calls = 0;
    EXPECT_FALSE(notice_layout(notice_measure("\r\n\r\n", seven_per_byte, &calls), kTemplate).resize);
    EXPECT_FALSE(notice_layout(NoticeExtent{0, 0}, kTemplate).resize);
}

TEST(NoticeLayout, RoomAroundTheTextGrowsWithTheDpi) {
    // At 144 DPI every length is half again; the text is measured in that DPI's font.
    const NoticeTemplate t = notice_template_at(kTemplate, 144);
    EXPECT_EQ(std::tuple(t.window_height, t.edit_top, t.edit_height, t.button_top),
              std::tuple(144, 18, 30, 60));
    const NoticeLayout l = notice_layout(NoticeExtent{300, 3}, t);
    EXPECT_EQ(std::tuple(l.window_width, l.edit_width, l.button_x, l.window_height, l.button_y),
              std::tuple(390, 315, 120, 144 + 40, 60 + 40));
}

TEST(KeyboardHelp, EightLinesEachEndingInALineBreak) {
    std::vector<std::string> lines = split(kKeyboardHelpText);
    ASSERT_EQ(lines.size(), 8u);
    size_t n = std::strlen(kKeyboardHelpText);
    EXPECT_EQ(std::string(kKeyboardHelpText + n - 2), "\r\n");
    for (const std::string& line : lines) EXPECT_NE(line.find('\t'), std::string::npos) << line;
    // Shift_JIS bytes: "る" is 82 E9 and the ideographic space 81 40; lines
    // one and two end in three and four of them.
    const std::string space = "\x81\x40";
    EXPECT_EQ(lines[0].substr(lines[0].size() - 8), "\x82\xe9" + space + space + space);
    EXPECT_EQ(lines[1].substr(lines[1].size() - 10), "\x82\xe9" + space + space + space + space);
    EXPECT_EQ(lines[0].substr(0, 2), "\x81\xaa");  // the up arrow
}

}  // namespace
