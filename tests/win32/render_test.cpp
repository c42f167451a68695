// Fly image loading and frame composition under Wine: frames are composed into a DIB and read back
// without a window; a frame the platform refuses is presented on a hidden one. The test exe embeds
// the fly PNG as RCDATA 101, like the overlay program.
#include "fly_drawing.h"
#include "fly_image.h"
#include "frame.h"
#include "frame_pixels_reference.h"
#include "reliability/process_resources.h"
#include "test_support.h"
#include "vector_fly.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

namespace fs = std::filesystem;

static ULONG_PTR g_testGdiplusToken = 0; // GDI+ token of the test process

// Every test runs in a fresh empty current directory and starts without a fly image.
class Render : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&g_testGdiplusToken, &input, nullptr), Gdiplus::Ok);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(g_testGdiplusToken); }

    void SetUp() override
    {
        previousDir_ = fs::current_path();
        fs::current_path(dir_.path);
        release_fly_image();
    }
    void TearDown() override
    {
        release_fly_image();
        fs::current_path(previousDir_);
    }

    fs::path previousDir_;
    TempFolder dir_{"buzzel_render"};
};

static const CLSID PNG_ENCODER = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// Writes a solid-colour w x h PNG to "fly\fly.png".
static void write_fly_png(int w, int h, Gdiplus::Color colour)
{
    fs::create_directories("fly");
    Gdiplus::Bitmap bitmap(w, h, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&bitmap);
        g.Clear(colour);
    }
    ASSERT_EQ(bitmap.Save(L"fly\\fly.png", &PNG_ENCODER, nullptr), Gdiplus::Ok);
}

static void write_fly_file(const char* bytes)
{
    fs::create_directories("fly");
    FILE* f = std::fopen("fly\\fly.png", "wb");
    ASSERT_NE(f, nullptr);
    std::fputs(bytes, f);
    std::fclose(f);
}

static Fly make_fly(float x, float y, float drawAngle, int size, int legFrame = 0)
{
    Fly fly{};
    fly.x = x;
    fly.y = y;
    fly.drawAngle = drawAngle;
    fly.heading = drawAngle;
    fly.size = size;
    fly.legFrame = legFrame;
    return fly;
}

// Composes one frame of a w x h virtual screen at (ox, oy) and returns its BGRA bytes.
static std::vector<uint8_t> compose(int w, int h, int ox, int oy, const std::vector<Fly>& swarm,
                                    Gdiplus::Bitmap* image)
{
    Frame frame;
    frame_acquire(&frame, w, h, ox, oy);
    EXPECT_NE(frame.pixels, nullptr);
    // Garbage in the fresh bitmap must not survive the clearing.
    if (frame.pixels != nullptr)
        std::memset(frame.pixels, 0x5A, static_cast<size_t>(w) * h * 4);
    frame_compose(&frame, swarm.data(), static_cast<int>(swarm.size()), image);
    GdiFlush();
    std::vector<uint8_t> bytes;
    if (frame.pixels != nullptr)
        bytes.assign(frame.pixels, frame.pixels + static_cast<size_t>(w) * h * 4);
    frame_release(&frame);
    return bytes;
}

// The asset's opaque pixels, as a size x size mask read back from the decoded image.
static std::vector<bool> image_mask(Gdiplus::Bitmap* image, int* size)
{
    *size = static_cast<int>(image->GetWidth());
    Gdiplus::Rect rect(0, 0, *size, *size);
    Gdiplus::BitmapData data;
    std::vector<bool> mask(static_cast<size_t>(*size) * *size, false);
    if (image->LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return mask;
    for (int y = 0; y < *size; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(data.Scan0) + y * data.Stride;
        for (int x = 0; x < *size; ++x)
            mask[y * *size + x] = row[4 * x + 3] >= 128;
    }
    image->UnlockBits(&data);
    return mask;
}

// Overlap (intersection over union) of the frame's opaque pixels with the image turned by degrees
// clockwise about (pivotX, pivotY), its centre on the pivot.
static double overlap_with_turned_image(const std::vector<uint8_t>& frame, int w, int h,
                                        const std::vector<bool>& mask, int size, int pivotX, int pivotY,
                                        double degrees)
{
    const double a = degrees * 3.141592653589793 / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    long both = 0, either = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = x + 0.5 - pivotX, dy = y + 0.5 - pivotY;
            // Undo the clockwise turn to find the image pixel that lands here.
            const double u = dx * c + dy * s + size / 2, v = -dx * s + dy * c + size / 2;
            const int iu = static_cast<int>(std::floor(u)), iv = static_cast<int>(std::floor(v));
            const bool expected = iu >= 0 && iv >= 0 && iu < size && iv < size && mask[iv * size + iu];
            const bool drawn = frame[4 * (y * w + x) + 3] >= 128;
            both += expected && drawn;
            either += expected || drawn;
        }
    return either == 0 ? 0.0 : static_cast<double>(both) / either;
}

