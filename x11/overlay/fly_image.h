// The fly image of the Linux program: "fly/fly.png" under the current directory when it decodes,
// else the PNG built into the program; and the fly drawn from it, turned and smoothly scaled.
#pragma once
#include <cairo.h>

#include "frame_geometry.h"

// Decodes the fly image; null only when not even the built-in one decodes.
cairo_surface_t* load_fly_image();

// Draws one fly into cr at its placement (image scaled to size x size, turned about the pivot)
// and returns the frame pixels it may have changed. Flies up to a few hundred pixels come from
// copies turned once per size and half degree and kept, so most draws only blend a copy in.
PixelRect draw_fly_image(cairo_t* cr, cairo_surface_t* image, const FlyPlacement& place, int size);

// Frees the image and every copy made of it.
void release_fly_image(cairo_surface_t* image);
