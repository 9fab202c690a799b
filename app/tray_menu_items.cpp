#include "app/tray_menu_items.h"

#include "state/app_state.h"

const char kHomePage[] = "readme.html";

namespace {

// Which option bits an item needs (all of them), 0 for always.
struct ItemRule {
    TrayMenuItem item;
    int needs;
};
constexpr int kScrapBits = kFlagOutputBase64 | kFlagBase64ToScrap;
const ItemRule kItems[kTrayMenuMaxItems] = {
    {{kCmdStartOptions, "起動オプション"}, 0},
    {{kCmdOpenOutputFolder, "出力フォルダを開く"}, kFlagOutputFile},
    {{-1, nullptr}, kScrapBits},
    {{kCmdOpenScrap, "スクラップをブラウザで開く"}, kScrapBits},
    {{kCmdEditScrap, "スクラップを編集する"}, kScrapBits},
    {{kCmdNewNumberedScrap, "新規のスクラップを作成する[+1]"}, kScrapBits},
    {{kCmdChooseScrap, "新規のスクラップを作成/変更する"}, kScrapBits},
    {{-1, nullptr}, kFlagUseClipboardText},
    {{kCmdEditClipboardText, "クリップボードのテキストを編集する"}, kFlagUseClipboardText},
    {{-1, nullptr}, 0},
    {{kCmdOutputSettings, "出力設定を行う"}, 0},
    {{kCmdSettings, "設定を行う"}, 0},
    {{-1, nullptr}, 0},
    {{kCmdHomePage, "Tambleのホームページ"}, 0},
    {{kCmdAbout, "Tambleについて"}, 0},
    {{kCmdCloseMenu, "メニューを閉じる"}, 0},
    {{kCmdExit, "終了"}, 0},
};

}  // namespace

int tray_menu_items(int flags, TrayMenuItem items[kTrayMenuMaxItems]) {
    int count = 0;
    for (const ItemRule& rule : kItems)
        if ((flags & rule.needs) == rule.needs) items[count++] = rule.item;
    return count;
}

int start_delay_ms(int result) {
    switch (result) {
        case 0:
            return 0;
        case 3:
            return 3000;
        case 5:
            return 5000;
    }
    return -1;
}
