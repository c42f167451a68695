// The fallback path's alpha fix-up pass: turns the GDI drawing (red fill on a cleared frame) into
// premultiplied BGRA, opaque black where anything was filled and transparent everywhere else.
// Pure code; kept plain and straightforward as the reference for faster versions.
#pragma once
#include <cstdint>

// Every pixel of the w x h BGRA frame becomes (0, 0, 0, 255) if any of its colour bytes is non-zero,
// otherwise (0, 0, 0, 0).
void alpha_fixup_pass(uint8_t* bgra, int w, int h);
