// The tray menu's items by the option bits, the start delays, the menu
// guard and the editor's command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/tray_menu_items.h"
#include "state/app_state.h"
#include "ui/editor_program.h"
#include "ui/menu_guard.h"

namespace {

std::vector<int> ids_for(int flags) {
    TrayMenuItem items[kTrayMenuMaxItems];
    int n = tray_menu_items(flags, items);
    std::vector<int> ids;
    for (int i = 0; i < n; ++i) ids.push_back(items[i].text ? items[i].id : -1);
    return ids;
}

TEST(TrayMenu, ItemsByOptionBits) {
    const int sep = -1;
    // Clipboard output, the first-run default.
    EXPECT_EQ(ids_for(kDefaultFlags), (std::vector<int>{2, sep, 9, 8, sep, 1, 21, 0, 5}));
    EXPECT_EQ(ids_for(kFlagOutputFile), (std::vector<int>{2, 10, sep, 9, 8, sep, 1, 21, 0, 5}));
    // The scrap items need BASE64 output and the scrap as its destination.
    EXPECT_EQ(ids_for(kFlagOutputBase64), ids_for(0));
    EXPECT_EQ(ids_for(kFlagBase64ToScrap), ids_for(0));
    EXPECT_EQ(ids_for(kFlagOutputBase64 | kFlagBase64ToScrap | kFlagUseClipboardText),
              (std::vector<int>{2, sep, 11, 12, 14, 15, sep, 13, sep, 9, 8, sep, 1, 21, 0, 5}));
    TrayMenuItem items[kTrayMenuMaxItems];
    ASSERT_EQ(tray_menu_items(-1, items), kTrayMenuMaxItems);
    EXPECT_STREQ(items[5].text, "新規のスクラップを作成する[+1]");
    EXPECT_STREQ(items[16].text, "終了");
}

TEST(TrayMenu, StartDelays) {
    EXPECT_EQ(start_delay_ms(0), 0);
    EXPECT_EQ(start_delay_ms(3), 3000);
    EXPECT_EQ(start_delay_ms(5), 5000);
    for (int other : {-1, 1, 4, 6}) EXPECT_EQ(start_delay_ms(other), -1) << other;
}

TEST(MenuGuard, ClickThatClosedTheMenuDoesNotReopenIt) {
    AppState app;
    menu_guard_record(&app, false, 5000);  // dismissed by a key: no guard
    EXPECT_EQ(menu_guard_check(&app, 5001), 1);
    struct Case { uint32_t noted, checked; int allowed; };
    const Case cases[] = {
        {5000, 5999, 0},
        {5000, 6000, 1},
        {5000, 6001, 1},
        {0xFFFFFF00u, 0x000000E7u, 0},  // across the tick counter's wrap: 999 ms
        {0xFFFFFF00u, 0x000002E8u, 1},  // 1000 ms
    };
    for (const Case& c : cases) {
        menu_guard_record(&app, true, c.noted);
        EXPECT_EQ(menu_guard_check(&app, c.checked), c.allowed) << c.checked;
        EXPECT_EQ(menu_guard_check(&app, c.checked), 1);  // the record is used up
    }
}

TEST(EditorCommand, QuotedAndNeverCut) {
    char out[kEditorCommandSize];
    ASSERT_EQ(editor_command_line("C:\\e.exe", "C:\\d\\$clipboard.txt", out), 1);
    EXPECT_STREQ(out, "\"C:\\e.exe\" \"C:\\d\\$clipboard.txt\"");
    const std::string editor(590, 'e');
    EXPECT_EQ(editor_command_line(editor.c_str(), "abcd", out), 1);   // 599 characters
    EXPECT_EQ(editor_command_line(editor.c_str(), "abcde", out), 0);  // 600
}

}  // namespace
