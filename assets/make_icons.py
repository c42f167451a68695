#!/usr/bin/env python3
"""Writes buzzel_gui.ico, the launcher's icon group: a white fly, head up, on a black square with
rounded corners, in six sizes. 16 to 128 pixels are 32-bit BGRA DIBs with an AND mask, 256 pixels
is an embedded PNG (8-bit grey with alpha). The fly is the one of make_fly_png.py.

Usage: make_icons.py [output directory]   (default: the directory of this script)
"""
import os
import struct
import sys

sys.dont_write_bytecode = True  # keep assets/ free of a bytecode cache
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_fly_png as fly  # noqa: E402

DIB_SIZES = (16, 32, 48, 64, 128)
PNG_SIZE = 256
SUBSAMPLES = 8
CORNER = 0.1875     # corner radius as a share of the side: 3 pixels at 16
FLY_SHARE = 0.84    # the fly's black extent spans this share of the side at most
MIN_LEG_PIXELS = 0.9  # thinner legs vanish into the black in the small icons


def icon_pixels(n):
    """Rows of (grey, alpha) pairs, straight alpha, for the icon of side n."""
    x0, y0, x1, y1 = fly.EXTENT
    ext_w, ext_h = x1 + 1 - x0, y1 + 1 - y0
    scale = FLY_SHARE * n / max(ext_w, ext_h)
    leg = max(fly.LEG_HALF_WIDTH, MIN_LEG_PIXELS / 2.0 / scale)
    # Centre the fly's black extent in the square.
    dx = n / 2.0 - (x0 + ext_w / 2.0) * scale
    dy = n / 2.0 - (y0 + ext_h / 2.0) * scale
    body = fly.scaled(fly.fly_shapes(leg), scale, dx, dy)
    square = [fly.rounded_square(0.0, 0.0, float(n), CORNER * n)]
    sub = SUBSAMPLES
    full = sub * sub
    grey = fly.coverage(body, n, n, sub)
    alpha = fly.coverage(square, n, n, sub)
    # Rounded to the nearest of 0..255; the fly lies inside the square, so grey never exceeds alpha.
    return [[((g * 255 + full // 2) // full, (a * 255 + full // 2) // full) for g, a in zip(gr, ar)]
            for gr, ar in zip(grey, alpha)]


def dib_image(n):
    """A BITMAPINFOHEADER (height doubled for the mask), bottom-up BGRA rows and the AND mask."""
    pixels = icon_pixels(n)
    mask_stride = (n + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        for g, a in row:
            xor += bytes((g, g, g, a))
        bits = bytearray(mask_stride)
        for x, (_, a) in enumerate(row):
            if a == 0:  # transparent where alpha is, for readers that ignore alpha
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def png_image(n):
    rows = [bytes(v for pair in row for v in pair) for row in icon_pixels(n)]
    ihdr = struct.pack('>IIBBBBB', n, n, 8, 4, 0, 0, 0)  # 8-bit grey with alpha
    return fly.png_bytes(ihdr, rows, bpp=2)


def ico_bytes():
    images = [(n, dib_image(n)) for n in DIB_SIZES] + [(PNG_SIZE, png_image(PNG_SIZE))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in images:
        side = n if n < 256 else 0  # 0 stands for 256
        out += struct.pack('<BBBBHHII', side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, data in images)


def main():
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(outdir, 'buzzel_gui.ico'), 'wb') as f:
        f.write(ico_bytes())


if __name__ == '__main__':
    main()
