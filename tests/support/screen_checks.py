"""What the black-box tests of both overlays share: failures, waiting, solid PNG files, reading a
screenshot and finding the flies in it. Imported by tests/win32/overlay_blackbox.py (buzzel.exe
under Wine) and tests/x11/overlay_blackbox.py (the Linux buzzel)."""
import re
import struct
import subprocess
import time
import zlib

SCREEN_CELL = 6  # non-white pixels closer than about this belong to one fly (legs are thin)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(what, predicate, timeout):
    """The first true value of predicate(), tried every 0.1 s until timeout seconds have passed."""
    deadline = time.time() + timeout
    while True:
        value = predicate()
        if value:
            return value
        check(time.time() < deadline, "timed out waiting for " + what)
        time.sleep(0.1)


def finish(proc, timeout):
    """Waits for a program started with its output piped: (exit code, what it printed)."""
    try:
        out, err = proc.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.communicate()
        raise Failure("process did not end within %d s" % timeout)
    return proc.returncode, ((out or b"") + (err or b"")).decode(errors="replace")


def png(width, height, rgb):
    """The bytes of a plain opaque RGB PNG of one colour."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = (b"\x00" + bytes(rgb) * width) * height
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def screenshot(env=None):
    """The root window of the display as (width, height, RGB bytes), as the screen shows it."""
    data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env,
                          stdin=subprocess.DEVNULL, capture_output=True, check=True, timeout=60).stdout
    m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    check(m is not None, "unexpected screenshot format")
    width, height = int(m.group(1)), int(m.group(2))
    return width, height, data[m.end():m.end() + width * height * 3]


def blobs(shot):
    """Groups of non-white pixels; pixels within about SCREEN_CELL of each other are one group."""
    width, height, rgb = shot
    white_row = b"\xff" * (3 * width)
    cells = {}
    for y in range(height):
        row = rgb[3 * y * width:3 * (y + 1) * width]
        if row == white_row:
            continue
        for x in range(width):
            pixel = row[3 * x:3 * x + 3]
            if pixel != b"\xff\xff\xff":
                cells.setdefault((x // SCREEN_CELL, y // SCREEN_CELL), []).append((x, y, pixel))
    seen = set()
    groups = []
    for cell in cells:
        if cell in seen:
            continue
        seen.add(cell)
        stack, pixels = [cell], []
        while stack:
            cx, cy = stack.pop()
            pixels.extend(cells[(cx, cy)])
            for nx in (cx - 1, cx, cx + 1):
                for ny in (cy - 1, cy, cy + 1):
                    if (nx, ny) in cells and (nx, ny) not in seen:
                        seen.add((nx, ny))
                        stack.append((nx, ny))
        xs = [p[0] for p in pixels]
        ys = [p[1] for p in pixels]
        groups.append({
            "pixels": pixels,
            "box": (min(xs), min(ys), max(xs), max(ys)),
            "centre": (sum(xs) / len(xs), sum(ys) / len(ys)),
            "edge": min(xs) == 0 or min(ys) == 0 or max(xs) == width - 1 or max(ys) == height - 1,
        })
    return groups


def wait_for_flies(take_screenshot, proc, count, timeout):
    """A screenshot that shows exactly count separate flies, at least one clear of the screen edge
    (flies overlap now and then, so it tries again while the run lasts)."""
    deadline = time.time() + timeout
    found = None
    while time.time() < deadline and proc.poll() is None:
        groups = blobs(take_screenshot())
        found = len(groups)
        if found == count and any(not g["edge"] for g in groups):
            return groups
        time.sleep(0.2)
    raise Failure("never saw exactly %d separate flies on screen (last count %s, exit %s)"
                  % (count, found, proc.poll()))


def check_flies(groups, size, colour_test, colour_name, share):
    """Each fly with at least share of its pixels of the colour, and about size pixels across."""
    for g in groups:
        matching = sum(1 for p in g["pixels"] if colour_test(p[2]))
        check(matching >= share * len(g["pixels"]),
              "fly at %s is not %s (%d of %d pixels)" % (g["box"], colour_name, matching, len(g["pixels"])))
        if g["edge"]:
            continue
        x0, y0, x1, y1 = g["box"]
        extent = max(x1 - x0 + 1, y1 - y0 + 1)
        check(0.75 * size <= extent <= 1.5 * size,
              "fly at %s spans %d pixels, expected about %d" % (g["box"], extent, size))


def moved_flies(first, second):
    """How many flies of the second sighting stand more than 4 pixels from every fly of the first."""
    return sum(1 for g in second
               if all(abs(g["centre"][0] - f["centre"][0]) + abs(g["centre"][1] - f["centre"][1]) > 4
                      for f in first))
