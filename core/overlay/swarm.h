// The fly record, the swarm array and the virtual-screen rectangle the flies live on.
// Pure code: builds and is tested without Win32.
#pragma once
#include <cstdint>

// One fly: sixteen 32-bit fields in this order. Angles in radians, clockwise on screen (y down).
struct Fly {
    float x, y;           // centre in virtual-screen pixels
    float vx, vy;         // velocity, pixels per second; (0, 0) while paused
    float heading;        // direction of the last non-zero velocity, [-pi, pi]
    float drawAngle;      // heading + wobble: the angle the fly is drawn at
    float wobble;         // current turning offset
    float wobbleTarget;   // offset the current turn eases towards
    float wobbleTime;     // seconds left in the current turn, <= 0 means none
    int32_t legFrame;     // animation frame, 0 or 1
    float frameTimer;     // sixtieths of a second since legFrame last flipped
    float pauseTime;      // seconds left in the current pause
    int32_t paused;       // 1 while sitting still
    float savedVx, savedVy; // velocity to give back when the pause ends
    int32_t size;         // side of the square the fly is drawn in, pixels
};
static_assert(sizeof(Fly) == 64, "Fly is sixteen 32-bit fields");

// The swarm: g_flyCount records, or nullptr before allocate_flies and after free_flies.
extern Fly* flies;

// VirtualScreen: the whole virtual screen in screen pixels, read once at start-up.
extern int virtualX, virtualY, windowWidth, windowHeight;

// Bytes of an array of count records, in 64 bits: no positive count can overflow it.
uint64_t fly_array_bytes(int count);

// Obtains the array for g_flyCount records; false (and flies stays nullptr) when out of memory.
bool allocate_flies();

// Gives every fly its starting state from the settings, the virtual screen and the random source.
// On an empty axis of the virtual screen (width or height 0 or less) the flies start at its origin.
void spawn_flies();

// Releases the array; does nothing when there is none.
void free_flies();
