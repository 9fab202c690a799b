// Growable strings, whole-file reads and writes, the CRLF <-> "<br>\r\n"
// conversion and the atomic replace.
#include "scrap/text.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "tests/unit/test_files.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace {

std::string take(char* s) {
    std::string out = s ? s : "(null)";
    std::free(s);
    return out;
}

TEST(TextConversion, LineEndsAndBreaks) {
    struct Case { const char* plain; const char* html; };
    const Case both_ways[] = {
        {"a\r\nb\r\n", "a<br>\r\nb<br>\r\n"},
        {"\r\n\r\n", "<br>\r\n<br>\r\n"},
        {"no line end", "no line end"},
    };
    for (const Case& c : both_ways) {
        EXPECT_EQ(take(text_to_html(c.plain)), c.html);
        EXPECT_EQ(take(html_to_text(c.html, nullptr)), c.plain);
    }
    // Lone CR or LF are not line ends; "<br>" without one is kept.
    EXPECT_EQ(take(text_to_html("a\nb\rc")), "a\nb\rc");
    EXPECT_EQ(take(html_to_text("<br>text", nullptr)), "<br>text");
    EXPECT_EQ(text_to_html(""), nullptr);
    EXPECT_EQ(text_to_html(nullptr), nullptr);
    const char* s = "x<br>\r\ny";
    EXPECT_EQ(html_to_text(s, s), nullptr);
    // A break that starts inside the range counts even when it reaches past it.
    EXPECT_EQ(take(html_to_text(s, s + 2)), "x\r\n");
}

TEST(TextSearch, FindLastAndField) {
    const char* t = "ab-ab-ab";
    EXPECT_EQ(find_last(t, nullptr, "ab"), t + 6);
    EXPECT_EQ(find_last(t, t + 7, "ab"), t + 3);  // must end before `end`
    EXPECT_EQ(find_last(t, t + 1, "ab"), nullptr);
    EXPECT_EQ(find_last(t, nullptr, ""), nullptr);
    EXPECT_EQ(find_last(t, nullptr, "ba"), nullptr);

    char field[32];
    std::memset(field, 'x', sizeof field);
    const std::string forty(40, 'q');
    copy_field32(forty.data(), forty.data() + 40, field);
    EXPECT_EQ(std::string(field), std::string(31, 'q'));
    copy_field32(forty.data(), forty.data(), field);
    EXPECT_EQ(field[0], '\0');
}

// Appends that run out of memory keep the string and report the loss.
int g_allowed_grows = 0;
void* limited_realloc(void* block, size_t size) {
    if (g_allowed_grows-- <= 0) return nullptr;
    return std::realloc(block, size);
}

TEST(GrowableString, LostPieceIsReported) {
    text_set_realloc(limited_realloc);
    g_allowed_grows = 1;
    int lost = 0;
    char* s = append_text(nullptr, "one", &lost);
    s = append_text(s, std::string(200, 't').c_str(), &lost);  // more than the block's room
    text_set_realloc(nullptr);
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(take(s), "one");
    lost = 0;
    s = append_range(nullptr, "abcdef" + 1, "abcdef" + 4, &lost);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(take(s), "bcd");
}

// Ten thousand pieces need a few dozen reallocations, not one each, in both
// kinds of growable string; a NUL in a piece is a byte like any other.
TEST(GrowableString, GrowsGeometrically) {
    text_set_realloc(limited_realloc);
    g_allowed_grows = 80;
    char* s = nullptr;
    TextBuffer b;
    for (int i = 0; i < 10000; ++i) {
        s = append_text(s, "0123456789");
        text_append(&b, "01234\0" "6789", 10);
    }
    text_set_realloc(nullptr);
    size_t length = 0;
    char* t = text_take(&b, &length);
    EXPECT_EQ(std::strlen(s), 100000u);
    ASSERT_EQ(length, 100000u);
    EXPECT_EQ(std::string(t + 99990, 10), std::string("01234\0" "6789", 10));
    std::free(s);
    std::free(t);
}

TEST(WholeFiles, ReadWriteAndEmptyFile) {
    const std::string path = test_temp_path("whole.txt");
    const std::string bytes("a\0b\r\nc", 6);
    ASSERT_EQ(write_bytes_file(bytes.data(), bytes.size(), path.c_str()), 1);
    size_t size = 0;
    char* text = read_text_file(path.c_str(), &size);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, size), bytes);
    EXPECT_EQ(text[size], '\0');
    std::free(text);

    ASSERT_EQ(write_text_file("", path.c_str()), 1);
    int fd = ::open(path.c_str(), O_RDONLY | O_BINARY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(read_fd_text(fd), nullptr);
    EXPECT_NE(::close(fd), 0);  // already closed by the reader
    std::remove(path.c_str());
    EXPECT_EQ(read_text_file(path.c_str(), &size), nullptr);
    EXPECT_EQ(write_text_file("x", (path + "/no/such/folder").c_str()), 0);
}

TEST(WholeFiles, AtomicReplaceKeepsTheOldFileOnFailure) {
    const std::string path = test_temp_path("scrap.html");
    test_write_file(path, "old items");
    ASSERT_EQ(replace_file_atomically("new", 3, path.c_str()), 1);
    EXPECT_EQ(test_read_file(path), "new");
    EXPECT_FALSE(std::filesystem::exists(path + ".$tmp"));
    // The temporary file cannot be made (a folder holds its name): the old
    // content survives whole.
    std::filesystem::create_directory(path + ".$tmp");
    EXPECT_EQ(replace_file_atomically("newer", 5, path.c_str()), 0);
    EXPECT_EQ(test_read_file(path), "new");
    std::filesystem::remove(path + ".$tmp");
    std::remove(path.c_str());
}

}  // namespace
