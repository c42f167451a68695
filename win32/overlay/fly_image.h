// The overlay's fly image: decoded once at start-up from "fly\fly.png" under the current directory,
// else from the PNG embedded in the program; with neither, frames use the vector fly.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// The decoded fly image, or null; its presence alone selects the image path of every frame.
extern Gdiplus::Bitmap* g_flyBitmap;

// Fills g_flyBitmap from the file or the embedded resource; does nothing once it holds an image.
void load_fly_image();

// Deletes the image at shut-down; must run before GDI+ is shut down.
void release_fly_image();
