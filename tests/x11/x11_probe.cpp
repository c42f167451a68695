// What the X11 black-box tests cannot see with the stock tools: a normal window that reports the
// clicks it gets, a window's input and bounding shapes, and whether a compositing manager runs.
//   x11_probe window X Y W H   maps a plain white window; prints "mapped", then "press X Y" (root
//                              coordinates) for each button press, until it is killed
//   x11_probe shape WINDOW     prints "bounding_shaped 0|1 input_rects N"
//   x11_probe compositor       prints 1 when _NET_WM_CM_S<screen> has an owner, else 0
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static int show_window(int x, int y, unsigned w, unsigned h)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, w, h, 0,
                                              BlackPixel(display, screen), WhitePixel(display, screen));
    XSelectInput(display, window, StructureNotifyMask | ButtonPressMask);
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify)
            std::printf("mapped\n");
        else if (event.type == ButtonPress)
            std::printf("press %d %d\n", event.xbutton.x_root, event.xbutton.y_root);
        std::fflush(stdout);
    }
}

static int print_shape(Window window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    Bool boundingShaped = False, clipShaped = False;
    int bx, by, cx, cy;
    unsigned bw, bh, cw, ch;
    XShapeQueryExtents(display, window, &boundingShaped, &bx, &by, &bw, &bh, &clipShaped, &cx, &cy, &cw, &ch);
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(display, window, ShapeInput, &count, &ordering);
    std::printf("bounding_shaped %d input_rects %d\n", boundingShaped ? 1 : 0, count);
    XFree(rects);
    XCloseDisplay(display);
    return 0;
}

static int print_compositor()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    char name[32];
    std::snprintf(name, sizeof name, "_NET_WM_CM_S%d", DefaultScreen(display));
    std::printf("%d\n", XGetSelectionOwner(display, XInternAtom(display, name, False)) != None ? 1 : 0);
    XCloseDisplay(display);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 6 && std::strcmp(argv[1], "window") == 0)
        return show_window(std::atoi(argv[2]), std::atoi(argv[3]), static_cast<unsigned>(std::atoi(argv[4])),
                           static_cast<unsigned>(std::atoi(argv[5])));
    if (argc == 3 && std::strcmp(argv[1], "shape") == 0)
        return print_shape(static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
    if (argc == 2 && std::strcmp(argv[1], "compositor") == 0)
        return print_compositor();
    std::fprintf(stderr, "usage: x11_probe window X Y W H | shape WINDOW | compositor\n");
    return 2;
}
