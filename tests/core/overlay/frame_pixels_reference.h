// The straightforward pixel passes, byte by byte as the frame's design states them: the reference
// that the vectorised passes must match exactly, in the tests and in the benchmark.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

inline void reference_clear_pixels(uint8_t* bgra, int w, int h)
{
    if (w > 0 && h > 0)
        std::memset(bgra, 0, static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
}

inline void reference_alpha_fixup_pass(uint8_t* bgra, int w, int h)
{
    const size_t n = w > 0 && h > 0 ? static_cast<size_t>(w) * static_cast<size_t>(h) : 0;
    for (size_t k = 0; k < n; ++k) {
        uint8_t* px = bgra + 4 * k;
        if (px[0] != 0 || px[1] != 0 || px[2] != 0) {
            px[0] = 0;
            px[1] = 0;
            px[2] = 0;
            px[3] = 255;
        } else {
            px[3] = 0;
        }
    }
}
