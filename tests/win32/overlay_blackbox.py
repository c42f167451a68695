#!/usr/bin/env python3
"""Black-box tests of the real buzzel.exe under Wine on the virtual display.

Usage: overlay_blackbox.py CASE BUZZEL_EXE [HELPER_EXE [BUZZEL_GUI_EXE]]
  log        -n 5 -t 1 exits 0 soon after its limit; three CR LF lines appended after older ones
  flies      five black flies of about the requested size on a white desktop, moving
  red-image  a solid red "fly\\fly.png" replaces the embedded fly: red squares
  bad-image  a "fly\\fly.png" that is no image: the embedded (black) fly
  click      a click on an opaque part of the overlay reaches the window beneath it (HELPER_EXE:
             click_target.exe)
  keys       typing goes to Wine's Notepad before and after buzzel.exe starts, and Notepad stays
             the foreground window (HELPER_EXE: focus_probe.exe, which reads it from outside)
  keys-launcher  the same after the launcher's "Let's Fly", once the launcher has closed
Each case runs in a fresh temporary current directory. Exit code 0 when the case passes.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from screen_checks import (Failure, blobs, check, check_flies, finish, moved_flies, png,  # noqa: E402
                           screenshot, wait_for_flies)

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_RUN = os.path.join(REPO, "scripts", "wine-run.sh")


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def start(exe, args, cwd):
    return subprocess.Popen([WINE_RUN, exe] + args, cwd=cwd, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def is_black(p):
    return p[0] < 60 and p[1] < 60 and p[2] < 60


def is_red(p):
    return p[0] > 200 and p[1] < 60 and p[2] < 60


def run_swarm(workdir, exe, colour_test, colour_name):
    """Five flies of size 48: seen as separate blobs of that colour on white, then seen moved."""
    check(not blobs(screenshot()), "the desktop is not blank before the run")
    proc = start(exe, ["-n", "5", "-s", "48", "-t", "8"], workdir)
    try:
        first = wait_for_flies(screenshot, proc, 5, 10)
        check_flies(first, 48, colour_test, colour_name, 0.9)
        time.sleep(1.5)
        second = wait_for_flies(screenshot, proc, 5, 8)
        check_flies(second, 48, colour_test, colour_name, 0.9)
        moved = moved_flies(first, second)
        check(moved >= 4, "only %d of 5 flies moved in 1.5 s" % moved)
    finally:
        code, out = finish(proc, 40)
    check(code == 0, "exit code %d: %s" % (code, out))


def case_log(workdir, exe):
    old = b"2020-01-01 00:00:00.000 - START (winapi) cmd=old\r\nsome older line\r\n"
    log = os.path.join(workdir, "buzzel_start.log")
    with open(log, "wb") as f:
        f.write(old)
    began = time.time()
    code, out = finish(start(exe, ["-n", "5", "-t", "1"], workdir), 60)
    elapsed = time.time() - began
    check(code == 0, "exit code %d: %s" % (code, out))
    # One second of run time plus Wine's start-up; a generous bound, not a timing measurement.
    check(elapsed < 20, "a 1 s run took %.1f s" % elapsed)
    with open(log, "rb") as f:
        data = f.read()
    check(data.startswith(old), "older lines were changed")
    new = data[len(old):]
    check(new.endswith(b"\r\n"), "the last line does not end in CR LF")
    lines = new[:-2].split(b"\r\n")
    check(len(lines) == 3, "expected 3 new lines, got %r" % new)
    stamp = rb"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} - "
    for line in lines:
        check(b"\n" not in line and b"\r" not in line, "stray line break in %r" % line)
        check(re.match(stamp, line), "bad timestamp in %r" % line)
    messages = [line[26:].decode() for line in lines]
    winapi = re.fullmatch(r"START \(winapi\) cmd=(.*)", messages[0])
    crt = re.fullmatch(r"START cmd=(.*)", messages[1])
    check(winapi and crt, "START lines wrong: %r" % messages[:2])
    check(winapi.group(1) == crt.group(1), "the START lines carry different command lines")
    check(winapi.group(1).endswith("buzzel.exe\" -n 5 -t 1") or winapi.group(1).endswith("buzzel.exe -n 5 -t 1"),
          "unexpected command line %r" % winapi.group(1))
    check(messages[2] == "SHUTDOWN", "last line is %r" % messages[2])


def case_flies(workdir, exe):
    run_swarm(workdir, exe, is_black, "black")


def case_red_image(workdir, exe):
    write_file(os.path.join(workdir, "fly", "fly.png"), png(144, 144, (255, 0, 0)))
    run_swarm(workdir, exe, is_red, "red")


def case_bad_image(workdir, exe):
    os.makedirs(os.path.join(workdir, "fly"))
    with open(os.path.join(workdir, "fly", "fly.png"), "wb") as f:
        f.write(b"this is not a PNG file\n")
    run_swarm(workdir, exe, is_black, "black")


def case_click(workdir, exe, target):
    # One red square fly of 1500 pixels: on a 1920 x 1080 screen its centre is held at y = -420
    # with x in [0, 420], so whatever its angle it covers the helper window's middle, opaquely.
    width, height, _ = screenshot()
    check((width, height) == (1920, 1080), "the click case is laid out for a 1920 x 1080 screen")
    write_file(os.path.join(workdir, "fly", "fly.png"), png(144, 144, (255, 0, 0)))
    proc = start(target, [wine_path(exe), "-n", "1", "-s", "1500", "-t", "60"], workdir)
    try:
        ready = os.path.join(workdir, "ready.txt")
        deadline = time.time() + 30
        while not os.path.exists(ready) and proc.poll() is None and time.time() < deadline:
            time.sleep(0.1)
        check(os.path.exists(ready), "the click target never became ready")
        time.sleep(0.2)
        with open(ready) as f:
            _, x, y = f.read().split()
        x, y = int(x), int(y)
        # Make sure the overlay shows an opaque fly pixel at the click point before clicking.
        deadline = time.time() + 10
        while True:
            width, _, rgb = screenshot()
            pixel = rgb[3 * (y * width + x):3 * (y * width + x) + 3]
            if is_red(pixel):
                break
            check(time.time() < deadline, "the overlay never covered the click point (%d, %d)" % (x, y))
            time.sleep(0.3)
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)
    finally:
        code, out = finish(proc, 60)
    check(code == 0, "the window beneath did not get the click (exit %d): %s" % (code, out))


def probe(probe_exe, command):
    """focus_probe.exe's exit code and output for command."""
    result = subprocess.run([WINE_RUN, probe_exe, command], stdin=subprocess.DEVNULL, capture_output=True,
                            timeout=60)
    return result.returncode, result.stdout.decode(errors="replace")


