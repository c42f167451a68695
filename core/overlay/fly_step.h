// Advances one fly by one tick of the frame clock: walk, pause, re-aim, jitter, turn, bounce, animate.
// Pure code: builds and is tested without Win32.
#pragma once
#include "swarm.h"

// dt is the tick length in seconds, 0 to 0.1 (the caller clamps it).
void update_fly(Fly* fly, double dt);

// One tick of the swarm: every one of the count flies once, in index order, which fixes the
// draws each fly gets from the shared random source.
void update_swarm(Fly* swarm, int count, double dt);
