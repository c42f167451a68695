// The swarm: the fly array, the virtual-screen rectangle, and allocating, spawning and freeing.
// Spawning draws from the shared random source in a fixed order: x, y, direction, legFrame,
// frameTimer and, when the size varies, size.
#include "swarm.h"

#include "rand15.h"
#include "settings.h"

#include <climits>
#include <cstdlib>
#include <math.h>

Fly* flies = nullptr; // the g_flyCount fly records; allocate_flies and free_flies set it

int virtualX = 0;     // left of the virtual screen; the shell reads it at start-up
int virtualY = 0;     // top of the virtual screen; the shell reads it at start-up
int windowWidth = 0;  // width of the virtual screen; the shell reads it at start-up
int windowHeight = 0; // height of the virtual screen; the shell reads it at start-up

uint64_t fly_array_bytes(int count)
{
    return static_cast<uint64_t>(count) * sizeof(Fly);
}

bool allocate_flies()
{
    flies = g_flyCount > 0 ? static_cast<Fly*>(std::malloc(fly_array_bytes(g_flyCount))) : nullptr;
    return flies != nullptr;
}

// A spawn coordinate from one draw. An empty axis (length 0 or less) has no remainder to take,
// so the fly starts at that axis's origin; the draw is still made so the sequence stays in step.
static float spawn_coordinate(int origin, int length)
{
    const int r = rand15();
    return static_cast<float>(length > 0 ? r % length + origin : origin);
}

// Truncates a varied size to an int, saturating where the float lies beyond the int range.
static int truncate_size(float size)
{
    if (size >= 2147483648.0f)
        return INT_MAX;
    if (size <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(size);
}

void spawn_flies()
{
    for (int i = 0; i < g_flyCount; ++i) {
        Fly* fly = &flies[i];
        fly->x = spawn_coordinate(virtualX, windowWidth);
        fly->y = spawn_coordinate(virtualY, windowHeight);
        const float theta = randf(0.0f, 6.2831855f);
        fly->vx = cosf(theta) * 120.0f;
        fly->vy = sinf(theta) * 120.0f;
        fly->heading = atan2f(fly->vy, fly->vx);
        fly->drawAngle = fly->heading;
        fly->wobble = 0.0f;
        fly->wobbleTarget = 0.0f;
        fly->wobbleTime = 0.0f;
        fly->legFrame = rand15() % 2;
        fly->frameTimer = static_cast<float>(rand15() % 8);
        fly->pauseTime = 0.0f;
        fly->paused = 0;
        fly->savedVx = 0.0f;
        fly->savedVy = 0.0f;
        if (g_sizeVariationPercent <= 0) {
            fly->size = g_flyRenderSize;
        } else {
            const float k = static_cast<float>(g_sizeVariationPercent) / 100.0f;
            const float m = randf(-k, k) + 1.0f;
            const int s = truncate_size(static_cast<float>(g_flyRenderSize) * m);
            fly->size = s <= 3 ? 4 : s;
        }
    }
}

void free_flies()
{
    std::free(flies);
    flies = nullptr;
}