def desktop_state(probe_exe):
    """{"foreground": class of the foreground window, "overlay": visible overlay windows, "text": Notepad's}"""
    _, out = probe(probe_exe, "state")
    state = {"foreground": "", "overlay": "0", "text": ""}
    for line in out.splitlines():
        key, _, value = line.rstrip("\r").partition(" ")
        state[key] = value
    return state


def wait_for_state(probe_exe, condition, seconds, message):
    deadline = time.time() + seconds
    while True:
        state = desktop_state(probe_exe)
        if condition(state):
            return state
        check(time.time() < deadline, "%s (foreground %r, %s overlay windows, Notepad's text %r)"
              % (message, state["foreground"], state["overlay"], state["text"]))
        time.sleep(0.3)


def type_into_notepad(probe_exe, typed, expected, when):
    """Types with xdotool (the X keyboard, as a user would) and waits for Notepad to hold expected;
    Notepad must be the foreground window all the while."""
    subprocess.run(["xdotool", "type", "--delay", "30", typed], check=True, stdin=subprocess.DEVNULL)
    state = wait_for_state(probe_exe, lambda s: s["text"] == expected or s["foreground"] != "Notepad", 10,
                           "the text typed %s never reached Notepad" % when)
    check(state["foreground"] == "Notepad", "%s the foreground window is %r, not Notepad"
          % (when, state["foreground"]))
    check(state["text"] == expected, "the text typed %s did not reach Notepad: it holds %r" % (when, state["text"]))


