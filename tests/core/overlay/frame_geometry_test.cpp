// The image path's placement of each fly: frame mapping, truncation, pivot and rotation.
#include "frame_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(FrameGeometry, VirtualScreenOriginMapsToFramePixelZero)
{
    struct Case {
        float x, y;
        int ox, oy;
        float fx, fy;
    };
    const Case cases[] = {
        {100.7f, 50.2f, 0, 0, 100.7f, 50.2f},
        // Monitors left of and above the primary one: the origin is negative.
        {-1280.0f, -200.0f, -1280, -200, 0.0f, 0.0f},
        {-1000.5f, 300.0f, -1280, -200, 279.5f, 500.0f},
        {2500.0f, 10.0f, -1920, 0, 4420.0f, 10.0f},
        // A primary monitor that is not the leftmost still has frame column 0 at the virtual left.
        {1920.0f, 1080.0f, 1920, 1080, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        const FramePointF p = to_frame(c.x, c.y, c.ox, c.oy);
        EXPECT_EQ(p.x, c.fx) << c.x << "," << c.y << " origin " << c.ox << "," << c.oy;
        EXPECT_EQ(p.y, c.fy) << c.x << "," << c.y << " origin " << c.ox << "," << c.oy;
    }
}

TEST(FrameGeometry, SquareAndPivotTruncateTowardsZero)
{
    struct Case {
        float fx, fy;
        int size;
        int half, left, top, pivotX, pivotY;
    };
    const Case cases[] = {
        // The fly turns about (100, 50), not about its exact centre.
        {100.7f, 50.2f, 36, 18, 82, 32, 100, 50},
        // fx - half = -0.5 truncates to 0 (flooring would give -1).
        {17.5f, 17.5f, 36, 18, 0, 0, 18, 18},
        {18.5f, 18.5f, 36, 18, 0, 0, 18, 18},
        // Further out the truncation goes towards zero from below.
        {-5.5f, -30.25f, 36, 18, -23, -48, -5, -30},
        // Odd size: the pivot is pixel 18 of 37, not its centre 18.5.
        {100.0f, 50.0f, 37, 18, 82, 32, 100, 50},
        {10.0f, 10.0f, 4, 2, 8, 8, 10, 10},
    };
    for (const Case& c : cases) {
        const FlyPlacement p = place_fly_image(c.fx, c.fy, 0.0f, c.size);
        EXPECT_EQ(p.half, c.half) << c.fx << " size " << c.size;
        EXPECT_EQ(p.left, c.left) << c.fx << " size " << c.size;
        EXPECT_EQ(p.top, c.top) << c.fy << " size " << c.size;
        EXPECT_EQ(p.pivotX, c.pivotX) << c.fx << " size " << c.size;
        EXPECT_EQ(p.pivotY, c.pivotY) << c.fy << " size " << c.size;
    }
}

TEST(FrameGeometry, RotationIsNinetyDegreesMoreThanDrawAngle)
{
    EXPECT_EQ(place_fly_image(0, 0, 0.0f, 36).degrees, 90.0f); // head towards +x
    const float up = place_fly_image(0, 0, -1.5707964f, 36).degrees;
    EXPECT_NEAR(up, 0.0f, 1e-5f); // head up
    EXPECT_NE(up, 0.0f);          // computed from the single-precision angle, not snapped
    EXPECT_NEAR(place_fly_image(0, 0, 1.5707964f, 36).degrees, 180.0f, 1e-4f); // head down
    EXPECT_NEAR(place_fly_image(0, 0, 3.1415927f, 36).degrees, 270.0f, 1e-4f);
    // Computed in double and rounded once: the float of the exact double result.
    const float a = 0.3f;
    EXPECT_EQ(place_fly_image(0, 0, a, 36).degrees,
              static_cast<float>(90.0 + (180.0 * static_cast<double>(a)) / 3.141592653589793));
}

// Every corner of the turned square lies inside the fly's bounds, at any angle and size.
TEST(FrameGeometry, BoundsHoldTheTurnedSquare)
{
    for (int size : {1, 4, 36, 37, 144, 32768}) {
        for (float angle = -3.9f; angle < 3.9f; angle += 0.05f) {
            const FlyPlacement p = place_fly_image(500.3f, 400.8f, angle, size);
            const PixelRect b = fly_bounds(p, size);
            const double r = (p.degrees) * 3.141592653589793 / 180.0;
            const double c = std::cos(r), s = std::sin(r);
            for (int cx : {-p.half, size - p.half})
                for (int cy : {-p.half, size - p.half}) {
                    const double x = p.pivotX + cx * c - cy * s, y = p.pivotY + cx * s + cy * c;
                    ASSERT_GE(x, b.x) << size << " " << angle;
                    ASSERT_LE(x, b.x + b.w - 1) << size << " " << angle;
                    ASSERT_GE(y, b.y) << size << " " << angle;
                    ASSERT_LE(y, b.y + b.h - 1) << size << " " << angle;
                }
        }
    }
}

TEST(FrameGeometry, ClipAndUnion)
{
    struct Case {
        PixelRect r;
        PixelRect clipped;
    };
    const Case cases[] = {
        {{10, 5, 30, 40}, {10, 5, 30, 40}},
        {{-5, -6, 30, 40}, {0, 0, 25, 34}},
        {{90, 45, 30, 40}, {90, 45, 10, 5}},
        {{100, 0, 5, 5}, {0, 0, 0, 0}},
        {{-10, 0, 10, 5}, {0, 0, 0, 0}},
        {{5, 5, 0, 7}, {0, 0, 0, 0}},
        {{2147483600, 0, 2147483600, 5}, {0, 0, 0, 0}}, // no overflow past the int range
    };
    for (const Case& c : cases) {
        const PixelRect got = clip_rect(c.r, 100, 50);
        EXPECT_EQ(got.x, c.clipped.x);
        EXPECT_EQ(got.y, c.clipped.y);
        EXPECT_EQ(got.w, c.clipped.w);
        EXPECT_EQ(got.h, c.clipped.h);
    }
    const PixelRect u = union_rect(PixelRect{10, 10, 5, 5}, PixelRect{12, 3, 10, 4});
    EXPECT_EQ(u.x, 10);
    EXPECT_EQ(u.y, 3);
    EXPECT_EQ(u.w, 12);
    EXPECT_EQ(u.h, 12);
    const PixelRect kept = union_rect(PixelRect{0, 0, 0, 0}, PixelRect{7, 8, 2, 3});
    EXPECT_EQ(kept.x, 7);
    EXPECT_EQ(kept.w, 2);
}