TEST_F(Render, EmbeddedImageLoadsWithoutAFile)
{
    load_fly_image();
    ASSERT_NE(g_flyBitmap, nullptr);
    EXPECT_EQ(g_flyBitmap->GetWidth(), 144u);
    EXPECT_EQ(g_flyBitmap->GetHeight(), 144u);
    // The tRNS chunk survives: corners transparent, the body opaque.
    int size = 0;
    const std::vector<bool> mask = image_mask(g_flyBitmap, &size);
    EXPECT_FALSE(mask[0]);
    EXPECT_TRUE(mask[72 * size + 72]);
    // A second call keeps the image it has.
    Gdiplus::Bitmap* first = g_flyBitmap;
    write_fly_png(30, 20, Gdiplus::Color(255, 255, 0, 0));
    load_fly_image();
    EXPECT_EQ(g_flyBitmap, first);
    EXPECT_EQ(g_flyBitmap->GetWidth(), 144u);
}

TEST_F(Render, DecodableFileTakesThePlaceOfTheEmbeddedImage)
{
    write_fly_png(30, 20, Gdiplus::Color(255, 255, 0, 0));
    load_fly_image();
    ASSERT_NE(g_flyBitmap, nullptr);
    // Stored unchanged: not square, not scaled.
    EXPECT_EQ(g_flyBitmap->GetWidth(), 30u);
    EXPECT_EQ(g_flyBitmap->GetHeight(), 20u);
}

TEST_F(Render, UndecodableFileFallsBackToTheEmbeddedImage)
{
    write_fly_file("this is not a picture");
    load_fly_image();
    ASSERT_NE(g_flyBitmap, nullptr);
    EXPECT_EQ(g_flyBitmap->GetWidth(), 144u);
}

// Head towards +x at drawAngle 0, up at -pi/2, down at pi/2, towards -x at pi.
TEST_F(Render, ImageFlyFacesAlongDrawAngle)
{
    load_fly_image();
    ASSERT_NE(g_flyBitmap, nullptr);
    int size = 0;
    const std::vector<bool> mask = image_mask(g_flyBitmap, &size);
    ASSERT_EQ(size, 144);
    struct Case {
        float drawAngle;
        double degrees;
    };
    const Case cases[] = {{0.0f, 90}, {-1.5707964f, 0}, {1.5707964f, 180}, {3.1415927f, 270}};
    const int w = 400, h = 300;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "drawAngle " << c.drawAngle);
        // Centre (200, 150): the square is 128..272 x 78..222 and turns about (200, 150).
        const std::vector<uint8_t> frame = compose(w, h, 0, 0, {make_fly(200.0f, 150.0f, c.drawAngle, 144)},
                                                   g_flyBitmap);
        ASSERT_EQ(frame.size(), static_cast<size_t>(w) * h * 4);
        EXPECT_GT(overlap_with_turned_image(frame, w, h, mask, size, 200, 150, c.degrees), 0.75);
        // The fly is not symmetric end to end, so the head pointing the other way would not fit.
        EXPECT_LT(overlap_with_turned_image(frame, w, h, mask, size, 200, 150, c.degrees + 180), 0.55);
    }
}

TEST_F(Render, ImageFlyAtDrawAngleZeroHasItsHeadAtPlusX)
{
    load_fly_image();
    ASSERT_NE(g_flyBitmap, nullptr);
    const int w = 400, h = 300;
    const std::vector<uint8_t> frame = compose(w, h, 0, 0, {make_fly(200.0f, 150.0f, 0.0f, 144)}, g_flyBitmap);
    // The asset's black rows 5 (head) to 141 (tail) become columns 200 + 67 down to 200 - 69.
    int minX = w, maxX = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (frame[4 * (y * w + x) + 3] >= 128) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    EXPECT_NEAR(maxX, 267, 2);
    EXPECT_NEAR(minX, 131, 2);
}

