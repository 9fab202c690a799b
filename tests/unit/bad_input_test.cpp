// Hostile input, swept: a settings file of garbage in every key, clipboard
// texts of odd shapes and sizes, scrap files from empty to several
// megabytes, writes that cannot finish. Each gets its stated outcome and
// never a crash, an overrun or lost data (tests/README.md has the table).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#endif

#include "app/startup.h"
#include "capture/constraints.h"
#include "output/image_writer.h"
#include "output/scrap_item.h"
#include "output/selection_memory.h"
#include "scrap/scrap_format.h"
#include "scrap/scrap_model.h"
#include "scrap/text.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "tests/unit/data_folder_test.h"
#include "tests/unit/test_files.h"

namespace {

char* dup(const std::string& s) {
    char* p = static_cast<char*>(std::malloc(s.size() + 1));
    std::memcpy(p, s.c_str(), s.size() + 1);
    return p;
}

using BadInput = DataFolderTest;

// Every key holds garbage, a value far too long, or nothing at all: the
// kept values fall back to their rules and nothing reads past its buffer.
TEST_F(BadInput, SettingsFileOfGarbage) {
    const char* keys[][2] = {
        {"System", "Flags"}, {"Window", "Aspect"}, {"Window", "Width"}, {"Window", "Scaling"},
        {"Window", "BackGroundColor"}, {"Window", "x"}, {"Window", "y"}, {"Window", "w"},
        {"Window", "h"}, {"Window", "WH_His"}, {"Window", "DialogRect"}, {"Output", "Square"},
        {"Output", "Type"}, {"Output", "JpegQuality"}, {"Output", "Number"}, {"Output", "Prefix"},
        {"Output", "HtmlFile"}, {"Output", "OutputFolder"}, {"Option", "Editor"},
        {"Option", "HotkeyVK"}, {"Option", "HotkeyMOD"}, {"Custom", "w"},
    };
    const std::string values[] = {"\x82\xa0garbage\x01\x7f", std::string(5000, '9'),
                                  "-99999999999999999999", ",,,,", ""};
    for (const std::string& value : values) {
        for (const auto& k : keys) settings_write_string(k[0], k[1], value.c_str());
        settings_load_kept();
        EXPECT_GE(g_app.scaling_percent, 100);
        EXPECT_LE(g_app.scaling_percent, 200);
        EXPECT_TRUE(g_app.square == 0 || g_app.square >= 64);
        char history[1024];
        settings_read_string("Window", "WH_His", history, sizeof history);
        EXPECT_LT(std::strlen(history), sizeof history);
        PixelRect r;
        settings_read_rect("DialogRect", &r);
        EXPECT_EQ(r.left | r.top | r.right | r.bottom, 0) << value.substr(0, 10);
        // The size menu and the size history cope with whatever is there.
        (void)size_menu_entries(history, g_app.aspect, 0);
        std::string updated;
        selection_history_update(history, "10,10", &updated);
        EXPECT_LE(updated.size(), 1023u);
    }
}

// Clipboard texts: a megabyte, NUL bytes, lone line ends, first lines of
// 1023 and 1024 bytes (the last two are in the split's own test).
TEST_F(BadInput, ClipboardTextsOfOddShapes) {
    const std::string mb(1 << 20, 'x');
    const std::string shapes[] = {
        mb,
        "<" + mb + "\r\nrest",                 // a heading line far too long: all text
        std::string("<a\0b>\r\ntext", 11),     // the clipboard's text ends at its NUL
        "\r", "\n", "<h>\rnot a line end\n",   // lone CR or LF are no line ends
        "[\r\n", "<\r\n[\r\n",                 // empty brackets
    };
    for (const std::string& s : shapes) {
        ClipboardParts parts;
        ASSERT_EQ(split_clipboard_text(s.c_str(), &parts), 1);
        const size_t total = (parts.heading ? std::strlen(parts.heading) : 0) +
                             (parts.link ? std::strlen(parts.link) : 0) +
                             (parts.text ? std::strlen(parts.text) : 0);
        EXPECT_LE(total, std::strlen(s.c_str()));
        char* item = scrap_item_text("m", parts.heading, parts.link, parts.text, "image/gif", "AA", 0);
        ASSERT_NE(item, nullptr);
        std::free(item);
        clipboard_parts_free(&parts);
    }
}

// Scrap files from empty to several megabytes.
TEST_F(BadInput, ScrapFilesOfEverySize) {
    char* fresh = scrap_text_with_style(nullptr);
    const std::string scrap = fresh;
    std::free(fresh);
    const std::string big_item = std::string(part_marker()) + "\r\n<img src=\"data:image/gif;base64," +
                                 std::string(6 << 20, 'A') + "\">\r\n<br>";
    int error = 0;
    char* big = scrap_insert_item(scrap.c_str(), big_item.c_str(), &error);
    ASSERT_NE(big, nullptr);
    struct Case { std::string text; int message; };
    const Case cases[] = {
        {"", kMsgHtmlRead},
        {std::string(16, 'x'), kMsgHtmlRead},
        {std::string(17, 'x'), kMsgHtmlRead},
        {scrap, kMsgNoItems},                 // no markers
        {big, 0},                             // several megabytes, one item
    };
    std::free(big);
    for (const Case& c : cases) {
        ScrapModel m;
        EXPECT_EQ(scrap_model_load(dup(c.text), c.text.size(), &m), c.message) << c.text.size();
        if (c.message == 0) {
            char* again = scrap_model_text(m);
            ASSERT_NE(again, nullptr);
            EXPECT_GT(std::strlen(again), size_t(6 << 20));
            std::free(again);
        }
        scrap_model_free(&m);
    }
    // Appending to a scrap that is 16 or 17 bytes: refused, not written.
    for (int n : {16, 17}) {
        EXPECT_EQ(scrap_insert_item(std::string(size_t(n), 'x').c_str(), "item", &error), nullptr);
        EXPECT_EQ(error, kMsgHtmlNoInsertPlace);
    }
}

// A folder that is gone by the time of the write: the format's own message.
TEST_F(BadInput, OutputFolderGoneBeforeTheWrite) {
    PackedDib image = dib_create24(8, 8);
    const std::string gone = folder_ + "gone/A00001.";
    for (const char* type : {"jpg", "gif", "bmp", "png"})
        EXPECT_EQ(image_write_as(image, type, (gone + type).c_str(), 80), image_write_failure(type));
    mem_free(image);
}

#ifndef _WIN32
// A full disk (here: a limit on the size of files this process may write).
// Every writer reports the failure, and the scrap keeps its old content.
TEST_F(BadInput, FullDiskLosesNothing) {
    const std::string scrap = folder_ + "scrap.html";
    const std::string old_text = "old items";
    test_write_file(scrap, old_text);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const std::string big(100000, 'n');
        int faults = 0;  // one bit per writer that claimed success
        faults |= (replace_file_atomically(big.c_str(), big.size(), scrap.c_str()) != 0) << 0;
        faults |= (write_text_file(big.c_str(), (folder_ + "t.txt").c_str()) != 0) << 1;
        // Noise, so that no format squeezes it under the limit.
        PackedDib image = dib_create24(400, 400);
        {
            MemLock<DibHeader> h(image);
            uint32_t seed = 1;
            uint8_t* bits = dib_bits_ptr(h.get());
            for (size_t i = 0; i < size_t(1200) * 400; ++i) bits[i] = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
        }
        int bit = 2;
        for (const char* type : {"jpg", "gif", "bmp", "png"}) {
            const std::string path = folder_ + "full." + type;
            faults |= (image_write_as(image, type, path.c_str(), 100) != image_write_failure(type))
                      << bit++;
        }
        _exit(faults);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(test_read_file(scrap), old_text);
    EXPECT_FALSE(std::filesystem::exists(scrap + ".$tmp"));
    EXPECT_FALSE(std::filesystem::exists(folder_ + "full.png")) << "a half-written picture";
}
#endif

}  // namespace
