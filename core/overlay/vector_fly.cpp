// Geometry of the fallback vector fly; see vector_fly.h. All arithmetic is single precision and every
// conversion to int truncates towards zero, so the boxes match on every compiler (no FMA contraction).
#include "vector_fly.h"

#include <cmath>

void rot_point(float px, float py, float cx, float cy, float c, float sn, FlyPoint* out)
{
    const float xr = px * c - py * sn;
    const float yr = py * c + px * sn;
    out->x = static_cast<int>(cx + xr);
    out->y = static_cast<int>(cy + yr);
}

// A box of the given half extents about a turned anchor point.
static EllipseBox box_about(FlyPoint p, int halfW, int halfH)
{
    return EllipseBox{p.x - halfW, p.y - halfH, p.x + halfW, p.y + halfH};
}

VectorFlyShape vector_fly_shape(float cx, float cy, float angle, int legFrame, int size)
{
    const float s = static_cast<float>(size);
    const int bodyHalfW = static_cast<int>(s * 0.25f) / 2;
    const int bodyHalfH = static_cast<int>(s * 0.5f) / 2;
    const int wingHalfW = static_cast<int>(s * 0.166f) / 2;
    const int wingHalfH = static_cast<int>(s * 0.25f) / 2;
    const float c = std::cos(angle);
    const float sn = std::sin(angle);

    VectorFlyShape shape;
    // The body stays upright whatever the angle; only the wings turn.
    shape.body.left = static_cast<int>(cx - static_cast<float>(bodyHalfW));
    shape.body.top = static_cast<int>(cy - static_cast<float>(bodyHalfH));
    shape.body.right = static_cast<int>(static_cast<float>(bodyHalfW) + cx);
    shape.body.bottom = static_cast<int>(static_cast<float>(bodyHalfH) + cy);

    const float lift = legFrame != 0 ? 0.04f * s : 0.0f;
    const float anchorY = 0.04f * -s + lift;
    FlyPoint left, right;
    rot_point(0.25f * -s, anchorY, cx, cy, c, sn, &left);
    rot_point(0.25f * s, anchorY, cx, cy, c, sn, &right);
    shape.leftWing = box_about(left, wingHalfW, wingHalfH);
    shape.rightWing = box_about(right, wingHalfW, wingHalfH);
    return shape;
}
