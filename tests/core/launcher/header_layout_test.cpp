// Geometry of the launcher's header: image size, block centring and text placement.
#include "header_layout.h"

#include <gtest/gtest.h>

#include <climits>

struct ImageCase {
    bool hasImage;
    int width, height;
    int drawWidth;
};

TEST(HeaderLayout, ImageIsDrawn48HighAndAsWideAsItsAspectGives)
{
    const ImageCase cases[] = {
        {true, 144, 144, 48},  // the embedded fly
        {true, 37, 37, 47},    // (48 / 37) * 37 in single precision falls just below 48
        {true, 96, 48, 96},
        {true, 100, 200, 24},
        {true, 10, 0, 48},     // no usable height: drawn square
        {true, 10, -3, 48},
        {false, 0, 0, 48},     // no image: the outline square takes its place
    };
    for (const ImageCase& c : cases) {
        const HeaderLayout layout = header_layout(c.hasImage, c.width, c.height, 664, 50.0f, 37.0f);
        EXPECT_EQ(layout.drawWidth, c.drawWidth) << c.width << " x " << c.height;
        EXPECT_EQ(layout.drawHeight, 48);
        EXPECT_EQ(layout.imageY, 21);
    }
}

TEST(HeaderLayout, BlockIsCentredOnTheClientWidth)
{
    // Bounding width 50.7 counts as 50: block 48 + 12 + 50 = 110, centred on 332.
    const HeaderLayout layout = header_layout(true, 144, 144, 664, 50.7f, 37.3f);
    EXPECT_EQ(layout.blockWidth, 110);
    EXPECT_EQ(layout.imageX, 277);
    EXPECT_EQ(layout.textX, 277 + 48 + 12);
    EXPECT_EQ(layout.textY, 26);  // (90 - 37.3) / 2 = 26.35
}

TEST(HeaderLayout, OddBlockWidthHalvesTowardsZero)
{
    const HeaderLayout layout = header_layout(true, 144, 144, 664, 51.0f, 37.0f);
    EXPECT_EQ(layout.blockWidth, 111);
    EXPECT_EQ(layout.imageX, 332 - 55);
    // An odd client width halves towards zero as well.
    EXPECT_EQ(header_layout(true, 144, 144, 665, 51.0f, 37.0f).imageX, 332 - 55);
}

TEST(HeaderLayout, WithoutImageTextIsPlacedAsIfTheImageWere48Wide)
{
    const HeaderLayout withImage = header_layout(true, 144, 144, 664, 50.0f, 37.0f);
    const HeaderLayout without = header_layout(false, 0, 0, 664, 50.0f, 37.0f);
    EXPECT_EQ(without.imageX, withImage.imageX);
    EXPECT_EQ(without.textX, withImage.textX);
    EXPECT_EQ(without.textY, withImage.textY);
}

TEST(HeaderLayout, WideImageMovesTheBlockLeft)
{
    const HeaderLayout layout = header_layout(true, 96, 48, 664, 50.0f, 37.0f);
    EXPECT_EQ(layout.blockWidth, 96 + 12 + 50);
    EXPECT_EQ(layout.imageX, 332 - 79);
    EXPECT_EQ(layout.textX, 332 - 79 + 96 + 12);
}

// A decoded image may report any size (a width above 2^31 even arrives negative); the drawn
// width is held at HEADER_MAX_DRAW_WIDTH either way instead of overflowing the int.
TEST(HeaderLayout, ImageOfAbsurdWidthIsHeldAtTheWidestDrawing)
{
    const HeaderLayout wide = header_layout(true, 2000000000, 1, 664, 50.0f, 37.0f);
    EXPECT_EQ(wide.drawWidth, 16777216);
    EXPECT_EQ(wide.blockWidth, 16777216 + 12 + 50);
    EXPECT_EQ(wide.textX, wide.imageX + 16777216 + 12);
    const HeaderLayout negative = header_layout(true, INT_MIN, 1, 664, 50.0f, 37.0f);
    EXPECT_EQ(negative.drawWidth, -16777216);
    EXPECT_EQ(negative.textX, negative.imageX - 16777216 + 12);
}
