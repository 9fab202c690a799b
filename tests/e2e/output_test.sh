#!/usr/bin/env bash
# Outputs end to end: numbered image files of each type (PNG among them), the overwrite
# question, the text saved beside a picture, the clipboard text through the
# editor, and BASE64 items on the clipboard and in a new scrap shown by a
# browser. Captures are framed on a known picture; results are checked
# with independent tools.
set -u
. "$(dirname "$0")/../../scripts/lib.sh"
. "$(dirname "$0")/lib.sh"

cleanup() {
    stop_tamble
    [ -n "$PICTURE_PID" ] && kill "$PICTURE_PID" 2>/dev/null
}
trap 'cleanup; rm -rf "$E2E_TMP"' EXIT

restart_with_flags() {
    stop_tamble
    ini_set System Flags "$1"
    start_tamble
}

OUT="$E2E_TMP/out"
mkdir -p "$OUT"
check "picture shown" show_known_picture
fresh_settings
mkdir -p "$DATA_DIR"
# The captures are framed on the overlay alone: the coordinate boxes stay
# shut (no 0x4), and the first run is over (0x8000).
BASE_FLAGS=$((0x8000 | 0x400))
ini_set System Flags $((BASE_FLAGS | 0x100))   # numbered image file
ini_set Output OutputFolder "$(winepath -w "$OUT" 2>/dev/null)\\"
ini_set Output Prefix A
check "program started" start_tamble

echo "output: Prefix A, Number 99 gives A00099 of each type"
for type in bmp gif jpg png; do
    ini_set Output Number 99
    ini_set Output Type $type
    capture_rect 100 200 200 150
    finish_output
    # The overlay hides before the file is written: wait for the number.
    check "$type: A00099.$type written, Number then 100" \
        wait_until 10 eval "test -f '$OUT/A00099.$type' && ini_has Number=100"
done
check "BMP holds the framed pixels" same_pixels "$OUT/A00099.bmp" 200 150 100 200
check "PNG holds the framed pixels" same_pixels "$OUT/A00099.png" 200 150 100 200
check "GIF is GIF87a" test "$(head -c 6 "$OUT/A00099.gif")" = GIF87a
# Colour reduction with dithering keeps the picture near 31 dB; a picture
# framed three rows off is at 22 dB.
check "GIF decodes close to the framed pixels" close_pixels "$OUT/A00099.gif" 200 150 100 200 28
jpeg_reference 200 150 100 200 80 "$E2E_TMP/ref.jpg"
check "JPEG bytes are the reference encoding at quality 80 with the trailer" \
    cmp "$E2E_TMP/ref.jpg" "$OUT/A00099.jpg"

echo "output: an existing file is only replaced when the user says yes"
cp "$OUT/A00099.bmp" "$E2E_TMP/kept.bmp"
ini_set Output Number 99
ini_set Output Type bmp
capture_rect 300 300 200 150
check "the question box asks" wait_until 10 question_shown
answer_question n
wait_until 20 overlay_hidden
check "No keeps the file" cmp "$E2E_TMP/kept.bmp" "$OUT/A00099.bmp"
check "No keeps Number" ini_has Number=99
capture_rect 300 300 200 150
answer_question y
finish_output
check "Yes counts the number on" wait_until 10 ini_has Number=100
check "Yes writes the new picture" same_pixels "$OUT/A00099.bmp" 200 150 300 300

echo "output: the clipboard's text is saved beside the picture"
# Double-byte text with a 0x5C trail byte, and CR LF line ends.
printf '\x95\x5c\x91\xe8 clipboard text\r\nsecond line\r\n' > "$E2E_TMP/clip.txt"
printf 'edited \x83\x65\x83\x4c\x83\x58\x83\x67\r\n' > "$E2E_TMP/edited.txt"
TEST_EDITOR_SEEN=$(winepath -w "$E2E_TMP/seen.txt" 2>/dev/null)
TEST_EDITOR_TEXT=$(winepath -w "$E2E_TMP/edited.txt" 2>/dev/null)
export TEST_EDITOR_SEEN TEST_EDITOR_TEXT
ini_set Output Number 200
ini_set Option Editor "$(winepath -w "$TEST_EDITOR" 2>/dev/null)"
restart_with_flags $((BASE_FLAGS | 0x100 | 0x800))
clipboard_set_text "$E2E_TMP/clip.txt"
capture_rect 100 200 40 30
finish_output
check "A00200.bmp written" wait_until 10 same_pixels "$OUT/A00200.bmp" 40 30 100 200
check "A00200.txt holds exactly the clipboard's bytes" wait_until 10 cmp "$E2E_TMP/clip.txt" "$OUT/A00200.txt"

