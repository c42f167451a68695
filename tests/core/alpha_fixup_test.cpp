// The alpha fix-up pass turns a GDI-drawn frame into opaque black on transparent.
#include "alpha_fixup.h"

#include <gtest/gtest.h>

#include <vector>

TEST(AlphaFixup, AnyColourBecomesOpaqueBlackElseTransparent)
{
    struct Case {
        uint8_t in[4];
        uint8_t out[4];
    };
    const Case cases[] = {
        {{0, 0, 255, 0}, {0, 0, 0, 255}},     // the red brush's fill
        {{1, 0, 0, 0}, {0, 0, 0, 255}},       // any colour byte, however small
        {{0, 1, 0, 77}, {0, 0, 0, 255}},
        {{0, 0, 1, 255}, {0, 0, 0, 255}},
        {{0, 0, 0, 0}, {0, 0, 0, 0}},         // untouched background
        {{0, 0, 0, 255}, {0, 0, 0, 0}},       // the black pen outline cannot be told from it
        {{0, 0, 0, 128}, {0, 0, 0, 0}},
        {{255, 255, 255, 255}, {0, 0, 0, 255}},
    };
    std::vector<uint8_t> frame;
    for (const Case& c : cases)
        frame.insert(frame.end(), c.in, c.in + 4);
    alpha_fixup_pass(frame.data(), 4, 2);
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        for (int b = 0; b < 4; ++b)
            EXPECT_EQ(frame[4 * i + b], cases[i].out[b]) << "pixel " << i << " byte " << b;
}

TEST(AlphaFixup, CoversEveryPixelOfTheFrame)
{
    const int w = 37, h = 23;
    const size_t bytes = static_cast<size_t>(w) * h * 4;
    // A frame of mixed bytes with a guard byte after it.
    std::vector<uint8_t> frame(bytes + 1, 0xAB);
    for (size_t i = 0; i < bytes; ++i)
        frame[i] = (i / 4) % 3 == 0 ? 0 : static_cast<uint8_t>(i * 37);
    const std::vector<uint8_t> before = frame;
    alpha_fixup_pass(frame.data(), w, h);
    for (size_t k = 0; k < bytes / 4; ++k) {
        const bool coloured = (before[4 * k] | before[4 * k + 1] | before[4 * k + 2]) != 0;
        ASSERT_EQ(frame[4 * k] | frame[4 * k + 1] | frame[4 * k + 2], 0) << k;
        ASSERT_EQ(frame[4 * k + 3], coloured ? 255 : 0) << k;
    }
    EXPECT_EQ(frame[bytes], 0xAB);
}

TEST(AlphaFixup, EmptyFrameStaysTransparent)
{
    std::vector<uint8_t> frame(64 * 8 * 4, 0);
    alpha_fixup_pass(frame.data(), 64, 8);
    for (uint8_t b : frame)
        ASSERT_EQ(b, 0);
}
