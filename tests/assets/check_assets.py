#!/usr/bin/env python3
"""Checks the committed image assets: fly.png is the 144 x 144 two-colour palette PNG with a
transparent background that both programs embed, buzzel_gui.ico holds the launcher's six icon images,
and running the generators again gives the committed bytes.

Usage: check_assets.py ASSETS_DIR [unittest arguments, e.g. FlyPng]
"""
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

ASSETS = ''
PNG_SIGNATURE = b'\x89PNG\r\n\x1a\n'


def read_asset(name):
    with open(os.path.join(ASSETS, name), 'rb') as f:
        return f.read()


def png_chunks(data):
    """(type, payload) of every chunk, each checked against its CRC."""
    if data[:8] != PNG_SIGNATURE:
        raise ValueError('no PNG signature')
    chunks, pos = [], 8
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        payload = data[pos + 8:pos + 8 + length]
        crc, = struct.unpack('>I', data[pos + 8 + length:pos + 12 + length])
        if len(payload) != length or zlib.crc32(kind + payload) != crc:
            raise ValueError('chunk %r is cut or has a bad CRC' % kind)
        chunks.append((kind, payload))
        pos += 12 + length
    return chunks


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(raw, width_bytes, height, bpp):
    """The scanlines of a non-interlaced image, with all five filter types undone."""
    if len(raw) != (width_bytes + 1) * height:
        raise ValueError('image data of %d bytes, expected %d' % (len(raw), (width_bytes + 1) * height))
    rows, prev = [], bytearray(width_bytes)
    for y in range(height):
        start = y * (width_bytes + 1)
        filt, line = raw[start], bytearray(raw[start + 1:start + 1 + width_bytes])
        for i in range(width_bytes):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if filt == 1:
                line[i] = (line[i] + a) & 255
            elif filt == 2:
                line[i] = (line[i] + b) & 255
            elif filt == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif filt == 4:
                line[i] = (line[i] + paeth(a, b, c)) & 255
            elif filt != 0:
                raise ValueError('row %d has filter type %d' % (y, filt))
        rows.append(bytes(line))
        prev = line
    return rows


def decode_png(data):
    """IHDR fields, the other chunks by type, and the unfiltered rows (8-bit samples only)."""
    chunks = png_chunks(data)
    kinds = [k for k, _ in chunks]
    if kinds[0] != b'IHDR' or kinds[-1] != b'IEND':
        raise ValueError('chunk order %r' % kinds)
    ihdr = struct.unpack('>IIBBBBB', chunks[0][1])
    width, height, depth, colour = ihdr[:4]
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    idat = b''.join(p for k, p in chunks if k == b'IDAT')
    rows = unfilter(zlib.decompress(idat), width * channels, height, channels) if depth == 8 else None
    return ihdr, kinds, dict(chunks), rows


class FlyPng(unittest.TestCase):
    def setUp(self):
        self.ihdr, self.kinds, self.chunks, self.rows = decode_png(read_asset('fly.png'))

    def test_header_palette_and_transparency(self):
        # 144 x 144, bit depth 8, colour type 3, deflate, adaptive filtering, not interlaced.
        self.assertEqual(self.ihdr, (144, 144, 8, 3, 0, 0, 0))
        self.assertEqual(self.chunks.get(b'PLTE'), bytes((0, 0, 0, 255, 255, 255)))
        self.assertEqual(self.chunks.get(b'tRNS'), bytes((255, 0)))
        self.assertLess(self.kinds.index(b'PLTE'), self.kinds.index(b'tRNS'))
        self.assertLess(self.kinds.index(b'tRNS'), self.kinds.index(b'IDAT'))

    def test_pixels_are_black_fly_or_transparent(self):
        values = set(v for row in self.rows for v in row)
        self.assertLessEqual(values, {0, 1})
        black = [(x, y) for y, row in enumerate(self.rows) for x, v in enumerate(row) if v == 0]
        xs = [x for x, _ in black]
        ys = [y for _, y in black]
        self.assertEqual((min(xs), min(ys), max(xs), max(ys)), (8, 5, 134, 141))

    def test_fly_is_whole_and_heads_up(self):
        # One connected silhouette (legs attached), most of its mass in the broad lower half
        # where the wings and abdomen are, and the narrow head on the axis near the top.
        black = {(x, y) for y, row in enumerate(self.rows) for x, v in enumerate(row) if v == 0}
        seen, todo = set(), [next(iter(black))]
        while todo:
            x, y = todo.pop()
            if (x, y) in seen or (x, y) not in black:
                continue
            seen.add((x, y))
            todo += [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]
        self.assertEqual(len(seen), len(black))
        lower = sum(1 for _, y in black if y >= 72)
        self.assertGreater(lower, len(black) - lower)
        self.assertIn((71, 25), black)


