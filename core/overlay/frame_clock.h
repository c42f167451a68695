// The frame clock's arithmetic: tick length from performance-counter readings, the clamp to a tenth
// of a second and the run-time limit. Pure code: the window procedure passes the counter values in.
#pragma once
#include <cstdint>

// Longest tick the flies are advanced by; a longer gap (busy or suspended machine) counts as this.
constexpr double MAX_TICK_SECONDS = 0.1;

// What one timer tick has to do.
struct FrameTick {
    double dt;   // seconds to advance every fly by, clamped
    bool endRun; // the run-time limit is reached: ask to quit, neither advance nor draw
};

// Measures the tick at counter value now against *lastTime, which becomes now before the clamp, so
// time cut off by the clamp is dropped. With timeoutSeconds > 0, dt is added to *runTime and the run
// ends once it reaches the limit; with 0 (no limit) *runTime is left alone.
FrameTick frame_tick(int64_t now, int64_t freq, double timeoutSeconds, int64_t* lastTime, double* runTime);
