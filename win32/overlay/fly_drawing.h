// The fallback vector fly drawn with plain GDI: a red-filled body and two wings, which the alpha
// fix-up pass then turns into an opaque black silhouette.
#pragma once
#include <windows.h>

// Draws one fly centred on (cx, cy) in frame pixels at angle radians into dc.
void draw_fly(HDC dc, float cx, float cy, float angle, int legFrame, int size);
