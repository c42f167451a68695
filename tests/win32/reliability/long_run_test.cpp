// A long run of the real overlay window in-process under Wine: the overlay's own class, window
// procedure and frame code, 200 flies on an 800 x 600 virtual screen, the frame clock driven tick
// by tick through WM_TIMER. What the process holds at the end must equal what it held after the
// first 100 ticks, and every fly must stay finite and, while walking, within the bounce's bounds
// after every tick.
// The window stays hidden: every tick still composes the frame and presents it to the window,
// but Wine does not pass it on to the X server, which, having no compositor in Xvfb, would cut
// the window's shape out of each frame's alpha at about 200 ms a frame for 200 flies.
#include "../test_support.h"
#include "fly_checks.h"
#include "fly_image.h"
#include "overlay_window.h"
#include "process_resources.h"
#include "settings.h"
#include "swarm.h"
#include "virtual_screen.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int FLIES = 200;
constexpr int SETTLING_TICKS = 100;
constexpr int TICKS = 5000;
constexpr int SCREEN_WIDTH = 800, SCREEN_HEIGHT = 600;

// Margins between the two measurements. Objects and handles have none: a tick releases all it
// makes. Memory may move by heap bookkeeping and caches that settle, never by a frame's worth
// (an 800 x 600 frame is 1,875 KiB) and never by a record per tick.
constexpr long OBJECT_MARGIN = 0;
constexpr SIZE_T MEMORY_MARGIN = 512 * 1024;

// Every fly after a tick: fields finite, flags 0 or 1, a walking one within the bounds.
bool swarm_sound(int* broken)
{
    for (int i = 0; i < g_flyCount; ++i) {
        const Fly& fly = flies[i];
        if (!fly_fields_finite(fly) || !fly_flags_valid(fly) ||
            (fly.paused == 0 && !fly_within_bounce_bounds(fly))) {
            *broken = i;
            return false;
        }
    }
    return true;
}

void print(const char* when, const ProcessResources& r)
{
    std::printf("%s: GDI %ld counted (%lu reported), USER %lu reported, windows %ld, handles %ld "
                "counted (%lu reported), private %zu bytes counted (%zu reported)\n",
                when, r.gdiCounted, r.gdiReported, r.userReported, r.windowsCounted,
                r.handlesCounted, r.handlesReported, r.privateCounted, r.privateReported);
}

SIZE_T difference(SIZE_T a, SIZE_T b) { return a > b ? a - b : b - a; }

} // namespace

TEST(LongRun, FiveThousandTicksHoldNothingMore)
{
    const fs::path saved = fs::current_path();
    const TempFolder dir("buzzel_long_run");
    fs::current_path(dir.path); // no fly\fly.png here: the embedded image, as in most real runs

    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    load_fly_image();
    ASSERT_NE(g_flyBitmap, nullptr);

    ASSERT_TRUE(register_overlay_class(GetModuleHandleA(nullptr)));
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    freq = frequency.QuadPart;
    reset_settings();
    g_flyCount = FLIES;
    g_sizeVariationPercent = 50;
    g_timeoutSeconds = 0.0; // no limit: the test decides when the run ends
    set_virtual_screen(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    ASSERT_TRUE(allocate_flies());
    const HWND hwnd = create_overlay_window(GetModuleHandleA(nullptr));
    ASSERT_NE(hwnd, nullptr);
    // The ticks come from the test, so their number is exact; the clock still measures each one.
    KillTimer(hwnd, 1);
    spawn_flies();

    ProcessResources settled{};
    int broken = -1;
    const DWORD started = GetTickCount();
    for (int tick = 1; tick <= TICKS; ++tick) {
        SendMessageA(hwnd, WM_TIMER, 1, 0);
        pump_messages(); // as the overlay's loop would between ticks
        ASSERT_TRUE(swarm_sound(&broken)) << "fly " << broken << " after tick " << tick;
        if (tick == SETTLING_TICKS) {
            settled = measure_process_resources();
            print("after the first ticks", settled);
        }
    }
    const ProcessResources end = measure_process_resources();
    print("after all ticks", end);
    std::printf("%d ticks took %lu ms\n", TICKS, GetTickCount() - started);

    EXPECT_LE(labs(end.gdiCounted - settled.gdiCounted), OBJECT_MARGIN);
    EXPECT_LE(labs(end.windowsCounted - settled.windowsCounted), OBJECT_MARGIN);
    EXPECT_LE(labs(end.handlesCounted - settled.handlesCounted), OBJECT_MARGIN);
    EXPECT_LE(difference(end.privateCounted, settled.privateCounted), MEMORY_MARGIN);
    // What the platform reports (nothing under Wine, real figures on Windows) holds still too.
    EXPECT_EQ(end.gdiReported, settled.gdiReported);
    EXPECT_EQ(end.userReported, settled.userReported);
    EXPECT_EQ(end.handlesReported, settled.handlesReported);
    EXPECT_LE(difference(end.privateReported, settled.privateReported), MEMORY_MARGIN);
    // The counts are real: a live window and frame objects were seen.
    EXPECT_GT(settled.gdiCounted, 0);
    EXPECT_GT(settled.windowsCounted, 0);
    EXPECT_GT(settled.handlesCounted, 0);

    DestroyWindow(hwnd);
    pump_messages(); // takes the quit message WM_DESTROY posts
    free_flies();
    release_fly_image();
    Gdiplus::GdiplusShutdown(token);
    fs::current_path(saved);
}
