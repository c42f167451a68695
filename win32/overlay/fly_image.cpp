// Loads the fly image: the file "fly\fly.png" first, then RCDATA 101. Every failure is silent and
// just moves on to the next source, or leaves the overlay with its vector fly.
#include "fly_image.h"

#include "png_decode.h"
#include "resource_ids.h"

Gdiplus::Bitmap* g_flyBitmap = nullptr; // decoded fly image, set at most once per run

// Relative to the current directory, so a fly image can be swapped in without touching the program.
static const char FLY_IMAGE_FILE[] = "fly\\fly.png";

void load_fly_image()
{
    if (g_flyBitmap != nullptr)
        return;
    g_flyBitmap = decode_png_file(FLY_IMAGE_FILE);
    if (g_flyBitmap != nullptr)
        return;
    g_flyBitmap = decode_png_resource(IDR_FLY_PNG);
}

void release_fly_image()
{
    delete g_flyBitmap;
    g_flyBitmap = nullptr;
}
