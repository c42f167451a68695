// Frame cost under Wine, on the overlay's real frame functions and fly step: the floor (an empty
// frame created, cleared, presented and released) and whole ticks with 1, 50 and 500 flies on the
// image path and on the fallback path, split into simulation, composition and presentation.
// The cases take turns, round after round, so a slow spell of the machine hits them all alike.
#include "fly_image.h"
#include "fly_step.h"
#include "frame.h"
#include "overlay_window.h"
#include "rand15.h"
#include "settings.h"
#include "swarm.h"
#include "../tests/support/virtual_screen.h"
#include "../tests/win32/test_support.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr double TICK = 1.0 / 60.0; // every tick advances the flies by one nominal frame

// One measured configuration at one frame size.
struct Case {
    const char* path; // "floor", "image" or "fallback"
    int flies;        // swarm size; 0 for the floor
    Fly* swarm;       // the case's own flies, spawned once and stepped on every tick
    // Per-tick samples in milliseconds: the fly steps, creating the frame, clearing and drawing it,
    // presenting it, releasing it, and the whole tick.
    std::vector<double> sim, acquire, paint, present, release, tick;
};

// What the command line asks for.
struct Options {
    std::vector<SIZE> sizes;
    std::vector<int> flyCounts;
    int rounds = 5; // turns every case takes
    int ticks = 4;  // ticks per case and turn
};

int64_t g_counterFrequency = 1; // performance-counter ticks per second

int64_t counter()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double ms_between(int64_t from, int64_t to)
{
    return static_cast<double>(to - from) * 1000.0 / static_cast<double>(g_counterFrequency);
}

double median(std::vector<double> samples)
{
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
}

// Spawns count flies on the current virtual screen from a fixed seed, in an array of their own.
Fly* spawn_swarm(int count)
{
    g_flyCount = count;
    srand15(20240611u + static_cast<unsigned>(count));
    if (!allocate_flies())
        return nullptr;
    spawn_flies();
    Fly* swarm = flies;
    flies = nullptr; // the case owns it now
    return swarm;
}

// One tick as the frame clock runs it, timed step by step. The floor draws nothing: it only
// creates, clears, presents and releases the frame.
void run_tick(HWND hwnd, Case* c, Gdiplus::Bitmap* image)
{
    const int64_t t0 = counter();
    update_swarm(c->swarm, c->flies, TICK);
    const int64_t t1 = counter();
    Frame frame;
    frame_acquire(&frame, windowWidth, windowHeight, virtualX, virtualY);
    const int64_t t2 = counter();
    if (std::strcmp(c->path, "floor") == 0)
        frame_clear(&frame);
    else
        frame_compose(&frame, c->swarm, c->flies, std::strcmp(c->path, "image") == 0 ? image : nullptr);
    const int64_t t3 = counter();
    frame_present(hwnd, &frame);
    const int64_t t4 = counter();
    frame_release(&frame);
    const int64_t t5 = counter();

    c->sim.push_back(ms_between(t0, t1));
    c->acquire.push_back(ms_between(t1, t2));
    c->paint.push_back(ms_between(t2, t3));
    c->present.push_back(ms_between(t3, t4));
    c->release.push_back(ms_between(t4, t5));
    c->tick.push_back(ms_between(t0, t5));
}

// The cases at the current virtual-screen size: the floor, then each path with each swarm size.
// Empty when a swarm cannot be allocated.
std::vector<Case> make_cases(const Options& options)
{
    std::vector<Case> cases;
    cases.push_back(Case{"floor", 0, nullptr, {}, {}, {}, {}, {}, {}});
    for (const char* path : {"image", "fallback"}) {
        for (int count : options.flyCounts) {
            Fly* swarm = spawn_swarm(count);
            if (swarm == nullptr) {
                std::fprintf(stderr, "frame_bench: no memory for %d flies\n", count);
                for (Case& c : cases)
                    std::free(c.swarm);
                return {};
            }
            cases.push_back(Case{path, count, swarm, {}, {}, {}, {}, {}, {}});
        }
    }
    return cases;
}

