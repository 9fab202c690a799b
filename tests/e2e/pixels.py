#!/usr/bin/env python3
"""Pixel and scrap checks for the end-to-end tests.

  pixels.py marks SHOT KNOWN X Y [CELL] crosshair and magnifier (cells of CELL
                                        pixels, 5 at 96 DPI) at (X, Y), mode 0
  pixels.py cover SHOT KNOWN X Y RRGGBB the covered display of state 1 at (X, Y)
  pixels.py item TEXT OUT [MIME]        TEXT is one BASE64 scrap item of type
                                        MIME (image/jpeg); picture bytes to OUT
  pixels.py scrap BEFORE AFTER OUT      AFTER is BEFORE with one item inserted
                                        at the insert place; picture to OUT
  pixels.py browser HTML KNOWN X Y W H  a browser shows one picture in HTML:
                                        W x H, close to KNOWN's pixels there
  pixels.py sample BMP RRGGBB           BMP is a colour sample: 8x8, 24 bits,
                                        3780 pixels per metre, all RRGGBB

SHOT and KNOWN are image files ImageMagick can read; exit 0 when the checks
hold, 1 with the failed checks on stderr.
"""
import base64
import math
import pathlib
import re
import struct
import subprocess
import sys
import tempfile


def load(path):
    data = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "ppm:-"],
                          check=True, capture_output=True).stdout
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:]


class Image:
    def __init__(self, path):
        self.width, self.height, self.bytes = load(path)

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.bytes[i:i + 3])


def inverted(c):
    return tuple(255 - v for v in c)


def check_marks(shot, known, px, py, cell=5):
    failures = []
    for (x, y) in [(px, py + 300), (px, py - 100), (px + 400, py), (px - 50, py)]:
        if shot.at(x, y) != inverted(known.at(x, y)):
            failures.append(f"crosshair pixel ({x},{y}) is {shot.at(x, y)}, "
                            f"want inverted {inverted(known.at(x, y))}")
    for (x, y) in [(px + 1, py + 300), (px + 400, py + 1), (px + 200, py + 200)]:
        if shot.at(x, y) != known.at(x, y):
            failures.append(f"pixel ({x},{y}) off the marks changed: {shot.at(x, y)}")
    # The magnifier: cell (i, j) is CELL x CELL pixels of image pixel (px+j-2, py+i-2).
    half = 5 * cell // 2
    for i in range(5):
        for j in range(5):
            want = known.at(px + j - 2, py + i - 2)
            for (dx, dy) in [(0, 0), (cell - 1, cell - 1), (1, 3)]:
                x, y = px - half + cell * j + dx, py - half + cell * i + dy
                if x == px or y == py:
                    continue  # the crosshair runs through the magnifier
                if shot.at(x, y) != want:
                    failures.append(f"magnifier cell ({i},{j}) pixel ({x},{y}) is "
                                    f"{shot.at(x, y)}, want {want}")
    return failures


def check_cover(shot, known, px, py, colour):
    want_bg = tuple(int(colour[k:k + 2], 16) for k in (0, 2, 4))
    failures = []
    for (x, y) in [(px - 50, py - 50), (px + 50, py - 50), (px - 50, py + 50), (0, 0)]:
        if shot.at(x, y) != want_bg:
            failures.append(f"outside pixel ({x},{y}) is {shot.at(x, y)}, want {want_bg}")
    for (x, y) in [(px, py), (px + 50, py + 50), (px + 700, py + 300)]:
        if shot.at(x, y) != known.at(x, y):
            failures.append(f"inside pixel ({x},{y}) is {shot.at(x, y)}, want {known.at(x, y)}")
    return failures


# A scrap item as the program builds it: the part marker with the time,
# then the picture as a data URI, then a line break.
ITEM = re.compile(rb"<!-- Tamble Scrap Part \[\d{4}/\d\d/\d\d \d\d:\d\d\] -->\r\n"
                  rb"\r\n<img src=\"data:(image/[a-z]+);base64,([A-Za-z0-9+/]*={0,2})\">\r\n<br>")
INSERT_PLACE = b"<!-- Tamble Insert Place -->"
MARKER = b"<!-- Tamble Scrap Part ["


def check_item(text, out, mime="image/jpeg"):
    match = ITEM.fullmatch(text)
    if not match or match.group(1) != mime.encode():
        return [f"not one scrap item of {mime}: {text[:120]!r}...{text[-40:]!r}"]
    pathlib.Path(out).write_bytes(base64.b64decode(match.group(2)))
    return []


def check_scrap(before, after, out):
    start, place = after.find(MARKER), after.find(INSERT_PLACE)
    if start < 0 or place < start:
        return ["no item before the insert place"]
    if after[:start] + after[place:] != before:
        return ["the scrap changed outside the inserted item"]
    return check_item(after[start:place], out)


