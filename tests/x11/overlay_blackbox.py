#!/usr/bin/env python3
"""Black-box tests of the real Linux buzzel on its own Xvfb, with or without xcompmgr.

Usage: overlay_blackbox.py CASE.VARIANT BUZZEL X11_PROBE
Each test starts a private Xvfb on a free display (-displayfd), runs in a fresh temporary current
directory and stops everything it started. For the screen cases the variant is "plain" (no
compositing manager: the window is shaped to the flies) or "composited" (xcompmgr runs: the window
is blended). A full-screen white probe window stands for the desktop: xcompmgr paints the root grey.
Exit code 0 when the case passes.
"""
import os
import re
import select
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from screen_checks import (Failure, blobs, check, check_flies, finish, moved_flies, png,  # noqa: E402
                           screenshot, wait_for_flies, wait_until)

SCREEN = (800, 600)
WIDE_SCREEN = (3840, 1080)
STAMP = r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} - "


class Session:
    """One case's Xvfb and every process started on it; stop() ends them all, Xvfb last."""

    def __init__(self, workdir, exe, probe):
        self.workdir, self.exe, self.probe = workdir, exe, probe
        self.procs = []
        self.xvfb = None
        self.compositor = None
        self.env = dict(os.environ)

    def start(self, screen, composited):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % screen, "-wr", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        # The number comes as one line once the server listens; it may arrive in pieces.
        number = b""
        while not number.endswith(b"\n") and select.select([read_end], [], [], 30)[0]:
            piece = os.read(read_end, 32)
            if not piece:
                break
            number += piece
        os.close(read_end)
        number = number.decode().strip()
        check(number.isdigit(), "Xvfb did not report its display")
        self.env["DISPLAY"] = ":" + number
        if composited:
            self.start_compositor()

    def spawn(self, args, **kwargs):
        proc = subprocess.Popen(args, env=kwargs.pop("env", self.env), stdin=subprocess.DEVNULL, **kwargs)
        self.procs.append(proc)
        return proc

    def tool(self, *args):
        return subprocess.run(list(args), env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                              check=True, timeout=30).stdout.decode(errors="replace")

    def compositor_running(self):
        return self.tool(self.probe, "compositor").strip() == "1"

    def start_compositor(self):
        self.compositor = self.spawn(["xcompmgr"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until("xcompmgr to own the compositing selection", self.compositor_running, 15)

    def stop_compositor(self):
        self.compositor.terminate()
        self.compositor.wait(10)
        wait_until("the compositing selection to lose its owner", lambda: not self.compositor_running(), 15)

    def buzzel(self, args, **kwargs):
        return self.spawn([self.exe] + args, cwd=self.workdir, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          **kwargs)

    def white_window(self):
        """A normal white window over the whole screen; returns the clicks it gets, as they come."""
        w, h = self.screen_size()
        proc = self.spawn([self.probe, "window", "0", "0", str(w), str(h)], stdout=subprocess.PIPE)
        lines = []
        def read():
            for line in proc.stdout:
                lines.append(line.decode().strip())
        threading.Thread(target=read, daemon=True).start()
        wait_until("the probe window to map", lambda: "mapped" in lines, 15)
        return lines

    def screen_size(self):
        m = re.search(r"Width: (\d+)\s+Height: (\d+)", self.tool("xwininfo", "-root"))
        return int(m.group(1)), int(m.group(2))

    def overlay_window(self):
        """The id of the overlay's window, or None while there is none."""
        m = re.search(r"^\s*(0x[0-9a-f]+) \"Buzzel\": \(\"buzzel\" \"Buzzel\"\)", self.tool("xwininfo", "-root", "-children"),
                      re.M)
        return m.group(1) if m else None

    def screenshot(self):
        return screenshot(self.env)

    def stop(self):
        for proc in list(reversed(self.procs)) + ([self.xvfb] if self.xvfb else []):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(10)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()


def finish_clean(proc, timeout):
    code, err = finish(proc, timeout)
    # The sanitizers report on stderr; a clean run prints nothing there.
    check(code == 0 and err == "", "exit code %d, stderr %r" % (code, err))


def end_run(proc):
    """SIGTERM ends a run cleanly."""
    proc.terminate()
    finish_clean(proc, 10)


def write_fly_png(workdir, data):
    os.makedirs(os.path.join(workdir, "fly"), exist_ok=True)
    with open(os.path.join(workdir, "fly", "fly.png"), "wb") as f:
        f.write(data)


def read_log(workdir):
    with open(os.path.join(workdir, "buzzel_start.log"), "rb") as f:
        return f.read()


def log_messages(data):
    """The messages of LF-ended log lines, each checked for its timestamp."""
    check(data.endswith(b"\n") and b"\r" not in data, "log lines do not end in plain LF: %r" % data)
    messages = []
    for line in data[:-1].decode().split("\n"):
        check(re.match(STAMP, line), "bad timestamp in %r" % line)
        messages.append(line[26:])
    return messages


def is_dark(p):
    """Black or grey: the built-in fly, whose thin legs blend to grey over white."""
    return max(p) < 200 and max(p) - min(p) < 40


def is_red(p):
    return p[0] > 100 and p[0] - max(p[1], p[2]) > 60


def check_swarm(session, colour_test=is_dark, colour_name="dark"):
    """Five flies of size 48 on the white desktop: seen as separate blobs of that colour, then seen
    moved; SIGTERM then ends the run."""
    session.white_window()
    proc = session.buzzel(["-n", "5", "-s", "48", "-t", "0"])
    first = wait_for_flies(session.screenshot, proc, 5, 15)
    check_flies(first, 48, colour_test, colour_name, 0.7)
    time.sleep(1.0)
    second = wait_for_flies(session.screenshot, proc, 5, 5)
    check_flies(second, 48, colour_test, colour_name, 0.7)
    moved = moved_flies(first, second)
    check(moved >= 4, "only %d of 5 flies moved in 1 s" % moved)
    end_run(proc)


def dark_share(shot):
    """About the share of pure black pixels: near 1 when the overlay blacks out the screen."""
    width, height, rgb = shot
    return rgb.count(b"\x00\x00\x00") / (width * height)


# --- the cases ---------------------------------------------------------------------------------

def case_log(session, variant):
    """Exit code, the time limit and the log: older lines kept, START with the joined argv, SHUTDOWN."""
    old = b"2020-01-01 00:00:00.000 - START cmd=old\nsome older line\n"
    with open(os.path.join(session.workdir, "buzzel_start.log"), "wb") as f:
        f.write(old)
    began = time.time()
    proc = session.buzzel(["-n", "5", "-t", "2", "it's here"])
    wait_until("the overlay window", session.overlay_window, 10)
    finish_clean(proc, 30)
    elapsed = time.time() - began
    # A lower bound that holds however slow the machine; the upper one only catches a limit ignored.
    check(2.0 <= elapsed < 12, "a 2 s run took %.1f s" % elapsed)
    check(session.overlay_window() is None, "the overlay window outlived the run")
    data = read_log(session.workdir)
    check(data.startswith(old), "older lines were changed")
    messages = log_messages(data[len(old):])
    check(messages == ["START cmd=%s -n 5 -t 2 'it'\\''s here'" % session.exe, "SHUTDOWN"],
          "unexpected log lines %r" % messages)


def case_window(session, variant):
    """Override-redirect, over the whole root, depth 32, named, no input region; shaped to the
    flies only without a compositing manager."""
    proc = session.buzzel(["-n", "3", "-t", "0"])
    window = wait_until("the overlay window", session.overlay_window, 10)
    time.sleep(0.5)  # a few frames, so the shape is the flies'
    info = session.tool("xwininfo", "-id", window)
    for field, value in (("Override Redirect State", "yes"), ("Absolute upper-left X", "0"),
                         ("Absolute upper-left Y", "0"), ("Width", str(SCREEN[0])), ("Height", str(SCREEN[1])),
                         ("Depth", "32"), ("Map State", "IsViewable")):
        m = re.search(r"^\s*%s:\s*(\S+)" % field, info, re.M)
        check(m and m.group(1) == value, "%s is %s, expected %s" % (field, m and m.group(1), value))
    props = session.tool("xprop", "-id", window, "WM_CLASS", "WM_NAME")
    check('WM_CLASS(STRING) = "buzzel", "Buzzel"' in props and 'WM_NAME(STRING) = "Buzzel"' in props,
          "unexpected names: %s" % props)
    shape = session.tool(session.probe, "shape", window).split()
    check(shape[3] == "0", "the window takes input in %s rectangles" % shape[3])
    shaped = variant == "plain"
    check(shape[1] == ("1" if shaped else "0"),
          "the window is %s under %s" % ("unshaped" if shaped else "shaped", variant))
    end_run(proc)


def case_flies(session, variant):
    check_swarm(session)


def case_image(session, variant):
    """A solid red fly/fly.png replaces the built-in fly: red squares."""
    write_fly_png(session.workdir, png(144, 144, (255, 0, 0)))
    check_swarm(session, is_red, "red")


def huge_header_png():
    """A PNG whose header claims 30000 by 30000 pixels (3.6 GB decoded) over one pixel of data."""
    data = bytearray(png(1, 1, (255, 0, 0)))
    ihdr = bytes(data[12:16]) + struct.pack(">II", 30000, 30000) + bytes(data[24:29])
    data[12:33] = ihdr + struct.pack(">I", zlib.crc32(ihdr))
    return bytes(data)


BAD_IMAGES = {
    "text": b"this is not a PNG file\n",
    "huge-header": huge_header_png(),
    "truncated": png(144, 144, (255, 0, 0))[:100],
}


def case_bad_image(session, variant):
    """A fly/fly.png that does not decode: the built-in (dark) fly instead."""
    write_fly_png(session.workdir, BAD_IMAGES[variant])
    check_swarm(session)


def case_log_dir(session, variant):
    """A log that cannot be written (a directory in its place): the flies fly all the same."""
    os.mkdir(os.path.join(session.workdir, "buzzel_start.log"))
    check_swarm(session)


def case_above(session, variant):
    """A normal window mapped after the start does not hide the flies."""
    proc = session.buzzel(["-n", "3", "-s", "48", "-t", "0"])
    wait_until("the overlay window", session.overlay_window, 10)
    time.sleep(0.5)
    session.white_window()
    time.sleep(0.5)
    check_flies(wait_for_flies(session.screenshot, proc, 3, 10), 48, is_dark, "dark", 0.7)
    end_run(proc)


def case_click(session, variant):
    """A click on an opaque fly pixel goes to the window beneath the overlay."""
    clicks = session.white_window()
    write_fly_png(session.workdir, png(144, 144, (255, 0, 0)))
    proc = session.buzzel(["-n", "1", "-s", "300", "-t", "0"])
    # The middle of a red patch at least 41 pixels across: the fly moves a few pixels at most
    # between the screenshot and the click.
    def red_point():
        width, height, rgb = session.screenshot()
        for y in range(20, height - 20, 10):
            for x in range(20, width - 20, 10):
                if all(is_red(rgb[3 * (py * width + px):3 * (py * width + px) + 3])
                       for px in (x - 20, x, x + 20) for py in (y - 20, y, y + 20)):
                    return x, y
        return None
    x, y = wait_until("a red fly patch on screen", red_point, 15)
    session.tool("xdotool", "mousemove", str(x), str(y), "click", "1")
    wait_until("the click to reach the window beneath", lambda: "press %d %d" % (x, y) in clicks, 10)
    check(proc.poll() is None, "buzzel ended early")
    end_run(proc)


def case_signal(session, variant):
    """SIGTERM, or SIGINT to a background job of a shell (which starts with SIGINT ignored), ends a
    run without time limit: exit code 0, SHUTDOWN, the window gone."""
    if variant == "term":
        proc = session.buzzel(["-n", "3", "-t", "0"])
        pid, sig = proc.pid, signal.SIGTERM
    else:
        proc = session.spawn(["sh", "-c", '"$@" & echo $! > pid; wait $!', "sh", session.exe, "-n", "3", "-t", "0"],
                             cwd=session.workdir, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        pid_file = os.path.join(session.workdir, "pid")
        wait_until("the background job's pid", lambda: os.path.exists(pid_file) and open(pid_file).read().strip(), 10)
        pid, sig = int(open(pid_file).read()), signal.SIGINT
    wait_until("the overlay window", session.overlay_window, 10)
    time.sleep(2)
    check(proc.poll() is None, "a run without time limit ended by itself")
    os.kill(pid, sig)
    began = time.time()
    finish_clean(proc, 10)
    check(time.time() - began < 3, "the run took %.1f s to end" % (time.time() - began))
    check(session.overlay_window() is None, "the overlay window outlived the run")
    check(log_messages(read_log(session.workdir))[-1] == "SHUTDOWN", "no SHUTDOWN line")


def case_no_display(session, variant):
    """No display to open: one stderr line naming it, an ERROR line in the log, exit code 1."""
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    if variant == "unset":
        expected = "cannot open display: DISPLAY is not set"
    else:
        number = next(n for n in range(4000, 5000)
                      if not os.path.exists("/tmp/.X11-unix/X%d" % n) and not os.path.exists("/tmp/.X%d-lock" % n))
        env["DISPLAY"] = ":%d" % number
        expected = 'cannot open display ":%d"' % number
    code, err = finish(session.buzzel(["-n", "2"], env=env), 30)
    check(code == 1, "exit code %d" % code)
    check(err == "buzzel: %s\n" % expected, "stderr %r" % err)
    messages = log_messages(read_log(session.workdir))
    check(messages == ["START cmd=%s -n 2" % session.exe, "ERROR: " + expected], "log lines %r" % messages)


def case_too_many(session, variant):
    """A fly count too large to allocate: the ERROR line, exit code 1, no window left behind."""
    env = dict(session.env)
    # ASan aborts on an allocation it cannot serve; told so, it returns null as the C library does,
    # which is the path a release build takes.
    env["ASAN_OPTIONS"] = "allocator_may_return_null=1"
    code, err = finish(session.buzzel(["-n", "2147483647"], env=env), 30)
    check(code == 1, "exit code %d, stderr %r" % (code, err))
    check(session.overlay_window() is None, "a window was left behind")
    messages = log_messages(read_log(session.workdir))
    check(messages[1:] == ["ERROR: malloc(flies) failed"], "log lines %r" % messages)


def check_switch(session, switch, shaped):
    """The flies on the white desktop; then, once the compositing manager has started or stopped,
    the window follows it (shaped without one, blended with one) and every screenshot for a while
    shows the white desktop, never the window's black, with the flies still seen."""
    session.white_window()
    proc = session.buzzel(["-n", "5", "-s", "48", "-t", "0"])
    window = wait_until("the overlay window", session.overlay_window, 10)
    wait_for_flies(session.screenshot, proc, 5, 15)
    switch()
    wait_until("the window to be %s" % ("shaped" if shaped else "unshaped"),
               lambda: session.tool(session.probe, "shape", window).split()[1] == ("1" if shaped else "0"), 5)
    deadline = time.time() + 2
    while time.time() < deadline:
        share = dark_share(session.screenshot())
        check(share < 0.05, "%.0f %% of the screen is black" % (100 * share))
    wait_for_flies(session.screenshot, proc, 5, 10)
    end_run(proc)


def case_compositor_stops(session, variant):
    check_switch(session, session.stop_compositor, True)


def case_compositor_starts(session, variant):
    check_switch(session, session.start_compositor, False)


def case_wide(session, variant):
    """Many flies on a 3840 x 1080 screen show on both halves: the window spans the whole root."""
    session.white_window()
    proc = session.buzzel(["-n", "60", "-s", "24", "-t", "0"])
    half = WIDE_SCREEN[0] // 2
    def both_halves():
        width, height, rgb = session.screenshot()
        white = b"\xff" * (3 * half)
        rows = [rgb[3 * y * width:3 * (y + 1) * width] for y in range(height)]
        return (any(r[:3 * half] != white for r in rows) and any(r[3 * half:] != white for r in rows)
                and dark_share((width, height, rgb)) < 0.05)
    wait_until("flies on both halves of the screen", both_halves, 15)
    end_run(proc)


# Each case with its variants; the screen cases run with and without a compositing manager.
BOTH = ("plain", "composited")
CASES = {
    "log": (case_log, ("plain",)),
    "window": (case_window, BOTH),
    "flies": (case_flies, BOTH),
    "image": (case_image, BOTH),
    "bad-image": (case_bad_image, tuple(BAD_IMAGES)),
    "log-dir": (case_log_dir, ("plain",)),
    "above": (case_above, BOTH),
    "click": (case_click, BOTH),
    "signal": (case_signal, ("term", "int")),
    "no-display": (case_no_display, ("unset", "wrong")),
    "too-many": (case_too_many, ("plain",)),
    "compositor-stops": (case_compositor_stops, ("composited",)),
    "compositor-starts": (case_compositor_starts, ("plain",)),
    "wide": (case_wide, BOTH),
}


def main():
    name = sys.argv[1] if len(sys.argv) == 4 else ""
    case, _, variant = name.rpartition(".")
    if case not in CASES or variant not in CASES[case][1]:
        print(__doc__)
        print("cases: " + " ".join("%s.%s" % (c, v) for c, (_, vs) in CASES.items() for v in vs))
        return 2
    exe, probe = (os.path.abspath(a) for a in sys.argv[2:])
    workdir = tempfile.mkdtemp(prefix="buzzel-x11-%s-" % name)
    session = Session(workdir, exe, probe)
    try:
        screen = None if case == "no-display" else WIDE_SCREEN if case == "wide" else SCREEN
        if screen:
            session.start(screen, variant == "composited")
        CASES[case][0](session, variant)
    except Failure as e:
        print("FAIL %s: %s" % (name, e))
        return 1
    finally:
        session.stop()
        subprocess.run(["rm", "-rf", workdir])
    print("PASS %s" % name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
