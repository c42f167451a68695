// The fly step with scripted draws: draw order, the chance boundaries, pause and walk, turns, bounce,
// jitter cap and the animation timer. Draws of 32767 fail every chance test, 0 passes it (when dt > 0).
#include "fly_step.h"

#include "scripted_draws.h"
#include "virtual_screen.h"

#include <cmath>

namespace {

constexpr double TICK = 1.0 / 60.0; // one sixtieth: a = 1
constexpr int FAIL = 32767;         // fails any chance test
constexpr int PASS = 0;             // passes any chance test while dt > 0
constexpr int NO_JITTER = 1;        // r mod 10 != 0
constexpr int JITTER = 0;           // r mod 10 == 0

// A walking fly in the middle of a 1920 x 1080 screen, heading right at 120 px/s.
Fly walking_fly()
{
    Fly fly{};
    fly.x = 500.0f;
    fly.y = 400.0f;
    fly.vx = 120.0f;
    fly.size = 36;
    return fly;
}

// The same fly, paused with pauseTime left and its velocity put aside.
Fly paused_fly(float pauseTime)
{
    Fly fly = walking_fly();
    fly.paused = 1;
    fly.pauseTime = pauseTime;
    fly.savedVx = fly.vx;
    fly.savedVy = fly.vy;
    fly.vx = 0.0f;
    fly.vy = 0.0f;
    return fly;
}

class FlyStep : public ScriptedDraws {
protected:
    void SetUp() override
    {
        ScriptedDraws::SetUp();
        set_virtual_screen(0, 0, 1920, 1080);
    }
};

} // namespace