# The page loads the scrap in a frame and hands over what the browser made
# of each picture: its natural size and its decoded RGB pixels.
LOOK = """<!DOCTYPE html><html><body><pre id="out">not loaded</pre>
<iframe id="scrap" src="%s"></iframe>
<script>
document.getElementById("scrap").onload = function () {
  var lines = [], images = this.contentDocument.images;
  for (var i = 0; i < images.length; i++) {
    var img = images[i], canvas = document.createElement("canvas");
    canvas.width = img.naturalWidth;
    canvas.height = img.naturalHeight;
    var g = canvas.getContext("2d"), rgb = "";
    g.drawImage(img, 0, 0);
    if (canvas.width && canvas.height) {
      var px = g.getImageData(0, 0, canvas.width, canvas.height).data;
      for (var k = 0; k < px.length; k += 4)
        rgb += String.fromCharCode(px[k], px[k + 1], px[k + 2]);
    }
    lines.push(img.naturalWidth + " " + img.naturalHeight + " " + btoa(rgb));
  }
  document.getElementById("out").textContent = "images " + images.length + "\\n" + lines.join("\\n");
};
</script></body></html>
"""
MIN_PSNR = 30.0  # JPEG at quality 80 keeps the known picture above 34 dB


def browser_pictures(html):
    with tempfile.TemporaryDirectory() as folder:
        look = pathlib.Path(folder) / "look.html"
        look.write_text(LOOK % pathlib.Path(html).resolve().as_uri())
        dom = subprocess.run(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu",
             "--allow-file-access-from-files", "--virtual-time-budget=10000",
             "--dump-dom", look.as_uri()],
            capture_output=True, timeout=120).stdout.decode("latin-1")
    found = re.search(r"images (\d+)\n(.*?)</pre>", dom, re.S)
    if not found:
        return None
    pictures = []
    for line in found.group(2).split("\n")[:int(found.group(1))]:
        w, h, rgb = line.split(" ")
        pictures.append((int(w), int(h), base64.b64decode(rgb)))
    return pictures


def check_browser(html, known, x, y, w, h):
    pictures = browser_pictures(html)
    if pictures is None:
        return ["the browser did not load the scrap"]
    if len(pictures) != 1:
        return [f"{len(pictures)} pictures shown, want 1"]
    pw, ph, rgb = pictures[0]
    if (pw, ph) != (w, h) or len(rgb) != 3 * w * h:
        return [f"picture shown at {pw}x{ph}, want {w}x{h}"]
    error = 0
    for row in range(h):
        for col in range(w):
            got = rgb[3 * (row * w + col):3 * (row * w + col) + 3]
            error += sum((a - b) ** 2 for a, b in zip(got, known.at(x + col, y + row)))
    psnr = 10 * math.log10(255 * 255 * 3 * w * h / error) if error else math.inf
    print(f"    browser picture PSNR {psnr:.1f} dB", file=sys.stderr)
    return [] if psnr >= MIN_PSNR else [f"picture pixels too far off: {psnr:.1f} dB"]


def check_sample(data, colour):
    """The colour sample's bitmap, read field by field from the file."""
    if len(data) < 54 or data[:2] != b"BM":
        return ["not a BMP file"]
    offset, = struct.unpack_from("<I", data, 10)
    (size, width, height, planes, bits, compression, _, xppm,
     yppm) = struct.unpack_from("<IiiHHIIii", data, 14)
    failures = []
    if (size, width, height, planes, bits, compression) != (40, 8, 8, 1, 24, 0):
        failures.append(f"header: size {size}, {width}x{height}, planes {planes}, "
                        f"{bits} bits, compression {compression}; want 40, 8x8, 1, 24, 0")
    if (xppm, yppm) != (3780, 3780):
        failures.append(f"resolution {xppm}x{yppm} pixels per metre, want 3780")
    bgr = bytes(int(colour[k:k + 2], 16) for k in (4, 2, 0))
    rows = data[offset:offset + 8 * 24]
    if rows != bgr * 64:
        failures.append(f"pixels {rows[:12].hex()}..., want {bgr.hex()} (BGR) everywhere")
    return failures


def main():
    kind = sys.argv[1]
    if kind == "item":
        failures = check_item(pathlib.Path(sys.argv[2]).read_bytes(), *sys.argv[3:5])
    elif kind == "scrap":
        failures = check_scrap(pathlib.Path(sys.argv[2]).read_bytes(),
                               pathlib.Path(sys.argv[3]).read_bytes(), sys.argv[4])
    elif kind == "browser":
        failures = check_browser(sys.argv[2], Image(sys.argv[3]), *map(int, sys.argv[4:8]))
    elif kind == "sample":
        failures = check_sample(pathlib.Path(sys.argv[2]).read_bytes(), sys.argv[3])
    elif kind in ("marks", "cover"):
        shot, known = Image(sys.argv[2]), Image(sys.argv[3])
        x, y = int(sys.argv[4]), int(sys.argv[5])
        if kind == "marks":
            failures = check_marks(shot, known, x, y, *map(int, sys.argv[6:7]))
        else:
            failures = check_cover(shot, known, x, y, sys.argv[6])
    else:
        sys.exit(__doc__)
    for f in failures[:10]:
        print(f, file=sys.stderr)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
