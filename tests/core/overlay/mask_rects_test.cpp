// The window shape taken from a frame's alpha: exact cover, banded order, coarser bands.
#include "mask_rects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A frame drawn from text rows: '#' is alpha 255, '+' alpha 100, anything else 0.
struct TextFrame {
    int w, h;
    std::vector<uint8_t> bgra;
    explicit TextFrame(const std::vector<std::string>& rows)
        : w(static_cast<int>(rows[0].size())), h(static_cast<int>(rows.size())), bgra(rows.size() * rows[0].size() * 4)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bgra[(y * w + x) * 4 + 3] = rows[y][x] == '#' ? 255 : rows[y][x] == '+' ? 100 : 0;
    }
};

// The rectangles painted back into text, '#' where covered; fails on any pixel covered twice.
std::vector<std::string> paint(const std::vector<PixelRect>& rects, int w, int h)
{
    std::vector<std::string> rows(h, std::string(w, '.'));
    for (const PixelRect& r : rects)
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) {
                EXPECT_EQ(rows[y][x], '.') << "covered twice at " << x << "," << y;
                rows[y][x] = '#';
            }
    return rows;
}

// Sorted by top then left; one band's rectangles share top and height and neither overlap nor
// touch; bands do not overlap.
void expect_banded(const std::vector<PixelRect>& rects)
{
    for (size_t i = 1; i < rects.size(); ++i) {
        const PixelRect& a = rects[i - 1];
        const PixelRect& b = rects[i];
        if (a.y == b.y) {
            EXPECT_EQ(a.h, b.h) << i;
            EXPECT_LT(a.x + a.w, b.x) << i;
        } else {
            EXPECT_GE(b.y, a.y + a.h) << i;
        }
    }
}

const std::vector<std::string> FLY = {
    "..........",
    "..##..#...",
    "..##.###..",
    "..##.###..",
    "....+.....",
    "...####...",
    "..........",
};

} // namespace

TEST(MaskRects, CoverExactlyThePixelsAtTheThresholdInBands)
{
    const TextFrame frame(FLY);
    const PixelRect everything{0, 0, frame.w, frame.h};
    std::vector<PixelRect> rects;
    mask_rects(frame.bgra.data(), frame.w * 4, frame.w, frame.h, &everything, 1, 128, 1, &rects);
    expect_banded(rects);
    EXPECT_EQ(paint(rects, frame.w, frame.h), (std::vector<std::string>{
                                                  "..........",
                                                  "..##..#...",
                                                  "..##.###..",
                                                  "..##.###..",
                                                  "..........",
                                                  "...####...",
                                                  "..........",
                                              }));
    // Rows 2 and 3 are alike: one band of two rectangles.
    EXPECT_EQ(rects.size(), 5u);

    std::vector<PixelRect> soft;
    mask_rects(frame.bgra.data(), frame.w * 4, frame.w, frame.h, &everything, 1, 1, 1, &soft);
    EXPECT_EQ(paint(soft, frame.w, frame.h)[4], "....#.....");
}

// Only the boxes are looked at, clipped to the frame; overlapping boxes give each pixel once.
TEST(MaskRects, LookOnlyInsideTheBoxes)
{
    const TextFrame frame(FLY);
    const PixelRect boxes[] = {{-3, 1, 7, 2}, {3, 0, 5, 3}, {6, 5, 100, 100}, {20, 20, 5, 5}};
    std::vector<PixelRect> rects;
    mask_rects(frame.bgra.data(), frame.w * 4, frame.w, frame.h, boxes, 4, 128, 1, &rects);
    expect_banded(rects);
    EXPECT_EQ(paint(rects, frame.w, frame.h), (std::vector<std::string>{
                                                  "..........",
                                                  "..##..#...",
                                                  "..##.###..",
                                                  "..........",
                                                  "..........",
                                                  "......#...",
                                                  "..........",
                                              }));
}

// Taller bands, taken from the top: a column shows across the band where any of its rows does.
TEST(MaskRects, TallerBandsCoverEveryExactPixelWithFewerRectangles)
{
    const TextFrame frame(FLY);
    const PixelRect everything{0, 0, frame.w, frame.h};
    std::vector<PixelRect> rects;
    mask_rects(frame.bgra.data(), frame.w * 4, frame.w, frame.h, &everything, 1, 128, 3, &rects);
    expect_banded(rects);
    EXPECT_EQ(paint(rects, frame.w, frame.h), (std::vector<std::string>{
                                                  "..##.###..",
                                                  "..##.###..",
                                                  "..##.###..",
                                                  "..######..",
                                                  "..######..",
                                                  "..######..",
                                                  "..........",
                                              }));
    EXPECT_EQ(rects.size(), 3u);
}
