// Native micro-benchmarks of the overlay's pure per-tick work: the fly step for a whole swarm, and
// the frame's pixel passes beside memset and memcpy of the same frame, the memory-bandwidth yardsticks.
#include "fly_step.h"
#include "frame_pixels.h"
#include "frame_pixels_reference.h"
#include "rand15.h"
#include "settings.h"
#include "swarm.h"
#include "vector_fly.h"
#include "../tests/support/virtual_screen.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr double TICK = 1.0 / 60.0; // the frame clock's nominal tick

// A freshly spawned swarm of count flies on a w x h screen, from a fixed seed.
void spawn_swarm(int count, int w, int h)
{
    free_flies();
    reset_settings();
    g_flyCount = count;
    set_virtual_screen(0, 0, w, h);
    srand15(12345);
    allocate_flies();
    spawn_flies();
}

// One tick of the simulation: every fly stepped once, in index order, as the frame clock does.
void BM_swarm_tick(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    spawn_swarm(count, 1920, 1080);
    for (auto _ : state) {
        update_swarm(flies, g_flyCount, TICK);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * count);
    free_flies();
}
BENCHMARK(BM_swarm_tick)->Arg(1)->Arg(50)->Arg(500);

// What a benchmarked frame holds before the pass runs.
enum class Content {
    Zero,     // a cleared frame: every byte 0
    Fallback, // a cleared frame with 50 vector flies filled in red, as GDI leaves it
    Random,   // random pixels, half of them 0: the worst case for skipping empty blocks
};

// Fills the ellipse inside box with the vector fly's red, as GDI's Ellipse fills it (near enough:
// only which pixels are set matters to the passes' speed).
void fill_ellipse(std::vector<uint8_t>* frame, int w, int h, const EllipseBox& box)
{
    const float cx = (box.left + box.right) / 2.0f, cy = (box.top + box.bottom) / 2.0f;
    const float rx = (box.right - box.left) / 2.0f, ry = (box.bottom - box.top) / 2.0f;
    if (rx <= 0.0f || ry <= 0.0f)
        return;
    for (int y = std::max(box.top, 0); y < std::min(box.bottom, h); ++y) {
        for (int x = std::max(box.left, 0); x < std::min(box.right, w); ++x) {
            const float u = (x + 0.5f - cx) / rx, v = (y + 0.5f - cy) / ry;
            if (u * u + v * v <= 1.0f)
                (*frame)[4 * (static_cast<size_t>(y) * w + x) + 2] = 255;
        }
    }
}

std::vector<uint8_t> make_frame(Content content, int w, int h)
{
    std::vector<uint8_t> frame(static_cast<size_t>(w) * h * 4, 0);
    if (content == Content::Fallback) {
        spawn_swarm(50, w, h);
        for (int i = 0; i < g_flyCount; ++i) {
            const Fly& fly = flies[i];
            const VectorFlyShape shape = vector_fly_shape(fly.x, fly.y, fly.drawAngle, fly.legFrame, fly.size);
            for (const EllipseBox& box : {shape.body, shape.leftWing, shape.rightWing})
                fill_ellipse(&frame, w, h, box);
        }
        free_flies();
    } else if (content == Content::Random) {
        std::mt19937 random(7);
        for (size_t k = 0; k < frame.size() / 4; ++k) {
            const uint32_t v = random() % 2 == 0 ? 0 : static_cast<uint32_t>(random());
            std::memcpy(&frame[4 * k], &v, 4);
        }
    }
    return frame;
}

// Times one pass over a w x h frame that holds the given content afresh before every run; the
// refill is not timed. Every pass starts from the same state: the frame just written, as warm in
// the caches as a frame that was just cleared and drawn.
template <typename Pass>
void time_pass(benchmark::State& state, Content content, Pass pass)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const std::vector<uint8_t> pristine = make_frame(content, w, h);
    std::vector<uint8_t> frame = pristine;
    std::vector<uint8_t> copy(frame.size());
    for (auto _ : state) {
        std::memcpy(frame.data(), pristine.data(), frame.size());
        const auto start = std::chrono::steady_clock::now();
        pass(frame.data(), copy.data(), w, h);
        benchmark::ClobberMemory();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * frame.size()));
}

void frame_sizes(benchmark::internal::Benchmark* b)
{
    b->Args({1920, 1080})->Args({3840, 2160})->UseManualTime();
}

// Clearing the frame with plain memset: the yardstick for a pass that writes every byte.
void BM_memset(benchmark::State& state)
{
    time_pass(state, Content::Fallback, [](uint8_t* frame, uint8_t*, int w, int h) {
        std::memset(frame, 0, static_cast<size_t>(w) * h * 4);
    });
}
BENCHMARK(BM_memset)->Apply(frame_sizes);

// Copying the frame: the yardstick for a pass that reads and writes every byte.
void BM_memcpy(benchmark::State& state)
{
    time_pass(state, Content::Fallback, [](uint8_t* frame, uint8_t* copy, int w, int h) {
        std::memcpy(copy, frame, static_cast<size_t>(w) * h * 4);
    });
}
BENCHMARK(BM_memcpy)->Apply(frame_sizes);

void BM_clear(benchmark::State& state, Content content)
{
    time_pass(state, content, [](uint8_t* frame, uint8_t*, int w, int h) { clear_pixels(frame, w, h); });
}
BENCHMARK_CAPTURE(BM_clear, zero, Content::Zero)->Apply(frame_sizes);
BENCHMARK_CAPTURE(BM_clear, fallback, Content::Fallback)->Apply(frame_sizes);

void BM_fixup(benchmark::State& state, Content content)
{
    time_pass(state, content, [](uint8_t* frame, uint8_t*, int w, int h) { alpha_fixup_pass(frame, w, h); });
}
BENCHMARK_CAPTURE(BM_fixup, fallback, Content::Fallback)->Apply(frame_sizes);
BENCHMARK_CAPTURE(BM_fixup, random, Content::Random)->Apply(frame_sizes);

// The straightforward pass, to show what the vectorised one gains.
void BM_fixup_reference(benchmark::State& state, Content content)
{
    time_pass(state, content,
              [](uint8_t* frame, uint8_t*, int w, int h) { reference_alpha_fixup_pass(frame, w, h); });
}
BENCHMARK_CAPTURE(BM_fixup_reference, fallback, Content::Fallback)->Apply(frame_sizes);
BENCHMARK_CAPTURE(BM_fixup_reference, random, Content::Random)->Apply(frame_sizes);

} // namespace

BENCHMARK_MAIN();
