// The shape of a frame: the pixels whose alpha reaches a threshold, as rectangles in the banded
// order a window shape takes without sorting. Pure code; the X11 shell shapes its window with it.
#pragma once
#include "frame_geometry.h"

#include <cstdint>
#include <vector>

// Appends to out the rectangles that cover the pixels of the w x h BGRA frame (stride bytes a
// row) whose alpha is at least threshold (1 to 255), looking only inside boxes (clipped to the
// frame). With rowsPerBand 1 they cover exactly those pixels; with k > 1 the rows are taken k at
// a time from the top of the boxes and a column shows in all k rows when it reaches the
// threshold in any of them: a coarser outline, in about k times fewer rectangles. The rectangles come in bands: sorted by top, then left;
// the rectangles of one band share top and height, do not overlap or touch, and no two bands
// overlap. Neighbouring bands with alike runs are merged into one.
void mask_rects(const uint8_t* bgra, int stride, int w, int h, const PixelRect* boxes, int boxCount,
                uint8_t threshold, int rowsPerBand, std::vector<PixelRect>* out);
