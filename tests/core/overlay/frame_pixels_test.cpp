// The frame's pixel passes: the alpha fix-up pass turns a GDI-drawn frame into opaque black on
// transparent, the clear makes every byte 0; and both give exactly the bytes of the straightforward
// passes on frames of every shape, content and alignment.
#include "frame_pixels.h"
#include "frame_pixels_reference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
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

namespace {

// What a test frame holds before a pass runs.
enum class Fill { Random, Sparse, AlphaOnly, Zero };

// A w x h frame at byte offset `offset` inside a buffer whose other bytes are guards (0xC3): the
// passes load and store unaligned, and must not touch a byte outside the frame.
struct GuardedFrame {
    static constexpr size_t GUARD = 64;
    std::vector<uint8_t> buffer;
    size_t offset, bytes;

    GuardedFrame(int w, int h, size_t misalign, Fill fill, std::mt19937* random)
        : buffer(GUARD + misalign + static_cast<size_t>(w) * h * 4 + GUARD, 0xC3),
          offset(GUARD + misalign), bytes(static_cast<size_t>(w) * h * 4)
    {
        for (size_t k = 0; k < bytes / 4; ++k) {
            uint8_t* px = pixels() + 4 * k;
            const uint32_t r = (*random)();
            switch (fill) {
            case Fill::Random: // half the pixels 0, the rest any bytes
                std::memcpy(px, &r, 4);
                if (r % 2 == 0)
                    std::memset(px, 0, 4);
                break;
            case Fill::Sparse: // a cleared frame with a stray byte here and there, as drawing leaves it
                std::memset(px, 0, 4);
                if (r % 97 == 0)
                    px[r / 97 % 4] = static_cast<uint8_t>(r >> 24 | 1);
                break;
            case Fill::AlphaOnly: // colourless pixels with some alpha: must all end transparent
                std::memset(px, 0, 4);
                px[3] = static_cast<uint8_t>(r % 3 == 0 ? r >> 8 : 0);
                break;
            case Fill::Zero:
                std::memset(px, 0, 4);
                break;
            }
        }
    }
    uint8_t* pixels() { return buffer.data() + offset; }
};

using Pass = void (*)(uint8_t*, int, int);

// Runs pass and reference on copies of the same frames for many shapes and fills; every byte of the
// buffers, guards included, must come out the same.
void expect_same_as_reference(Pass pass, Pass reference)
{
    // Widths around the 4-pixel lane and the 32-pixel block, odd sizes, and a frame-wide row.
    const int widths[] = {1, 2, 3, 4, 5, 7, 31, 32, 33, 37, 63, 65, 97, 1921};
    const int heights[] = {1, 2, 3, 7, 13};
    const Fill fills[] = {Fill::Random, Fill::Sparse, Fill::AlphaOnly, Fill::Zero};
    std::mt19937 random(20240611);
    for (int w : widths) {
        for (int h : heights) {
            for (Fill fill : fills) {
                const size_t misalign = random() % 16;
                GuardedFrame actual(w, h, misalign, fill, &random);
                GuardedFrame expected = actual;
                pass(actual.pixels(), w, h);
                reference(expected.pixels(), w, h);
                ASSERT_EQ(actual.buffer, expected.buffer)
                    << w << " x " << h << ", fill " << static_cast<int>(fill) << ", misaligned by " << misalign;
            }
        }
    }
}

} // namespace

TEST(FramePixels, FixupGivesTheReferenceBytesOnEveryShapeAndContent)
{
    expect_same_as_reference(alpha_fixup_pass, reference_alpha_fixup_pass);
}

TEST(FramePixels, ClearGivesTheReferenceBytesOnEveryShapeAndContent)
{
    expect_same_as_reference(clear_pixels, reference_clear_pixels);
}

// Within a block of 32 pixels, one set byte anywhere makes the whole block count: the pixels around
// it still get their alpha cleared by the fix-up, and the clear still zeroes it.
TEST(FramePixels, OneSetByteAnywhereInABlockIsSeen)
{
    const int w = 40, h = 2; // one whole block per row and a part block
    for (size_t byte = 0; byte < static_cast<size_t>(w) * h * 4; ++byte) {
        for (uint8_t value : {uint8_t{1}, uint8_t{0x80}}) {
            std::vector<uint8_t> frame(static_cast<size_t>(w) * h * 4, 0);
            frame[byte] = value;
            std::vector<uint8_t> expected = frame;
            alpha_fixup_pass(frame.data(), w, h);
            reference_alpha_fixup_pass(expected.data(), w, h);
            ASSERT_EQ(frame, expected) << "fix-up, byte " << byte;
            frame.assign(frame.size(), 0);
            frame[byte] = value;
            clear_pixels(frame.data(), w, h);
            ASSERT_EQ(frame, std::vector<uint8_t>(frame.size(), 0)) << "clear, byte " << byte;
        }
    }
}

TEST(FramePixels, EmptyOrNegativeSizesTouchNothing)
{
    std::vector<uint8_t> frame(64, 0x5A);
    for (Pass pass : {alpha_fixup_pass, clear_pixels}) {
        pass(frame.data(), 0, 5);
        pass(frame.data(), 5, 0);
        pass(frame.data(), -4, 3);
        pass(frame.data(), 3, -4);
        EXPECT_EQ(frame, std::vector<uint8_t>(64, 0x5A));
    }
}
