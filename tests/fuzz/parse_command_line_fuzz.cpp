// Fuzz target for the command-line parser, followed through to the flies: whatever the arguments,
// the settings must come out within their ranges, and flies spawned from them on one of several
// virtual screens (ordinary, several monitors, empty, negative, a single pixel, beyond a draw's
// reach) must stay finite and within the bounce's bounds over a few ticks, and place in the
// frame without an overflow.
// Input: byte 0 picks the virtual screen; the rest is split on newline and NUL into arguments
// 1, 2, ... (argument 0, the program path, is fixed), each byte one wide character.
#include "fly_checks.h"
#include "fly_step.h"
#include "fuzz_check.h"
#include "frame_geometry.h"
#include "rand15.h"
#include "settings.h"
#include "swarm.h"
#include "vector_fly.h"
#include "virtual_screen.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include <math.h>

namespace {

struct Screen {
    int x, y, width, height;
};

const Screen SCREENS[] = {
    {0, 0, 1920, 1080},             // one monitor
    {-1280, -200, 3200, 1280},      // a monitor left of and above the primary one
    {0, 0, 0, 0},                   // empty
    {0, 0, -640, -480},             // negative extent
    {500, 300, 1, 1},               // one pixel, smaller than any fly
    {-32768, -32768, 65536, 65536}, // wider and taller than a draw reaches
    {0, 0, 800, 600},               // the long-run test's screen
    {-3840, 0, 40000, 20},          // very wide and very flat
};
constexpr size_t SCREEN_COUNT = sizeof SCREENS / sizeof SCREENS[0];

// Flies simulated per input: enough to mix varied sizes, few enough to keep the target fast.
// The full count only matters to the allocation, which the Windows tests cover.
constexpr int SIMULATED_FLIES = 6;
constexpr int TICKS = 24;
// Tick lengths the frame clock can hand over, cycled: 0, its clamp of 0.1 and ordinary ticks.
const double TICK_LENGTHS[] = {0.016, 0.1, 0.0, 0.0167, 0.1, 0.05, 1e-9};
constexpr size_t TICK_LENGTH_COUNT = sizeof TICK_LENGTHS / sizeof TICK_LENGTHS[0];

// Largest speed a fly can reach: the jitter caps at 240, a re-aim sets 120, a bounce keeps it.
constexpr float MAX_SPEED = 240.01f;

std::vector<std::wstring> split_arguments(const uint8_t* data, size_t size)
{
    std::vector<std::wstring> args{L"buzzel.exe"};
    if (size == 0)
        return args;
    args.emplace_back();
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n' || data[i] == '\0')
            args.emplace_back();
        else
            args.back().push_back(static_cast<wchar_t>(data[i]));
    }
    return args;
}

void check_settings()
{
    check(g_flyCount >= 1, "count at least 1");
    check(!isnan(g_timeoutSeconds) && g_timeoutSeconds >= 0.0, "time limit 0 or more, not NaN");
    check(g_flyRenderSize >= 1 && g_flyRenderSize <= MAX_FLY_RENDER_SIZE, "size within range");
    check(g_sizeVariationPercent >= 0 && g_sizeVariationPercent <= 100, "variation 0 to 100");
}

// Spawn positions are whole numbers on the screen (its origin on an empty axis); sizes follow
// the settings.
void check_spawned(const Fly& fly)
{
    const bool wide = windowWidth > 0, tall = windowHeight > 0;
    check(fly_fields_finite(fly) && fly_flags_valid(fly), "spawned fly finite");
    check(fly.x == floorf(fly.x) && fly.y == floorf(fly.y), "spawn position whole");
    check(wide ? fly.x >= virtualX && fly.x < static_cast<float>(virtualX + windowWidth)
               : fly.x == virtualX,
          "spawn x on the screen");
    check(tall ? fly.y >= virtualY && fly.y < static_cast<float>(virtualY + windowHeight)
               : fly.y == virtualY,
          "spawn y on the screen");
    if (g_sizeVariationPercent == 0)
        check(fly.size == g_flyRenderSize, "unvaried size");
    else
        check(fly.size >= 4 && fly.size <= 2 * g_flyRenderSize, "varied size in range");
}

// What the renderers make of a fly: its frame placement and the vector fly's ellipses, whose
// float-to-int conversions must stay in range for every fly the settings allow.
void check_drawn(const Fly& fly)
{
    const FramePointF centre = to_frame(fly.x, fly.y, virtualX, virtualY);
    const FlyPlacement place = place_fly_image(centre.x, centre.y, fly.drawAngle, fly.size);
    check(place.pivotX - place.left == place.half && place.pivotY - place.top == place.half,
          "image turns about its square's centre");
    check(isfinite(place.degrees), "image angle finite");
    const VectorFlyShape shape = vector_fly_shape(centre.x, centre.y, fly.drawAngle, fly.legFrame, fly.size);
    for (const EllipseBox& box : {shape.body, shape.leftWing, shape.rightWing})
        check(box.left <= box.right && box.top <= box.bottom, "ellipse boxes not inverted");
}

void check_stepped(const Fly& fly)
{
    check(fly_fields_finite(fly), "fields finite after a step");
    check(fly_flags_valid(fly), "flags 0 or 1");
    check(fly.heading >= -3.1415927f && fly.heading <= 3.1415927f, "heading within [-pi, pi]");
    check(fabsf(fly.wobbleTarget) <= 0.7853982f, "turn target within pi/4");
    if (fly.paused == 0) {
        check(fly_within_bounce_bounds(fly), "walking fly within the bounce's bounds");
        check(sqrtf(fly.vx * fly.vx + fly.vy * fly.vy) <= MAX_SPEED, "speed capped");
    } else {
        check(fly.vx == 0.0f && fly.vy == 0.0f, "paused fly still");
    }
}

// FNV-1a, so each input gets its own but repeatable random sequence.
unsigned hash(const uint8_t* data, size_t size)
{
    unsigned h = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return h;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const Screen& screen = SCREENS[data[0] % SCREEN_COUNT];
    const std::vector<std::wstring> args = split_arguments(data + 1, size - 1);
    std::vector<const wchar_t*> argv;
    for (const std::wstring& arg : args)
        argv.push_back(arg.c_str());

    reset_settings();
    parse_command_line(static_cast<int>(argv.size()), argv.data());
    check_settings();

    set_virtual_screen(screen.x, screen.y, screen.width, screen.height);
    srand15(hash(data, size));
    if (g_flyCount > SIMULATED_FLIES)
        g_flyCount = SIMULATED_FLIES;
    check(allocate_flies(), "allocation of a few flies");
    spawn_flies();
    for (int i = 0; i < g_flyCount; ++i)
        check_spawned(flies[i]);
    for (int tick = 0; tick < TICKS; ++tick) {
        const double dt = TICK_LENGTHS[tick % TICK_LENGTH_COUNT];
        for (int i = 0; i < g_flyCount; ++i) {
            update_fly(&flies[i], dt);
            check_stepped(flies[i]);
            check_drawn(flies[i]);
        }
    }
    free_flies();
    return 0;
}
