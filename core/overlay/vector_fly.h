// Geometry of the fallback vector fly: an upright body ellipse and two wing ellipses whose anchors
// turn with the fly's angle and shift with its animation frame. Pure code; the GDI drawing in
// fly_drawing.cpp only hands these boxes to Ellipse.
#pragma once

// A pixel position in the frame (a plain POINT, so this file needs no windows.h).
struct FlyPoint {
    int x, y;
};

// Bounding box of one ellipse as Ellipse takes it: left, top, right, bottom.
struct EllipseBox {
    int left, top, right, bottom;
};

// The three ellipses of one fly, in drawing order.
struct VectorFlyShape {
    EllipseBox body, leftWing, rightWing;
};

// Turns (px, py), relative to the centre (cx, cy), by the angle whose cosine is c and sine is sn
// (clockwise on screen), and truncates the result to a frame pixel.
void rot_point(float px, float py, float cx, float cy, float c, float sn, FlyPoint* out);

// The ellipses of a fly centred on (cx, cy) in frame pixels at angle radians; any non-zero legFrame
// draws the wings in their second position.
VectorFlyShape vector_fly_shape(float cx, float cy, float angle, int legFrame, int size);