TEST_F(Render, ImagePathLeavesUncoveredPixelsTransparentAndDrawsBlack)
{
    load_fly_image();
    ASSERT_NE(g_flyBitmap, nullptr);
    const int w = 300, h = 200;
    // One fly wholly inside, one clipped at the top-left corner, one mostly outside on the right.
    const std::vector<uint8_t> frame = compose(
        w, h, 0, 0, {make_fly(100.7f, 50.2f, 0.3f, 36), make_fly(5.0f, 5.0f, 2.0f, 36), make_fly(310.0f, 100.0f, 0, 48)},
        g_flyBitmap);
    long opaque = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &frame[4 * (y * w + x)];
            // Pure black fly pixels: premultiplied and straight read the same.
            ASSERT_EQ(p[0] | p[1] | p[2], 0) << x << "," << y;
            opaque += p[3] == 255;
            // Far from every fly nothing is drawn.
            if (x > 150 && x < 270) {
                ASSERT_EQ(p[3], 0) << x << "," << y;
            }
        }
    EXPECT_GT(opaque, 300);
}

TEST_F(Render, EmptySwarmOnTheImagePathGivesATransparentFrame)
{
    load_fly_image();
    ASSERT_NE(g_flyBitmap, nullptr);
    const std::vector<uint8_t> frame = compose(64, 48, 0, 0, {}, g_flyBitmap);
    for (size_t i = 0; i < frame.size(); ++i)
        ASSERT_EQ(frame[i], 0) << i;
}

TEST_F(Render, NonSquareImageIsStretchedIntoTheFlySquare)
{
    Gdiplus::Bitmap red(20, 10, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&red);
        g.Clear(Gdiplus::Color(255, 255, 0, 0));
    }
    const int w = 200, h = 200;
    // Head up (about 0 degrees): the 40 x 40 square 80..120 x 80..120.
    const std::vector<uint8_t> frame = compose(w, h, 0, 0, {make_fly(100.0f, 100.0f, -1.5707964f, 40)}, &red);
    auto pixel = [&](int x, int y) { return &frame[4 * (y * w + x)]; };
    for (int y : {83, 100, 116})
        for (int x : {83, 100, 116}) {
            const uint8_t* p = pixel(x, y);
            EXPECT_EQ(p[0], 0) << x << "," << y;
            EXPECT_EQ(p[1], 0) << x << "," << y;
            EXPECT_EQ(p[2], 255) << x << "," << y;
            EXPECT_EQ(p[3], 255) << x << "," << y;
        }
    for (int x : {76, 124})
        EXPECT_EQ(pixel(x, 100)[3], 0) << x;
    for (int y : {76, 124})
        EXPECT_EQ(pixel(100, y)[3], 0) << y;
}

// Without an image every pixel ends opaque black or fully transparent, inside the ellipses' boxes.
TEST_F(Render, FallbackFrameHoldsOnlyOpaqueBlackOrTransparent)
{
    // A virtual screen whose origin is left of and above the primary monitor.
    const int w = 320, h = 200, ox = -1280, oy = -200;
    const std::vector<Fly> swarm = {
        make_fly(-1180.0f, -150.0f, 0.0f, 36, 0),    // frame (100, 50)
        make_fly(-1100.0f, -100.0f, 1.1f, 48, 1),    // frame (180, 100)
        make_fly(-1279.5f, -199.5f, 0.0f, 36, 0),    // frame (0.5, 0.5): clipped
        make_fly(-965.0f, -5.0f, 2.5f, 60, 1),       // frame (315, 195): mostly outside
    };
    const std::vector<uint8_t> frame = compose(w, h, ox, oy, swarm, nullptr);
    ASSERT_EQ(frame.size(), static_cast<size_t>(w) * h * 4);

    std::vector<VectorFlyShape> shapes;
    for (const Fly& fly : swarm)
        shapes.push_back(vector_fly_shape(fly.x - ox, fly.y - oy, fly.drawAngle, fly.legFrame, fly.size));
    auto inside = [](const EllipseBox& b, int x, int y) {
        return x >= b.left && x < b.right && y >= b.top && y < b.bottom;
    };
    long opaque = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &frame[4 * (y * w + x)];
            ASSERT_EQ(p[0] | p[1] | p[2], 0) << x << "," << y;
            ASSERT_TRUE(p[3] == 0 || p[3] == 255) << x << "," << y;
            if (p[3] == 0)
                continue;
            ++opaque;
            bool covered = false;
            for (const VectorFlyShape& s : shapes)
                covered = covered || inside(s.body, x, y) || inside(s.leftWing, x, y) || inside(s.rightWing, x, y);
            ASSERT_TRUE(covered) << "opaque pixel outside every ellipse at " << x << "," << y;
        }
    EXPECT_GT(opaque, 100);
    // The body's middle is filled; the outline pixels around it are not.
    EXPECT_EQ(frame[4 * (50 * w + 100) + 3], 255);
    EXPECT_EQ(frame[4 * (100 * w + 180) + 3], 255);
    EXPECT_EQ(frame[4 * (0 * w + 0) + 3], 255);
}

