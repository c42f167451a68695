// The launcher's header band: GDI+ start-up and shut-down, the header image, and its painting.
#pragma once
#include <windows.h>

namespace Gdiplus {
class Bitmap;
}

// RCDATA resource holding the fly PNG shown in the header.
constexpr int FLY_IMAGE_RESOURCE = 102;

extern ULONG_PTR g_gdiplusTokenGui;      // GDI+ start-up token; 0 while GDI+ is not running
extern Gdiplus::Bitmap* g_flyBitmapGui;  // the decoded header image, or nullptr

// Starts GDI+ and loads the header image: the embedded PNG first, "fly\fly.png" only when
// that gives nothing. Runs while the window is created.
void header_startup();

// WM_PAINT: the image (or a 48 x 48 outline in its place) and "Fly", centred as one block.
void header_paint(HWND window);

// After the message loop: the image goes, then GDI+ is shut down.
void header_release();
