#!/usr/bin/python3
"""Self-test of the icon generator: python3 tools/icongen_test.py"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
GENERATOR = os.path.join(HERE, "icongen.py")

# Sizes 5 and 33 make the AND mask rows need padding (1 and 5 bytes of bits).
SAMPLE = """\
# sample
. = transparent
r = #ff0000
g = #00ff00
b = #0000ff
h = #10203080

size 5
r....
.g...
..b..
...h.
rrrrr

size 2
rg
b.
"""


def sample_expected():
    colours = {".": (0, 0, 0, 0), "r": (255, 0, 0, 255), "g": (0, 255, 0, 255),
               "b": (0, 0, 255, 255), "h": (0x10, 0x20, 0x30, 0x80)}
    maps = {5: ["r....", ".g...", "..b..", "...h.", "rrrrr"], 2: ["rg", "b."]}
    return {n: [[colours[c] for c in row] for row in rows] for n, rows in maps.items()}


def read_ico(data):
    """Independent reader: returns a list of (width, height, rgba rows top
    first, and mask rows top first), checking the structure as it goes."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert reserved == 0 and kind == 1, "not an icon directory"
    images = []
    for k in range(count):
        w, h, colours, res, planes, bpp, length, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * k)
        w = w or 256
        h = h or 256
        assert (colours, res, planes, bpp) == (0, 0, 1, 32), "entry %d fields" % k
        assert offset + length <= len(data), "entry %d outside the file" % k
        blob = data[offset:offset + length]
        (hsize, bw, bh, bplanes, bbpp, comp, simage,
         _, _, _, _) = struct.unpack_from("<IiiHHIIiiII", blob, 0)
        assert hsize == 40 and bw == w and bh == 2 * h, "entry %d header" % k
        assert (bplanes, bbpp, comp) == (1, 32, 0), "entry %d header format" % k
        mask_stride = ((w + 31) // 32) * 4
        assert simage == w * h * 4 + mask_stride * h, "entry %d image size" % k
        assert length == 40 + simage, "entry %d length" % k
        rows = []
        for y in range(h):  # stored bottom-up
            base = 40 + (h - 1 - y) * w * 4
            rows.append([(blob[base + 4 * x + 2], blob[base + 4 * x + 1],
                          blob[base + 4 * x], blob[base + 4 * x + 3]) for x in range(w)])
        mask = []
        mask_base = 40 + w * h * 4
        for y in range(h):
            base = mask_base + (h - 1 - y) * mask_stride
            row_bytes = blob[base:base + mask_stride]
            mask.append([(row_bytes[x >> 3] >> (7 - (x & 7))) & 1 for x in range(w)])
            # Padding bits past the width stay clear.
            for x in range(w, mask_stride * 8):
                assert not (row_bytes[x >> 3] >> (7 - (x & 7))) & 1, "mask padding"
        images.append((w, h, rows, mask))
    return images


def run_generator(source_text, name="in.txt", *options):
    """Runs the CLI on a source text; returns (exit code, stderr, ico bytes or None)."""
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, name)
        out = os.path.join(tmp, "out.ico")
        with open(src, "w", encoding="utf-8") as f:
            f.write(source_text)
        proc = subprocess.run([sys.executable, GENERATOR, *options, out, src],
                              capture_output=True, text=True)
        data = None
        if os.path.exists(out):
            with open(out, "rb") as f:
                data = f.read()
        return proc.returncode, proc.stderr, data


class IcoStructureTest(unittest.TestCase):
    def test_sample_round_trips(self):
        code, err, data = run_generator(SAMPLE)
        self.assertEqual(code, 0, err)
        images = read_ico(data)
        self.assertEqual([(w, h) for w, h, _, _ in images], [(5, 5), (2, 2)])
        expected = sample_expected()
        for w, _, rows, mask in images:
            self.assertEqual(rows, expected[w])
            self.assertEqual(mask, [[1 if p[3] == 0 else 0 for p in row]
                                    for row in expected[w]])

    def test_entries_follow_each_other(self):
        _, _, data = run_generator(SAMPLE)
        first = struct.unpack_from("<II", data, 6 + 8)
        second = struct.unpack_from("<II", data, 6 + 16 + 8)
        self.assertEqual(first[1], 6 + 2 * 16)
        self.assertEqual(second[1], first[1] + first[0])
        self.assertEqual(len(data), second[1] + second[0])

    def test_size_256_is_written_as_zero(self):
        src = ". = transparent\nsize 256\n" + ("." * 256 + "\n") * 256
        code, err, data = run_generator(src)
        self.assertEqual(code, 0, err)
        self.assertEqual(data[6], 0)
        self.assertEqual(read_ico(data)[0][0], 256)

    @unittest.skipUnless(shutil.which("convert"), "ImageMagick not installed")
    def test_imagemagick_reads_the_same_pixels(self):
        code, err, data = run_generator(SAMPLE)
        self.assertEqual(code, 0, err)
        expected = sample_expected()[5]
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "s.ico")
            with open(path, "wb") as f:
                f.write(data)
            raw = subprocess.run(["convert", path + "[0]", "-depth", "8", "rgba:-"],
                                 capture_output=True, check=True).stdout
        self.assertEqual(len(raw), 5 * 5 * 4)
        for y in range(5):
            for x in range(5):
                got = tuple(raw[(y * 5 + x) * 4:(y * 5 + x) * 4 + 4])
                want = expected[y][x]
                if want[3] in (0, 255):
                    self.assertEqual(got[3], want[3], (x, y))
                if want[3] == 255:
                    self.assertEqual(got, want, (x, y))


