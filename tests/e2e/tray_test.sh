#!/usr/bin/env bash
# The tray icon and the resident program: the notification of the first
# start, the menu of the default options, the icon's return when the shell
# has forgotten it, the exit item, and two starts at the same moment.
set -u
. "$(dirname "$0")/../../scripts/lib.sh"
. "$(dirname "$0")/lib.sh"

cleanup() {
    stop_tamble
    run_wine reg delete 'HKCU\Software\Wine\WineBrowser' /v Browsers /f >/dev/null 2>&1
}
trap 'cleanup; rm -rf "$E2E_TMP"' EXIT

# Screenshot of a program's open menu window.
menu_shot() { /usr/bin/import -window "$(menu_window "$1")" "$2" 2>/dev/null; }
same_image() { [ "$(/usr/bin/compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]; }

# Wine's explorer shows a notification at the icon as a window of its own
# without a title.
notification_shown() {
    local id
    for id in $(xdotool search --onlyvisible --classname explorer.exe 2>/dev/null); do
        [ -z "$(xdotool getwindowname "$id" 2>/dev/null)" ] && return 0
    done
    return 1
}

echo "tray: the menu of the default options"
fresh_settings
check "program started" start_tamble
check "the first start shows a notification at the icon" wait_until 10 notification_shown
check "tray icon shown" wait_until 20 tray_shows_icon
check "right click on the icon opens the menu" open_tray_menu
menu_shot tamble.exe "$E2E_TMP/tamble_menu.png"
eval "$(xdotool getmouselocation --shell)"
menu_keys tamble.exe Escape
check "Esc closes the menu" wait_until 10 menu_gone tamble.exe
# The same items shown by another program at the same place, with the
# same font, must give the same pixels.
printf '%s\n' 起動オプション - 出力設定を行う 設定を行う - \
    Tambleのホームページ Tambleについて メニューを閉じる 終了 |
    iconv -f UTF-8 -t CP932 > "$E2E_TMP/items.txt"
run_wine "$WINTOOL" menu "$(winepath -w "$E2E_TMP/items.txt" 2>/dev/null)" "$X" "$Y" \
    > /dev/null 2>&1 &
menu_pid=$!
wait_until 10 menu_shown wintool.exe
menu_shot wintool.exe "$E2E_TMP/want_menu.png"
menu_keys wintool.exe Escape
menu_closed() { ! kill -0 "$menu_pid" 2>/dev/null; }
wait_until 10 menu_closed || kill "$menu_pid" 2>/dev/null
wait "$menu_pid"
check "menu holds exactly the default items, in order" \
    same_image "$E2E_TMP/tamble_menu.png" "$E2E_TMP/want_menu.png"

echo "tray: the icon comes back when the taskbar is created anew"
run_wine "$WINTOOL" tray-delete "$MAIN_CLASS" 101 >/dev/null 2>&1
check "icon removed from outside" wait_until 10 tray_gone
run_wine "$WINTOOL" post "$MAIN_CLASS" TaskbarCreated 0 0 >/dev/null 2>&1
check "TaskbarCreated puts the icon back" wait_until 10 tray_shows_icon
check "the icon's menu works again" open_tray_menu

echo "tray: the exit item"
menu_keys tamble.exe Escape
wait_until 10 menu_gone tamble.exe
# The program read Flags at its start; the exit writes the value in use.
ini_set System Flags 1
open_tray_menu
menu_keys tamble.exe Up Return   # Up from no item wraps to the last one
check "終了 ends the program" wait_until 20 main_window_gone
check "program process ended" wait_until 20 tamble_process_gone
check "Flags written at exit" ini_has "Flags=33924"
TAMBLE_PID=""

echo "tray: two starts at the same moment leave one resident copy"
browser="$E2E_TMP/browser.sh"
opened="$E2E_TMP/opened.txt"
printf '#!/bin/sh\necho "$@" >> "%s"\n' "$opened" > "$browser"
chmod +x "$browser"
run_wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$browser" /f >/dev/null 2>&1
run_wine reg add 'HKCR\.html' /ve /t REG_SZ /d htmlfile /f >/dev/null 2>&1
main_windows() { run_wine "$WINTOOL" count "$MAIN_CLASS" 2>/dev/null | tr -d '\r'; }
fewer_main_windows() { [ "$(main_windows)" -lt "$1" ]; }
# Closes every copy, the extra one of a failed round too.
close_main_windows() {
    local n
    n=$(main_windows)
    while [ "${n:-0}" -gt 0 ]; do
        run_wine "$WINTOOL" post "$MAIN_CLASS" 0x0010 0 0 >/dev/null 2>&1   # WM_CLOSE
        wait_until 20 fewer_main_windows "$n" || return 1
        n=$(main_windows)
    done
}
one_ended() { ! kill -0 "$first" 2>/dev/null || ! kill -0 "$second" 2>/dev/null; }
both_ended() { ! kill -0 "$first" 2>/dev/null && ! kill -0 "$second" 2>/dev/null; }
responds() { run_wine_limited 20 "$WINTOOL" send "$MAIN_CLASS" 0 0 0 >/dev/null 2>&1; }  # WM_NULL
for round in 1 2 3 4 5; do
    rm -f "$opened"
    run_wine "$TAMBLE_EXE" >/dev/null 2>&1 &
    first=$!
    run_wine "$TAMBLE_EXE" >/dev/null 2>&1 &
    second=$!
    ok=1
    wait_until 30 one_ended || ok=0
    wait_until 30 main_window_exists || ok=0
    [ "$(main_windows)" = 1 ] || ok=0
    # The copy that came second found the first: it opened the read-me.
    wait_until 20 grep -q 'readme\.html' "$opened" || ok=0
    responds || ok=0
    check "round $round: one main window, the other start opened the read-me" test $ok = 1
    # The copy that runs has shown what it shows at its start.
    [ $round = 1 ] && check "a later start shows no notification" eval '! notification_shown'
    if [ $round = 5 ]; then
        check "the resident copy still captures" begin_capture
        wait_until 10 overlay_has_focus
        xdotool key Escape
        wait_until 20 overlay_hidden
    fi
    close_main_windows
    wait_until 20 both_ended || kill "$first" "$second" 2>/dev/null
    wait "$first" "$second" 2>/dev/null
done

echo "$E2E_PASSED passed, $E2E_FAILED failed"
[ "$E2E_FAILED" -eq 0 ]
