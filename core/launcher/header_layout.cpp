// Header geometry in the integer and single-precision steps the paint handler takes.
#include "header_layout.h"

HeaderLayout header_layout(bool hasImage, int imageWidth, int imageHeight, int clientWidth,
                           float textWidth, float textHeight)
{
    HeaderLayout layout{};
    const int centreX = clientWidth / 2;
    layout.drawHeight = HEADER_IMAGE_HEIGHT;
    layout.drawWidth = HEADER_IMAGE_HEIGHT;
    // Quotient first, in single precision: a 37 x 37 image comes out 47 wide, not 48. An image
    // that claims to be far wider than it is high is held at HEADER_MAX_DRAW_WIDTH.
    if (hasImage && imageHeight > 0) {
        float width = (48.0f / static_cast<float>(imageHeight)) * static_cast<float>(imageWidth);
        if (width > HEADER_MAX_DRAW_WIDTH)
            width = HEADER_MAX_DRAW_WIDTH;
        if (width < -HEADER_MAX_DRAW_WIDTH)
            width = -HEADER_MAX_DRAW_WIDTH;
        layout.drawWidth = static_cast<int>(width);
    }

    layout.blockWidth = layout.drawWidth + HEADER_GAP + static_cast<int>(textWidth);
    layout.imageX = centreX - layout.blockWidth / 2;
    layout.imageY = (GUI_HEADER_HEIGHT - layout.drawHeight) / 2;
    layout.textX = layout.imageX + layout.drawWidth + HEADER_GAP;
    layout.textY = static_cast<int>((static_cast<float>(GUI_HEADER_HEIGHT) - textHeight) / 2.0f);
    return layout;
}
