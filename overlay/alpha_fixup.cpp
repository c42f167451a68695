// The alpha fix-up pass; see alpha_fixup.h.
#include "alpha_fixup.h"

#include <cstddef>

void alpha_fixup_pass(uint8_t* bgra, int w, int h)
{
    // The pixel count in 64 bits, like the frame's byte count: no virtual screen can overflow it.
    const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
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
