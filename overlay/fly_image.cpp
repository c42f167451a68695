// Loads the fly image: the file "fly\fly.png" first, then RCDATA 101. Every failure is silent and
// just moves on to the next source, or leaves the overlay with its vector fly.
#include "fly_image.h"

#include "resource_ids.h"

#include <cstring>

Gdiplus::Bitmap* g_flyBitmap = nullptr; // decoded fly image, set at most once per run

// Relative to the current directory, so a fly image can be swapped in without touching the program.
static const char FLY_IMAGE_FILE[] = "fly\\fly.png";

// Keeps a bitmap only if it decoded; a rejected one is deleted here.
static Gdiplus::Bitmap* keep_if_decoded(Gdiplus::Bitmap* bitmap)
{
    if (bitmap != nullptr && bitmap->GetLastStatus() == Gdiplus::Ok)
        return bitmap;
    delete bitmap;
    return nullptr;
}

static void load_from_file()
{
    wchar_t path[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, FLY_IMAGE_FILE, -1, path, MAX_PATH) == 0)
        return;
    g_flyBitmap = keep_if_decoded(Gdiplus::Bitmap::FromFile(path, FALSE));
}

// GDI+ decodes from a stream, so the resource bytes are copied into a movable block that a stream
// can own; the stream frees the block when its last reference goes.
static void load_from_resource()
{
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_FLY_PNG), RT_RCDATA);
    if (resource == nullptr)
        return;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    if (loaded == nullptr)
        return;
    const DWORD length = SizeofResource(nullptr, resource);
    const void* data = LockResource(loaded);
    if (data == nullptr || length == 0)
        return;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length);
    if (block == nullptr)
        return;
    void* copy = GlobalLock(block);
    if (copy == nullptr) {
        GlobalFree(block);
        return;
    }
    std::memcpy(copy, data, length);
    GlobalUnlock(block);

    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(block, TRUE, &stream) != S_OK) {
        // Until a stream exists the block is still ours; a stream that came with an unexpected
        // success code owns it already.
        if (stream != nullptr)
            stream->Release();
        else
            GlobalFree(block);
        return;
    }
    g_flyBitmap = keep_if_decoded(Gdiplus::Bitmap::FromStream(stream, FALSE));
    // The bitmap holds its own reference to the stream.
    stream->Release();
}

void load_fly_image()
{
    if (g_flyBitmap != nullptr)
        return;
    load_from_file();
    if (g_flyBitmap != nullptr)
        return;
    load_from_resource();
}

void release_fly_image()
{
    delete g_flyBitmap;
    g_flyBitmap = nullptr;
}
