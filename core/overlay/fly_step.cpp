// One tick of one fly: pause countdown or pause test, re-aim, jitter, move, turn, bounce and
// animation. The fly state is single precision; only a = 60 * dt and the pause countdown are
// formed in double. The order of the draws from the shared random source is part of the contract.
#include "fly_step.h"

#include "rand15.h"

#include <math.h>

// A chance test with chance p per sixtieth of a second over a sixtieths: one draw, strict test.
static bool chance(float p, float a)
{
    const float r = static_cast<float>(rand15());
    return p * a > r / 32767.0f;
}

// Starts a pause: 15 to 30 sixtieths, velocity put aside until it ends.
static void start_pause(Fly* fly)
{
    fly->paused = 1;
    fly->pauseTime = static_cast<float>(rand15() % 16 + 15) / 60.0f;
    fly->savedVx = fly->vx;
    fly->savedVy = fly->vy;
    fly->vx = 0.0f;
    fly->vy = 0.0f;
}

// Re-aim, jitter and the speed cap: the steps that may change the velocity of a walking fly.
static void steer(Fly* fly, float a)
{
    if (chance(0.02f, a)) {
        const float theta = randf(0.0f, 6.2831855f);
        fly->vx = cosf(theta) * 120.0f;
        fly->vy = sinf(theta) * 120.0f;
    }
    // Jitter is per call, not scaled by the tick, and only a call that jitters caps the speed.
    if (rand15() % 10 == 0) {
        fly->vx = fly->vx + (120.0f * randf(-0.5f, 0.5f)) * 0.05f;
        fly->vy = fly->vy + (120.0f * randf(-0.5f, 0.5f)) * 0.05f;
        const float speed = sqrtf(fly->vx * fly->vx + fly->vy * fly->vy);
        if (speed > 240.0f) {
            fly->vx = fly->vx / speed * 240.0f;
            fly->vy = fly->vy / speed * 240.0f;
        }
    }
}

// Turn test and easing: a new turn replaces the old one's target and time but keeps wobble.
static void turn(Fly* fly, float a, float dtf)
{
    if (chance(0.015f, a)) {
        fly->wobbleTarget = randf(-0.7853982f, 0.7853982f);
        fly->wobbleTime = static_cast<float>(rand15() % 20 + 15) / 60.0f;
    }
    if (fly->wobbleTime > 0.0f) {
        fly->wobbleTime = fly->wobbleTime - dtf;
        if (fly->wobbleTime > 0.16666667f)
            fly->wobble = fly->wobble + 0.2f * (fly->wobbleTarget - fly->wobble);
        else
            fly->wobble = 0.8f * fly->wobble;
    } else {
        fly->wobble = 0.0f;
    }
}

// Keeps the centre within [L, R - S] x [T, B - S]; each test sees the previous one's result.
static void bounce(Fly* fly)
{
    const float size = static_cast<float>(fly->size);
    const float left = static_cast<float>(virtualX);
    const float right = static_cast<float>(virtualX + windowWidth) - size;
    const float top = static_cast<float>(virtualY);
    const float bottom = static_cast<float>(virtualY + windowHeight) - size;
    if (fly->x < left) {
        fly->x = left;
        fly->vx = -fly->vx;
    }
    if (fly->x > right) {
        fly->x = right;
        fly->vx = -fly->vx;
    }
    if (fly->y < top) {
        fly->y = top;
        fly->vy = -fly->vy;
    }
    if (fly->y > bottom) {
        fly->y = bottom;
        fly->vy = -fly->vy;
    }
}

// Flips legFrame once frameTimer reaches the threshold; the overshoot is dropped.
static void advance_frame_timer(Fly* fly, float a, float threshold)
{
    fly->frameTimer = fly->frameTimer + a;
    if (fly->frameTimer >= threshold) {
        fly->legFrame = 1 - fly->legFrame;
        fly->frameTimer = 0.0f;
    }
}

void update_fly(Fly* fly, double dt)
{
    const float a = static_cast<float>(60.0 * dt);
    if (fly->paused != 0) {
        fly->pauseTime = static_cast<float>(static_cast<double>(fly->pauseTime) - dt);
        if (fly->pauseTime > 0.0f) {
            advance_frame_timer(fly, a, 16.0f);
            return;
        }
        // The pause ends and the fly walks on in this same call, without a pause test.
        fly->paused = 0;
        fly->vx = fly->savedVx;
        fly->vy = fly->savedVy;
    } else if (chance(0.008f, a)) {
        start_pause(fly);
        return;
    }

    const float dtf = static_cast<float>(dt);
    steer(fly, a);
    fly->x = fly->x + dtf * fly->vx;
    fly->y = fly->y + dtf * fly->vy;
    if (fly->vx != 0.0f || fly->vy != 0.0f)
        fly->heading = atan2f(fly->vy, fly->vx);
    turn(fly, a, dtf);
    fly->drawAngle = fly->heading + fly->wobble;
    bounce(fly);
    advance_frame_timer(fly, a, 8.0f);
}

void update_swarm(Fly* swarm, int count, double dt)
{
    for (int i = 0; i < count; ++i)
        update_fly(&swarm[i], dt);
}
