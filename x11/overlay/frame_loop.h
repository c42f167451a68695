// The Linux program's frame clock and event loop: a tick about every 16 ms, X events as they come,
// and SIGINT or SIGTERM ending the run as cleanly as the time limit does.
#pragma once
#include <cairo.h>

// Blocks SIGINT and SIGTERM so they arrive through the loop; false when that cannot be set up.
// Must run before any other thread exists.
bool catch_stop_signals();

// Runs ticks until the run-time limit or a stop signal; the flies are drawn from image.
void run_frame_loop(cairo_surface_t* image);
