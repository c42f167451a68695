// Decoding a PNG into a GDI+ bitmap, from a file or from an RCDATA resource of the running
// program. Both programs load their fly image this way; every failure just gives null.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// The file at ansiPath (ANSI code page, at most MAX_PATH characters), or null.
Gdiplus::Bitmap* decode_png_file(const char* ansiPath);

// The RCDATA resource id of the running program, or null.
Gdiplus::Bitmap* decode_png_resource(int id);
