#!/usr/bin/env bash
# The release archive: built twice with the same bytes, holding just the
# program and its guide, and the program from it starts and shows its icon.
set -u
. "$(dirname "$0")/../../scripts/lib.sh"
. "$(dirname "$0")/lib.sh"

echo "package: two builds of the archive"
zip="$TOP/dist/tamble-4.13-win64.zip"
check "first build" bash "$TOP/scripts/package"
cp "$zip" "$E2E_TMP/first.zip"
check "second build" bash "$TOP/scripts/package"
check "the same bytes both times" cmp -s "$zip" "$E2E_TMP/first.zip"
listing=$(/usr/bin/python3 -c "import sys,zipfile; print(' '.join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))" "$zip")
check "holds the program and its guide, nothing else" test "$listing" = "Tamble/readme.html Tamble/tamble.exe"

echo "package: the program from the archive runs"
unpacked="$E2E_TMP/unpacked"
mkdir -p "$unpacked"
/usr/bin/python3 -c "import sys,zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])" "$zip" "$unpacked"
fresh_settings
TAMBLE_EXE="$unpacked/Tamble/tamble.exe"
check "starts and shows its tray icon" start_tamble /open
check "tray icon shown" wait_until 20 tray_shows_icon
second_start /close
check "ends on /close" wait_until 20 main_window_gone
TAMBLE_PID=""

echo "$E2E_PASSED passed, $E2E_FAILED failed"
[ "$E2E_FAILED" -eq 0 ]
