#!/usr/bin/env python3
"""What the flies cost on an X display: CPU of the overlay program plus the X server (plus the
compositing manager, when one runs), in % of one core, for the Linux buzzel and for buzzel.exe
under Wine on the same virtual display with the same flies.

Usage: overlay_cpu.py LINUX_BUZZEL WINDOWS_BUZZEL_EXE WINE WINESERVER --prefix DIR
                      [--seconds S] [--flies N ...]
Each case gets a fresh Xvfb (1920x1080) and, with a compositor, a fresh xcompmgr; the program runs
with -t long enough to outlast the window, and CPU is read from /proc over S seconds after a
second of warm-up. For Wine, every process of the Wine prefix counts as the program (the exe, the
wine server, Wine's desktop and services): that is what running it costs. Prints a table and the
targets; stops everything it starts.
"""
import argparse
import os
import signal
import subprocess
import sys
import tempfile
import time

CLK_TCK = os.sysconf("SC_CLK_TCK")
SCREEN = "1920x1080x24"


def cpu_seconds(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / CLK_TCK
    except (FileNotFoundError, ProcessLookupError, IndexError):
        return None


def prefix_pids(prefix):
    """Every process whose environment names this Wine prefix."""
    needle = f"WINEPREFIX={prefix}".encode()
    pids = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as f:
                if needle in f.read().split(b"\0"):
                    pids.append(int(entry))
        except OSError:
            pass
    return pids


def start_xvfb():
    read_end, write_end = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-wr",
                             "-nolisten", "tcp"], pass_fds=(write_end,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as f:
        number = f.readline().strip()
    return proc, f":{number}"


def stop(proc):
    if proc and proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


class Group:
    """CPU seconds of a set of processes, found again at each reading (Wine starts some late)."""

    def __init__(self, find):
        self.find = find
        self.start = {}

    def begin(self):
        self.start = {pid: cpu_seconds(pid) for pid in self.find()}

    def used(self):
        total = 0.0
        for pid in self.find():
            now = cpu_seconds(pid)
            if now is not None:
                total += now - (self.start.get(pid) or 0.0)
        return total


def measure(program, flies, compositor, seconds, wine, prefix, workdir):
    xvfb, display = start_xvfb()
    env = dict(os.environ, DISPLAY=display)
    comp = None
    run = None
    try:
        if compositor:
            comp = subprocess.Popen(["xcompmgr"], env=env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            time.sleep(0.5)
        args = ["-n", str(flies), "-t", str(seconds + 30)]
        if program == "linux":
            run = subprocess.Popen([LINUX] + args, env=env, cwd=workdir,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            group = Group(lambda: [run.pid])
        else:
            env["WINEPREFIX"] = prefix
            env.setdefault("WINEDEBUG", "-all")
            run = subprocess.Popen([wine, WINDOWS] + args, env=env, cwd=workdir,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            group = Group(lambda: prefix_pids(prefix))
        time.sleep(2.0 if program == "wine" else 1.0)
        server = Group(lambda: [xvfb.pid])
        manager = Group(lambda: [comp.pid] if comp else [])
        for g in (group, server, manager):
            g.begin()
        time.sleep(seconds)
        used = [g.used() / seconds * 100.0 for g in (group, server, manager)]
        alive = run.poll() is None
        return used, alive
    finally:
        stop(run)
        if program == "wine":
            # Wine's server and desktop outlive the program: end them before the next case.
            subprocess.run([WINESERVER, "-k"], env=dict(os.environ, WINEPREFIX=prefix),
                           stderr=subprocess.DEVNULL)
        stop(comp)
        stop(xvfb)


def main():
    global LINUX, WINDOWS, WINESERVER
    parser = argparse.ArgumentParser()
    parser.add_argument("linux")
    parser.add_argument("windows")
    parser.add_argument("wine")
    parser.add_argument("wineserver")
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--flies", type=int, nargs="+", default=[1, 50, 500])
    opts = parser.parse_args()
    LINUX, WINDOWS, WINESERVER = os.path.abspath(opts.linux), os.path.abspath(opts.windows), opts.wineserver

    rows = []
    with tempfile.TemporaryDirectory() as workdir:
        for compositor in (True, False):
            for flies in opts.flies:
                for program in ("linux", "wine"):
                    (prog, xsrv, comp), alive = measure(program, flies, compositor, opts.seconds,
                                                        opts.wine, opts.prefix, workdir)
                    rows.append((compositor, flies, program, prog, xsrv, comp, alive))
                    print(f"bench: {'xcompmgr' if compositor else 'no compositor'} {flies} flies "
                          f"{program}: {prog + xsrv + comp:.1f}%", file=sys.stderr)

    print(f"CPU in % of one core, {opts.seconds:g} s per case, 60 Hz, {SCREEN.rsplit('x', 1)[0]} Xvfb")
    print("  program: the overlay (for Wine: every process of the prefix, wine server included)")
    print(f"{'display':>13} {'flies':>5} {'overlay':>8} {'program':>8} {'X server':>8} {'xcompmgr':>8} "
          f"{'total':>7} {'Wine/Linux':>10}")
    totals = {}
    for compositor, flies, program, prog, xsrv, comp, alive in rows:
        total = prog + xsrv + comp
        totals[(compositor, flies, program)] = total
        display = "xcompmgr" if compositor else "none"
        if not alive:
            # A program that ended before the window closed was not measured.
            print(f"{display:>13} {flies:>5} {program:>8} {'-':>8} {'-':>8} {'-':>8} {'-':>7} {'-':>10}"
                  "  (ended early)")
            continue
        ratio = ""
        if program == "wine":
            ratio = f"{total / max(totals[(compositor, flies, 'linux')], 0.01):10.1f}"
        print(f"{display:>13} {flies:>5} {program:>8} {prog:8.1f} {xsrv:8.1f} {comp:8.1f} {total:7.1f} {ratio:>10}")
    print()
    print("Cost per fly (Linux, total % over the 1-fly run, divided by the extra flies)")
    for compositor in (True, False):
        one = totals.get((compositor, 1, "linux"))
        parts = []
        for flies in opts.flies:
            if flies > 1 and one is not None:
                parts.append(f"{flies} flies: {(totals[(compositor, flies, 'linux')] - one) / (flies - 1):.3f}")
        print(f"  {'xcompmgr' if compositor else 'no compositor':<14} 1 fly: {one:.2f} total;  " + ";  ".join(parts))
    print()
    print("Targets (Linux, 50 flies)")
    for compositor, limit in ((True, 10.0), (False, 30.0)):
        value = totals.get((compositor, 50, "linux"))
        if value is None:
            continue
        label = "with xcompmgr" if compositor else "without a compositor"
        print(f"  {label:<22} {value:6.1f}% <= {limit:.0f}%  {'PASS' if value <= limit else 'MISS'}")


if __name__ == "__main__":
    main()
