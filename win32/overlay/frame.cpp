// Composes and presents one overlay frame. Nothing is kept between frames: every tick builds the
// bitmap from nothing, so no trace of the previous frame can show through.
#include "frame.h"

#include "fly_drawing.h"
#include "frame_geometry.h"
#include "frame_pixels.h"

#include <cstring>

void frame_acquire(Frame* frame, int w, int h, int ox, int oy)
{
    frame->w = w;
    frame->h = h;
    frame->ox = ox;
    frame->oy = oy;

    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down: row 0 is the top row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    frame->screenDC = GetDC(nullptr);
    frame->memDC = CreateCompatibleDC(frame->screenDC);
    void* bits = nullptr;
    frame->bitmap = CreateDIBSection(frame->memDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    frame->pixels = frame->bitmap != nullptr ? static_cast<uint8_t*>(bits) : nullptr;
    frame->held = SelectObject(frame->memDC, frame->bitmap);
}

// Image path: each fly turns about an integer pivot near its centre; all transforms are prepended,
// so the image square is shifted by -half, turned, then moved onto the pivot.
static void draw_image_flies(const Frame* frame, const Fly* swarm, int count, Gdiplus::Bitmap* image)
{
    Gdiplus::Graphics graphics(frame->memDC);
    for (int i = 0; i < count; ++i) {
        const Fly& fly = swarm[i];
        const FramePointF centre = to_frame(fly.x, fly.y, frame->ox, frame->oy);
        const FlyPlacement place = place_fly_image(centre.x, centre.y, fly.drawAngle, fly.size);
        const Gdiplus::GraphicsState state = graphics.Save();
        graphics.TranslateTransform(static_cast<float>(place.pivotX), static_cast<float>(place.pivotY),
                                    Gdiplus::MatrixOrderPrepend);
        graphics.RotateTransform(place.degrees, Gdiplus::MatrixOrderPrepend);
        graphics.TranslateTransform(static_cast<float>(-place.half), static_cast<float>(-place.half),
                                    Gdiplus::MatrixOrderPrepend);
        graphics.DrawImage(image, 0, 0, fly.size, fly.size);
        graphics.Restore(state);
    }
}

// Fallback path: GDI draws red ellipses; the fix-up pass makes them opaque black on transparent.
static void draw_vector_flies(const Frame* frame, const Fly* swarm, int count)
{
    for (int i = 0; i < count; ++i) {
        const Fly& fly = swarm[i];
        const FramePointF centre = to_frame(fly.x, fly.y, frame->ox, frame->oy);
        draw_fly(frame->memDC, centre.x, centre.y, fly.drawAngle, fly.legFrame, fly.size);
    }
    if (frame->pixels != nullptr) {
        // GDI may still hold drawing in its batch; the bits are read only once it has reached them.
        GdiFlush();
        alpha_fixup_pass(frame->pixels, frame->w, frame->h);
    }
}

void frame_clear(Frame* frame)
{
    if (frame->pixels != nullptr)
        clear_pixels(frame->pixels, frame->w, frame->h);
}

void frame_compose(Frame* frame, const Fly* swarm, int count, Gdiplus::Bitmap* image)
{
    frame_clear(frame);
    if (image != nullptr)
        draw_image_flies(frame, swarm, count, image);
    else
        draw_vector_flies(frame, swarm, count);
}

void frame_present(HWND hwnd, const Frame* frame)
{
    SetWindowPos(hwnd, HWND_TOPMOST, frame->ox, frame->oy, frame->w, frame->h, SWP_NOACTIVATE);
    SIZE size = {frame->w, frame->h};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, nullptr, nullptr, &size, frame->memDC, &source, 0, &blend, ULW_ALPHA);
}

void frame_release(Frame* frame)
{
    SelectObject(frame->memDC, frame->held);
    DeleteObject(frame->bitmap);
    DeleteDC(frame->memDC);
    ReleaseDC(nullptr, frame->screenDC);
}
