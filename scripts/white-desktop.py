#!/usr/bin/env python3
"""Stands in for a desktop on a virtual display: one plain white window over the whole root, kept
at the bottom, until the process is ended. A compositing manager paints a bare root grey (and a
root image set by another program may be one it cannot use), so screenshots that need a white
background under one use this. Uses libX11 through ctypes, so it needs nothing beyond Xlib."""
import ctypes
import ctypes.util
import signal
import sys

x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultScreen.argtypes = [ctypes.c_void_p]
x11.XRootWindow.restype = ctypes.c_ulong
x11.XRootWindow.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XWhitePixel.restype = ctypes.c_ulong
x11.XWhitePixel.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XCreateSimpleWindow.restype = ctypes.c_ulong
x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                    ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong,
                                    ctypes.c_ulong]
x11.XStoreName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_char_p]
x11.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XLowerWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("white-desktop: cannot open the display")
screen = x11.XDefaultScreen(display)
white = x11.XWhitePixel(display, screen)
window = x11.XCreateSimpleWindow(display, x11.XRootWindow(display, screen), 0, 0,
                                 x11.XDisplayWidth(display, screen), x11.XDisplayHeight(display, screen),
                                 0, white, white)
x11.XStoreName(display, window, b"white desktop")
x11.XMapWindow(display, window)
x11.XLowerWindow(display, window)
x11.XSync(display, 0)
print("ready", flush=True)
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
signal.pause()
