// The launcher's header through GDI+: image loading, painting with the geometry of
// header_layout, and the release at the end of the run.
#include "gui_header.h"

#include "header_layout.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>

// RCDATA resource holding the fly PNG shown in the header.
static const int FLY_IMAGE_RESOURCE = 102;

static ULONG_PTR g_gdiplusTokenGui;     // GDI+ start-up token; 0 while GDI+ is not running
static Gdiplus::Bitmap* g_flyBitmapGui; // the decoded header image, or nullptr

static const wchar_t HEADER_TEXT[] = L"Fly";
static const Gdiplus::ARGB HEADER_BLACK = 0xFF000000;

// A bitmap that decoded is kept; anything else is deleted.
static Gdiplus::Bitmap* keep_if_decoded(Gdiplus::Bitmap* bitmap)
{
    if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok)
        return bitmap;
    delete bitmap;
    return nullptr;
}

// The PNG embedded in the launcher, decoded through a memory stream over a copy of its bytes.
static Gdiplus::Bitmap* load_embedded_image()
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(FLY_IMAGE_RESOURCE), MAKEINTRESOURCEW(10));
    if (!resource)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    const DWORD size = SizeofResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size == 0)
        return nullptr;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    void* copy = GlobalLock(block);
    if (!copy) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(copy, data, size);
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
    Gdiplus::Bitmap* bitmap = Gdiplus::Bitmap::FromStream(stream, FALSE);
    // The bitmap keeps its own reference; the block goes with the stream's last one.
    stream->Release();
    return keep_if_decoded(bitmap);
}

// The fallback when the embedded PNG gives nothing: "fly\fly.png" under the current directory.
static Gdiplus::Bitmap* load_file_image()
{
    wchar_t path[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, "fly\\fly.png", -1, path, MAX_PATH);
    return keep_if_decoded(Gdiplus::Bitmap::FromFile(path, FALSE));
}

void header_startup()
{
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&g_gdiplusTokenGui, &input, nullptr) != Gdiplus::Ok) {
        g_gdiplusTokenGui = 0;
        return;
    }
    g_flyBitmapGui = load_embedded_image();
    if (!g_flyBitmapGui)
        g_flyBitmapGui = load_file_image();
}

// Draws the header on the paint DC; every GDI+ object made here goes when it returns.
static void draw_header(HWND window, HDC dc)
{
    Gdiplus::Graphics graphics(dc);
    Gdiplus::FontFamily family(L"Segoe UI");
    Gdiplus::Font font(&family, 28.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    Gdiplus::SolidBrush brush{Gdiplus::Color(HEADER_BLACK)};

    RECT client;
    GetClientRect(window, &client);
    Gdiplus::StringFormat format(0, LANG_NEUTRAL);
    Gdiplus::RectF bounds;
    graphics.MeasureString(HEADER_TEXT, -1, &font, Gdiplus::RectF(0.0f, 0.0f, 1000.0f, 100.0f), &bounds);

    Gdiplus::Bitmap* image = g_flyBitmapGui;
    const HeaderLayout layout =
        header_layout(image != nullptr, image ? static_cast<int>(image->GetWidth()) : 0,
                      image ? static_cast<int>(image->GetHeight()) : 0, client.right - client.left, bounds.Width,
                      bounds.Height);
    if (image) {
        graphics.DrawImage(image, static_cast<Gdiplus::REAL>(layout.imageX), static_cast<Gdiplus::REAL>(layout.imageY),
                           static_cast<Gdiplus::REAL>(layout.drawWidth), static_cast<Gdiplus::REAL>(layout.drawHeight));
    } else {
        Gdiplus::Pen pen(Gdiplus::Color(HEADER_BLACK), 1.0f);
        graphics.DrawRectangle(&pen, static_cast<Gdiplus::REAL>(layout.imageX), static_cast<Gdiplus::REAL>(layout.imageY),
                               static_cast<Gdiplus::REAL>(HEADER_IMAGE_HEIGHT), static_cast<Gdiplus::REAL>(HEADER_IMAGE_HEIGHT));
    }
    graphics.DrawString(HEADER_TEXT, -1, &font,
                        Gdiplus::PointF(static_cast<Gdiplus::REAL>(layout.textX), static_cast<Gdiplus::REAL>(layout.textY)),
                        &format, &brush);
}

void header_paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    draw_header(window, dc);
    EndPaint(window, &paint);
}

void header_release()
{
    delete g_flyBitmapGui;
    g_flyBitmapGui = nullptr;
    if (g_gdiplusTokenGui != 0) {
        Gdiplus::GdiplusShutdown(g_gdiplusTokenGui);
        g_gdiplusTokenGui = 0;
    }
}
