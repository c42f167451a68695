// Native micro-benchmarks of the overlay's pure per-tick work: the fly step per fly and for a
// whole swarm, with memset and memcpy of a frame as the memory-bandwidth yardsticks.
#include "fly_step.h"
#include "rand15.h"
#include "settings.h"
#include "swarm.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr double TICK = 1.0 / 60.0; // the frame clock's nominal tick

// A freshly spawned swarm of count flies on a 1920 x 1080 screen, from a fixed seed.
void spawn_swarm(int count)
{
    free_flies();
    reset_settings();
    g_flyCount = count;
    virtualX = 0;
    virtualY = 0;
    windowWidth = 1920;
    windowHeight = 1080;
    srand15(12345);
    allocate_flies();
    spawn_flies();
}

// One tick of the simulation: every fly stepped once, in index order, as the frame clock does.
void BM_swarm_tick(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    spawn_swarm(count);
    for (auto _ : state) {
        for (int i = 0; i < g_flyCount; ++i)
            update_fly(&flies[i], TICK);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * count);
    free_flies();
}
BENCHMARK(BM_swarm_tick)->Arg(1)->Arg(50)->Arg(500);

// A frame-sized buffer of w x h BGRA pixels.
struct Frame {
    int w, h;
    std::vector<uint8_t> bytes;
    explicit Frame(int width, int height)
        : w(width), h(height), bytes(static_cast<size_t>(width) * height * 4, 0x5a) {}
    size_t size() const { return bytes.size(); }
    double megapixels() const { return static_cast<double>(w) * h / 1e6; }
};

void set_frame_counters(benchmark::State& state, const Frame& frame)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * frame.size()));
    state.counters["MP"] = frame.megapixels();
}

// Clearing the frame: the least any pass over every pixel can cost.
void BM_memset(benchmark::State& state)
{
    Frame frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        std::memset(frame.bytes.data(), 0, frame.size());
        benchmark::ClobberMemory();
    }
    set_frame_counters(state, frame);
}
BENCHMARK(BM_memset)->Args({1920, 1080})->Args({3840, 2160});

// Reading and writing every byte: what a pass that reads its input costs at best.
void BM_memcpy(benchmark::State& state)
{
    Frame frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::vector<uint8_t> source(frame.size(), 0x33);
    for (auto _ : state) {
        std::memcpy(frame.bytes.data(), source.data(), frame.size());
        benchmark::ClobberMemory();
    }
    set_frame_counters(state, frame);
}
BENCHMARK(BM_memcpy)->Args({1920, 1080})->Args({3840, 2160});

} // namespace

BENCHMARK_MAIN();