TEST_F(FlyStep, DrawOrder)
{
    const struct {
        const char* name;
        Fly fly;
        double dt;
        std::initializer_list<int> draws;
    } cases[] = {
        {"walking, nothing passes", walking_fly(), TICK, {FAIL, FAIL, NO_JITTER, FAIL}},
        {"walking, pause starts", walking_fly(), TICK, {PASS, 15}},
        {"walking, everything else passes", walking_fly(), TICK,
         {FAIL, PASS, 0, JITTER, 100, 200, PASS, 300, 7}},
        {"walking, re-aim only", walking_fly(), TICK, {FAIL, PASS, 0, NO_JITTER, FAIL}},
        {"walking, jitter only", walking_fly(), TICK, {FAIL, FAIL, JITTER, 100, 200, FAIL}},
        {"walking, turn only", walking_fly(), TICK, {FAIL, FAIL, NO_JITTER, PASS, 300, 7}},
        {"paused, pause goes on", paused_fly(0.5f), TICK, {}},
        {"paused, pause ends", paused_fly(0.01f), TICK, {FAIL, NO_JITTER, FAIL}},
        {"paused, pause ends, everything passes", paused_fly(0.01f), TICK,
         {PASS, 0, JITTER, 100, 200, PASS, 300, 7}},
        {"walking, dt 0: no chance passes", walking_fly(), 0.0, {PASS, PASS, NO_JITTER, PASS}},
        {"walking, dt 0: jitter still happens", walking_fly(), 0.0,
         {PASS, PASS, JITTER, 100, 200, PASS}},
        {"paused, dt 0", paused_fly(0.5f), 0.0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fly fly = c.fly;
        script(c.draws);
        update_fly(&fly, c.dt);
        EXPECT_EQ(draws_made(), c.draws.size());
    }
}

// Each chance at its boundary: the last draw that passes and the first that fails, at a = 1
// and a = 6. A test passes when p * a > r / 32767 in single precision: 0.008 * 1 = 0.008000000
// lets r = 262 (0.0079958) through and stops 263 (0.0080264), and so on. The draws after a
// passing test are 32767, which pass nothing, so a wrong boundary changes the number of draws.
TEST_F(FlyStep, ChanceBoundaries)
{
    const struct {
        const char* name;
        double dt;
        std::initializer_list<int> draws;
    } cases[] = {
        // Pause, 0.008 per sixtieth: passing draws the pause length and ends the call.
        {"pause, a = 1, last pass", TICK, {262, FAIL}},
        {"pause, a = 1, first fail", TICK, {263, FAIL, NO_JITTER, FAIL}},
        {"pause, a = 6, last pass", 0.1, {1572, FAIL}},
        {"pause, a = 6, first fail", 0.1, {1573, FAIL, NO_JITTER, FAIL}},
        // Re-aim, 0.02 per sixtieth: passing draws the direction.
        {"re-aim, a = 1, last pass", TICK, {FAIL, 655, FAIL, NO_JITTER, FAIL}},
        {"re-aim, a = 1, first fail", TICK, {FAIL, 656, NO_JITTER, FAIL}},
        {"re-aim, a = 6, last pass", 0.1, {FAIL, 3932, FAIL, NO_JITTER, FAIL}},
        {"re-aim, a = 6, first fail", 0.1, {FAIL, 3933, NO_JITTER, FAIL}},
        // Turn, 0.015 per sixtieth: passing draws the target and the length.
        {"turn, a = 1, last pass", TICK, {FAIL, FAIL, NO_JITTER, 491, FAIL, FAIL}},
        {"turn, a = 1, first fail", TICK, {FAIL, FAIL, NO_JITTER, 492}},
        {"turn, a = 6, last pass", 0.1, {FAIL, FAIL, NO_JITTER, 2949, FAIL, FAIL}},
        {"turn, a = 6, first fail", 0.1, {FAIL, FAIL, NO_JITTER, 2950}},
        // Jitter, one draw in ten whatever the tick: passing draws both components.
        {"jitter, 10 passes", TICK, {FAIL, FAIL, 10, FAIL, FAIL, FAIL}},
        {"jitter, 5 fails", TICK, {FAIL, FAIL, 5, FAIL}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fly fly = walking_fly();
        script(c.draws);
        update_fly(&fly, c.dt);
        EXPECT_EQ(draws_made(), c.draws.size());
    }
}

// The turn length is r mod 20 + 15 sixtieths: 20 gives the shortest, 39 the longest.
TEST_F(FlyStep, TurnLength)
{
    const struct {
        int draw;
        float sixtieths;
    } cases[] = {{20, 15.0f}, {39, 34.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.draw);
        Fly fly = walking_fly();
        script({FAIL, FAIL, NO_JITTER, PASS, FAIL, c.draw});
        update_fly(&fly, TICK);
        EXPECT_EQ(fly.wobbleTime, c.sixtieths / 60.0f - static_cast<float>(TICK));
    }
}

TEST_F(FlyStep, WalkingCallAppliesEveryStepInOrder)
{
    Fly fly = walking_fly();
    fly.frameTimer = 3.0f;
    // Re-aim to 0 rad, jitter +3 / -3 px/s, turn to +pi/4 for 34 sixtieths.
    script({FAIL, PASS, 0, JITTER, 32767, 0, PASS, 32767, 19});
    update_fly(&fly, TICK);
    const float dt = static_cast<float>(TICK);
    EXPECT_EQ(fly.vx, 123.0f);
    EXPECT_EQ(fly.vy, -3.0f);
    EXPECT_EQ(fly.x, 500.0f + dt * 123.0f);
    EXPECT_EQ(fly.y, 400.0f + dt * -3.0f);
    EXPECT_FLOAT_EQ(fly.heading, atan2f(-3.0f, 123.0f));
    EXPECT_EQ(fly.wobbleTarget, 0.7853982f);
    EXPECT_EQ(fly.wobbleTime, 34.0f / 60.0f - dt);
    EXPECT_EQ(fly.wobble, 0.2f * 0.7853982f);
    EXPECT_EQ(fly.drawAngle, fly.heading + fly.wobble);
    EXPECT_EQ(fly.frameTimer, 4.0f);
    EXPECT_EQ(fly.legFrame, 0);
    EXPECT_EQ(fly.paused, 0);
}

TEST_F(FlyStep, PauseStartsAndFreezesTheFly)
{
    Fly fly = walking_fly();
    fly.vy = 50.0f;
    fly.frameTimer = 7.5f;
    fly.drawAngle = 0.25f;
    script({PASS, 15}); // 15 mod 16 + 15 = 30 sixtieths
    update_fly(&fly, TICK);
    EXPECT_EQ(fly.paused, 1);
    EXPECT_EQ(fly.pauseTime, 0.5f);
    EXPECT_EQ(fly.savedVx, 120.0f);
    EXPECT_EQ(fly.savedVy, 50.0f);
    EXPECT_EQ(fly.vx, 0.0f);
    EXPECT_EQ(fly.vy, 0.0f);
    EXPECT_EQ(fly.x, 500.0f);
    EXPECT_EQ(fly.y, 400.0f);
    EXPECT_EQ(fly.frameTimer, 7.5f);
    EXPECT_EQ(fly.legFrame, 0);
    EXPECT_EQ(fly.drawAngle, 0.25f);

    // The shortest pause: 0 mod 16 + 15 = 15 sixtieths.
    fly = walking_fly();
    script({PASS, 16});
    update_fly(&fly, TICK);
    EXPECT_EQ(fly.pauseTime, 15.0f / 60.0f);
}

TEST_F(FlyStep, PauseGoesOnWithOnlyTheCountdownAndTheSlowFrameTimer)
{
    Fly fly = paused_fly(0.5f);
    fly.x = 5000.0f; // beyond the right bound: no bounce while paused
    fly.wobbleTime = 0.3f;
    fly.wobble = 0.4f;
    fly.frameTimer = 14.5f;
    update_fly(&fly, TICK);
    EXPECT_EQ(fly.paused, 1);
    EXPECT_EQ(fly.pauseTime, static_cast<float>(0.5 - TICK));
    EXPECT_EQ(fly.frameTimer, 15.5f);
    EXPECT_EQ(fly.legFrame, 0);
    EXPECT_EQ(fly.x, 5000.0f);
    EXPECT_EQ(fly.wobbleTime, 0.3f);
    EXPECT_EQ(fly.wobble, 0.4f);

    update_fly(&fly, TICK); // 16.5 reaches the paused threshold of 16
    EXPECT_EQ(fly.legFrame, 1);
    EXPECT_EQ(fly.frameTimer, 0.0f);
}

// The countdown subtracts in double: 0.1f - 0.1 is a little above 0 there (0.1f > 0.1), so the
// pause goes on, where a single-precision subtraction would have ended it.
TEST_F(FlyStep, PauseCountdownIsDoublePrecision)
{
    Fly fly = paused_fly(0.1f);
    update_fly(&fly, 0.1);
    EXPECT_EQ(fly.paused, 1);
    EXPECT_GT(fly.pauseTime, 0.0f);
    EXPECT_EQ(draws_made(), 0u);
}

TEST_F(FlyStep, PauseEndsAndTheFlyWalksOnInTheSameCall)
{
    Fly fly = paused_fly(0.01f);
    fly.savedVx = -60.0f;
    fly.savedVy = 30.0f;
    fly.frameTimer = 9.0f; // carried over from the pause: the walking threshold applies at once
    script({FAIL, NO_JITTER, FAIL});
    update_fly(&fly, TICK);
    const float dt = static_cast<float>(TICK);
    EXPECT_EQ(fly.paused, 0);
    EXPECT_EQ(fly.vx, -60.0f);
    EXPECT_EQ(fly.vy, 30.0f);
    EXPECT_EQ(fly.x, 500.0f + dt * -60.0f);
    EXPECT_EQ(fly.y, 400.0f + dt * 30.0f);
    EXPECT_FLOAT_EQ(fly.heading, atan2f(30.0f, -60.0f));
    EXPECT_EQ(fly.legFrame, 1);
    EXPECT_EQ(fly.frameTimer, 0.0f);
}

TEST_F(FlyStep, TurnEasesThenDecaysThenStops)
{
    Fly fly = walking_fly();
    fly.wobbleTarget = 0.5f;
    fly.wobbleTime = 0.3f;
    const float dt = static_cast<float>(TICK);

    // While more than 1/6 s is left, wobble moves a fifth of the way towards the target.
    script({FAIL, FAIL, NO_JITTER, FAIL});
    update_fly(&fly, TICK);
    EXPECT_EQ(fly.wobbleTime, 0.3f - dt);
    EXPECT_EQ(fly.wobble, 0.2f * 0.5f);
    EXPECT_EQ(fly.drawAngle, 0.0f + 0.2f * 0.5f);

    // With 1/6 s or less left it shrinks to 0.8 of itself, down to the call that leaves <= 0.
    fly.wobbleTime = 0.1f;
    const float before = fly.wobble;
    script({FAIL, FAIL, NO_JITTER, FAIL});
    update_fly(&fly, TICK);
    EXPECT_EQ(fly.wobble, 0.8f * before);

    // Exactly 1/6 s left is not more than 1/6 s: decay (dt = 0 keeps the time where it is).
    fly.wobbleTime = 0.16666667f;
    const float atLimit = fly.wobble;
    script({FAIL, FAIL, NO_JITTER, FAIL});
    update_fly(&fly, 0.0);
    EXPECT_EQ(fly.wobble, 0.8f * atLimit);

    fly.wobbleTime = 0.01f;
    const float last = fly.wobble;
    script({FAIL, FAIL, NO_JITTER, FAIL});
    update_fly(&fly, TICK);
    EXPECT_LE(fly.wobbleTime, 0.0f);
    EXPECT_EQ(fly.wobble, 0.8f * last);

    // The next call finds no turn and sets wobble to exactly 0.
    script({FAIL, FAIL, NO_JITTER, FAIL});
    update_fly(&fly, TICK);
    EXPECT_EQ(fly.wobble, 0.0f);
    EXPECT_EQ(fly.drawAngle, fly.heading);
}

TEST_F(FlyStep, NewTurnReplacesTargetAndTimeButKeepsWobble)
{
    Fly fly = walking_fly();
    fly.wobble = 0.3f;
    fly.wobbleTarget = 0.5f;
    fly.wobbleTime = 0.4f;
    script({FAIL, FAIL, NO_JITTER, PASS, 0, 0}); // target -pi/4, 15 sixtieths
    update_fly(&fly, TICK);
    EXPECT_EQ(fly.wobbleTarget, -0.7853982f);
    EXPECT_EQ(fly.wobbleTime, 15.0f / 60.0f - static_cast<float>(TICK));
    EXPECT_EQ(fly.wobble, 0.3f + 0.2f * (-0.7853982f - 0.3f));
}

// With dt = 0 a turn in progress keeps its time but still eases: the factors apply per call.
TEST_F(FlyStep, ZeroTickMovesNothingButStillEases)
{
    Fly fly = walking_fly();
    fly.wobbleTarget = 0.5f;
    fly.wobbleTime = 0.3f;
    fly.frameTimer = 7.5f;
    script({PASS, PASS, NO_JITTER, PASS});
    update_fly(&fly, 0.0);
    EXPECT_EQ(fly.paused, 0);
    EXPECT_EQ(fly.x, 500.0f);
    EXPECT_EQ(fly.y, 400.0f);
    EXPECT_EQ(fly.vx, 120.0f);
    EXPECT_EQ(fly.frameTimer, 7.5f);
    EXPECT_EQ(fly.wobbleTime, 0.3f);
    EXPECT_EQ(fly.wobble, 0.2f * 0.5f);
}

TEST_F(FlyStep, FrameTimerFlipsAtEightWhileWalkingAndDropsTheOvershoot)
{
    const struct {
        float timer;
        double dt;
        int legFrame;
        float after;
    } cases[] = {
        {6.5f, TICK, 0, 7.5f},
        {7.0f, TICK, 1, 0.0f},
        {7.9f, 0.1, 1, 0.0f}, // 13.9 is not carried as 5.9
        {8.5f, 0.0, 1, 0.0f}, // already at the threshold: dt = 0 still flips
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.timer);
        Fly fly = walking_fly();
        fly.frameTimer = c.timer;
        script({FAIL, FAIL, NO_JITTER, FAIL});
        update_fly(&fly, c.dt);
        EXPECT_EQ(fly.legFrame, c.legFrame);
        EXPECT_EQ(fly.frameTimer, c.after);
    }
}

TEST_F(FlyStep, Bounce)
{
    // dt = 0 keeps the position as set, so each row shows the bounce alone.
    const struct {
        const char* name;
        int screenX, screenY, width, height;
        float x, y, vx, vy;
        float wantX, wantY, wantVx, wantVy;
    } cases[] = {
        {"inside", 0, 0, 1920, 1080, 500, 400, 120, 50, 500, 400, 120, 50},
        {"left", 0, 0, 1920, 1080, -5, 400, -120, 50, 0, 400, 120, 50},
        {"right, a size before the edge", 0, 0, 1920, 1080, 1900, 400, 120, 50, 1884, 400, -120, 50},
        {"on the right bound", 0, 0, 1920, 1080, 1884, 400, 120, 50, 1884, 400, 120, 50},
        {"top", 0, 0, 1920, 1080, 500, -1, 120, -50, 500, 0, 120, 50},
        {"bottom", 0, 0, 1920, 1080, 500, 1050, 120, 50, 500, 1044, 120, -50},
        {"corner", 0, 0, 1920, 1080, 2000, 2000, 120, 50, 1884, 1044, -120, -50},
        {"negative origin, left and top", -1280, -200, 3200, 1280, -1300, -250, -120, -50,
         -1280, -200, 120, 50},
        {"negative origin, right and bottom", -1280, -200, 3200, 1280, 1900, 1060, 120, 50,
         1884, 1044, -120, -50},
        // Narrower than a fly: R - S lies left of L, so the right test always fires last.
        {"narrow, inside", 0, 0, 20, 20, 5, 5, 120, 50, -16, -16, -120, -50},
        {"narrow, left of L", 0, 0, 20, 20, -30, -30, -120, -50, -16, -16, -120, -50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        set_virtual_screen(c.screenX, c.screenY, c.width, c.height);
        Fly fly = walking_fly();
        fly.x = c.x;
        fly.y = c.y;
        fly.vx = c.vx;
        fly.vy = c.vy;
        script({FAIL, FAIL, NO_JITTER, FAIL});
        update_fly(&fly, 0.0);
        EXPECT_EQ(fly.x, c.wantX);
        EXPECT_EQ(fly.y, c.wantY);
        EXPECT_EQ(fly.vx, c.wantVx);
        EXPECT_EQ(fly.vy, c.wantVy);
        // Heading and drawAngle still show the direction from before the bounce.
        EXPECT_FLOAT_EQ(fly.heading, atan2f(c.vy, c.vx));
    }
}

TEST_F(FlyStep, JitterCapsTheSpeedAt240KeepingTheDirection)
{
    Fly fly = walking_fly();
    fly.vx = 239.0f;
    script({FAIL, FAIL, JITTER, 32767, 0, FAIL}); // +3 and -3 px/s
    update_fly(&fly, 0.0);
    EXPECT_NEAR(std::hypot(fly.vx, fly.vy), 240.0, 1e-4);
    EXPECT_NEAR(atan2f(fly.vy, fly.vx), atan2f(-3.0f, 242.0f), 1e-6);

    // Without a jitter the speed is not capped in that call.
    fly = walking_fly();
    fly.vx = 300.0f;
    script({FAIL, FAIL, NO_JITTER, FAIL});
    update_fly(&fly, 0.0);
    EXPECT_EQ(fly.vx, 300.0f);

    // A jitter that stays below 240 leaves the velocity as jittered.
    fly = walking_fly();
    script({FAIL, FAIL, JITTER, 32767, 32767, FAIL});
    update_fly(&fly, 0.0);
    EXPECT_EQ(fly.vx, 123.0f);
    EXPECT_EQ(fly.vy, 3.0f);
}

TEST_F(FlyStep, HeadingKeepsItsValueWhileStill)
{
    Fly fly = walking_fly();
    fly.vx = 0.0f;
    fly.heading = 1.0f;
    script({FAIL, FAIL, NO_JITTER, FAIL});
    update_fly(&fly, TICK);
    EXPECT_EQ(fly.heading, 1.0f);
    EXPECT_EQ(fly.drawAngle, 1.0f);
}

TEST_F(FlyStep, ReAimSetsWalkingSpeedInTheDrawnDirection)
{
    Fly fly = walking_fly();
    script({FAIL, PASS, 8192, NO_JITTER, FAIL}); // a quarter turn: straight down the screen
    update_fly(&fly, TICK);
    EXPECT_NEAR(fly.vx, 0.0, 1e-2);
    EXPECT_NEAR(fly.vy, 120.0, 1e-3);
    EXPECT_NEAR(fly.heading, 1.5708, 1e-3);
}
