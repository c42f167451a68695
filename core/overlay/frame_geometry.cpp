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

PixelRect fly_bounds(const FlyPlacement& place, int size)
{
    // The square reaches size - half past the pivot on its far sides; turned, its corners lie
    // at most that times sqrt(2) away.
    const long long reach = static_cast<long long>(size) - place.half;
    const int r = static_cast<int>((reach * 14143 + 9999) / 10000) + 1;
    return PixelRect{place.pivotX - r, place.pivotY - r, 2 * r + 1, 2 * r + 1};
}

PixelRect clip_rect(PixelRect r, int w, int h)
{
    const long long left = r.x > 0 ? r.x : 0;
    const long long top = r.y > 0 ? r.y : 0;
    long long right = static_cast<long long>(r.x) + r.w;
    long long bottom = static_cast<long long>(r.y) + r.h;
    if (right > w)
        right = w;
    if (bottom > h)
        bottom = h;
    if (r.w <= 0 || r.h <= 0 || right <= left || bottom <= top)
        return PixelRect{0, 0, 0, 0};
    return PixelRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                     static_cast<int>(bottom - top)};
}

PixelRect union_rect(PixelRect a, PixelRect b)
{
    if (a.w <= 0 || a.h <= 0)
        return b;
    if (b.w <= 0 || b.h <= 0)
        return a;
    const int left = a.x < b.x ? a.x : b.x;
    const int top = a.y < b.y ? a.y : b.y;
    const int right = a.x + a.w > b.x + b.w ? a.x + a.w : b.x + b.w;
    const int bottom = a.y + a.h > b.y + b.h ? a.y + a.h : b.y + b.h;
    return PixelRect{left, top, right - left, bottom - top};
}
