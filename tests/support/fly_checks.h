// Soundness checks on one fly record, shared by the long simulated run and the fuzz targets:
// every float field finite, and a walking fly's centre where the bounce keeps it.
#pragma once
#include "swarm.h"

#include <math.h>

// True when no float field of the fly is NaN or infinite.
inline bool fly_fields_finite(const Fly& fly)
{
    const float fields[] = {fly.x,          fly.y,         fly.vx,         fly.vy,
                            fly.heading,    fly.drawAngle, fly.wobble,     fly.wobbleTarget,
                            fly.wobbleTime, fly.frameTimer, fly.pauseTime, fly.savedVx,
                            fly.savedVy};
    for (float value : fields)
        if (!isfinite(value))
            return false;
    return true;
}

// True when a fly that has just walked lies within [L, R - S] x [T, B - S] of the virtual
// screen. Where the screen is narrower (or shorter) than the fly, R - S < L and the right (or
// bottom) test wins, so the centre sits exactly on R - S (or B - S).
inline bool fly_within_bounce_bounds(const Fly& fly)
{
    const float size = static_cast<float>(fly.size);
    const float left = static_cast<float>(virtualX);
    const float right = static_cast<float>(virtualX + windowWidth) - size;
    const float top = static_cast<float>(virtualY);
    const float bottom = static_cast<float>(virtualY + windowHeight) - size;
    const bool xOk = right < left ? fly.x == right : fly.x >= left && fly.x <= right;
    const bool yOk = bottom < top ? fly.y == bottom : fly.y >= top && fly.y <= bottom;
    return xOk && yOk;
}

// True for a legFrame and paused that are 0 or 1, as the renderers and the step rely on.
inline bool fly_flags_valid(const Fly& fly)
{
    return (fly.legFrame == 0 || fly.legFrame == 1) && (fly.paused == 0 || fly.paused == 1);
}
