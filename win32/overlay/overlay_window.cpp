// The overlay window's class, creation and procedure. The procedure only dispatches: the frame
// clock's arithmetic is frame_tick, the flies' step update_fly, the drawing update_layered_content.
#include "overlay_window.h"

#include "fly_image.h"
#include "fly_step.h"
#include "frame.h"
#include "frame_clock.h"
#include "settings.h"
#include "swarm.h"

int64_t freq = 0;            // performance-counter ticks per second, read once at start-up
static int64_t lastTime = 0; // counter value at the previous frame tick, first set on WM_CREATE
double g_runTime = 0.0;      // run time counted against the limit, seconds; stays 0 without a limit

static const UINT_PTR FRAME_TIMER_ID = 1;
// About 60 frames a second; late ticks are absorbed by the measured elapsed time.
static const UINT FRAME_TIMER_MS = 16;

// An empty virtual screen creates, draws and presents nothing, and leaves the window where it is.
void update_layered_content(HWND hwnd)
{
    if (windowWidth <= 0 || windowHeight <= 0)
        return;
    Frame frame;
    frame_acquire(&frame, windowWidth, windowHeight, virtualX, virtualY);
    frame_compose(&frame, flies, g_flyCount, g_flyBitmap);
    frame_present(hwnd, &frame);
    frame_release(&frame);
}

static void on_create(HWND hwnd)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    lastTime = now.QuadPart;
    SetTimer(hwnd, FRAME_TIMER_ID, FRAME_TIMER_MS, nullptr);
}

static void on_timer(HWND hwnd)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const FrameTick tick = frame_tick(now.QuadPart, freq, g_timeoutSeconds, &lastTime, &g_runTime);
    if (tick.endRun) {
        // The tick that ends the run draws nothing; the window goes with the process.
        PostQuitMessage(0);
        return;
    }
    update_swarm(flies, g_flyCount, tick.dt);
    update_layered_content(hwnd);
}

static void on_destroy(HWND hwnd)
{
    KillTimer(hwnd, FRAME_TIMER_ID);
    PostQuitMessage(0);
}

static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        on_create(hwnd);
        return 0;
    case WM_TIMER:
        if (wParam == FRAME_TIMER_ID)
            on_timer(hwnd);
        return 0;
    case WM_DESTROY:
        on_destroy(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool register_overlay_class(HINSTANCE instance)
{
    WNDCLASSA wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = nullptr;
    wc.hCursor = nullptr;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = OVERLAY_CLASS_NAME;
    return RegisterClassA(&wc) != 0;
}

HWND create_overlay_window(HINSTANCE instance)
{
    return CreateWindowExA(OVERLAY_EX_STYLE, OVERLAY_CLASS_NAME, "Buzzel", WS_POPUP, virtualX, virtualY,
                           windowWidth, windowHeight, nullptr, nullptr, instance, nullptr);
}
