// The random source shared by spawning and the fly step: 15-bit draws 0..32767.
// On Windows it is the C runtime's rand; elsewhere an equivalent generator. Tests may script it.
#pragma once

constexpr int RAND15_MAX = 32767;

// One draw, 0 to 32767 inclusive.
int rand15();

// Seeds the source (srand on Windows).
void srand15(unsigned seed);

// One draw r scaled to [a, b] in single precision: (b - a) * (r / 32767) + a. Can return b itself.
float randf(float a, float b);

// Tests replace the source with a scripted one; nullptr restores the default.
using Rand15Source = int (*)();
void set_rand15_source(Rand15Source source);
