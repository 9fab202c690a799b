// Reading a scrap into items and writing it back: scraps filled the way
// BASE64 output fills them, and damaged files.
#include "scrap/scrap_model.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "output/scrap_item.h"
#include "scrap/scrap_format.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "tests/unit/test_files.h"

namespace {

const char* kMarkerA = "<!-- Tamble Scrap Part [2026/12/01 09:05] -->\r\n";
const char* kMarkerB = "<!-- Tamble Scrap Part [2026/12/02 10:30] -->\r\n";

char* dup(const std::string& s) {
    char* p = static_cast<char*>(std::malloc(s.size() + 1));
    std::memcpy(p, s.c_str(), s.size() + 1);
    return p;
}

std::string take(char* s) {
    std::string out = s ? s : "(null)";
    std::free(s);
    return out;
}

std::string str(const char* s) { return s ? s : "(none)"; }

std::string new_scrap() { return take(scrap_text_with_style(nullptr)); }

// A scrap holding `items` (inserted in order, as outputs do).
std::string scrap_with(const std::vector<std::string>& items) {
    std::string text = new_scrap();
    for (const std::string& item : items) {
        int error = 0;
        text = take(scrap_insert_item(text.c_str(), item.c_str(), &error));
    }
    return text;
}

std::string item(const char* marker, const char* heading, const char* link, const char* text,
                 int flags) {
    return take(scrap_item_text(marker, heading, link, text, "image/gif", "R0lGODdh", flags));
}

std::string rewrite(const std::string& file, ScrapModel* m) {
    EXPECT_EQ(scrap_model_load(dup(file), file.size(), m), 0);
    return take(scrap_model_text(*m));
}

TEST(ScrapModel, ItemsAsOutputWritesThemReadBack) {
    const std::string file =
        scrap_with({item(kMarkerA, "Title", "a.html", "line1\r\nline2", kFlagTextRight),
                    item(kMarkerB, nullptr, nullptr, "<&>", 0)});
    ScrapModel m;
    ASSERT_EQ(scrap_model_load(dup(file), file.size(), &m), 0);
    ASSERT_EQ(m.items.size(), 2u);
    EXPECT_EQ(m.current, 1);  // the newest item
    EXPECT_STREQ(m.title, "表題");
    EXPECT_STREQ(m.subtitle, "副題");
    const ScrapItem& a = m.items[0];
    EXPECT_STREQ(a.timestamp, "2026/12/01 09:05");
    EXPECT_EQ(str(a.heading), "Title");
    EXPECT_EQ(str(a.link), "a.html");
    EXPECT_EQ(str(a.text), "line1\r\nline2");
    EXPECT_EQ(a.wrap, 1);
    EXPECT_EQ(str(a.tag), "\r\n<img align=left src=\"data:image/gif;base64,R0lGODdh\">\r\n");
    const ScrapItem& b = m.items[1];
    EXPECT_EQ(b.heading, nullptr);
    EXPECT_EQ(b.link, nullptr);
    EXPECT_EQ(str(b.text), "<&>");  // the "<br>" after the tag is no part of it
    EXPECT_EQ(b.wrap, 0);
    scrap_model_free(&m);
}

// Without changes a second rewrite writes the bytes of the first, and the
// items do not grow (the separator after an unwrapped picture is not taken
// into the text).
TEST(ScrapModel, RewritesAreStable) {
    const std::string file =
        scrap_with({item(kMarkerA, "H", "L", "t1\r\n", 0), item(kMarkerB, nullptr, nullptr, nullptr, 0),
                    item(kMarkerB, "H2", nullptr, "x", kFlagTextLeft)});
    ScrapModel m1, m2, m3;
    const std::string once = rewrite(file, &m1);
    const std::string twice = rewrite(once, &m2);
    const std::string thrice = rewrite(twice, &m3);
    EXPECT_EQ(once, twice);
    EXPECT_EQ(twice, thrice);
    EXPECT_EQ(str(m2.items[0].text), "t1\r\n");
    EXPECT_EQ(m2.items[1].text, nullptr);
    // Wrapped items were already written the way the editor writes them.
    const std::string wrapped = scrap_with({item(kMarkerA, "H", nullptr, "x", kFlagTextRight)});
    ScrapModel m4;
    EXPECT_EQ(rewrite(wrapped, &m4), wrapped);
    for (ScrapModel* m : {&m1, &m2, &m3, &m4}) scrap_model_free(m);
}

TEST(ScrapModel, TitleSubtitleAndEmptiedHeading) {
    const std::string file = scrap_with({item(kMarkerA, "Head", nullptr, "t", 0)});
    ScrapModel m;
    ASSERT_EQ(scrap_model_load(dup(file), file.size(), &m), 0);
    std::strcpy(m.title, "New\r\ntitle");
    std::strcpy(m.subtitle, "Sub");
    scrap_set_text(&m.items[0].heading, "");
    const std::string out = take(scrap_model_text(m));
    // Only the title (twice), the subtitle and the heading changed (and the
    // line break after the picture, which the editor writes as a line).
    std::string expected = file;
    auto replace = [&](const std::string& from, const std::string& to) {
        expected.replace(expected.find(from), from.size(), to);
    };
    replace("<title>表題</title>", "<title>New<br>\r\ntitle</title>");
    replace("<h1>表題</h1>", "<h1>New<br>\r\ntitle</h1>");
    replace("<h3>副題</h3>", "<h3>Sub</h3>");
    replace("<p><h2>Head</h2>", "");
    replace("<br>t", "<br>\r\nt");
    EXPECT_EQ(out, expected);
    scrap_model_free(&m);
    ScrapModel back;
    ASSERT_EQ(scrap_model_load(dup(out), out.size(), &back), 0);
    EXPECT_STREQ(back.title, "New\r\ntitle");
    scrap_model_free(&back);
}

TEST(ScrapModel, FilesThatAreNoScrap) {
    struct Case { std::string text; int message; };
    const std::string marker_only = std::string(kMarkerA);
    const Case cases[] = {
        {"<html><h3>x</h3>no area break</html>", kMsgHtmlRead},
        {"<h3>x</h3><br>\r\nno insert place", kMsgHtmlRead},
        {std::string(kInsertPlace) + "<h3>x</h3><br>\r\n", kMsgHtmlRead},  // place before the area
        {new_scrap(), kMsgNoItems},
        {"<h3>x</h3><br>\r\n<!-- Tamble Scrap Part [2026/1] -->\r\n" + std::string(kInsertPlace),
         kMsgNoItems},
    };
    for (const Case& c : cases) {
        ScrapModel m;
        EXPECT_EQ(scrap_model_load(dup(c.text), c.text.size(), &m), c.message) << c.text.substr(0, 30);
        EXPECT_TRUE(m.items.empty());
        scrap_model_free(&m);
    }
}

TEST(ScrapModel, LimitsOfTitleHeadingAndLink) {
    const std::string t255(255, 't'), t256(256, 't'), h1023(1023, 'h'), h1024(1024, 'h');
    struct Case { std::string title, heading, link; bool title_kept, heading_kept, link_kept; };
    const Case cases[] = {
        {t255, h1023, h1023, true, true, true},
        {t256, h1024, "L", false, false, true},
        // A link too long is no link; the heading is not looked for then, and
        // the text starts with the "</a>".
        {t255, "H", h1024, true, false, false},
    };
    for (const Case& c : cases) {
        std::string file = scrap_with({item(kMarkerA, c.heading.c_str(), c.link.c_str(), "t", 0)});
        file.replace(file.find("表題"), 4, c.title);
        ScrapModel m;
        ASSERT_EQ(scrap_model_load(dup(file), file.size(), &m), 0);
        const ScrapItem& it = m.items[0];
        EXPECT_EQ(std::string(m.title), c.title_kept ? c.title : "") << c.title.size();
        // A title that could not be read is not lost by a rewrite.
        EXPECT_NE(take(scrap_model_text(m)).find("<title>" + c.title + "</title>"), std::string::npos);
        std::strcpy(m.subtitle, "S");  // nor by a changed subtitle
        const std::string changed = take(scrap_model_text(m));
        EXPECT_TRUE(changed.find("<title>" + c.title + "</title>") != std::string::npos &&
                    changed.find("<h3>S</h3>") != std::string::npos);
        EXPECT_EQ(str(it.heading), c.heading_kept ? c.heading : "(none)") << c.heading.size();
        EXPECT_EQ(str(it.link), c.link_kept ? c.link : "(none)") << c.link.size();
        if (!c.link_kept) {
            EXPECT_EQ(std::string(str(it.text)).substr(0, 4), "</a>");
        }
        scrap_model_free(&m);
    }
}

// What the items do not hold survives a rewrite in place: bytes before the
// first marker, an item without a picture tag, everything from a damaged
// marker on.
TEST(ScrapModel, DamagedStretchesSurvive) {
    // The good items as the editor writes them (line break after the picture).
    std::string good = item(kMarkerA, "H", nullptr, "t", 0);
    good.replace(good.find("<br>t"), 5, "<br>\r\nt");
    const std::string tagless = std::string(kMarkerB) + "<p>no picture here</p>\r\n";
    const std::string damaged = "<!-- Tamble Scrap Part [2026/12/0 1] -->\r\n" + item(kMarkerB, nullptr, nullptr, "after", 0);
    const std::string file = scrap_with({"user notes\r\n", good, tagless, good, damaged});
    ScrapModel m;
    const std::string out = rewrite(file, &m);
    ASSERT_EQ(m.items.size(), 3u);  // good, tagless, good; the chain ends at the damage
    EXPECT_NE(m.items[1].raw, nullptr);
    EXPECT_EQ(m.items[2].tag != nullptr, true);
    EXPECT_EQ(out, file);  // nothing lost, nothing added
    // Deleting the tagless item removes exactly its bytes.
    m.current = 1;
    EXPECT_EQ(scrap_model_delete(&m), 0);
    std::string expected = file;
    expected.erase(expected.find(tagless), tagless.size());
    EXPECT_EQ(take(scrap_model_text(m)), expected);
    scrap_model_free(&m);
}

TEST(ScrapModel, NavigationDeleteAndSwap) {
    const std::string file = scrap_with({item(kMarkerA, "1", nullptr, nullptr, 0),
                                         item(kMarkerA, "2", nullptr, nullptr, 0),
                                         item(kMarkerA, "3", nullptr, nullptr, 0)});
    ScrapModel m;
    ASSERT_EQ(scrap_model_load(dup(file), file.size(), &m), 0);
    EXPECT_EQ(scrap_model_move(&m, ScrapMove::kNext), 0);  // already last
    EXPECT_EQ(scrap_model_move(&m, ScrapMove::kFirst), 1);
    EXPECT_EQ(scrap_model_move(&m, ScrapMove::kPrevious), 0);
    EXPECT_EQ(scrap_model_move(&m, ScrapMove::kNext), 1);
    EXPECT_EQ(m.current, 1);
    // Swap at item 2: the old first item becomes the second, current shows 1.
    EXPECT_EQ(scrap_model_swap(&m), 1);
    EXPECT_EQ(m.current, 0);
    EXPECT_EQ(str(m.items[0].heading), "2");
    EXPECT_EQ(str(m.items[1].heading), "1");
    EXPECT_EQ(scrap_model_swap(&m), 0);  // nothing before the first
    // Deleting the last of several makes the one before current.
    EXPECT_EQ(scrap_model_move(&m, ScrapMove::kLast), 1);
    EXPECT_EQ(scrap_model_delete(&m), 0);
    EXPECT_EQ(m.current, 1);
    EXPECT_EQ(m.items.size(), 2u);
    EXPECT_EQ(scrap_model_delete(&m), 0);
    EXPECT_EQ(scrap_model_delete(&m), 1);  // the only one: the editor ends
    const std::string out = take(scrap_model_text(m));
    EXPECT_EQ(out, new_scrap());  // a scrap without items
    scrap_model_free(&m);
}

}  // namespace

