// The 15-bit random source. Windows uses the C runtime's rand (0..32767); elsewhere the same
// linear congruential step as that runtime, so both platforms draw from a 15-bit sequence.
#include "rand15.h"

#ifdef _WIN32
#include <cstdlib>
static int default_source() { return std::rand(); }
void srand15(unsigned seed) { std::srand(seed); }
#else
static unsigned g_randState = 1; // generator state of the non-Windows source
static int default_source()
{
    g_randState = g_randState * 214013u + 2531011u;
    return static_cast<int>((g_randState >> 16) & 0x7fffu);
}
void srand15(unsigned seed) { g_randState = seed; }
#endif

static Rand15Source g_randSource = default_source; // where draws come from; tests swap it

int rand15() { return g_randSource(); }

void set_rand15_source(Rand15Source source) { g_randSource = source ? source : default_source; }

float randf(float a, float b)
{
    const float r = static_cast<float>(rand15());
    return (b - a) * (r / 32767.0f) + a;
}
