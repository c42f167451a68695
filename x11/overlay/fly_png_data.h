// The fly PNG built into the program (assets/fly.png, turned into an array at build time).
#pragma once
#include <cstddef>

extern const unsigned char FLY_PNG_DATA[];
extern const size_t FLY_PNG_SIZE;
