// The frame's pixel passes; see frame_pixels.h. Both walk the frame in blocks of 32 pixels (128
// bytes, eight SSE2 registers). A block whose bytes are all 0 is already its own result in either
// pass, so it is not written: most of a frame is empty, and untouched memory stays untouched.
// Within a block every pixel is handled alike, without branches. Without SSE2 (ARM, say) the
// same blocks go through plain 64-bit words and per-pixel fix-ups, with the same bytes as result.
#include "frame_pixels.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <cstddef>
#include <cstring>

static constexpr size_t BLOCK_PIXELS = 32;
static constexpr uint32_t COLOUR_BYTES = 0x00FFFFFF; // blue, green, red of a little-endian BGRA pixel
static constexpr uint32_t OPAQUE_BLACK = 0xFF000000; // (0, 0, 0, 255)

// The pixel count in 64 bits, 0 for an empty frame.
static size_t pixel_count(int w, int h)
{
    return w > 0 && h > 0 ? static_cast<size_t>(w) * static_cast<size_t>(h) : 0;
}

#ifdef __SSE2__
// One block of eight 16-byte lanes, loaded unaligned (any pointer works).
struct Block {
    __m128i lane[8];
};

static Block load_block(const uint8_t* bytes)
{
    Block b;
    for (int i = 0; i < 8; ++i)
        b.lane[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes) + i);
    return b;
}

static bool all_zero(const Block& b)
{
    const __m128i any = _mm_or_si128(_mm_or_si128(_mm_or_si128(b.lane[0], b.lane[1]), _mm_or_si128(b.lane[2], b.lane[3])),
                                     _mm_or_si128(_mm_or_si128(b.lane[4], b.lane[5]), _mm_or_si128(b.lane[6], b.lane[7])));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) == 0xFFFF;
}

// Four pixels at once: opaque black where any colour byte is set, else all 0.
static __m128i fixup_lane(__m128i pixels)
{
    const __m128i colour = _mm_set1_epi32(static_cast<int>(COLOUR_BYTES));
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(OPAQUE_BLACK));
    const __m128i uncoloured = _mm_cmpeq_epi32(_mm_and_si128(pixels, colour), _mm_setzero_si128());
    return _mm_andnot_si128(uncoloured, opaque);
}

static bool block_is_zero(const uint8_t* bytes)
{
    return all_zero(load_block(bytes));
}
#else
// Whether the block of 32 pixels at bytes is all 0, read as 64-bit words (any pointer works).
static bool block_is_zero(const uint8_t* bytes)
{
    uint64_t any = 0;
    for (size_t i = 0; i < 4 * BLOCK_PIXELS; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        any |= word;
    }
    return any == 0;
}
#endif

// One pixel, for the frame's last few.
static void fixup_pixel(uint8_t* px)
{
    uint32_t v;
    std::memcpy(&v, px, 4);
    v = (v & COLOUR_BYTES) != 0 ? OPAQUE_BLACK : 0;
    std::memcpy(px, &v, 4);
}

void clear_pixels(uint8_t* bgra, int w, int h)
{
    const size_t n = pixel_count(w, h);
    size_t k = 0;
    for (; k + BLOCK_PIXELS <= n; k += BLOCK_PIXELS) {
        uint8_t* block = bgra + 4 * k;
        if (!block_is_zero(block))
            std::memset(block, 0, 4 * BLOCK_PIXELS);
    }
    std::memset(bgra + 4 * k, 0, 4 * (n - k));
}

void alpha_fixup_pass(uint8_t* bgra, int w, int h)
{
    const size_t n = pixel_count(w, h);
    size_t k = 0;
#ifdef __SSE2__
    for (; k + BLOCK_PIXELS <= n; k += BLOCK_PIXELS) {
        uint8_t* block = bgra + 4 * k;
        const Block b = load_block(block);
        if (all_zero(b))
            continue;
        for (int i = 0; i < 8; ++i)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(block) + i, fixup_lane(b.lane[i]));
    }
    for (; k + 4 <= n; k += 4) {
        __m128i* lane = reinterpret_cast<__m128i*>(bgra + 4 * k);
        _mm_storeu_si128(lane, fixup_lane(_mm_loadu_si128(lane)));
    }
#else
    for (; k + BLOCK_PIXELS <= n; k += BLOCK_PIXELS) {
        uint8_t* block = bgra + 4 * k;
        if (block_is_zero(block))
            continue;
        for (size_t i = 0; i < BLOCK_PIXELS; ++i)
            fixup_pixel(block + 4 * i);
    }
#endif
    for (; k < n; ++k)
        fixup_pixel(bgra + 4 * k);
}
