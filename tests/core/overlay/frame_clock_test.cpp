// The frame clock's tick arithmetic: measured dt, the clamp, the run-time limit.
#include "frame_clock.h"

#include <gtest/gtest.h>

// A counter of 10 MHz, the usual performance-counter rate on Windows.
static const int64_t FREQ = 10000000;

TEST(FrameClock, TickIsTheMeasuredIntervalUnclamped)
{
    int64_t last = 123456789;
    double run = 0;
    const FrameTick t = frame_tick(last + 163421, FREQ, 15.0, &last, &run);
    EXPECT_DOUBLE_EQ(t.dt, 0.0163421);
    EXPECT_DOUBLE_EQ(run, 0.0163421);
    EXPECT_EQ(last, 123456789 + 163421);
    EXPECT_FALSE(t.endRun);
}

TEST(FrameClock, LongGapCountsATenthAndIsNotCarriedOver)
{
    int64_t last = 0;
    double run = 0;
    const FrameTick gap = frame_tick(5 * FREQ, FREQ, 15.0, &last, &run);
    EXPECT_EQ(gap.dt, 0.1);
    EXPECT_EQ(run, 0.1);
    EXPECT_EQ(last, 5 * FREQ);
    // The next tick measures from the late tick, not from where the clamp stopped.
    const FrameTick next = frame_tick(5 * FREQ + FREQ / 100, FREQ, 15.0, &last, &run);
    EXPECT_DOUBLE_EQ(next.dt, 0.01);
    EXPECT_DOUBLE_EQ(run, 0.11);
}

TEST(FrameClock, ZeroGapGivesZeroTick)
{
    int64_t last = 42;
    double run = 0.5;
    const FrameTick t = frame_tick(42, FREQ, 15.0, &last, &run);
    EXPECT_EQ(t.dt, 0.0);
    EXPECT_EQ(run, 0.5);
    EXPECT_FALSE(t.endRun);
}

// Ticks exactly 16 ms apart against the default 15 s: the first tick that reaches the limit ends
// the run, and so does every later one.
TEST(FrameClock, LimitTickEndsTheRun)
{
    int64_t last = 0;
    double run = 0;
    double expected = 0;
    int tick = 0;
    for (;;) {
        ++tick;
        const FrameTick t = frame_tick(last + FREQ * 16 / 1000, FREQ, 15.0, &last, &run);
        expected += 0.016;
        ASSERT_DOUBLE_EQ(run, expected);
        if (t.endRun)
            break;
        ASSERT_LT(run, 15.0);
        ASSERT_LT(tick, 2000);
    }
    EXPECT_GE(run, 15.0);
    EXPECT_LT(run - 0.016, 15.0);
    EXPECT_EQ(tick, 938); // 937 ticks make 14.992 s
    EXPECT_TRUE(frame_tick(last + FREQ / 60, FREQ, 15.0, &last, &run).endRun);
}

TEST(FrameClock, NoLimitKeepsRunTimeAtZero)
{
    int64_t last = 0;
    double run = 0;
    for (int i = 1; i <= 1000; ++i) {
        const FrameTick t = frame_tick(last + (i % 7 == 0 ? 30 * FREQ : FREQ / 60), FREQ, 0.0, &last, &run);
        ASSERT_FALSE(t.endRun);
        ASSERT_LE(t.dt, 0.1);
    }
    EXPECT_EQ(run, 0.0);
}

TEST(FrameClock, LimitShorterThanFirstTickEndsOnFirstTick)
{
    int64_t last = 1000;
    double run = 0;
    EXPECT_TRUE(frame_tick(1000 + FREQ * 16 / 1000, FREQ, 0.001, &last, &run).endRun);
}
