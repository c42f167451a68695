// The frame buffer and its presentation on the overlay window.
#include "x11_frame.h"

#include "fly_image.h"
#include "frame_geometry.h"
#include "mask_rects.h"
#include "x11_window.h"

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>
#include <vector>

// Without a compositing manager a pixel shows when a fly covers it at least half: a hard edge.
static const uint8_t SHAPE_THRESHOLD = 128;
// Each frame's shape costs the server in proportion to its rectangles times those of the
// desktop's exposed parts; above this many, rows are shaped two or more at a time.
static const size_t SHAPE_RECT_BUDGET = 1000;

static XImage* g_image = nullptr;        // the frame's pixels as the server takes them
static XShmSegmentInfo g_shm;            // the shared segment when g_useShm
static bool g_useShm = false;            // pixels go through MIT-SHM, not the connection
static GC g_gc = nullptr;                // plain copy GC for putting the image
static cairo_surface_t* g_surface = nullptr; // cairo's view of the same pixels
static std::vector<PixelRect> g_drawn;   // each fly's box in the frame as last drawn
static std::vector<PixelRect> g_boxes;   // each fly's box this tick
static std::vector<PixelRect> g_shape;   // the window's shape this tick
static std::vector<XRectangle> g_xrects; // the same, as the server takes it

// Shared memory works only with a server on this machine; any failure falls back to XPutImage.
static bool create_shm_image(int w, int h)
{
    int major, minor;
    Bool pixmaps;
    if (!XShmQueryVersion(g_display, &major, &minor, &pixmaps))
        return false;
    g_image = XShmCreateImage(g_display, g_visual, static_cast<unsigned>(g_depth), ZPixmap, nullptr, &g_shm,
                              static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (g_image == nullptr)
        return false;
    const size_t bytes = static_cast<size_t>(g_image->bytes_per_line) * static_cast<size_t>(h);
    g_shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (g_shm.shmid >= 0) {
        g_shm.shmaddr = static_cast<char*>(shmat(g_shm.shmid, nullptr, 0));
        g_shm.readOnly = False;
        if (g_shm.shmaddr != reinterpret_cast<char*>(-1)) {
            g_image->data = g_shm.shmaddr;
            XSync(g_display, False);
            take_x_error();
            XShmAttach(g_display, &g_shm);
            XSync(g_display, False);
            shmctl(g_shm.shmid, IPC_RMID, nullptr); // goes away with the last detach
            if (take_x_error() == 0)
                return true;
            shmdt(g_shm.shmaddr);
        } else {
            shmctl(g_shm.shmid, IPC_RMID, nullptr);
        }
    }
    g_image->data = nullptr;
    XDestroyImage(g_image);
    g_image = nullptr;
    return false;
}

static bool create_plain_image(int w, int h)
{
    const int stride = w * 4;
    char* data = static_cast<char*>(std::calloc(static_cast<size_t>(stride), static_cast<size_t>(h)));
    if (data == nullptr)
        return false;
    g_image = XCreateImage(g_display, g_visual, static_cast<unsigned>(g_depth), ZPixmap, 0, data,
                           static_cast<unsigned>(w), static_cast<unsigned>(h), 32, stride);
    if (g_image == nullptr) {
        std::free(data);
        return false;
    }
    return true;
}

bool frame_create()
{
    g_useShm = create_shm_image(windowWidth, windowHeight);
    if (!g_useShm && !create_plain_image(windowWidth, windowHeight))
        return false;
    std::memset(g_image->data, 0, static_cast<size_t>(g_image->bytes_per_line) * windowHeight);
    g_surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(g_image->data),
                                                    CAIRO_FORMAT_ARGB32, windowWidth, windowHeight,
                                                    g_image->bytes_per_line);
    g_gc = XCreateGC(g_display, g_window, 0, nullptr);
    return cairo_surface_status(g_surface) == CAIRO_STATUS_SUCCESS;
}

static void clear_rect(const PixelRect& r)
{
    for (int y = r.y; y < r.y + r.h; ++y)
        std::memset(g_image->data + static_cast<long>(y) * g_image->bytes_per_line + 4L * r.x, 0,
                    4 * static_cast<size_t>(r.w));
}

