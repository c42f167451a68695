#!/usr/bin/env python3
"""Draws the fly (seen from above, head up) and writes fly.png, the 144 x 144 two-colour palette PNG
that both programs embed. The fly is a union of ellipses and round-capped thick lines, sampled on a
sub-pixel grid; make_icons.py reuses the same shapes and rasteriser for the launcher's icons.

Usage: make_fly_png.py [output directory]   (default: the directory of this script)
"""
import math
import os
import struct
import sys
import zlib

SIZE = 144
CX = 71.5           # axis of symmetry: the middle of column 71, halfway between columns 8 and 134
EXTENT = (8, 5, 134, 141)   # first and last black column and row the image must have
SUBSAMPLES = 8      # sub-pixel samples per axis when the PNG is drawn
LEG_HALF_WIDTH = 1.6

# Only +, -, *, / and sqrt are used on the shapes, so every run on every IEEE machine draws the same
# pixels and the committed assets can be checked by regenerating them.


def ellipse(cx, cy, rx, ry, ax=1.0, ay=0.0):
    """An ellipse with radius rx along the direction (ax, ay) and ry across it."""
    n = math.sqrt(ax * ax + ay * ay)
    return ('ellipse', cx, cy, rx, ry, ax / n, ay / n)


def leg(points, r):
    """A leg as round-capped segments of half width r through the given joints."""
    return [('capsule', x0, y0, x1, y1, r) for (x0, y0), (x1, y1) in zip(points, points[1:])]


def rounded_square(x0, y0, side, radius):
    """A square with its corners rounded to circles of the given radius."""
    return ('roundsq', x0, y0, side, radius)


def mirrored(shape):
    """The same shape on the other side of the fly's axis."""
    if shape[0] == 'ellipse':
        _, cx, cy, rx, ry, ax, ay = shape
        return ('ellipse', 2 * CX - cx, cy, rx, ry, -ax, ay)
    _, x0, y0, x1, y1, r = shape
    return ('capsule', 2 * CX - x0, y0, 2 * CX - x1, y1, r)


def fly_shapes(leg_half_width=LEG_HALF_WIDTH):
    """The fly in image coordinates of the 144 x 144 picture (pixel (i, j) covers [i, i+1) x [j, j+1));
    a thicker leg width keeps the legs visible when the fly is drawn very small."""
    r = leg_half_width
    left = []
    # Folded wings: long ovals from the thorax towards the lower corners, over the abdomen.
    left.append(ellipse(CX - 24.0, 98.0, 42.0, 12.0, -34.0, 74.0))
    # Legs of the left side: front, middle, rear; each hip, knee, ankle and foot.
    left += leg([(CX - 10.0, 47.0), (CX - 27.0, 33.0), (CX - 36.0, 14.0), (CX - 40.0, 7.0)], r)
    left += leg([(CX - 15.0, 58.0), (CX - 42.0, 50.0), (CX - 55.0, 66.0), (CX - 61.5, 70.0)], r)
    left += leg([(CX - 13.0, 70.0), (CX - 46.0, 84.0), (CX - 52.0, 120.0), (CX - 54.0, 140.6)], r)
    # Big compound eyes make the head of a fly wider than long.
    left.append(ellipse(CX - 9.0, 26.0, 10.0, 11.0))
    shapes = left + [mirrored(s) for s in left]
    shapes.append(ellipse(CX, 28.0, 12.0, 10.0))      # head between the eyes
    shapes.append(ellipse(CX, 57.0, 18.0, 20.0))      # thorax
    shapes.append(ellipse(CX, 93.0, 16.5, 26.0))      # abdomen
    return shapes


def scaled(shapes, scale, dx, dy):
    """The shapes scaled by scale about the origin, then moved by (dx, dy)."""
    out = []
    for s in shapes:
        if s[0] == 'ellipse':
            _, cx, cy, rx, ry, ax, ay = s
            out.append(('ellipse', cx * scale + dx, cy * scale + dy, rx * scale, ry * scale, ax, ay))
        else:
            _, x0, y0, x1, y1, r = s
            out.append(('capsule', x0 * scale + dx, y0 * scale + dy, x1 * scale + dx, y1 * scale + dy,
                        r * scale))
    return out


def circle_span(cx, cy, r, y):
    d = r * r - (y - cy) * (y - cy)
    if d < 0.0:
        return None
    h = math.sqrt(d)
    return cx - h, cx + h


