#!/usr/bin/python3
"""Turn a text pixel map into a Windows .ico file.

Usage: python3 tools/icongen.py [--also N,N,...] OUT.ico IN.txt

Source format (UTF-8 or ASCII text):

    # a comment (only outside pixel blocks)
    . = transparent
    K = #000000
    w = #ffffff
    s = #3060c0a0      (optional alpha: #rrggbbaa)

    size 16
    ................
    ... 16 lines of 16 characters ...

A palette entry maps one non-blank character other than '#' to a colour.
Entries may appear anywhere outside pixel blocks but must come before the
first block that uses them. Each "size N" line is followed by exactly N lines
of N characters. Every block becomes one 32-bit BGRA entry of the icon, in
source order: BITMAPINFOHEADER with the height doubled, bottom-up colour rows,
then the 1-bit AND mask with rows padded to four bytes. Fully transparent
pixels are stored as all-zero BGRA with the mask bit set, so systems that
ignore the alpha channel still see them as transparent.

--also lists further sides the icon is shown at (20, 24, 32 for 120, 144
and 192 DPI). Each one the source does not draw is made from the drawn
size whose largest whole multiple fills most of it: every pixel becomes a
square of that many pixels, centred in a transparent margin. So an icon is
never resampled between pixels, and its lines stay sharp at every scale.
These entries follow the drawn ones, so a system that takes an icon's
first entry as its own size still finds the first drawn one.
"""

import os
import re
import struct
import sys

MAX_SIZE = 256

_PALETTE_RE = re.compile(r"^(\S)\s*=\s*(\S+)$")
_SIZE_RE = re.compile(r"^size\s+(\S+)$")
_COLOUR_RE = re.compile(r"^#([0-9a-fA-F]{6})([0-9a-fA-F]{2})?$")


class SourceError(Exception):
    """A fault in the pixel map, reported as file:line: message."""

    def __init__(self, path, line_no, message):
        super().__init__("%s:%d: %s" % (path, line_no, message))