namespace {

// A "<br clear=" inside the text is text: only the mark that ends the item
// is its wrap, so nothing after such a text is lost.
TEST(ScrapModel, WrapMarkOnlyAtTheEnd) {
    const std::string inside = "see <br clear=all> here";
    for (int flags : {0, int(kFlagTextRight)}) {
        const std::string file = scrap_with({item(kMarkerA, nullptr, nullptr, inside.c_str(), flags)});
        ScrapModel m;
        ASSERT_EQ(scrap_model_load(dup(file), file.size(), &m), 0);
        EXPECT_EQ(str(m.items[0].text), inside) << flags;
        EXPECT_EQ(m.items[0].wrap, flags ? 1 : 0);
        const std::string once = take(scrap_model_text(m));
        ScrapModel again;
        EXPECT_EQ(rewrite(once, &again), once);
        scrap_model_free(&m);
        scrap_model_free(&again);
    }
}

}  // namespace

namespace {

// Files the fuzzer once found: each reads again from its own rewrite into
// the same items, and a second rewrite gives the same bytes.
TEST(ScrapModel, KeptFuzzFindingsRewriteStably) {
    const std::filesystem::path dir =
        std::filesystem::path(TAMBLE_SOURCE_DIR) / "tests/fixtures/fuzz/scrap_model";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string text = test_read_file(entry.path().string());
        ScrapModel first, second;
        if (scrap_model_load(dup(text), text.size(), &first) == 0) {
            const std::string once = take(scrap_model_text(first));
            ASSERT_EQ(scrap_model_load(dup(once), once.size(), &second), 0) << entry.path();
            EXPECT_EQ(second.items.size(), first.items.size()) << entry.path();
            EXPECT_EQ(take(scrap_model_text(second)), once) << entry.path();
        }
        scrap_model_free(&first);
        scrap_model_free(&second);
        ++files;
    }
    EXPECT_GT(files, 0);
}

