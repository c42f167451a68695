// Where the image path puts each fly in the frame: virtual-screen to frame coordinates, the fly's
// square, the integer point it turns about and its rotation. Pure code, shared by the frame composer
// and its tests.
#pragma once

// A point in frame pixels, before any rounding.
struct FramePointF {
    float x, y;
};

// Placement of one fly image in the frame.
struct FlyPlacement {
    int half;           // size / 2, truncated
    int left, top;      // top-left of the size x size square, truncated towards zero
    int pivotX, pivotY; // the point the fly turns about: left + half, top + half
    float degrees;      // clockwise rotation: 90 more than drawAngle, since the image's head points up
};

// A rectangle of frame pixels: columns x to x + w - 1, rows y to y + h - 1; empty when w or h <= 0.
struct PixelRect {
    int x, y, w, h;
};

// Frame pixel (0, 0) is the virtual screen's top-left corner (ox, oy), which may be negative.
FramePointF to_frame(float x, float y, int ox, int oy);

// Places a fly whose centre is (fx, fy) in frame pixels, drawn at drawAngle radians, size pixels wide.
FlyPlacement place_fly_image(float fx, float fy, float drawAngle, int size);

// Every pixel a fly placed so can touch at any angle, with one pixel to spare for filtering.
PixelRect fly_bounds(const FlyPlacement& place, int size);

// The part of r inside a w x h frame; empty (w = h = 0) when nothing is.
PixelRect clip_rect(PixelRect r, int w, int h);

// The smallest rectangle holding both; an empty one adds nothing.
PixelRect union_rect(PixelRect a, PixelRect b);