def parse_colour(text):
    """Return (r, g, b, a) for 'transparent', '#rrggbb' or '#rrggbbaa', else None."""
    if text.lower() == "transparent":
        return (0, 0, 0, 0)
    m = _COLOUR_RE.match(text)
    if not m:
        return None
    rgb = int(m.group(1), 16)
    alpha = int(m.group(2), 16) if m.group(2) else 255
    r, g, b = (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF
    if alpha == 0:
        # Hidden pixels carry no colour: keeps the XOR image neutral.
        return (0, 0, 0, 0)
    return (r, g, b, alpha)


def parse_source(text, path="<source>"):
    """Parse a pixel map. Returns a list of (size, rows), rows being lists of
    (r, g, b, a) tuples top row first. Raises SourceError on any fault."""
    palette = {}
    images = []
    seen_sizes = {}
    lines = text.splitlines()
    i = 0
    while i < len(lines):
        line_no = i + 1
        line = lines[i].rstrip()
        i += 1
        stripped = line.strip()
        if not stripped:
            continue
        if stripped.startswith("#"):
            m = _PALETTE_RE.match(stripped)
            if m and parse_colour(m.group(2)) is not None:
                # Would otherwise vanish as a comment and fail much later.
                raise SourceError(path, line_no, "'#' starts a comment and cannot be "
                                  "a palette character")
            continue
        m = _SIZE_RE.match(stripped)
        if m:
            try:
                size = int(m.group(1), 10)
            except ValueError:
                raise SourceError(path, line_no, "size is not a number: %r" % m.group(1))
            if size < 1 or size > MAX_SIZE:
                raise SourceError(path, line_no, "size %d outside 1..%d" % (size, MAX_SIZE))
            if size in seen_sizes:
                raise SourceError(path, line_no, "size %d already given on line %d"
                                  % (size, seen_sizes[size]))
            seen_sizes[size] = line_no
            rows = []
            for r in range(size):
                if i >= len(lines):
                    raise SourceError(path, len(lines),
                                      "image 'size %d' of line %d has %d rows, expected %d"
                                      % (size, line_no, r, size))
                row_no = i + 1
                row = lines[i].rstrip()
                i += 1
                if len(row) != size:
                    raise SourceError(path, row_no, "row has %d characters, expected %d"
                                      % (len(row), size))
                pixels = []
                for col, ch in enumerate(row):
                    colour = palette.get(ch)
                    if colour is None:
                        raise SourceError(path, row_no, "unknown character %r in column %d"
                                          % (ch, col + 1))
                    pixels.append(colour)
                rows.append(pixels)
            images.append((size, rows))
            continue
        m = _PALETTE_RE.match(stripped)
        if m:
            ch, value = m.group(1), m.group(2)
            colour = parse_colour(value)
            if colour is None:
                raise SourceError(path, line_no, "bad colour %r (use transparent, "
                                  "#rrggbb or #rrggbbaa)" % value)
            if ch in palette:
                raise SourceError(path, line_no, "palette character %r defined twice" % ch)
            palette[ch] = colour
            continue
        raise SourceError(path, line_no, "expected a palette entry 'C = colour', "
                          "'size N' or a comment, got %r" % stripped)
    if not images:
        raise SourceError(path, max(len(lines), 1), "no image: missing 'size N' line")
    return images


def image_data(size, rows):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    mask_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for pixels in reversed(rows):
        for r, g, b, a in pixels:
            xor += bytes((b, g, r, a))
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(pixels):
            if a == 0:
                bits[x >> 3] |= 0x80 >> (x & 7)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def derived_image(size, images):
    """A size x size image from the drawn image whose whole multiple that fits
    is the largest (the larger drawn image on a tie): each pixel a square of
    that many pixels, centred; None when no drawn image fits."""
    fitting = [(n, rows) for n, rows in images if n <= size]
    if not fitting:
        return None
    n, rows = max(fitting, key=lambda image: (size // image[0] * image[0], image[0]))
    factor = size // n
    margin = (size - n * factor) // 2
    clear = (0, 0, 0, 0)
    out = [[clear] * size for _ in range(size)]
    for y in range(n * factor):
        for x in range(n * factor):
            out[margin + y][margin + x] = rows[y // factor][x // factor]
    return out


def with_derived_sizes(images, sizes):
    """`images` followed by an entry for each side in `sizes` that no drawn
    image has, in ascending order."""
    drawn = {n for n, _ in images}
    result = list(images)
    for size in sorted(set(sizes) - drawn):
        rows = derived_image(size, images)
        if rows is not None:
            result.append((size, rows))
    return result


def build_ico(images):
    """The whole .ico file for a list of (size, rows)."""
    count = len(images)
    offset = 6 + 16 * count
    directory = struct.pack("<HHH", 0, 1, count)
    blobs = []
    for size, rows in images:
        blob = image_data(size, rows)
        dim = size if size < 256 else 0  # 0 stands for 256 in the directory
        directory += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return directory + b"".join(blobs)


def main(argv):
    also = []
    if len(argv) == 5 and argv[1] == "--also":
        try:
            also = [int(v, 10) for v in argv[2].split(",")]
        except ValueError:
            also = [0]
        if any(v < 1 or v > MAX_SIZE for v in also):
            sys.stderr.write("--also: sides from 1 to %d, separated by commas\n" % MAX_SIZE)
            return 2
        argv = argv[:1] + argv[3:]
    if len(argv) != 3:
        sys.stderr.write("usage: %s [--also N,N,...] OUT.ico IN.txt\n" % argv[0])
        return 2
    out_path, in_path = argv[1], argv[2]
    try:
        with open(in_path, "r", encoding="utf-8") as f:
            text = f.read()
    except (OSError, UnicodeDecodeError) as e:
        sys.stderr.write("%s: cannot read: %s\n" % (in_path, e))
        return 1
    try:
        images = parse_source(text, in_path)
    except SourceError as e:
        sys.stderr.write("%s\n" % e)
        return 1
    data = build_ico(with_derived_sizes(images, also))
    # Write beside the target and rename, so a failed run never leaves a
    # truncated icon for the resource compiler to pick up.
    tmp_path = out_path + ".tmp"
    try:
        with open(tmp_path, "wb") as f:
            f.write(data)
        os.replace(tmp_path, out_path)
    except OSError as e:
        sys.stderr.write("%s: cannot write: %s\n" % (out_path, e))
        try:
            os.remove(tmp_path)
        except OSError:
            pass
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
