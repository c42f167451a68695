// The frame clock's arithmetic; see frame_clock.h.
#include "frame_clock.h"

FrameTick frame_tick(int64_t now, int64_t freq, double timeoutSeconds, int64_t* lastTime, double* runTime)
{
    FrameTick tick;
    tick.dt = static_cast<double>(now - *lastTime) / static_cast<double>(freq);
    *lastTime = now;
    if (tick.dt > MAX_TICK_SECONDS)
        tick.dt = MAX_TICK_SECONDS;
    tick.endRun = false;
    if (timeoutSeconds > 0) {
        *runTime += tick.dt;
        tick.endRun = *runTime >= timeoutSeconds;
    }
    return tick;
}
