// Frame placement of the fly image; see frame_geometry.h.
#include "frame_geometry.h"

FramePointF to_frame(float x, float y, int ox, int oy)
{
    return FramePointF{x - static_cast<float>(ox), y - static_cast<float>(oy)};
}

FlyPlacement place_fly_image(float fx, float fy, float drawAngle, int size)
{
    FlyPlacement p;
    p.half = size / 2;
    // Truncation, not flooring: a fly just left of the frame still starts at column 0.
    p.left = static_cast<int>(fx - static_cast<float>(p.half));
    p.top = static_cast<int>(fy - static_cast<float>(p.half));
    p.pivotX = p.left + p.half;
    p.pivotY = p.top + p.half;
    p.degrees = static_cast<float>(90.0 + (180.0 * static_cast<double>(drawAngle)) / 3.141592653589793);
    return p;
}
