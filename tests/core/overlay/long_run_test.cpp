// A long simulated run: many flies, random tick lengths anywhere in [0, 0.1], a few hundred
// thousand steps per screen. After every step no field may be NaN or infinite, and a fly that
// walked must lie within the bounds the bounce keeps.
#include "fly_checks.h"
#include "fly_step.h"
#include "rand15.h"
#include "settings.h"
#include "swarm.h"
#include "virtual_screen.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct LongRun {
    const char* name;
    int x, y, width, height; // the virtual screen
    int size, variation;     // the settings that shape the flies
};

const LongRun RUNS[] = {
    {"one monitor, varied sizes", 0, 0, 1920, 1080, 36, 100},
    {"monitors left of and above the primary", -1280, -200, 3200, 1280, 72, 50},
    {"a screen narrower and shorter than the flies", 0, 0, 40, 30, 200, 0},
    {"a small screen, largest size", 0, 0, 800, 600, MAX_FLY_RENDER_SIZE, 100},
};

constexpr int FLIES = 400;
constexpr int TICKS = 800; // 320,000 fly steps per run

} // namespace

TEST(LongRun, FliesStayFiniteAndWithinTheBounceBounds)
{
    for (const LongRun& run : RUNS) {
        SCOPED_TRACE(run.name);
        reset_settings();
        set_virtual_screen(run.x, run.y, run.width, run.height);
        g_flyCount = FLIES;
        g_flyRenderSize = run.size;
        g_sizeVariationPercent = run.variation;
        srand15(12345);
        ASSERT_TRUE(allocate_flies());
        spawn_flies();

        std::mt19937 engine(777);
        std::uniform_real_distribution<double> tickLength(0.0, 0.1);
        long walkingSteps = 0, brokenSteps = 0;
        for (int tick = 0; tick < TICKS && brokenSteps == 0; ++tick) {
            // The clamp's own value and a zero tick come up now and then as well.
            double dt = tickLength(engine);
            if (tick % 97 == 0)
                dt = tick % 2 == 0 ? 0.1 : 0.0;
            for (int i = 0; i < g_flyCount; ++i) {
                Fly& fly = flies[i];
                update_fly(&fly, dt);
                const bool walked = fly.paused == 0;
                walkingSteps += walked ? 1 : 0;
                if (fly_fields_finite(fly) && fly_flags_valid(fly) &&
                    (!walked || fly_within_bounce_bounds(fly)))
                    continue;
                ++brokenSteps;
                ADD_FAILURE() << "fly " << i << " after tick " << tick << " (dt " << dt
                              << "): x " << fly.x << " y " << fly.y << " vx " << fly.vx << " vy "
                              << fly.vy << " size " << fly.size << " paused " << fly.paused;
                break;
            }
        }
        // Most steps are walking ones, so the bounds were checked throughout.
        EXPECT_GT(walkingSteps, static_cast<long>(FLIES) * TICKS * 3 / 4);
        free_flies();
    }
    reset_settings();
}
