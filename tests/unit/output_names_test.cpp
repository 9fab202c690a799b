// File names of the outputs and the file pickers: numbered image files,
// companion texts, and the names the pickers start with and hand back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "output/image_writer.h"
#include "state/messages.h"
#include "ui/picker_paths.h"

namespace {

TEST(ImageFileName, NumberedNames) {
    char out[256];
    ASSERT_EQ(image_file_name("C:\\out\\", "A", 99, "jpg", out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\out\\A00099.jpg");
    ASSERT_EQ(image_file_name("C:\\out\\", "", 123456, "gif", out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\out\\123456.gif");  // six digits in full
    // A name that does not fit is refused, never cut.
    const std::string folder = "C:\\" + std::string(240, 'f') + "\\";  // 244 bytes
    ASSERT_EQ(image_file_name(folder.c_str(), "", 1, "bmp", out, sizeof out), 1);  // 253 + NUL
    EXPECT_EQ(image_file_name(folder.c_str(), "ab", 1, "bmp", out, sizeof out), 1);  // 255 + NUL
    EXPECT_EQ(image_file_name(folder.c_str(), "abc", 1, "bmp", out, sizeof out), 0);  // 256
    EXPECT_STREQ(out, "");
    for (const char* folder : {"C:\\out", "C:\\表"}) {  // no closing backslash; 表 ends in 0x5C
        ASSERT_EQ(image_file_name(folder, "A", 99, "jpg", out, sizeof out), 1);
        EXPECT_EQ(out, std::string(folder) + "\\A00099.jpg");
    }
}

// Double-byte characters (trail bytes 0x5B-0x5D, 0x7C; lead bytes at both ends
// of their ranges) are letters; separators and the like are not.
TEST(ImageFileName, PrefixMustStayAFileName) {
    for (const char* good : {"..", "表", "ー", "望", "\x81\x7C", "\x9F\x5C", "\xE0\x5D", "\xFC\x7C"})
        EXPECT_EQ(file_prefix_ok(good), 1) << good;
    for (const char* bad : {"..\\x", "a/b", "c:", "a*b", "a?b", "<>", "\"", "|", "\x1F", "a\x95",
                            "表\\"})
        EXPECT_EQ(file_prefix_ok(bad), 0) << bad;
}

TEST(ImageFileName, CompanionText) {
    char out[256];
    ASSERT_EQ(companion_text_name("C:\\out\\A00099.jpg", out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\out\\A00099.txt");
    ASSERT_EQ(companion_text_name("C:\\a.b\\x.y.gif", out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\a.b\\x.y.txt");
    EXPECT_EQ(companion_text_name("C:\\a.b\\noext", out, sizeof out), 0);
}

TEST(ImageWriter, UnknownTypeAndFailureMessages) {
    EXPECT_EQ(image_write_as(nullptr, "tif", "unused", 80), kMsgNoFormat);
    EXPECT_EQ(image_write_as(nullptr, "PNG", "unused", 80), kMsgNoFormat);  // case counts
    EXPECT_EQ(image_write_failure("jpg"), kMsgJpegFile);
    EXPECT_EQ(image_write_failure("gif"), kMsgGifFile);
    EXPECT_EQ(image_write_failure("bmp"), kMsgBmpFile);
    EXPECT_EQ(image_write_failure("png"), kMsgPngFile);
    EXPECT_STREQ(image_mime_type("gif"), "image/gif");
    EXPECT_STREQ(image_mime_type("png"), "image/png");
    EXPECT_EQ(image_mime_type("jpeg"), nullptr);
}

TEST(PickerPaths, StartNameAndFolder) {
    char path[256] = "";
    ASSERT_EQ(picker_start_name(path, sizeof path, "C:\\Pictures", "html"), 1);
    EXPECT_STREQ(path, "C:\\Pictures\\無題.html");
    std::strcpy(path, "C:\\Scrap\\");
    ASSERT_EQ(picker_start_name(path, sizeof path, "C:\\Pictures", nullptr), 1);
    EXPECT_STREQ(path, "C:\\Scrap\\無題");
    std::strcpy(path, "C:\\Scrap\\mine.html");
    ASSERT_EQ(picker_start_name(path, sizeof path, "C:\\Pictures", "html"), 1);
    EXPECT_STREQ(path, "C:\\Scrap\\mine.html");
    char folder[256];
    ASSERT_EQ(picker_start_folder("C:\\表\\mine.html", folder, sizeof folder), 1);
    EXPECT_STREQ(folder, "C:\\表");  // 表 ends in 0x5C, which is no folder break
    EXPECT_EQ(picker_start_folder("mine.html", folder, sizeof folder), 0);
}

TEST(PickerPaths, ForcedExtension) {
    struct Case { const char* chosen; const char* result; };
    const Case cases[] = {
        {"C:\\d\\notes.txt", "C:\\d\\notes.html"},
        {"C:\\d\\notes", "C:\\d\\notes.html"},
        {"C:\\d.x\\notes", "C:\\d.x\\notes.html"},
        {"C:\\d\\a.b.c", "C:\\d\\a.b.html"},
    };
    for (const Case& c : cases) {
        char path[256];
        std::strcpy(path, c.chosen);
        ASSERT_EQ(picker_apply_extension(path, sizeof path, "html"), 1) << c.chosen;
        EXPECT_STREQ(path, c.result);
    }
    char bare[256] = "notes.txt";
    EXPECT_EQ(picker_apply_extension(bare, sizeof bare, "html"), 0);
}

}  // namespace
