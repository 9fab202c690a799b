#!/usr/bin/env bash
# The resident shell end to end: first start, the /open-/close protocol,
# second starts, the read-me and the tray icon.
set -u
. "$(dirname "$0")/../../scripts/lib.sh"
. "$(dirname "$0")/lib.sh"

echo "shell: first start with /open, then /close"
fresh_settings
check "first start shows its window" start_tamble /open
check "data folder created" test -d "$DATA_DIR"
check "tray icon shown" wait_until 20 tray_shows_icon
second_start /close
check "/close ends the program started with /open" wait_until 20 main_window_gone
check "program process ended" wait_until 20 tamble_process_gone
check "Flags saved at exit" ini_has "Flags=33924"
check "Editor set on first run" ini_has 'Editor=C:\windows\System32\notepad.exe'
scrap=$(printf 'C:\\users\\%s\\Documents\\\x83X\x83N\x83\x89\x83b\x83v\\' "$(id -un)")
check "ScrapFolder set on first run" ini_has "ScrapFolder=$scrap"
check "HtmlFile set on first run" ini_has "HtmlFile=${scrap}scrap.html"
check "scrap folder created" test -d "$WINEPREFIX/drive_c/users/$(id -un)/Documents/スクラップ"
check "tray icon removed at exit" wait_until 20 tray_gone
TAMBLE_PID=""

echo "shell: a second start does not rewrite first-run values"
sed -i 's/^Editor=.*/Editor=C:\\edit.exe\r/' "$INI"
start_tamble /open
second_start /close
wait_until 20 main_window_gone
check "Editor kept on later starts" ini_has 'Editor=C:\edit.exe'
TAMBLE_PID=""

echo "shell: /open twice, /close twice"
start_tamble /open
second_start /open
second_start /close
# The first /close must not end the program: give it the same time the
# second one gets, then look.
run_wine "$WINTOOL" wait-gone "$MAIN_CLASS" 2000 >/dev/null 2>&1
check "first /close leaves it running" main_window_exists
second_start /close
check "second /close ends it" wait_until 20 main_window_gone
stop_tamble

echo "shell: /close with nothing running"
second_start /close
check "/close alone starts nothing" main_window_gone

echo "shell: a plain second start opens the read-me"
browser="$E2E_TMP/browser.sh"
opened="$E2E_TMP/opened.txt"
cat > "$browser" <<EOS
#!/bin/sh
echo "\$@" >> "$opened"
EOS
chmod +x "$browser"
run_wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$browser" /f >/dev/null 2>&1
# The prefix runs without Wine's HTML engine, which is what would register
# ".html"; give it the association every Windows desktop has.
run_wine reg add 'HKCR\.html' /ve /t REG_SZ /d htmlfile /f >/dev/null 2>&1
start_tamble
second_start
check "read-me opened" wait_until 20 grep -q 'readme\.html' "$opened"
check "first copy still running" main_window_exists
rm -f "$opened"
second_start /first
check "/first with a copy running opens the read-me too" wait_until 20 grep -q 'readme\.html' "$opened"
stop_tamble
rm -f "$opened"
second_start /first
check "/first alone opens the read-me" wait_until 20 grep -q 'readme\.html' "$opened"
check "/first alone starts nothing" main_window_gone
run_wine reg delete 'HKCU\Software\Wine\WineBrowser' /v Browsers /f >/dev/null 2>&1

echo "$E2E_PASSED passed, $E2E_FAILED failed"
[ "$E2E_FAILED" -eq 0 ]