class Icon(unittest.TestCase):
    SIDES = (16, 32, 48, 64, 128, 256)

    def setUp(self):
        self.data = read_asset('buzzel_gui.ico')
        reserved, kind, count = struct.unpack('<HHH', self.data[:6])
        self.assertEqual((reserved, kind, count), (0, 1, 6))
        self.entries = [struct.unpack('<BBBBHHII', self.data[6 + 16 * i:22 + 16 * i]) for i in range(count)]

    def image(self, entry):
        size, offset = entry[6], entry[7]
        self.assertLessEqual(offset + size, len(self.data))
        return self.data[offset:offset + size]

    def test_directory(self):
        self.assertEqual([e[0] or 256 for e in self.entries], list(self.SIDES))
        for width, height, colours, reserved, planes, bits, _, _ in self.entries:
            self.assertEqual((height, colours, reserved, planes, bits), (width, 0, 0, 1, 32))
        spans = sorted((e[7], e[7] + e[6]) for e in self.entries)
        self.assertGreaterEqual(spans[0][0], 6 + 16 * 6)
        for (_, end), (start, _) in zip(spans, spans[1:]):
            self.assertLessEqual(end, start)

    def test_bitmaps_have_alpha_and_mask(self):
        for entry, n in zip(self.entries[:5], self.SIDES):
            with self.subTest(side=n):
                img = self.image(entry)
                head = struct.unpack('<IiiHHI', img[:20])
                self.assertEqual(head, (40, n, 2 * n, 1, 32, 0))
                stride = (n + 31) // 32 * 4
                self.assertEqual(len(img), 40 + 4 * n * n + stride * n)
                pixels = img[40:40 + 4 * n * n]
                mask = img[40 + 4 * n * n:]
                for y in range(n):        # rows bottom-up in both parts
                    for x in range(n):
                        b, g, r, a = pixels[4 * (y * n + x):4 * (y * n + x) + 4]
                        self.assertTrue(b == g == r <= a, (x, y))
                        masked = mask[y * stride + x // 8] >> (7 - x % 8) & 1
                        self.assertEqual(masked, int(a == 0), (x, y))
                self.assert_picture(lambda x, y: pixels[4 * ((n - 1 - y) * n + x)],
                                    lambda x, y: pixels[4 * ((n - 1 - y) * n + x) + 3], n)

    def test_largest_is_grey_alpha_png(self):
        ihdr, _, _, rows = decode_png(self.image(self.entries[5]))
        self.assertEqual(ihdr, (256, 256, 8, 4, 0, 0, 0))
        self.assert_picture(lambda x, y: rows[y][2 * x], lambda x, y: rows[y][2 * x + 1], 256)

    def assert_picture(self, grey, alpha, n):
        """Clear corners, an opaque black square, and the white fly's body on the middle line."""
        self.assertLess(alpha(0, 0), 16)
        self.assertEqual((grey(n // 2, 0), alpha(n // 2, 0)), (0, 255))
        self.assertEqual((grey(0, n // 2), alpha(0, n // 2)), (0, 255))
        self.assertEqual((grey(n // 2, n // 2), alpha(n // 2, n // 2)), (255, 255))


class Regenerated(unittest.TestCase):
    def test_generators_reproduce_committed_bytes(self):
        with tempfile.TemporaryDirectory() as out:
            for script in ('make_fly_png.py', 'make_icons.py'):
                subprocess.run([sys.executable, '-B', os.path.join(ASSETS, script), out], check=True)
            for name in ('fly.png', 'buzzel_gui.ico'):
                with self.subTest(asset=name), open(os.path.join(out, name), 'rb') as f:
                    self.assertEqual(f.read(), read_asset(name), '%s differs from its generator' % name)


if __name__ == '__main__':
    ASSETS = sys.argv.pop(1)
    unittest.main(verbosity=2)