// Runs every case at one frame size, taking turns, and prints one record per case.
bool bench_size(HINSTANCE instance, SIZE size, const Options& options, Gdiplus::Bitmap* image)
{
    set_virtual_screen(0, 0, size.cx, size.cy);
    std::vector<Case> cases = make_cases(options);
    if (cases.empty())
        return false;
    HWND hwnd = CreateWindowExA(OVERLAY_EX_STYLE, "BuzzelBench", "Buzzel", WS_POPUP, 0, 0, size.cx, size.cy,
                                nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        std::fprintf(stderr, "frame_bench: CreateWindowEx failed\n");
        for (Case& c : cases)
            std::free(c.swarm);
        return false;
    }
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);

    // One tick of each case first, unrecorded: the first frames pay for warming up.
    for (Case& c : cases) {
        run_tick(hwnd, &c, image);
        pump_messages();
    }
    for (Case& c : cases) {
        for (std::vector<double>* samples : {&c.sim, &c.acquire, &c.paint, &c.present, &c.release, &c.tick})
            samples->clear();
    }
    for (int round = 0; round < options.rounds; ++round) {
        for (Case& c : cases) {
            for (int t = 0; t < options.ticks; ++t) {
                run_tick(hwnd, &c, image);
                pump_messages(); // what presenting queued, handled outside the timed tick
            }
        }
    }

    // Columns: size path flies samples, then the medians in ms of sim acquire paint present release tick.
    for (Case& c : cases) {
        std::printf("frame\t%ldx%ld\t%s\t%d\t%zu\t%.4f\t%.4f\t%.4f\t%.4f\t%.4f\t%.4f\n", size.cx, size.cy,
                    c.path, c.flies, c.tick.size(), median(c.sim), median(c.acquire), median(c.paint),
                    median(c.present), median(c.release), median(c.tick));
        std::free(c.swarm);
    }
    std::fflush(stdout);
    DestroyWindow(hwnd);
    pump_messages();
    return true;
}

bool parse_size(const char* text, SIZE* size)
{
    long w = 0, h = 0;
    if (std::sscanf(text, "%ldx%ld", &w, &h) != 2 || w <= 0 || h <= 0)
        return false;
    size->cx = w;
    size->cy = h;
    return true;
}

bool parse_options(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        SIZE size;
        if (std::strcmp(argv[i], "--size") == 0 && hasValue && parse_size(argv[i + 1], &size))
            options->sizes.push_back(size);
        else if (std::strcmp(argv[i], "--flies") == 0 && hasValue && std::atoi(argv[i + 1]) > 0)
            options->flyCounts.push_back(std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--rounds") == 0 && hasValue && std::atoi(argv[i + 1]) > 0)
            options->rounds = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--ticks") == 0 && hasValue && std::atoi(argv[i + 1]) > 0)
            options->ticks = std::atoi(argv[i + 1]);
        else
            return false;
        ++i;
    }
    if (options->sizes.empty())
        options->sizes = {SIZE{1920, 1080}, SIZE{3840, 2160}};
    if (options->flyCounts.empty())
        options->flyCounts = {1, 50, 500};
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse_options(argc, argv, &options)) {
        std::fprintf(stderr, "usage: frame_bench [--size WxH]... [--flies N]... [--rounds N] [--ticks N]\n");
        return 2;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_counterFrequency = frequency.QuadPart;

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "BuzzelBench";
    if (RegisterClassA(&wc) == 0) {
        std::fprintf(stderr, "frame_bench: RegisterClass failed\n");
        return 1;
    }
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        std::fprintf(stderr, "frame_bench: GDI+ did not start\n");
        return 1;
    }
    // The embedded fly image, as the overlay program has it.
    load_fly_image();
    if (g_flyBitmap == nullptr) {
        std::fprintf(stderr, "frame_bench: no fly image\n");
        Gdiplus::GdiplusShutdown(token);
        return 1;
    }
    reset_settings();
    bool ok = true;
    for (SIZE size : options.sizes)
        ok = ok && bench_size(instance, size, options, g_flyBitmap);
    release_fly_image();
    Gdiplus::GdiplusShutdown(token);
    return ok ? 0 : 1;
}
