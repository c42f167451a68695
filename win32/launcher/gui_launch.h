// The launcher's "Let's Fly" button: it starts the overlay program beside the launcher and
// closes the window.
#pragma once
#include <windows.h>

// "Let's Fly": composes the command from the four sliders, launches, then destroys the window
// whatever the launch achieved.
void launch_click(HWND window);
