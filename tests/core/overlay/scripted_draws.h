// Scripted random draws for tests of spawning and the fly step: the test lists the draws a call
// may make; a draw beyond the list fails the test, and the count of draws made can be checked.
#pragma once
#include "rand15.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

inline std::vector<int> g_scriptedDraws; // the draws the code under test may make, in order
inline size_t g_drawsMade = 0;           // how many of them it has made

inline int scripted_draw()
{
    if (g_drawsMade >= g_scriptedDraws.size()) {
        ADD_FAILURE() << "unexpected draw number " << g_drawsMade + 1;
        ++g_drawsMade;
        return 0;
    }
    return g_scriptedDraws[g_drawsMade++];
}

// Fixture base: installs the scripted source for each test and restores the default after.
class ScriptedDraws : public ::testing::Test {
protected:
    void SetUp() override
    {
        script({});
        set_rand15_source(scripted_draw);
    }
    void TearDown() override { set_rand15_source(nullptr); }

    // Replaces the script and resets the count of draws made.
    static void script(std::initializer_list<int> draws)
    {
        g_scriptedDraws.assign(draws);
        g_drawsMade = 0;
    }
    static size_t draws_made() { return g_drawsMade; }
};
