// PNG decoding through GDI+; see png_decode.h. A bitmap is kept only when it decoded: a rejected
// one is deleted here, so callers only ever see a usable image or null.
#include "png_decode.h"

#include <cstring>

static Gdiplus::Bitmap* keep_if_decoded(Gdiplus::Bitmap* bitmap)
{
    if (bitmap != nullptr && bitmap->GetLastStatus() == Gdiplus::Ok)
        return bitmap;
    delete bitmap;
    return nullptr;
}

Gdiplus::Bitmap* decode_png_file(const char* ansiPath)
{
    wchar_t path[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, ansiPath, -1, path, MAX_PATH) == 0)
        return nullptr;
    return keep_if_decoded(Gdiplus::Bitmap::FromFile(path, FALSE));
}

// GDI+ decodes from a stream, so the resource bytes are copied into a movable block that a stream
// can own; the stream frees the block when its last reference goes.
Gdiplus::Bitmap* decode_png_resource(int id)
{
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_RCDATA);
    if (resource == nullptr)
        return nullptr;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    if (loaded == nullptr)
        return nullptr;
    const DWORD length = SizeofResource(nullptr, resource);
    const void* data = LockResource(loaded);
    if (data == nullptr || length == 0)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length);
    if (block == nullptr)
        return nullptr;
    void* copy = GlobalLock(block);
    if (copy == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(copy, data, length);
    GlobalUnlock(block);

    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(block, TRUE, &stream) != S_OK) {
        // Until a stream exists the block is still ours; a stream that came with an unexpected
        // success code owns it already, and freeing the block under it would free it twice.
        if (stream != nullptr)
            stream->Release();
        else
            GlobalFree(block);
        return nullptr;
    }
    Gdiplus::Bitmap* bitmap = keep_if_decoded(Gdiplus::Bitmap::FromStream(stream, FALSE));
    // A kept bitmap holds its own reference to the stream.
    stream->Release();
    return bitmap;
}