def start_notepad(workdir, probe_exe):
    """Wine's own Notepad, in the foreground and taking typed text."""
    notepad = start("C:\\windows\\system32\\notepad.exe", [], workdir)
    wait_for_state(probe_exe, lambda s: s["foreground"] == "Notepad", 30, "Notepad never came to the foreground")
    type_into_notepad(probe_exe, "before", "before", "before the flies")
    return notepad


def check_keys_with_overlay(probe_exe, when):
    """With the overlay on screen: Notepad keeps the foreground (looked at more than once, so that an
    activation that comes a little late is seen) and still takes typed text."""
    wait_for_state(probe_exe, lambda s: s["overlay"] != "0", 30, "the overlay never showed %s" % when)
    for _ in range(3):
        state = desktop_state(probe_exe)
        check(state["foreground"] == "Notepad", "%s the foreground window is %r, not Notepad"
              % (when, state["foreground"]))
        time.sleep(0.5)
    type_into_notepad(probe_exe, " after", "before after", when)
    check(desktop_state(probe_exe)["overlay"] != "0", "the overlay ended before the check %s was over" % when)


def overlay_keys_then_close(probe_exe, when):
    """check_keys_with_overlay, then the overlay is asked to close (pass or fail): it ends at once,
    with exit code 0."""
    try:
        check_keys_with_overlay(probe_exe, when)
    except Failure:
        probe(probe_exe, "close-overlay")
        raise
    code, out = probe(probe_exe, "close-overlay")
    check(code == 0, "the overlay did not end with 0 when asked to close: %s" % out.strip())


def end_notepad(notepad):
    notepad.kill()
    notepad.communicate()


def case_keys(workdir, exe, probe_exe):
    notepad = start_notepad(workdir, probe_exe)
    try:
        # A limit well beyond the test's length, so the overlay is on screen throughout; it is closed.
        proc = start(exe, ["-n", "3", "-t", "60"], workdir)
        try:
            overlay_keys_then_close(probe_exe, "after buzzel.exe started")
        finally:
            code, out = finish(proc, 40)
        check(code == 0, "exit code %d: %s" % (code, out))
    finally:
        end_notepad(notepad)


def case_keys_launcher(workdir, exe, probe_exe, gui_exe):
    shutil.copy(exe, os.path.join(workdir, "buzzel.exe"))
    shutil.copy(gui_exe, os.path.join(workdir, "buzzel_gui.exe"))
    notepad = start_notepad(workdir, probe_exe)
    try:
        # No pipe for its output: the overlay it starts would hold that open, and reading it to the
        # end would wait for the overlay's whole run.
        launcher = subprocess.Popen([WINE_RUN, os.path.join(workdir, "buzzel_gui.exe")], cwd=workdir,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_for_state(probe_exe, lambda s: s["foreground"] == "BuzzelGuiClass", 30,
                           "the launcher never came to the foreground")
            code, out = probe(probe_exe, "launch-button")
            check(code == 0, "no \"Let's Fly\" button found")
            x, y = out.split()
            # A click, as the user gives it: the launcher starts the overlay and closes.
            subprocess.run(["xdotool", "mousemove", x, y, "click", "1"], check=True, stdin=subprocess.DEVNULL)
        finally:
            try:
                code = launcher.wait(timeout=30)
            except subprocess.TimeoutExpired:
                launcher.kill()
                launcher.wait()
                raise Failure("the launcher did not close within 30 s")
        check(code == 0, "launcher exit code %d" % code)
        overlay_keys_then_close(probe_exe, "after \"Let's Fly\" closed the launcher")
    finally:
        end_notepad(notepad)


CASES = {"log": case_log, "flies": case_flies, "red-image": case_red_image, "bad-image": case_bad_image,
         "click": case_click, "keys": case_keys, "keys-launcher": case_keys_launcher}


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in CASES:
        print(__doc__)
        return 2
    workdir = tempfile.mkdtemp(prefix="buzzel-%s-" % sys.argv[1])
    try:
        CASES[sys.argv[1]](workdir, *[os.path.abspath(a) for a in sys.argv[2:]])
    except Failure as e:
        print("FAIL %s: %s" % (sys.argv[1], e))
        return 1
    finally:
        shutil.rmtree(workdir, ignore_errors=True)
    print("PASS %s" % sys.argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main())