echo "output: the clipboard's text goes through the editor"
# Menu with Flags 0x800 and 0x100: start options, output folder, separator,
# the clipboard text.
choose_tray_item 3
check "the editor got the clipboard's text" wait_until 20 cmp -s "$E2E_TMP/clip.txt" "$E2E_TMP/seen.txt"
check "the clipboard holds the edited text" wait_until 20 clipboard_text_is "$E2E_TMP/edited.txt"
clipboard_set_text "$E2E_TMP/clip.txt"
rm -f "$E2E_TMP/seen.txt" "$E2E_TMP/edited.txt"   # the editor now saves nothing
sequence=$(clipboard_seq)
choose_tray_item 3
check "the editor ran again" wait_until 20 test -f "$E2E_TMP/seen.txt"
wait_menu_command_done
check "an unsaved edit leaves the clipboard alone" test "$(clipboard_seq)" = "$sequence"

echo "output: a BASE64 item on the clipboard"
ini_set Output Type jpg
restart_with_flags $((BASE_FLAGS | 0x200))
run_wine "$WINTOOL" clipboard-clear >/dev/null 2>&1
capture_rect 300 300 64 48
finish_output
check "the clipboard holds one item: marker, data URI, line break" wait_until 10 \
    eval 'clipboard_text_to "$E2E_TMP/item.txt" && /usr/bin/python3 "$PIXELS" item \
    "$E2E_TMP/item.txt" "$E2E_TMP/item.jpg"'
jpeg_reference 64 48 300 300 80 "$E2E_TMP/ref.jpg"
check "its picture is the JPEG of the framed pixels" cmp "$E2E_TMP/ref.jpg" "$E2E_TMP/item.jpg"

echo "output: a BASE64 PNG item on the clipboard, shown by a browser"
ini_set Output Type png   # the JPEG item above stays until the PNG one replaces it
capture_rect 300 300 64 48
finish_output
check "the clipboard holds one item with a PNG data URI" wait_until 10 \
    eval 'clipboard_text_to "$E2E_TMP/item.html" && /usr/bin/python3 "$PIXELS" item \
    "$E2E_TMP/item.html" "$E2E_TMP/item.png" image/png'
check "a browser shows the item's picture at 64x48 with the framed pixels" \
    /usr/bin/python3 "$PIXELS" browser "$E2E_TMP/item.html" "$KNOWN_PNG" 300 300 64 48
ini_set Output Type jpg

echo "output: a new numbered scrap, and a BASE64 item in it"
scrap_dir="$WINEPREFIX/drive_c/users/$(id -un)/Documents/スクラップ"
rm -f "$scrap_dir"/scrap*.html
restart_with_flags $((BASE_FLAGS | 0x200 | 0x4000))
# Menu with 0x200 and 0x4000: start options, separator, open, edit, new [+1].
choose_tray_item 4
check "the new scrap after scrap.html is scrap[1].html" \
    wait_until 10 test -s "$scrap_dir/scrap[1].html"
scrap_win=$(printf 'C:\\users\\%s\\Documents\\\x83X\x83N\x83\x89\x83b\x83v\\' "$(id -un)")
check "HtmlFile names the new scrap" wait_until 10 ini_has "HtmlFile=${scrap_win}scrap[1].html"
cp "$scrap_dir/scrap[1].html" "$E2E_TMP/before.html"
capture_rect 100 200 200 150
finish_output
check "the item went in just before the insert place, nothing else changed" wait_until 10 \
    /usr/bin/python3 "$PIXELS" scrap "$E2E_TMP/before.html" "$scrap_dir/scrap[1].html" "$E2E_TMP/scrap.jpg"
jpeg_reference 200 150 100 200 80 "$E2E_TMP/ref.jpg"
check "its picture is the JPEG of the framed pixels" cmp "$E2E_TMP/ref.jpg" "$E2E_TMP/scrap.jpg"
check "a browser shows the picture at 200x150 with the framed pixels" \
    /usr/bin/python3 "$PIXELS" browser "$scrap_dir/scrap[1].html" "$KNOWN_PNG" 100 200 200 150
# The picture of a scrap for README.md (docs/scrap-in-browser.png).
mkdir -p "$BUILD/screenshots"
check "a screenshot of the scrap in a browser" chromium --headless --no-sandbox --disable-gpu \
    --hide-scrollbars --window-size=720,420 --screenshot="$BUILD/screenshots/scrap-in-browser.png" \
    "file://$scrap_dir/scrap[1].html"

echo "$E2E_PASSED passed, $E2E_FAILED failed"
[ "$E2E_FAILED" -eq 0 ]
