// The fallback vector fly's boxes: the worked example and the truncation edge cases.
#include "vector_fly.h"

#include <gtest/gtest.h>

#include <cmath>

static void expect_box(const EllipseBox& b, int l, int t, int r, int bo, const char* what)
{
    EXPECT_EQ(b.left, l) << what;
    EXPECT_EQ(b.top, t) << what;
    EXPECT_EQ(b.right, r) << what;
    EXPECT_EQ(b.bottom, bo) << what;
}

TEST(VectorFly, WorkedExampleAtSize36)
{
    struct Case {
        float angle;
        int legFrame;
        EllipseBox left, right;
    };
    const Case cases[] = {
        {0.0f, 0, {89, 44, 93, 52}, {107, 44, 111, 52}},
        {0.0f, 1, {89, 46, 93, 54}, {107, 46, 111, 54}},
        {1.5707964f, 0, {99, 37, 103, 45}, {99, 55, 103, 63}},
        // Any non-zero frame acts as 1.
        {0.0f, 7, {89, 46, 93, 54}, {107, 46, 111, 54}},
        // Angle pi: the wings swap sides, anchors' y 50 + 1.44 truncated to 51.
        {3.1415927f, 0, {107, 47, 111, 55}, {89, 47, 93, 55}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "angle " << c.angle << " legFrame " << c.legFrame);
        const VectorFlyShape s = vector_fly_shape(100.0f, 50.0f, c.angle, c.legFrame, 36);
        // The body never turns.
        expect_box(s.body, 96, 41, 104, 59, "body");
        expect_box(s.leftWing, c.left.left, c.left.top, c.left.right, c.left.bottom, "left wing");
        expect_box(s.rightWing, c.right.left, c.right.top, c.right.right, c.right.bottom, "right wing");
    }
}

TEST(VectorFly, RotPointTurnsClockwiseAndTruncates)
{
    struct Case {
        float px, py, cx, cy, angle;
        int x, y;
    };
    const Case cases[] = {
        {-9.0f, -1.44f, 100.0f, 50.0f, 0.0f, 91, 48},
        {9.0f, -1.44f, 100.0f, 50.0f, 0.0f, 109, 48},
        {-9.0f, 0.0f, 100.0f, 50.0f, 0.0f, 91, 50},
        {-9.0f, -1.44f, 100.0f, 50.0f, 1.5707964f, 101, 41},
        {9.0f, -1.44f, 100.0f, 50.0f, 1.5707964f, 101, 59},
        {-9.0f, -1.44f, 100.0f, 50.0f, 3.1415927f, 109, 51},
        {9.0f, -1.44f, 100.0f, 50.0f, 3.1415927f, 91, 51},
        // Negative results truncate towards zero, not down.
        {-9.0f, -1.44f, 0.5f, 0.5f, 0.0f, -8, 0},
    };
    for (const Case& c : cases) {
        FlyPoint p{};
        rot_point(c.px, c.py, c.cx, c.cy, std::cos(c.angle), std::sin(c.angle), &p);
        EXPECT_EQ(p.x, c.x) << c.px << "," << c.py << " angle " << c.angle;
        EXPECT_EQ(p.y, c.y) << c.px << "," << c.py << " angle " << c.angle;
    }
}

TEST(VectorFly, CentreNearOriginTruncatesTowardsZero)
{
    const VectorFlyShape s = vector_fly_shape(0.5f, 0.5f, 0.0f, 0, 36);
    expect_box(s.body, -3, -8, 4, 9, "body");
}

TEST(VectorFly, TinySizeGivesEmptyWings)
{
    // size 4: halves 0, 1, 0, 0.
    const VectorFlyShape s = vector_fly_shape(10.0f, 10.0f, 0.0f, 0, 4);
    expect_box(s.body, 10, 9, 10, 11, "body");
    EXPECT_EQ(s.leftWing.left, s.leftWing.right);
    EXPECT_EQ(s.leftWing.top, s.leftWing.bottom);
    EXPECT_EQ(s.rightWing.left, s.rightWing.right);
    EXPECT_EQ(s.rightWing.top, s.rightWing.bottom);
}

TEST(VectorFly, WingWidthUsesSinglePrecisionFactor)
{
    // 0.166 x 36 is 5.976 in single precision: wing width 5, half 2.
    const VectorFlyShape s = vector_fly_shape(100.0f, 50.0f, 0.0f, 0, 36);
    EXPECT_EQ(s.leftWing.right - s.leftWing.left, 4);
    // The wing half-height always equals the body half-width.
    for (int size = 4; size < 300; ++size) {
        const VectorFlyShape v = vector_fly_shape(500.0f, 500.0f, 0.0f, 0, size);
        ASSERT_EQ(v.leftWing.bottom - v.leftWing.top, v.body.right - v.body.left) << size;
    }
}
