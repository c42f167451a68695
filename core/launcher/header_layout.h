// Geometry of the launcher's header: the fly image scaled to 48 pixels high and the word "Fly"
// 12 pixels to its right, centred together as one block. Pure code: builds and is tested without Win32.
#pragma once

// Height of the header band at the top of the client area; the controls start below it.
constexpr int GUI_HEADER_HEIGHT = 90;
// Height the image is drawn at, and the side of the square drawn when there is no image.
constexpr int HEADER_IMAGE_HEIGHT = 48;
// Gap between the image and the text.
constexpr int HEADER_GAP = 12;
// Widest the image is drawn: far wider than any window, and small enough that the block's sums
// stay inside an int whatever size a decoded image reports.
constexpr float HEADER_MAX_DRAW_WIDTH = 16777216.0f;

// Where the header's image and text go, in client pixels.
struct HeaderLayout {
    int drawWidth, drawHeight; // the image's drawn size (48 x 48 without an image)
    int blockWidth;            // drawWidth + gap + text width
    int imageX, imageY;        // the image's top-left corner; imageX is also the block's left edge
    int textX, textY;          // the point the text is drawn at
};

// hasImage false (or a height of 0 or less) lays out a 48 x 48 square in the image's place.
// textWidth and textHeight are the measured bounding box of the text.
HeaderLayout header_layout(bool hasImage, int imageWidth, int imageHeight, int clientWidth,
                           float textWidth, float textHeight);
