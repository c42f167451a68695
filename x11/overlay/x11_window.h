// The overlay window on X11: the display connection, one override-redirect window over the whole
// root (every monitor), its visual, the compositing manager it finds, and keeping it on top.
#pragma once
#include <X11/Xlib.h>

#include <cstddef>

extern Display* g_display; // the connection; open_display sets it, close_display clears it
extern Window g_window;    // the overlay window; 0 until create_overlay_window succeeds
extern Visual* g_visual;   // the window's visual: 32-bit ARGB when the screen offers one
extern int g_depth;        // the window's depth, 32 or the screen's default
extern bool g_composited;  // a compositing manager runs and the window has alpha: it is blended

// The display the connection goes to, as DISPLAY names it; "" when DISPLAY is unset.
const char* display_name();

// Opens the connection; false when the display cannot be reached. From then on an X error does
// not end the program: it is kept for take_x_error, and the request that caused it has no effect.
bool open_display();

// The code of the last X error since the previous call (after an XSync), or 0 when none came.
int take_x_error();

// The extensions the overlay cannot do without; false with what is missing written into why.
bool check_extensions(char* why, size_t capacity);

// Sets the virtual screen (virtualX, virtualY, windowWidth, windowHeight) from the root window.
void read_root_geometry();

// Creates the window over the root, empty in shape and input, above all, and maps it; watches the
// compositing manager and the stacking of other windows. False when the server refuses.
bool create_overlay_window();

// The window's shape: the rectangles, in bands, that show; nothing else shows or takes input.
void set_window_shape(const XRectangle* rects, int count);

// With blending (a compositing manager runs) the whole window shows, transparent where no fly is;
// without, only its shape shows, and the server paints nothing for it: the frame does. Does
// nothing when the window is already so; true when it changed the window (always the first time).
bool set_window_blending(bool blending);

// Handles one event from the connection: a compositing manager that comes or goes, a window
// mapped or restacked that may now cover the overlay.
void handle_event(XEvent* event);

// Raises the window once when another window may have gone over it since the last call.
void keep_on_top();

// Destroys the window (the flies vanish at once) and closes the connection.
void close_display();