class SourceErrorTest(unittest.TestCase):
    CASES = [
        ("short row", ". = transparent\nsize 2\n..\n.\n", ":4:", "expected 2"),
        ("long row", ". = transparent\nsize 2\n...\n..\n", ":3:", "expected 2"),
        ("unknown character", ". = transparent\nsize 2\n..\n.x\n", ":4:", "'x'"),
        ("missing size", ". = transparent\n..\n..\n", ":2:", "expected a palette"),
        ("no image at all", ". = transparent\n", ":1:", "missing 'size N'"),
        ("too few rows", ". = transparent\nsize 3\n...\n...\n", ":4:", "has 2 rows"),
        ("bad size", ". = transparent\nsize x\n", ":2:", "not a number"),
        ("size zero", ". = transparent\nsize 0\n", ":2:", "outside"),
        ("size too big", ". = transparent\nsize 257\n", ":2:", "outside"),
        ("duplicate size", ". = transparent\nsize 1\n.\nsize 1\n.\n", ":4:", "already"),
        ("bad colour", "K = #12345\nsize 1\nK\n", ":1:", "bad colour"),
        ("hash as palette character", "# = #000000\n", ":1:", "comment"),
        ("redefined character", "K = #000000\nK = #ffffff\n", ":2:", "twice"),
        ("character used before defined", "size 1\nK\nK = #000000\n", ":2:", "'K'"),
    ]

    def test_faults_name_file_and_line(self):
        for label, src, where, what in self.CASES:
            with self.subTest(label):
                code, err, data = run_generator(src, name="bad.txt")
                self.assertNotEqual(code, 0)
                self.assertIsNone(data, "no icon may be written")
                self.assertIn("bad.txt" + where, err)
                self.assertIn(what, err)

    def test_missing_input_file(self):
        with tempfile.TemporaryDirectory() as tmp:
            proc = subprocess.run([sys.executable, GENERATOR, os.path.join(tmp, "o.ico"),
                                   os.path.join(tmp, "none.txt")],
                                  capture_output=True, text=True)
        self.assertNotEqual(proc.returncode, 0)
        self.assertIn("none.txt", proc.stderr)


class DerivedSizesTest(unittest.TestCase):
    def test_whole_multiples_centred_after_the_drawn_sizes(self):
        code, err, data = run_generator(SAMPLE, "in.txt", "--also", "2,4,6,11")
        self.assertEqual(code, 0, err)
        images = {w: rows for w, _, rows, _ in read_ico(data)}
        self.assertEqual(list(images), [5, 2, 4, 6, 11])  # 2 is drawn: not made again
        expected = sample_expected()

        def doubled(rows):
            return [[p for p in row for _ in (0, 1)] for row in rows for _ in (0, 1)]
        # 4: the 2x2 image doubled. 6: the 2x2 tripled fills it whole, where 5x5
        # once would leave a margin. 11: 10 pixels either way; the larger drawn
        # image wins, in a margin of the one pixel left over.
        self.assertEqual(images[4], doubled(expected[2]))
        self.assertEqual(images[6][0][:3], [expected[2][0][0]] * 3)
        clear = (0, 0, 0, 0)
        self.assertEqual([row[:10] for row in images[11][:10]], doubled(expected[5]))
        self.assertEqual(images[11][10], [clear] * 11)
        self.assertEqual([row[10] for row in images[11]], [clear] * 11)


class ProgramIconTest(unittest.TestCase):
    def test_app_icon_has_tray_and_caption_sizes(self):
        with open(os.path.join(ROOT, "resources", "icons", "app.txt"), encoding="utf-8") as f:
            code, err, data = run_generator(f.read())
        self.assertEqual(code, 0, err)
        images = read_ico(data)
        self.assertEqual(sorted(w for w, _, _, _ in images), [16, 32])
        for w, _, rows, mask in images:
            opaque = sum(1 for row in rows for p in row if p[3] == 255)
            self.assertGreater(opaque, w * w // 4, "icon %d nearly empty" % w)
            self.assertTrue(any(any(row) for row in mask), "icon %d has no transparency" % w)


if __name__ == "__main__":
    unittest.main()
