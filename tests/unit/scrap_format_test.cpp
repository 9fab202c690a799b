// The scrap file's template, markers, insertion, the choice of a file as
// the scrap and the numbered names of new scraps.
#include "scrap/scrap_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "output/scrap_item.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "tests/unit/test_files.h"

namespace {

std::string take(char* s) {
    std::string out = s ? s : "(null)";
    std::free(s);
    return out;
}

const char kNewScrapHead[] =
    "<html>\r\n<head>\r\n<meta charset=\"Shift_JIS\">\r\n<title>\x95\x5c\x91\xe8</title>\r\n"
    "<style type=\"text/css\">\r\n<!--\r\n";
const char kNewScrapBody[] =
    "-->\r\n</style>\r\n</head>\r\n<body>\r\n<h1>\x95\x5c\x91\xe8</h1>\r\n"
    "<h3>\x95\x9b\x91\xe8</h3><br>\r\n<!-- Tamble Insert Place -->\r\n</body>\r\n</html>";

TEST(ScrapTemplate, BytesWithBuiltInAndOwnStyle) {
    const std::string built_in =
        "body{padding:6px;line-height:160%;}\r\nul{line-height:100%;}\r\nh1{margin-left:20px;}\r\n"
        "h3{margin-left:60px;}\r\nimg{margin:6px;}\r\n";
    EXPECT_EQ(take(scrap_text_with_style(nullptr)),
              std::string(kNewScrapHead) + built_in + kNewScrapBody);
    EXPECT_EQ(take(scrap_text_with_style("x")), std::string(kNewScrapHead) + "x" + kNewScrapBody);

    // The style file of the data folder, when there is one and it is not empty.
    const std::string folder = test_temp_path("data") + "/";
    std::filesystem::create_directories(folder);
    std::snprintf(g_app.data_folder, sizeof g_app.data_folder, "%s", folder.c_str());
    test_write_file(folder + "$default_style.txt", "");
    EXPECT_EQ(take(new_scrap_text()), std::string(kNewScrapHead) + built_in + kNewScrapBody);
    test_write_file(folder + "$default_style.txt", "p{}");
    EXPECT_EQ(take(new_scrap_text()), std::string(kNewScrapHead) + "p{}" + kNewScrapBody);
    std::filesystem::remove_all(folder);
    g_app.data_folder[0] = '\0';
}

TEST(PartMarker, FormatAndFirstOccurrenceRule) {
    std::tm t = {};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 5;
    t.tm_hour = 7;
    t.tm_min = 3;
    const std::string marker = part_marker_at(t);
    EXPECT_EQ(marker, "<!-- Tamble Scrap Part [2026/01/05 07:03] -->\r\n");
    EXPECT_EQ(marker.size(), size_t(kPartMarkerLength));

    const std::string good = "x" + marker;
    EXPECT_EQ(find_part_marker(good.c_str()), good.c_str() + 1);
    // A damaged first marker ends the search, even with a good one after it.
    const std::string damaged = "<!-- Tamble Scrap Part [2026/01/05 7:03] -->\r\n" + marker;
    EXPECT_EQ(find_part_marker(damaged.c_str()), nullptr);
    const std::string no_crlf = "<!-- Tamble Scrap Part [2026/01/05 07:03] -->\n";
    EXPECT_EQ(find_part_marker(no_crlf.c_str()), nullptr);
    EXPECT_EQ(find_part_marker("<!-- Tamble Scrap Part [2026/01"), nullptr);  // cut short
    EXPECT_EQ(find_part_marker("plain"), nullptr);
}

TEST(ScrapInsert, BeforeTheFirstInsertPlaceOnly) {
    int error = -1;
    const std::string page = std::string("head") + kInsertPlace + "mid" + kInsertPlace + "tail";
    EXPECT_EQ(take(scrap_insert_item(page.c_str(), "ITEM", &error)),
              std::string("headITEM") + kInsertPlace + "mid" + kInsertPlace + "tail");
    EXPECT_EQ(error, 0);
    EXPECT_EQ(scrap_insert_item("<html>no place</html>", "ITEM", &error), nullptr);
    EXPECT_EQ(error, kMsgHtmlNoInsertPlace);
}

TEST(ScrapChoice, SixteenBytesIsTheLimit) {
    const std::string sixteen(16, 'a'), seventeen(17, 'a');
    EXPECT_EQ(scrap_choice_for(nullptr, 0), ScrapChoice::kReplace);
    EXPECT_EQ(scrap_choice_for(sixteen.c_str(), 16), ScrapChoice::kReplace);
    EXPECT_EQ(scrap_choice_for(seventeen.c_str(), 17), ScrapChoice::kRefuse);
    const std::string scrap = std::string("<html>") + kInsertPlace;
    EXPECT_EQ(scrap_choice_for(scrap.c_str(), scrap.size()), ScrapChoice::kUse);
    const std::string page(2048, 'p');
    EXPECT_EQ(scrap_choice_for(page.c_str(), page.size()), ScrapChoice::kRefuse);
}

// A file is replaced only when it is missing or holds at most 16 bytes and
// may be written; one that is there but cannot be read stays as it is.
TEST(ScrapChoice, OnlyAMissingOrNearlyEmptyWritableFileIsReplaced) {
    namespace fs = std::filesystem;
    const std::string path = test_temp_path("chosen.html"), fresh = take(new_scrap_text());
    enum Shape { kNone, kFile, kReadOnly, kHuge, kFolder };
    const struct { Shape shape; std::string content; int message; } cases[] = {
        {kNone, "", 0}, {kFile, std::string(16, 'x'), 0}, {kFile, fresh + "tail", 0},
        {kReadOnly, "0123456789", kMsgHtmlCreate}, {kHuge, "", kMsgHtmlRead}, {kFolder, "", kMsgHtmlRead},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(&c - cases));
        if (c.shape == kFile || c.shape == kReadOnly) test_write_file(path, c.content);
        if (c.shape == kReadOnly) fs::permissions(path, fs::perms::owner_write, fs::perm_options::remove);
        if (c.shape == kHuge) std::ofstream(path, std::ios::binary).seekp((1L << 30) - 1).put('x');
        if (c.shape == kFolder) fs::create_directory(path);
        EXPECT_EQ(scrap_make_ready(path.c_str()), c.message);
        if (c.shape == kHuge) {
            EXPECT_EQ(fs::file_size(path), uintmax_t(1) << 30);
        } else if (c.shape != kFolder) {
            EXPECT_EQ(test_read_file(path), c.message || c.content.size() > 16 ? c.content : fresh);
        }
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
        fs::remove(path);
    }
}

