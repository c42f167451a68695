// Draws the fallback vector fly: three ellipses filled with a red brush, outlined by the default pen.
#include "fly_drawing.h"

#include "vector_fly.h"

// Any colour would do: the alpha fix-up pass makes every coloured pixel opaque black.
static const COLORREF FLY_FILL = 0x0000FF;

void draw_fly(HDC dc, float cx, float cy, float angle, int legFrame, int size)
{
    const VectorFlyShape shape = vector_fly_shape(cx, cy, angle, legFrame, size);
    HBRUSH brush = CreateSolidBrush(FLY_FILL);
    HGDIOBJ held = SelectObject(dc, brush);
    Ellipse(dc, shape.body.left, shape.body.top, shape.body.right, shape.body.bottom);
    Ellipse(dc, shape.leftWing.left, shape.leftWing.top, shape.leftWing.right, shape.leftWing.bottom);
    Ellipse(dc, shape.rightWing.left, shape.rightWing.top, shape.rightWing.right, shape.rightWing.bottom);
    SelectObject(dc, held);
    DeleteObject(brush);
}
