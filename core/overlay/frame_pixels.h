// The whole-frame pixel passes of each tick: clearing the frame, and the fallback path's alpha
// fix-up that turns the GDI drawing (red fill on a cleared frame) into premultiplied BGRA.
// Pure code, vectorised with SSE2 (the x86-64 baseline) and plain C++ where SSE2 is absent; both
// passes touch every pixel of a frame the size of the virtual screen, so they run near the speed
// of memory.
#pragma once
#include <cstdint>

// Sets every byte of the w x h BGRA frame to 0: fully transparent. Writes only what is not 0 already,
// so memory that is still untouched (a fresh bitmap is) is read but never written.
void clear_pixels(uint8_t* bgra, int w, int h);

// Every pixel of the w x h BGRA frame becomes (0, 0, 0, 255) if any of its colour bytes is non-zero,
// otherwise (0, 0, 0, 0).
void alpha_fixup_pass(uint8_t* bgra, int w, int h);