std::set<std::string> g_existing;
int exists_in_set(const char* path) { return g_existing.count(path) ? 1 : 0; }

TEST(NumberedScrap, NextFreeNumber) {
    struct Case { const char* current; std::set<std::string> existing; const char* next; };
    const Case cases[] = {
        {"C:\\s\\scrap.html", {}, "C:\\s\\scrap[1].html"},
        {"C:\\s\\scrap[1].html", {}, "C:\\s\\scrap[2].html"},
        {"C:\\s\\scrap[2].html", {"C:\\s\\scrap[3].html"}, "C:\\s\\scrap[4].html"},
        {"C:\\s\\a[7].html", {}, "C:\\s\\a[8].html"},
        {"C:\\s\\a[x].html", {}, "C:\\s\\a[1].html"},      // no digits: 0
        {"C:\\s\\a].html", {}, nullptr},                   // "]" without "["
        {"C:\\s\\page.htm", {}, nullptr},
        {"scrap.html", {}, nullptr},                        // no folder
        // A Shift_JIS name whose trail byte is a backslash (0x5C).
        {"C:\\\x95\x5c\\scrap.html", {}, "C:\\\x95\x5c\\scrap[1].html"},
    };
    for (const Case& c : cases) {
        g_existing = c.existing;
        char out[256] = {};
        int ok = numbered_scrap_path(c.current, exists_in_set, out, sizeof out);
        EXPECT_EQ(ok, c.next ? 1 : 0) << c.current;
        if (c.next) {
            EXPECT_STREQ(out, c.next);
        }
    }
    // One hundred candidates: n+1 .. n+100.
    g_existing.clear();
    for (int k = 1; k <= 99; ++k) g_existing.insert("C:\\s\\a[" + std::to_string(k) + "].html");
    char out[256];
    ASSERT_EQ(numbered_scrap_path("C:\\s\\a.html", exists_in_set, out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\s\\a[100].html");
    g_existing.insert("C:\\s\\a[100].html");
    EXPECT_EQ(numbered_scrap_path("C:\\s\\a.html", exists_in_set, out, sizeof out), 0);
}

// A second byte 0x5B "[", 0x5C "\\" or 0x5D "]" (lead bytes at both ends of
// their ranges) is no bracket in a scrap's name or a heading or link line.
TEST(DoubleByteCharacters, AreNeverBracketsInNamesOrLinks) {
    for (const char* c :
         {"\x81\x5b", "\x9f\x5c", "\xe0\x5d", "\xfc\x5d", "\x81\x5d", "\xfc\x5b", "\x96\x5d" /* 望 */}) {
        SCOPED_TRACE(c);
        const std::string name = std::string("C:\\s\\\x81\x5b") + c;  // after "ー", a 0x5D "]" would find "["
        char out[256] = {};
        ASSERT_EQ(numbered_scrap_path((name + ".html").c_str(), exists_in_set, out, sizeof out), 1);
        EXPECT_EQ(std::string(out), name + "[1].html");
        ClipboardParts parts;
        ASSERT_EQ(split_clipboard_text((std::string("<") + c + "\r\n[a/" + c + "\r\n").c_str(), &parts), 1);
        EXPECT_EQ(std::string(parts.heading) + parts.link, c + std::string("a/") + c);
        clipboard_parts_free(&parts);
    }
}

}  // namespace
