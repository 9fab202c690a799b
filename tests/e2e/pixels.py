#!/usr/bin/env python3
"""Pixel checks on screenshots for the end-to-end tests.

  pixels.py marks SHOT KNOWN X Y        crosshair and magnifier at (X, Y), mode 0
  pixels.py cover SHOT KNOWN X Y RRGGBB the covered display of state 1 at (X, Y)

SHOT and KNOWN are image files ImageMagick can read; exit 0 when the checks
hold, 1 with the failed checks on stderr.
"""
import subprocess
import sys


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


def check_marks(shot, known, px, py):
    failures = []
    for (x, y) in [(px, py + 300), (px, py - 100), (px + 400, py), (px - 50, py)]:
        if shot.at(x, y) != inverted(known.at(x, y)):
            failures.append(f"crosshair pixel ({x},{y}) is {shot.at(x, y)}, "
                            f"want inverted {inverted(known.at(x, y))}")
    for (x, y) in [(px + 1, py + 300), (px + 400, py + 1), (px + 200, py + 200)]:
        if shot.at(x, y) != known.at(x, y):
            failures.append(f"pixel ({x},{y}) off the marks changed: {shot.at(x, y)}")
    # The magnifier: cell (i, j) is 5x5 pixels of image pixel (px+j-2, py+i-2).
    for i in range(5):
        for j in range(5):
            want = known.at(px + j - 2, py + i - 2)
            for (dx, dy) in [(0, 0), (4, 4), (1, 3)]:
                x, y = px - 12 + 5 * j + dx, py - 12 + 5 * i + dy
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


def main():
    kind = sys.argv[1]
    shot, known = Image(sys.argv[2]), Image(sys.argv[3])
    x, y = int(sys.argv[4]), int(sys.argv[5])
    if kind == "marks":
        failures = check_marks(shot, known, x, y)
    elif kind == "cover":
        failures = check_cover(shot, known, x, y, sys.argv[6])
    else:
        sys.exit(__doc__)
    for f in failures[:10]:
        print(f, file=sys.stderr)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
