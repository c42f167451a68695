// Allocating and spawning the swarm, with scripted draws.
#include "swarm.h"

#include "scripted_draws.h"
#include "settings.h"
#include "virtual_screen.h"

#include <climits>
#include <cmath>

namespace {

class Spawn : public ScriptedDraws {
protected:
    void SetUp() override
    {
        ScriptedDraws::SetUp();
        reset_settings();
        set_virtual_screen(0, 0, 1920, 1080);
    }
    void TearDown() override
    {
        free_flies();
        reset_settings();
        ScriptedDraws::TearDown();
    }

    // Allocates g_flyCount flies and spawns them.
    static void spawn(int count)
    {
        g_flyCount = count;
        ASSERT_TRUE(allocate_flies());
        spawn_flies();
    }
};

} // namespace

TEST_F(Spawn, FiveDrawsPerFlyInOrderWithoutVariation)
{
    set_virtual_screen(-1280, -200, 3200, 1280);
    // x, y, direction, legFrame, frameTimer for each fly.
    script({32767, 5, 0, 13, 13,
            3199, 1279, 16384, 8, 8});
    spawn(2);
    EXPECT_EQ(draws_made(), 10u);

    const Fly& a = flies[0];
    EXPECT_EQ(a.x, static_cast<float>(32767 % 3200 - 1280));
    EXPECT_EQ(a.y, -195.0f);
    EXPECT_EQ(a.vx, 120.0f);
    EXPECT_EQ(a.vy, 0.0f);
    EXPECT_EQ(a.heading, 0.0f);
    EXPECT_EQ(a.drawAngle, 0.0f);
    EXPECT_EQ(a.legFrame, 1);
    EXPECT_EQ(a.frameTimer, 5.0f);
    EXPECT_EQ(a.size, 36);
    EXPECT_EQ(a.wobble, 0.0f);
    EXPECT_EQ(a.wobbleTarget, 0.0f);
    EXPECT_EQ(a.wobbleTime, 0.0f);
    EXPECT_EQ(a.pauseTime, 0.0f);
    EXPECT_EQ(a.paused, 0);
    EXPECT_EQ(a.savedVx, 0.0f);
    EXPECT_EQ(a.savedVy, 0.0f);

    // The far corner of a screen with a negative origin; a direction just past pi points left
    // and slightly up, so heading is near -pi rather than near +pi.
    const Fly& b = flies[1];
    EXPECT_EQ(b.x, 1919.0f);
    EXPECT_EQ(b.y, 1079.0f);
    EXPECT_LT(b.vx, 0.0f);
    EXPECT_LT(b.vy, 0.0f);
    EXPECT_LT(b.heading, -3.14f);
    EXPECT_EQ(b.drawAngle, b.heading);
    EXPECT_NEAR(std::hypot(b.vx, b.vy), 120.0, 1e-4);
    EXPECT_EQ(b.legFrame, 0);
    EXPECT_EQ(b.frameTimer, 0.0f);
}

TEST_F(Spawn, SizeVariationTakesASixthDrawAndTruncates)
{
    const struct {
        int renderSize;
        int variation;
        int draw;
        int size;
    } cases[] = {
        {36, 10, 32767, 39},   // 36 * 1.1 = 39.6 truncates to 39
        {36, 100, 32767, 72},  // m reaches 2
        {36, 100, 0, 4},       // m = 0: 0 is raised to 4
        {5, 50, 0, 4},         // 2.5 truncates to 2, raised to 4
        {6, 50, 0, 4},         // exactly 3 is raised to 4 too
        {MAX_FLY_RENDER_SIZE, 100, 32767, 2 * MAX_FLY_RENDER_SIZE},
        {INT_MAX, 100, 32767, INT_MAX}, // beyond the int range: saturates, no overflow
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        g_flyRenderSize = c.renderSize;
        g_sizeVariationPercent = c.variation;
        script({0, 0, 0, 0, 0, c.draw, 0, 0, 0, 0, 0, c.draw});
        spawn(2);
        EXPECT_EQ(draws_made(), 12u);
        EXPECT_EQ(flies[0].size, c.size);
        EXPECT_EQ(flies[1].size, c.size);
        free_flies();
    }
}

// An empty axis has no remainder to take: the flies start at its origin, and the draws are
// still made so that the rest of the sequence is unchanged.
TEST_F(Spawn, EmptyScreenAxisPutsFliesAtItsOrigin)
{
    const struct {
        int width, height;
        float x, y;
    } cases[] = {
        {0, 1080, -50.0f, 130.0f},
        {1920, 0, 50.0f, -30.0f},
        {-5, -7, -50.0f, -30.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        set_virtual_screen(-50, -30, c.width, c.height);
        script({100, 160, 0, 1, 3});
        spawn(1);
        EXPECT_EQ(draws_made(), 5u);
        EXPECT_EQ(flies[0].x, c.x);
        EXPECT_EQ(flies[0].y, c.y);
        EXPECT_EQ(flies[0].legFrame, 1);
        EXPECT_EQ(flies[0].frameTimer, 3.0f);
        free_flies();
    }
}

// The request for the fly array: 64 bytes a fly, never wrapped to 32 bits.
TEST(Swarm, FlyArrayBytes)
{
    const struct {
        int count;
        uint64_t bytes;
    } cases[] = {
        {1, 64},
        {INT_MAX, 137438953408ull}, // 128 GiB less 64 bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(fly_array_bytes(c.count), c.bytes) << c.count;
}

TEST(Swarm, AllocateAndFree)
{
    reset_settings();
    g_flyCount = 3;
    ASSERT_TRUE(allocate_flies());
    ASSERT_NE(flies, nullptr);
    flies[2].size = 1; // the block holds all three records
    free_flies();
    EXPECT_EQ(flies, nullptr);
    free_flies();
    EXPECT_EQ(flies, nullptr);
    reset_settings();
}