static void put_rect(const PixelRect& r)
{
    if (r.w <= 0 || r.h <= 0)
        return;
    if (g_useShm)
        XShmPutImage(g_display, g_window, g_gc, g_image, r.x, r.y, r.x, r.y, static_cast<unsigned>(r.w),
                     static_cast<unsigned>(r.h), False);
    else
        XPutImage(g_display, g_window, g_gc, g_image, r.x, r.y, r.x, r.y, static_cast<unsigned>(r.w),
                  static_cast<unsigned>(r.h));
}

static int g_rowsPerBand = 1; // rows shaped together; grows while the shape is over budget

// The shape of this tick's flies: exact while it stays within the budget, else in taller bands.
// The band height follows the count from tick to tick, so only one pass is made each tick.
static void reshape()
{
    g_shape.clear();
    mask_rects(reinterpret_cast<const uint8_t*>(g_image->data), g_image->bytes_per_line, windowWidth,
               windowHeight, g_boxes.data(), static_cast<int>(g_boxes.size()), SHAPE_THRESHOLD,
               g_rowsPerBand, &g_shape);
    if (g_shape.size() > SHAPE_RECT_BUDGET)
        ++g_rowsPerBand;
    else if (g_rowsPerBand > 1 && g_shape.size() * g_rowsPerBand < SHAPE_RECT_BUDGET * (g_rowsPerBand - 1))
        --g_rowsPerBand; // one row fewer would stay within the budget
    g_xrects.resize(g_shape.size());
    for (size_t i = 0; i < g_shape.size(); ++i)
        g_xrects[i] = XRectangle{static_cast<short>(g_shape[i].x), static_cast<short>(g_shape[i].y),
                                 static_cast<unsigned short>(g_shape[i].w),
                                 static_cast<unsigned short>(g_shape[i].h)};
    set_window_shape(g_xrects.data(), static_cast<int>(g_xrects.size()));
}

void frame_update(const Fly* swarm, int count, cairo_surface_t* image)
{
    g_drawn.resize(static_cast<size_t>(count), PixelRect{0, 0, 0, 0});
    g_boxes.resize(static_cast<size_t>(count));
    for (const PixelRect& r : g_drawn)
        if (r.w > 0)
            clear_rect(r);
    cairo_t* cr = cairo_create(g_surface);
    for (int i = 0; i < count; ++i) {
        const Fly& fly = swarm[i];
        const FramePointF centre = to_frame(fly.x, fly.y, virtualX, virtualY);
        const FlyPlacement place = place_fly_image(centre.x, centre.y, fly.drawAngle, fly.size);
        const PixelRect reach = clip_rect(fly_bounds(place, fly.size), windowWidth, windowHeight);
        g_boxes[i] = reach.w > 0 ? clip_rect(draw_fly_image(cr, image, place, fly.size), windowWidth, windowHeight)
                                 : reach;
    }
    cairo_destroy(cr);
    cairo_surface_flush(g_surface);
    // A compositing manager blends the whole window; without one only the shape shows. The shape
    // goes first: pixels put where the window does not show yet would be clipped away.
    const bool modeChanged = set_window_blending(g_composited);
    if (!g_composited)
        reshape();
    if (modeChanged && g_composited) {
        put_rect(PixelRect{0, 0, windowWidth, windowHeight}); // the window's pixels were never blended
    } else {
        for (int i = 0; i < count; ++i)
            put_rect(union_rect(g_drawn[i], g_boxes[i]));
    }
    for (int i = 0; i < count; ++i)
        g_drawn[i] = g_boxes[i];
    // The server reads the shared pixels while it handles the puts: wait, so the next tick's
    // drawing cannot change them under it.
    XSync(g_display, False);
}

void frame_destroy()
{
    if (g_surface != nullptr)
        cairo_surface_destroy(g_surface);
    g_surface = nullptr;
    if (g_gc != nullptr)
        XFreeGC(g_display, g_gc);
    g_gc = nullptr;
    if (g_image == nullptr)
        return;
    if (g_useShm) {
        XShmDetach(g_display, &g_shm);
        XSync(g_display, False);
        shmdt(g_shm.shmaddr);
        g_image->data = nullptr;
    }
    XDestroyImage(g_image); // frees the plain pixels with the image
    g_image = nullptr;
}
