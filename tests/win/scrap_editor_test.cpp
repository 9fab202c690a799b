// The scrap editor on its real dialogs under Wine: a scrap of items that
// BASE64 output built from known pictures, shown one at a time with the
// picture on the screen; the item menu, the title dialog and the question
// answered as a user would. Cancel leaves the file's bytes, OK writes what
// the user changed and nothing else.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "image/dib.h"
#include "output/scrap_item.h"
#include "resources/resource_ids.h"
#include "scrap/scrap_editor.h"
#include "scrap/scrap_format.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "tests/unit/test_files.h"
#include "tests/win/modal_driver.h"
#include "tests/win/test_allocator.h"

namespace {

const char kEditorCaption[] = "スクラップ編集 - Tamble";
const char kTitleCaption[] = "スクラップの表題 - Tamble";
// The item menu's entries as TrackPopupMenu returns them.
const UINT kEntryTitle = 1, kEntryDelete = 2, kEntrySwap = 3;

HWND editor() { return thread_window("#32770", kEditorCaption); }

std::string field(HWND dialog, int id) {
    char text[4096] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
std::string field(int id) { return field(editor(), id); }

std::string texts_of(HWND dialog) { return control_texts(dialog, "|"); }

// A click that returns when the dialog has handled it (navigation) and one
// that returns at once (anything that opens a modal loop of its own).
void press(int id) {
    HWND d = editor();
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(d, id)));
}
void press_later(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

// Runs the tray command while the steps are driven (the dialog, the item
// menu, the question, the title dialog each run a modal loop); every step
// must have run and the editor must have ended by the steps' own doing.
void run_editor(std::vector<Step> steps, HWND owner = nullptr) {
    run_steps(std::move(steps), [owner] { edit_scrap(owner); });
}

Step editor_shown() {
    return wait_for("the editor", [] { return editor() != nullptr; });
}

// The editor shows the wait cursor while it loads a picture (the fields
// are filled before it).
bool loading() { return GetCursor() == LoadCursorA(nullptr, IDC_WAIT); }

// The item menu while it is open.
HMENU open_menu() {
    HWND w = thread_window("#32768");
    return w ? reinterpret_cast<HMENU>(SendMessageA(w, MN_GETHMENU, 0, 0)) : nullptr;
}

// Opens the item menu and chooses `entry` with the keys (Home, then Down
// until it is highlighted, Return); `has_swap` is whether the menu must
// offer the swap.
std::vector<Step> choose(UINT entry, bool has_swap) {
    return {
        act("open the item menu", [] { press_later(editor(), IDC_SCRAP_MENU); }),
        wait_for("the item menu",
                 [has_swap] {
                     HMENU m = open_menu();
                     if (!m) return false;
                     EXPECT_EQ(GetMenuState(m, kEntrySwap, MF_BYCOMMAND) != UINT(-1), has_swap);
                     PostMessageA(thread_window("#32768"), WM_KEYDOWN, VK_HOME, 0);
                     return true;
                 }),
        wait_for("the entry highlighted",
                 [entry] {
                     HMENU m = open_menu();
                     HWND w = thread_window("#32768");
                     if (!m || !w) return false;
                     if (GetMenuState(m, entry, MF_BYCOMMAND) & MF_HILITE) {
                         PostMessageA(w, WM_CHAR, '\r', 0);
                         return true;
                     }
                     PostMessageA(w, WM_KEYDOWN, VK_DOWN, 0);
                     return false;
                 }),
    };
}

std::vector<Step> close_menu_on_first_item() {
    return {
        act("open the item menu", [] { press_later(editor(), IDC_SCRAP_MENU); }),
        wait_for("the item menu without the swap",
                 [] {
                     HMENU m = open_menu();
                     if (!m) return false;
                     EXPECT_EQ(GetMenuState(m, kEntrySwap, MF_BYCOMMAND), UINT(-1));
                     EXPECT_NE(GetMenuState(m, kEntryDelete, MF_BYCOMMAND), UINT(-1));
                     PostMessageA(thread_window("#32768"), WM_KEYDOWN, VK_ESCAPE, 0);
                     return true;
                 }),
        wait_for("the menu closed", [] { return !thread_window("#32768"); }),
    };
}

// The question before a delete, answered Yes.
Step confirm_delete() {
    return wait_for("the delete question", [] {
        HWND box = thread_window("#32770", kAppCaption);
        if (!box) return false;
        EXPECT_NE(texts_of(box).find("現在の項目を削除します．\nよろしいですか?"),
                  std::string::npos)
            << texts_of(box);
        PostMessageA(box, WM_COMMAND, IDYES, 0);
        return true;
    });
}

// A retitle in dialog 151, which must open with the current title.
std::vector<Step> retitle(bool has_swap, const char* was_title, const char* was_subtitle,
                          const char* title, const char* subtitle) {
    std::vector<Step> steps = choose(kEntryTitle, has_swap);
    steps.push_back(wait_for("the title dialog", [=] {
        HWND d = thread_window("#32770", kTitleCaption);
        if (!d) return false;
        EXPECT_EQ(field(d, IDC_SCRAP_TITLE), was_title);
        EXPECT_EQ(field(d, IDC_SCRAP_SUBTITLE), was_subtitle);
        SetDlgItemTextA(d, IDC_SCRAP_TITLE, title);
        SetDlgItemTextA(d, IDC_SCRAP_SUBTITLE, subtitle);
        press_later(d, IDOK);
        return true;
    }));
    steps.push_back(wait_for("the title dialog closed",
                             [] { return !thread_window("#32770", kTitleCaption); }));
    return steps;
}

// A warning box with the numbered message, answered OK.
Step answer_warning(int message) {
    return wait_for(message_text(message), [message] {
        HWND box = thread_window("#32770", kAppCaption);
        if (!box) return false;
        EXPECT_NE(texts_of(box).find(message_text(message)), std::string::npos) << texts_of(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    });
}

// The pictures of the scrap: 40 x 20 in four quarters of clear colours, in
// each format BASE64 output writes. The channels are centres of the colour
// cells that GIF's reduction works in, so its palette holds them as they are.
struct Rgb {
    int r, g, b;
};
struct ItemData {
    const char* type;
    Rgb quarter[4];  // top left, top right, bottom left, bottom right
    int tolerance;   // JPEG approximates
    const char* heading;
    const char* link;
    const char* text;
    const char* time;
};
const Rgb kRed{199, 39, 39}, kGreen{39, 199, 39}, kBlue{39, 39, 199}, kYellow{199, 199, 39},
    kCyan{39, 199, 199}, kMagenta{199, 39, 199};
const ItemData kItems[] = {
    {"jpg", {kRed, kGreen, kBlue, kYellow}, 24, "朝の絵", "http://example.com/a",
     "一行目\r\n二行目", "2026/05/01 08:15"},
    {"gif", {kCyan, kMagenta, kYellow, kRed}, 4, nullptr, nullptr, "テキストだけ",
     "2026/05/02 12:30"},
    {"bmp", {kYellow, kBlue, kGreen, kCyan}, 0, "夕方の絵", nullptr, "最後の項目",
     "2026/05/03 18:45"},
};

PackedDib make_picture(const ItemData& d) {
    PackedDib picture = dib_create24(40, 20);
    for (int q = 0; q < 4; ++q) {
        PixelRect r{q % 2 * 20, q / 2 * 10, q % 2 * 20 + 20, q / 2 * 10 + 10};
        const Rgb& c = d.quarter[q];
        const uint8_t bgr[3] = {uint8_t(c.b), uint8_t(c.g), uint8_t(c.r)};
        dib_fill24(picture, &r, bgr);
    }
    return picture;
}

std::string new_scrap() {
    char* text = scrap_text_with_style(nullptr);
    std::string s = text ? text : "";
    std::free(text);
    return s;
}

// What the editor writes for an unchanged scrap that output filled: the
// line break after an unwrapped picture (and its link's end) as "<br>\r\n"
// where output wrote "<br>".
std::string with_editor_breaks(std::string s) {
    for (const std::string after_tag : {"\">\r\n<br>", "\">\r\n</a><br>"}) {
        for (size_t at = s.find(after_tag); at != std::string::npos;
             at = s.find(after_tag, at + after_tag.size())) {
            if (s.compare(at + after_tag.size(), 2, "\r\n") != 0)
                s.insert(at + after_tag.size(), "\r\n");
        }
    }
    return s;
}

// Where two file texts part, for the failure message.
std::string difference(const std::string& got, const std::string& want) {
    size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
    if (at == got.size() && at == want.size()) return "same";
    const size_t from = at < 40 ? 0 : at - 40;
    return "from byte " + std::to_string(at) + ": got \"" + got.substr(from, 120) +
           "\", want \"" + want.substr(from, 120) + "\"";
}

void replace_once(std::string* s, const std::string& from, const std::string& to) {
    const size_t at = s->find(from);
    ASSERT_NE(at, std::string::npos) << from;
    s->replace(at, from.size(), to);
}

// The preview as it stands on the screen: a 2:1 picture spans the width,
// black bands above and below, each quarter's colour in its quarter.
void expect_preview(const ItemData& item) {
    SCOPED_TRACE(item.type);
    HWND preview = GetDlgItem(editor(), IDC_SCRAP_PREVIEW);
    ASSERT_NE(preview, nullptr);
    UpdateWindow(preview);
    RECT r;
    GetClientRect(preview, &r);
    const int w = r.right, h = r.bottom, picture_h = w / 2, band = (h - picture_h) / 2;
    ASSERT_GT(band, 6) << w << "x" << h;
    HDC dc = GetDC(preview);
    auto expect_colour = [&](int x, int y, Rgb want, int tolerance) {
        const COLORREF c = GetPixel(dc, x, y);
        const int d = std::max({std::abs(GetRValue(c) - want.r), std::abs(GetGValue(c) - want.g),
                                std::abs(GetBValue(c) - want.b)});
        EXPECT_LE(d, tolerance) << "at " << x << "," << y << ": " << std::hex << c;
    };
    const Rgb black{0, 0, 0};
    for (int x : {2, w / 2, w - 3}) {
        expect_colour(x, 1, black, 0);
        expect_colour(x, band - 3, black, 0);
        expect_colour(x, h - band + 2, black, 0);
        expect_colour(x, h - 2, black, 0);
    }
    for (int q = 0; q < 4; ++q) {
        const int y = h / 2 + (q < 2 ? -1 : 1) * picture_h / 4;
        const int left = q % 2 ? w / 2 : 0;  // two columns inside the quarter, one at its edge
        for (int x : {left + w / 4, q % 2 ? w - 3 : 2})
            expect_colour(x, y, item.quarter[q], item.tolerance);
    }
    ReleaseDC(preview, dc);
}

// The fields of item `index` (0-based) as the dialog shows them.
void expect_item(size_t index) {
    SCOPED_TRACE(index);
    const ItemData& item = kItems[index];
    EXPECT_EQ(field(IDC_SCRAP_NUMBER), std::to_string(index + 1));
    EXPECT_EQ(field(IDC_SCRAP_TIME), item.time);
    EXPECT_EQ(field(IDC_SCRAP_HEADING), item.heading ? item.heading : "");
    EXPECT_EQ(field(IDC_SCRAP_LINK), item.link ? item.link : "");
    EXPECT_EQ(field(IDC_SCRAP_TEXT), item.text);
    expect_preview(item);
}

class ScrapEditor : public ::testing::Test {
protected:
    void SetUp() override {
        g_app.instance = GetModuleHandleA(nullptr);
        g_app.flags = 0;  // pictures without wrap
        g_app.menu_dismissed = 0;
        g_app.capture.capture_flags &= ~uint32_t(kCaptureExternalEdit);
        ini_ = test_temp_path("tamble.ini");
        std::remove(ini_.c_str());
        std::snprintf(g_app.ini_path, sizeof g_app.ini_path, "%s", ini_.c_str());
        folder_ = test_temp_path("data");
        std::filesystem::create_directories(folder_);
        std::snprintf(g_app.data_folder, sizeof g_app.data_folder, "%s\\", folder_.c_str());
        scrap_ = folder_ + "\\scrap.html";
        settings_write_string(kSectionOutput, "HtmlFile", scrap_.c_str());
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
    }
    void TearDown() override {
        std::remove(ini_.c_str());
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        g_app.flags = kDefaultFlags;
    }

    // The scrap file with the first `count` items of kItems, built by
    // BASE64 output's own item builder.
    std::string write_scrap(size_t count) {
        std::string text = new_scrap();
        for (size_t i = 0; i < count; ++i) {
            const ItemData& d = kItems[i];
            PackedDib picture = make_picture(d);
            settings_write_string(kSectionOutput, "Type", d.type);
            int error = 0;
            char* item = build_scrap_item(d.heading, d.link, d.text, picture, &error);
            mem_free(picture);
            EXPECT_NE(item, nullptr) << d.type << " " << error;
            if (!item) return text;
            // Each item its own capture time.
            std::memcpy(item + std::strlen(kPartMarkerPrefix), d.time, kPartMarkerDateLength);
            char* next = scrap_insert_item(text.c_str(), item, &error);
            std::free(item);
            EXPECT_NE(next, nullptr);
            if (!next) return text;
            text = next;
            std::free(next);
        }
        test_write_file(scrap_, text);
        return text;
    }

    std::string ini_, folder_, scrap_;
};

TEST_F(ScrapEditor, OpensOnTheNewestItemAndShowsEachItemsPicture) {
    write_scrap(3);
    run_editor({
        editor_shown(),
        act("the newest item",
            [] {
                EXPECT_EQ(field(IDC_SCRAP_COUNT), "3");
                expect_item(2);
            }),
        act("first", [] { press(IDC_SCRAP_FIRST); expect_item(0); }),
        act("previous on the first", [] { press(IDC_SCRAP_PREVIOUS); expect_item(0); }),
        act("next", [] { press(IDC_SCRAP_NEXT); expect_item(1); }),
        act("last", [] { press(IDC_SCRAP_LAST); expect_item(2); }),
        act("next on the last", [] { press(IDC_SCRAP_NEXT); expect_item(2); }),
        act("previous", [] { press(IDC_SCRAP_PREVIOUS); expect_item(1); }),
        act("cancel", [] { press_later(editor(), IDCANCEL); }),
    });
}

TEST_F(ScrapEditor, CancelLeavesTheFileAfterEditsDeleteSwapAndTitle) {
    const std::string before = write_scrap(3);
    run_editor(std::vector<Step>{
                   editor_shown(),
                   act("edit the newest item and go back one",
                       [] {
                           SetDlgItemTextA(editor(), IDC_SCRAP_HEADING, "変えた見出し");
                           SetDlgItemTextA(editor(), IDC_SCRAP_TEXT, "変えた文章");
                           press(IDC_SCRAP_PREVIOUS);
                       }),
               } +
               choose(kEntryDelete, true) +
               std::vector<Step>{
                   confirm_delete(),
                   wait_for("two items left",
                            [] {
                                if (field(IDC_SCRAP_COUNT) != "2" || loading()) return false;
                                // The newest item moved up, with what the user typed.
                                EXPECT_EQ(field(IDC_SCRAP_NUMBER), "2");
                                EXPECT_EQ(field(IDC_SCRAP_TIME), kItems[2].time);
                                EXPECT_EQ(field(IDC_SCRAP_HEADING), "変えた見出し");
                                EXPECT_EQ(field(IDC_SCRAP_TEXT), "変えた文章");
                                expect_preview(kItems[2]);
                                return true;
                            }),
               } +
               choose(kEntrySwap, true) +
               std::vector<Step>{
                   wait_for("swapped to the front",
                            [] {
                                if (field(IDC_SCRAP_NUMBER) != "1" || loading()) return false;
                                EXPECT_EQ(field(IDC_SCRAP_TIME), kItems[2].time);
                                EXPECT_EQ(field(IDC_SCRAP_HEADING), "変えた見出し");
                                expect_preview(kItems[2]);
                                return true;
                            }),
               } +
               close_menu_on_first_item() + retitle(false, "表題", "副題", "別の表題", "別の副題") +
               std::vector<Step>{act("cancel", [] { press_later(editor(), IDCANCEL); })});
    const std::string after = test_read_file(scrap_);
    EXPECT_TRUE(after == before) << difference(after, before);
}

TEST_F(ScrapEditor, OkAfterRetitlingChangesOnlyTheTitles) {
    const std::string before = write_scrap(3);
    // "ソ" ends in 0x5C, a byte that path-style code would take for "\".
    run_editor(std::vector<Step>{editor_shown()} +
               retitle(true, "表題", "副題", "ソウルの旅", "二〇二六年の春") +
               std::vector<Step>{act("OK", [] { press_later(editor(), IDOK); })});
    std::string want = with_editor_breaks(before);
    replace_once(&want, "<title>表題</title>", "<title>ソウルの旅</title>");
    replace_once(&want, "<h1>表題</h1>", "<h1>ソウルの旅</h1>");
    replace_once(&want, "<h3>副題</h3>", "<h3>二〇二六年の春</h3>");
    const std::string got = test_read_file(scrap_);
    EXPECT_TRUE(got == want) << difference(got, want);
}

TEST_F(ScrapEditor, OkWritesEditedFieldsAndDropsAnEmptiedHeading) {
    const std::string before = write_scrap(3);
    // The newest item's heading is emptied (kept on leaving the item), the
    // first item's text rewritten (kept on OK).
    run_editor({
        editor_shown(),
        act("empty the heading",
            [] {
                SetDlgItemTextA(editor(), IDC_SCRAP_HEADING, "");
                press(IDC_SCRAP_FIRST);
            }),
        act("rewrite the text",
            [] {
                SetDlgItemTextA(editor(), IDC_SCRAP_TEXT, "書き直した");
                press_later(editor(), IDOK);
            }),
    });
    std::string want = with_editor_breaks(before);
    replace_once(&want, "<p><h2>夕方の絵</h2>", "");
    const size_t from = want.find("一行目"), to = want.find("二行目");
    ASSERT_LT(from, to);
    want.replace(from, to + std::strlen("二行目") - from, "書き直した");
    const std::string got = test_read_file(scrap_);
    EXPECT_TRUE(got == want) << difference(got, want);
}

TEST_F(ScrapEditor, DeletingTheOnlyItemEndsTheEditorAndLeavesNoItem) {
    write_scrap(1);
    run_editor(std::vector<Step>{editor_shown()} + choose(kEntryDelete, false) +
               std::vector<Step>{confirm_delete()});
    const std::string got = test_read_file(scrap_), want = new_scrap();
    EXPECT_TRUE(got == want) << difference(got, want);
}

TEST_F(ScrapEditor, UnreadableOrEmptyScrapIsToldAndNotOpened) {
    struct Case {
        bool exists;
        int message;
    };
    for (const Case& c : {Case{false, kMsgHtmlRead}, Case{true, kMsgNoItems}}) {
        SCOPED_TRACE(c.message);
        std::remove(scrap_.c_str());
        if (c.exists) test_write_file(scrap_, new_scrap());
        run_editor({answer_warning(c.message)});
        EXPECT_EQ(test_read_file(scrap_), c.exists ? new_scrap() : "");
    }
}

// Clicks queued while the preview resamples a picture (which runs the pump)
// wait for it and then store each item's own fields; a NUL after the page stays.
TEST_F(ScrapEditor, ClicksQueuedDuringALoadKeepEachItemsTexts) {
    const std::string before = write_scrap(3) + std::string("\0tail", 5);
    test_write_file(scrap_, before);
    run_editor({editor_shown(), act("first, then next, next and OK at once", [] {
                    press(IDC_SCRAP_FIRST);
                    for (int id : {IDC_SCRAP_NEXT, IDC_SCRAP_NEXT, IDOK}) press_later(editor(), id);
                })});
    const std::string got = test_read_file(scrap_), want = with_editor_breaks(before);
    EXPECT_TRUE(got == want) << difference(got, want);
}

// No memory while the fields are stored is told and loses nothing; the owner
// closed (the program ending, here during a load) or the session ending is Cancel.
TEST_F(ScrapEditor, NoMemoryOrTheProgramEndingLosesNothing) {
    const std::string before = write_scrap(2);
    for (bool session_ends : {false, true}) {
        HWND owner = CreateWindowA("Static", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        run_editor({editor_shown(), act("a long text; no memory on leaving the item", [] {
                        std::string text;
                        while (text.size() < 40000) text += std::string(78, 'x') + "\r\n";
                        SetDlgItemTextA(editor(), IDC_SCRAP_TEXT, text.c_str());
                        fail_next_allocation_of(text.size());
                        press_later(editor(), IDC_SCRAP_PREVIOUS);
                    }),
                    answer_warning(kMsgNoMemory),
                    act("leave the item, end", [owner, session_ends] {
                        EXPECT_EQ(field(IDC_SCRAP_NUMBER), "2");
                        press(IDC_SCRAP_PREVIOUS);  // the text is stored now
                        if (session_ends) return (void)SendMessageA(editor(), WM_ENDSESSION, 1, 0);
                        press_later(editor(), IDC_SCRAP_NEXT);
                        PostMessageA(owner, WM_CLOSE, 0, 0);
                    })},
                   owner);
        fail_next_allocation_of(0);
        DestroyWindow(owner);
        EXPECT_EQ(test_read_file(scrap_), before) << session_ends;
    }
}

// OK on a file another program changed since it was read writes nothing and
// leaves the dialog open.
TEST_F(ScrapEditor, OkKeepsAFileChangedElsewhere) {
    std::string changed = write_scrap(2);
    changed.insert(changed.find(kInsertPlace), "<p>added</p>\r\n");
    run_editor({editor_shown(), act("another program adds; OK", [&] {
                    test_write_file(scrap_, changed);
                    press_later(editor(), IDOK);
                }),
                answer_warning(kMsgScrapChangedElsewhere),
                act("still open: cancel", [] { press_later(editor(), IDCANCEL); })});
    EXPECT_TRUE(test_read_file(scrap_) == changed);
}

// Heading, link and title are stored in the bytes the file reads back (1023,
// 255), cut between characters (trail bytes 0x5C, 0x5D, 0x5B).
TEST_F(ScrapEditor, LongFieldsAreCutToWhatReadsBack) {
    write_scrap(1);
    auto times = [](const char* c, int n) { std::string s; while (n--) s += c; return s; };
    const std::string heading = times("ソ", 512), link = times("望", 512);
    run_editor(std::vector<Step>{editor_shown(), act("long heading and link", [&] {
                                     SetDlgItemTextA(editor(), IDC_SCRAP_HEADING, heading.c_str());
                                     SetDlgItemTextA(editor(), IDC_SCRAP_LINK, link.c_str());
                                 })} +
               retitle(false, "表題", "副題", times("ー", 128).c_str(), "副題") +
               std::vector<Step>{act("OK", [] { press_later(editor(), IDOK); })});
    const std::string got = test_read_file(scrap_);
    for (const std::string& want : {"<p><h2>" + times("ソ", 511) + "</h2>",
                                    "<a href=\"" + times("望", 511) + "\">", "<title>" + times("ー", 127) + "</title>"})
        EXPECT_NE(got.find(want), std::string::npos) << want.substr(0, 12);
}

}  // namespace
