// The fly array request is 64-bit: the largest count asks for 128 GiB instead of a wrapped
// small block, which the heap refuses, and the failure leaves no array behind.
#include "settings.h"
#include "swarm.h"

#include <gtest/gtest.h>

#include <climits>

TEST(Swarm, AllocationFailureLeavesNoArray)
{
    reset_settings();
    g_flyCount = INT_MAX;
    EXPECT_FALSE(allocate_flies());
    EXPECT_EQ(flies, nullptr);
    reset_settings();
}
