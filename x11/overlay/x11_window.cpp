// The X11 overlay window: override-redirect, so no window manager decorates it, lists it in a
// taskbar or gives it focus; an empty input shape, so every click and key goes beneath; and a
// bounding shape that shows only the flies, so even without a compositing manager the rest of
// the screen is the desktop, never the window's black.
#include "x11_window.h"

#include "swarm.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

Display* g_display = nullptr;
Window g_window = 0;
Visual* g_visual = nullptr;
int g_depth = 0;
bool g_composited = false;

static bool g_hasXfixes = false;   // XFIXES: empty input region and selection events
static int g_xfixesEventBase = 0;  // first XFIXES event code
static Atom g_compositorSelection; // _NET_WM_CM_S<screen>, owned by a running compositing manager
static Colormap g_colormap = 0;    // the window's own colormap when its visual is not the default
static bool g_raisePending = false; // another window was mapped or restacked since the last raise
static int g_lastXError = 0;        // code of the last X error not yet taken; the handler sets it
static int g_blending = -1;         // 1 blended, 0 shaped, -1 before set_window_blending first ran

const char* display_name()
{
    const char* name = std::getenv("DISPLAY");
    return name != nullptr ? name : "";
}

static int note_x_error(Display*, XErrorEvent* error)
{
    g_lastXError = error->error_code;
    return 0;
}

bool open_display()
{
    g_display = XOpenDisplay(nullptr);
    if (g_display != nullptr)
        XSetErrorHandler(note_x_error);
    return g_display != nullptr;
}

int take_x_error()
{
    const int code = g_lastXError;
    g_lastXError = 0;
    return code;
}

bool check_extensions(char* why, size_t capacity)
{
    int event, error, major = 1, minor = 0;
    // Without SHAPE the window could show nothing but black without a compositing manager, and
    // could not let clicks through without XFIXES: there is nothing to fall back to.
    if (!XShapeQueryExtension(g_display, &event, &error) || !XShapeQueryVersion(g_display, &major, &minor)) {
        std::snprintf(why, capacity, "the X server has no SHAPE extension");
        return false;
    }
    g_hasXfixes = XFixesQueryExtension(g_display, &g_xfixesEventBase, &error) != 0;
    if (g_hasXfixes) {
        int fixesMajor = 0, fixesMinor = 0;
        XFixesQueryVersion(g_display, &fixesMajor, &fixesMinor);
        g_hasXfixes = fixesMajor >= 2;
    }
    if (!g_hasXfixes && (major < 1 || (major == 1 && minor < 1))) {
        std::snprintf(why, capacity, "the X server has neither XFIXES 2 nor SHAPE 1.1 for click-through");
        return false;
    }
    return true;
}

void read_root_geometry()
{
    const int screen = DefaultScreen(g_display);
    virtualX = 0;
    virtualY = 0;
    windowWidth = DisplayWidth(g_display, screen);
    windowHeight = DisplayHeight(g_display, screen);
}

// A window without alpha is never blended, compositing manager or not: it is shaped.
static bool window_is_blended()
{
    return g_depth == 32 && XGetSelectionOwner(g_display, g_compositorSelection) != None;
}

// A 32-bit TrueColor visual carries alpha for a compositing manager; without one the window takes
// the screen's default visual and only ever shows through its shape.
static void choose_visual()
{
    const int screen = DefaultScreen(g_display);
    XVisualInfo info;
    if (XMatchVisualInfo(g_display, screen, 32, TrueColor, &info)) {
        g_visual = info.visual;
        g_depth = 32;
        g_colormap = XCreateColormap(g_display, RootWindow(g_display, screen), g_visual, AllocNone);
        return;
    }
    g_visual = DefaultVisual(g_display, screen);
    g_depth = DefaultDepth(g_display, screen);
}