// The vectorised clear and fix-up passes leave exactly the bytes that the straightforward ones leave
// on what GDI really draws: many flies, some over the edges, on a frame of odd size full of garbage.
TEST_F(Render, FallbackFrameIsTheSameAsWithTheStraightforwardPasses)
{
    const int w = 333, h = 101, ox = -7, oy = 5;
    std::mt19937 random(11);
    std::vector<Fly> swarm;
    for (int i = 0; i < 60; ++i)
        swarm.push_back(make_fly(static_cast<float>(random() % (w + 40)) - 20.0f + ox,
                                 static_cast<float>(random() % (h + 40)) - 20.0f + oy,
                                 static_cast<float>(random() % 628) / 100.0f, 4 + random() % 60, i % 2));
    const std::vector<uint8_t> optimised = compose(w, h, ox, oy, swarm, nullptr);

    Frame frame;
    frame_acquire(&frame, w, h, ox, oy);
    ASSERT_NE(frame.pixels, nullptr);
    const size_t bytes = static_cast<size_t>(w) * h * 4;
    std::memset(frame.pixels, 0x5A, bytes);
    reference_clear_pixels(frame.pixels, w, h);
    for (const Fly& fly : swarm)
        draw_fly(frame.memDC, fly.x - static_cast<float>(ox), fly.y - static_cast<float>(oy), fly.drawAngle,
                 fly.legFrame, fly.size);
    GdiFlush();
    reference_alpha_fixup_pass(frame.pixels, w, h);
    const std::vector<uint8_t> reference(frame.pixels, frame.pixels + bytes);
    frame_release(&frame);

    ASSERT_EQ(optimised.size(), reference.size());
    EXPECT_TRUE(optimised == reference);
    EXPECT_GT(std::count(reference.begin(), reference.end(), 255), 1000);
}

TEST_F(Render, FallbackWithoutFliesIsFullyTransparent)
{
    const std::vector<uint8_t> frame = compose(64, 48, 0, 0, {}, nullptr);
    for (size_t i = 0; i < frame.size(); ++i)
        ASSERT_EQ(frame[i], 0) << i;
}

// One frame on a virtual screen of 100000 x 100000 pixels (40 GB), which the platform refuses to
// make a bitmap for: the pixel pointer stays null, and the frame is still composed, presented on
// window and released.
static void present_refused_frame(HWND window, const std::vector<Fly>& swarm, Gdiplus::Bitmap* image)
{
    Frame frame;
    frame_acquire(&frame, 100000, 100000, -20, -10);
    EXPECT_EQ(frame.bitmap, nullptr);
    EXPECT_EQ(frame.pixels, nullptr);
    frame_compose(&frame, swarm.data(), static_cast<int>(swarm.size()), image);
    frame_present(window, &frame);
    frame_release(&frame);
}

// Both paths survive a refused frame bitmap without touching the pixels, and leave no GDI object
// behind (counted from the second frame on: the first may make what GDI and GDI+ keep per process).
TEST_F(Render, RefusedFrameBitmapStillComposesPresentsAndReleases)
{
    load_fly_image();
    ASSERT_NE(g_flyBitmap, nullptr);
    HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const std::vector<Fly> swarm = {make_fly(100.0f, 100.0f, 0.5f, 36), make_fly(-5.0f, 3.0f, 2.0f, 48, 1)};
    for (Gdiplus::Bitmap* image : {g_flyBitmap, static_cast<Gdiplus::Bitmap*>(nullptr)}) {
        SCOPED_TRACE(image != nullptr ? "image path" : "fallback path");
        present_refused_frame(window, swarm, image);
        const long before = count_gdi_objects();
        present_refused_frame(window, swarm, image);
        EXPECT_EQ(count_gdi_objects(), before);
    }
    DestroyWindow(window);
}
