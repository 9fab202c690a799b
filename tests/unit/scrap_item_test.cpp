// The BASE64 item: the clipboard text split, the item's bytes for every
// combination of its pieces, and the whole build through the scratch file.
#include "output/scrap_item.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "image/base64.h"
#include "image/bmp.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "tests/unit/data_folder_test.h"
#include "tests/unit/test_files.h"

namespace {

std::string text_of(const char* s) { return s ? s : "(none)"; }

TEST(ClipboardSplit, HeadingLinkAndText) {
    struct Case { std::string clip, heading, link, text; };
    const std::string none = "(none)";
    const std::string h1022(1022, 'h'), h1023(1023, 'h');
    const Case cases[] = {
        {"<Title>\r\n[target.html]\r\nline1\r\nline2", "Title", "target.html", "line1\r\nline2"},
        {"<>\r\nsecond", none, none, "second"},
        {"<Title\r\nrest", "Title", none, "rest"},
        {"<only heading>", none, none, "<only heading>"},  // no line end: all text
        {"[link]\r\ntext", none, "link", "text"},
        {"text\r\n[not a link]\r\n", none, none, "text\r\n[not a link]\r\n"},
        {"<h>\r\n", "h", none, none},
        {"<a>>\r\nx", "a>", none, "x"},  // only one ">" comes off
        // The line counted from its "<": 1023 bytes is a heading, 1024 is not.
        {"<" + h1022 + "\r\nx", h1022, none, "x"},
        {"<" + h1023 + "\r\nx", none, none, "<" + h1023 + "\r\nx"},
    };
    for (const Case& c : cases) {
        ClipboardParts parts;
        ASSERT_EQ(split_clipboard_text(c.clip.c_str(), &parts), 1);
        const std::string label = c.clip.substr(0, 20);
        EXPECT_EQ(text_of(parts.heading), c.heading) << label;
        EXPECT_EQ(text_of(parts.link), c.link) << label;
        EXPECT_EQ(text_of(parts.text), c.text) << label;
        clipboard_parts_free(&parts);
    }
    ClipboardParts empty;
    ASSERT_EQ(split_clipboard_text(nullptr, &empty), 1);
    EXPECT_EQ(empty.heading, nullptr);
    EXPECT_EQ(empty.text, nullptr);
}

TEST(ScrapItem, PiecesByHeadingLinkTextAndWrap) {
    const char* m = "<!-- Tamble Scrap Part [2026/12/07 10:00] -->\r\n";
    struct Case { const char* heading; const char* link; const char* text; int flags; std::string want; };
    const std::string img = "\r\n<img src=\"data:image/gif;base64,R0lG\">\r\n";
    const Case cases[] = {
        {nullptr, nullptr, nullptr, 0, m + img + "<br>"},
        {"", "", "", 0, m + img + "<br>"},
        {"H", nullptr, nullptr, 0, m + std::string("<p><h2>H</h2>") + img + "<br>"},
        {nullptr, "L", nullptr, 0, m + std::string("<a href=\"L\">") + img + "</a><br>"},
        {"H", "L", "a\r\nb<&", 0,
         m + std::string("<p><h2>H</h2><a href=\"L\">") + img + "</a><br>a<br>\r\nb<&"},
        {nullptr, nullptr, "t", kFlagTextRight,
         m + std::string("\r\n<img align=left src=\"data:image/gif;base64,R0lG\">\r\nt<br clear=left>\r\n")},
        {nullptr, "L", nullptr, kFlagTextLeft,
         m + std::string("<a href=\"L\">\r\n<img align=right src=\"data:image/gif;base64,R0lG\">\r\n</a><br clear=right>\r\n")},
        {nullptr, nullptr, nullptr, kFlagTextLeft | kFlagTextRight,  // left wins
         m + std::string("\r\n<img align=left src=\"data:image/gif;base64,R0lG\">\r\n<br clear=left>\r\n")},
    };
    for (const Case& c : cases) {
        char* item = scrap_item_text(m, c.heading, c.link, c.text, "image/gif", "R0lG", c.flags);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(std::string(item), c.want) << c.flags << text_of(c.heading) << text_of(c.link);
        std::free(item);
    }
}

using ScrapItemBuild = DataFolderTest;

TEST_F(ScrapItemBuild, CarriesTheScratchFileAsBase64) {
    PackedDib image = dib_create24(5, 3);
    settings_write_string(kSectionOutput, "Type", "bmp");
    int error = -1;
    char* item = build_scrap_item(nullptr, nullptr, "t", image, &error);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(error, 0);
    const std::string s = item;
    std::free(item);
    ASSERT_EQ(s.compare(0, 24, "<!-- Tamble Scrap Part ["), 0);
    const size_t start = s.find(";base64,") + 8, end = s.find("\">\r\n<br>t");
    ASSERT_NE(end, std::string::npos);
    EXPECT_NE(s.find("src=\"data:image/bmp;base64,"), std::string::npos);
    int32_t n = 0;
    uint8_t* bytes = base64_decode(s.data() + start, int32_t(end - start), &n);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), size_t(n)),
              test_read_file(folder_ + "$image.bmp"));
    std::free(bytes);
    mem_free(image);
}

TEST_F(ScrapItemBuild, FormatFailuresGiveTheirMessages) {
    PackedDib image = dib_create24(4, 4);
    int error = 0;
    for (const char* type : {"", "JPG", "PNG"}) {
        settings_write_string(kSectionOutput, "Type", type);
        EXPECT_EQ(build_scrap_item(nullptr, nullptr, nullptr, image, &error), nullptr);
        EXPECT_EQ(error, kMsgNoFormat) << type;
    }
    // The scratch file cannot be written (a folder holds its name).
    std::filesystem::create_directory(folder_ + "$image.jpg");
    settings_write_string(kSectionOutput, "Type", "jpg");
    EXPECT_EQ(build_scrap_item(nullptr, nullptr, nullptr, image, &error), nullptr);
    EXPECT_EQ(error, kMsgJpegFile);
    mem_free(image);
}

}  // namespace
