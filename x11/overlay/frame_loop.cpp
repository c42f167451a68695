// Each tick measures the time since the last one on the monotonic clock, clamps it and counts it
// against the limit (frame_tick), advances every fly in index order and presents the frame.
#include "frame_loop.h"

#include "fly_step.h"
#include "frame_clock.h"
#include "settings.h"
#include "swarm.h"
#include "x11_frame.h"
#include "x11_window.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>

// About 60 frames a second, as the Windows program's timer; late ticks are absorbed by dt.
static const int64_t FRAME_NS = 16000000;
static const int64_t NS_PER_SECOND = 1000000000;

static int g_signalFd = -1;     // SIGINT and SIGTERM, read through the loop's poll
static double g_runTime = 0.0;  // run time counted against the limit, seconds

static int64_t now_ns()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * NS_PER_SECOND + t.tv_nsec;
}

bool catch_stop_signals()
{
    // A blocked signal is queued even where it is ignored (a shell starts background jobs with
    // SIGINT ignored), so Ctrl+C and kill reach the loop either way.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    if (sigprocmask(SIG_BLOCK, &stops, nullptr) != 0)
        return false;
    g_signalFd = signalfd(-1, &stops, SFD_CLOEXEC | SFD_NONBLOCK);
    return g_signalFd >= 0;
}

static void drain_events()
{
    while (XPending(g_display) > 0) {
        XEvent event;
        XNextEvent(g_display, &event);
        handle_event(&event);
    }
}

// Waits for X events, a stop signal or the deadline; true when a stop signal came.
static bool wait_until(int64_t deadline)
{
    for (;;) {
        drain_events(); // events already read into Xlib's queue would not wake poll
        const int64_t left = deadline - now_ns();
        if (left <= 0)
            return false;
        pollfd fds[2] = {{ConnectionNumber(g_display), POLLIN, 0}, {g_signalFd, POLLIN, 0}};
        const timespec timeout{static_cast<time_t>(left / NS_PER_SECOND), static_cast<long>(left % NS_PER_SECOND)};
        if (ppoll(fds, 2, &timeout, nullptr) < 0)
            continue;
        if (fds[1].revents & POLLIN)
            return true;
        if (fds[0].revents & (POLLERR | POLLHUP))
            return true; // the server went away: end the run as if stopped
    }
}

void run_frame_loop(cairo_surface_t* image)
{
    int64_t lastTime = now_ns();
    int64_t deadline = lastTime + FRAME_NS;
    for (;;) {
        if (wait_until(deadline))
            return;
        const int64_t now = now_ns();
        const FrameTick tick = frame_tick(now, NS_PER_SECOND, g_timeoutSeconds, &lastTime, &g_runTime);
        if (tick.endRun)
            return;
        update_swarm(flies, g_flyCount, tick.dt);
        keep_on_top();
        frame_update(flies, g_flyCount, image);
        // The next tick comes a frame after this one started, or a frame from now when late.
        deadline += FRAME_NS;
        if (deadline < now)
            deadline = now + FRAME_NS;
    }
}
