// The launcher's header through GDI+: image loading, painting with the geometry of
// header_layout, and the release at the end of the run.
#include "gui_header.h"

#include "gui_resource_ids.h"
#include "header_layout.h"
#include "png_decode.h"

#include <objidl.h>
#include <gdiplus.h>

static ULONG_PTR g_gdiplusTokenGui;     // GDI+ start-up token; 0 while GDI+ is not running
static Gdiplus::Bitmap* g_flyBitmapGui; // the decoded header image, or nullptr

static const wchar_t HEADER_TEXT[] = L"Fly";
static const Gdiplus::ARGB HEADER_BLACK = 0xFF000000;

void header_startup()
{
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&g_gdiplusTokenGui, &input, nullptr) != Gdiplus::Ok) {
        g_gdiplusTokenGui = 0;
        return;
    }
    // The embedded image first; "fly\fly.png" under the current directory only when it gives nothing.
    g_flyBitmapGui = decode_png_resource(IDR_FLY_PNG);
    if (!g_flyBitmapGui)
        g_flyBitmapGui = decode_png_file("fly\\fly.png");
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