def shape_span(s, y):
    """The x interval that the (convex) shape covers on the horizontal line at y, or None."""
    if s[0] == 'roundsq':
        _, x0, y0, side, radius = s
        if y < y0 or y > y0 + side:
            return None
        dy = max(y0 + radius - y, y - (y0 + side - radius), 0.0)
        inset = radius - math.sqrt(max(radius * radius - dy * dy, 0.0))
        return x0 + inset, x0 + side - inset
    if s[0] == 'ellipse':
        _, cx, cy, rx, ry, ax, ay = s
        # Solve ((dx*ax + dy*ay)/rx)^2 + ((dy*ax - dx*ay)/ry)^2 <= 1 for dx.
        dy = y - cy
        irx, iry = 1.0 / (rx * rx), 1.0 / (ry * ry)
        a = ax * ax * irx + ay * ay * iry
        b = 2.0 * dy * ax * ay * (irx - iry)
        c = dy * dy * (ay * ay * irx + ax * ax * iry) - 1.0
        d = b * b - 4.0 * a * c
        if d < 0.0:
            return None
        h = math.sqrt(d)
        return cx + (-b - h) / (2.0 * a), cx + (-b + h) / (2.0 * a)
    _, x0, y0, x1, y1, r = s
    spans = [circle_span(x0, y0, r, y), circle_span(x1, y1, r, y)]
    # The band between the caps: 0 <= t <= 1 along the segment and |distance| <= r across it.
    ex, ey = x1 - x0, y1 - y0
    length = math.sqrt(ex * ex + ey * ey)
    lo, hi = -1e30, 1e30
    # Along the segment: (x - x0) * ex + (y - y0) * ey in [0, length^2].
    lo, hi = linear_span(ex, (y - y0) * ey, 0.0, length * length, lo, hi)
    # Across it: (x - x0) * -ey + (y - y0) * ex in [-r * length, r * length].
    lo, hi = linear_span(-ey, (y - y0) * ex, -r * length, r * length, lo, hi)
    if lo <= hi:
        spans.append((x0 + lo, x0 + hi))
    spans = [sp for sp in spans if sp is not None]
    if not spans:
        return None
    return min(sp[0] for sp in spans), max(sp[1] for sp in spans)


def linear_span(m, k, vmin, vmax, lo, hi):
    """Narrows [lo, hi] to the u with vmin <= m*u + k <= vmax."""
    if m == 0.0:
        return (lo, hi) if vmin <= k <= vmax else (1.0, -1.0)
    a, b = (vmin - k) / m, (vmax - k) / m
    if a > b:
        a, b = b, a
    return max(lo, a), min(hi, b)


def coverage(shapes, width, height, sub):
    """Rows of per-pixel counts (0 to sub*sub) of sub-pixel sample points that fall inside any shape."""
    cols = width * sub
    rows = []
    for py in range(height):
        counts = [0] * width
        for j in range(sub):
            y = py + (j + 0.5) / sub
            line = bytearray(cols)
            for s in shapes:
                span = shape_span(s, y)
                if span is None:
                    continue
                # Sample k sits at x = (k + 0.5) / sub.
                k0 = max(0, int(-(-(span[0] * sub - 0.5) // 1)))
                k1 = min(cols - 1, int((span[1] * sub - 0.5) // 1))
                if k0 <= k1:
                    line[k0:k1 + 1] = b'\x01' * (k1 - k0 + 1)
            for px in range(width):
                counts[px] += sum(line[px * sub:(px + 1) * sub])
        rows.append(counts)
    return rows


def png_chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))


def png_bytes(ihdr, rows, extra_chunks=(), bpp=1):
    """A complete PNG: rows are the raw bytes of each scanline; each row gets the filter that packs
    the whole image smallest of the simple per-image choices (none, sub, up)."""
    best = None
    for filt in (0, 1, 2):
        raw = bytearray()
        prev = bytes(len(rows[0]))
        for row in rows:
            raw.append(filt)
            if filt == 0:
                raw += row
            elif filt == 1:
                raw += bytes((row[i] - (row[i - bpp] if i >= bpp else 0)) & 255 for i in range(len(row)))
            else:
                raw += bytes((row[i] - prev[i]) & 255 for i in range(len(row)))
            prev = row
        packed = zlib.compress(bytes(raw), 9)
        if best is None or len(packed) < len(best):
            best = packed
    out = b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', ihdr)
    for kind, data in extra_chunks:
        out += png_chunk(kind, data)
    return out + png_chunk(b'IDAT', best) + png_chunk(b'IEND', b'')


def fly_indices():
    """The picture as rows of palette indices: 0 (black fly) where at least half the samples hit."""
    sub = SUBSAMPLES
    half = sub * sub // 2
    return [bytes(0 if c >= half else 1 for c in row)
            for row in coverage(fly_shapes(), SIZE, SIZE, sub)]


def black_extent(rows):
    xs = [x for row in rows for x, v in enumerate(row) if v == 0]
    ys = [y for y, row in enumerate(rows) if 0 in row]
    return min(xs), min(ys), max(xs), max(ys)


def fly_png():
    rows = fly_indices()
    extent = black_extent(rows)
    if extent != EXTENT:
        sys.exit('fly extent %r, expected %r' % (extent, EXTENT))
    # Width, height, bit depth 8, colour type 3 (palette), compression, filter, no interlace.
    ihdr = struct.pack('>IIBBBBB', SIZE, SIZE, 8, 3, 0, 0, 0)
    plte = bytes((0, 0, 0, 255, 255, 255))
    trns = bytes((255, 0))      # index 0 opaque, index 1 fully transparent
    return png_bytes(ihdr, rows, [(b'PLTE', plte), (b'tRNS', trns)])


def main():
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(outdir, 'fly.png'), 'wb') as f:
        f.write(fly_png())


if __name__ == '__main__':
    main()