static void set_names()
{
    XClassHint hint;
    char name[] = "buzzel", className[] = "Buzzel";
    hint.res_name = name;
    hint.res_class = className;
    XSetClassHint(g_display, g_window, &hint);
    XStoreName(g_display, g_window, "Buzzel");
    const long pid = getpid();
    XChangeProperty(g_display, g_window, XInternAtom(g_display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
}

// No pointer or keyboard event ever lands on the window, flies included.
static void make_click_through()
{
    if (g_hasXfixes) {
        XserverRegion empty = XFixesCreateRegion(g_display, nullptr, 0);
        XFixesSetWindowShapeRegion(g_display, g_window, ShapeInput, 0, 0, empty);
        XFixesDestroyRegion(g_display, empty);
        return;
    }
    XShapeCombineRectangles(g_display, g_window, ShapeInput, 0, 0, nullptr, 0, ShapeSet, YXBanded);
}

// The compositing manager is followed through selection events where XFIXES has them.
static void watch_compositor()
{
    char name[32];
    std::snprintf(name, sizeof name, "_NET_WM_CM_S%d", DefaultScreen(g_display));
    g_compositorSelection = XInternAtom(g_display, name, False);
    if (g_hasXfixes)
        XFixesSelectSelectionInput(g_display, DefaultRootWindow(g_display), g_compositorSelection,
                                   XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                       XFixesSelectionClientCloseNotifyMask);
    g_composited = window_is_blended();
}

bool create_overlay_window()
{
    choose_visual();
    const Window root = DefaultRootWindow(g_display);
    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.override_redirect = True;
    attributes.background_pixel = 0; // transparent under a compositing manager until drawn
    attributes.border_pixel = 0;
    unsigned long mask = CWOverrideRedirect | CWBackPixel | CWBorderPixel;
    if (g_colormap != 0) {
        attributes.colormap = g_colormap;
        mask |= CWColormap;
    }
    g_window = XCreateWindow(g_display, root, virtualX, virtualY, static_cast<unsigned>(windowWidth),
                             static_cast<unsigned>(windowHeight), 0, g_depth, InputOutput, g_visual, mask,
                             &attributes);
    XSync(g_display, False);
    if (g_window == 0 || take_x_error() != 0)
        return false;
    set_names();
    make_click_through();
    set_window_shape(nullptr, 0); // shown empty: the first frame gives it the flies
    watch_compositor();
    XSelectInput(g_display, root, SubstructureNotifyMask);
    XMapRaised(g_display, g_window);
    XSync(g_display, False);
    return take_x_error() == 0;
}

void set_window_shape(const XRectangle* rects, int count)
{
    XShapeCombineRectangles(g_display, g_window, ShapeBounding, 0, 0, const_cast<XRectangle*>(rects), count,
                            ShapeSet, YXBanded);
}

bool set_window_blending(bool blending)
{
    if (g_blending == static_cast<int>(blending))
        return false;
    g_blending = blending;
    if (blending) {
        XSetWindowBackground(g_display, g_window, 0);
        XShapeCombineMask(g_display, g_window, ShapeBounding, 0, 0, None, ShapeSet);
        XClearWindow(g_display, g_window);
        return true;
    }
    // Painting a background into every newly shaped part would cost the server as much again as
    // the shape itself, and the frame covers it at once.
    XSetWindowBackgroundPixmap(g_display, g_window, None);
    return true;
}

// Override-redirect windows (menus, tooltips, another overlay) are left alone: two overlays that
// raised over each other would do so thousands of times a second.
static void on_map(XEvent* event)
{
    if (event->xmap.window != g_window && !event->xmap.override_redirect)
        g_raisePending = true;
}

static void on_configure(XEvent* event)
{
    if (event->xconfigure.window != g_window && !event->xconfigure.override_redirect)
        g_raisePending = true;
}

void handle_event(XEvent* event)
{
    switch (event->type) {
    case MapNotify:
        on_map(event);
        return;
    case ConfigureNotify:
        on_configure(event);
        return;
    }
    if (g_hasXfixes && event->type == g_xfixesEventBase + XFixesSelectionNotify)
        g_composited = window_is_blended();
}

void keep_on_top()
{
    // Without selection events, a compositing manager is looked for once a frame instead.
    if (!g_hasXfixes)
        g_composited = window_is_blended();
    if (!g_raisePending)
        return;
    g_raisePending = false;
    XRaiseWindow(g_display, g_window);
}

void close_display()
{
    if (g_display == nullptr)
        return;
    if (g_window != 0)
        XDestroyWindow(g_display, g_window); // a window the server refused gives only an error
    if (g_colormap != 0)
        XFreeColormap(g_display, g_colormap);
    XCloseDisplay(g_display);
    g_display = nullptr;
    g_window = 0;
    g_colormap = 0;
}
