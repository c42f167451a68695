// How a fuzz target fails: it names the broken invariant on stderr and aborts, which libFuzzer
// reports together with the input that did it.
#pragma once
#include <cstdio>
#include <cstdlib>

inline void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}
