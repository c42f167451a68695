// The launcher's header band: GDI+ start-up and shut-down, the header image, and its painting.
#pragma once
#include <windows.h>

// Starts GDI+ and loads the header image: the embedded PNG first, "fly\fly.png" only when
// that gives nothing. Runs while the window is created.
void header_startup();

// WM_PAINT: the image (or a 48 x 48 outline in its place) and "Fly", centred as one block.
void header_paint(HWND window);

// After the message loop: the image goes, then GDI+ is shut down.
void header_release();
