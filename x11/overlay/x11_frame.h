// One client-side ARGB frame the size of the root, kept between ticks: each tick clears where the
// flies were, draws them where they are, reshapes the window to them and sends the server only
// the rectangles that changed, through shared memory when the server offers it.
#pragma once
#include <cairo.h>

#include "swarm.h"

// Creates the frame for the overlay window; false when there is no memory for it.
bool frame_create();

// Draws count flies of swarm from image, reshapes the window and presents what changed.
void frame_update(const Fly* swarm, int count, cairo_surface_t* image);

// Releases the frame (before the display is closed).
void frame_destroy();