// A NUL in the head, in an item's text or after the page's end cuts nothing
// on a rewrite (an item holding one is kept as it stands).
TEST(ScrapModel, NulBytesCutNothing) {
    std::string good = item(kMarkerA, "H", nullptr, "t", 0);
    good.replace(good.find("<br>t"), 5, "<br>\r\nt");  // as the editor writes it
    const std::string file = scrap_with({good, good, good});
    for (size_t at : {file.find("<title>"), file.rfind("<br>\r\nt") + 6, file.size()}) {
        const std::string with_nul = file.substr(0, at) + '\0' + file.substr(at);
        ScrapModel m;
        ASSERT_EQ(scrap_model_load(dup(with_nul), with_nul.size(), &m), 0) << at;
        EXPECT_EQ(m.items.size(), 3u) << at;
        size_t size = 0;
        char* out = scrap_model_text(m, &size);
        EXPECT_TRUE(out && std::string(out, size) == with_nul) << at;
        std::free(out);
        scrap_model_free(&m);
    }
}

// Fields are cut to the bytes the file reads back, a line end counted as
// "<br>\r\n", never inside a double-byte character.
TEST(ScrapModel, FieldsFitInBytesAtACharacter) {
    struct Case { const char* text; size_t limit; const char* fitted; };
    for (const Case& c : {Case{"abc", 2, "ab"}, Case{"a\r\nb", 7, "a\r\n"}, Case{"a\r\nb", 6, "a"},
                          Case{"\x81\x5B\x9F\x5C", 3, "\x81\x5B"}, Case{"a\xE0\x5D", 2, "a"},
                          Case{"\xFC\x5C\xFC\x5B", 4, "\xFC\x5C\xFC\x5B"}}) {
        std::string text = c.text;
        scrap_fit_field(&text[0], c.limit);
        EXPECT_STREQ(text.c_str(), c.fitted) << c.text << " " << c.limit;
    }
}

}  // namespace
