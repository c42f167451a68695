// The virtual screen the core keeps its flies within, set in one call the way a shell sets it at
// start-up, for the tests and fuzz targets that pick their own screens.
#pragma once
#include "swarm.h"

inline void set_virtual_screen(int x, int y, int width, int height)
{
    virtualX = x;
    virtualY = y;
    windowWidth = width;
    windowHeight = height;
}
