// The overlay window: a borderless, topmost, click-through layered window over the whole virtual
// screen, and the frame clock that its 16 ms timer drives.
#pragma once
#include <windows.h>

#include <cstdint>

extern int64_t freq;     // performance-counter ticks per second, read once at start-up
extern double g_runTime; // run time counted against the limit, seconds; stays 0 without a limit

// The window class name; tests find the running overlay by it.
constexpr char OVERLAY_CLASS_NAME[] = "BuzzelClass";

// Layered, tool window (no taskbar button), transparent to the mouse, topmost: 0x800A8.
constexpr DWORD OVERLAY_EX_STYLE = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST;

// Registers "BuzzelClass"; false when the platform refuses.
bool register_overlay_class(HINSTANCE instance);

// Creates the overlay window over the virtual screen, which starts the frame clock; null on failure.
HWND create_overlay_window(HINSTANCE instance);

// Builds and shows one whole frame of the current flies on the overlay window.
void update_layered_content(HWND hwnd);
