#include "rand15.h"

#include <gtest/gtest.h>

static int g_scripted = 0;
static int scripted_draw() { return g_scripted; }

TEST(Rand15, DrawsStayWithinFifteenBits)
{
    srand15(12345);
    for (int i = 0; i < 100000; ++i) {
        const int r = rand15();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, RAND15_MAX);
    }
}

TEST(Rand15, RandfReachesBothEnds)
{
    set_rand15_source(scripted_draw);
    g_scripted = 0;
    EXPECT_EQ(randf(-0.5f, 0.5f), -0.5f);
    g_scripted = RAND15_MAX;
    EXPECT_EQ(randf(-0.5f, 0.5f), 0.5f);
    EXPECT_EQ(randf(0.0f, 6.2831855f), 6.2831855f);
    set_rand15_source(nullptr);
}
