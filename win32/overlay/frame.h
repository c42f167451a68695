// One overlay frame: a 32-bit top-down DIB section the size of the virtual screen, the flies drawn
// into it, presented on the layered window, and everything released again within the tick.
// Takes plain values only, so tests can compose a frame without a window or the process state.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>

#include "swarm.h"

// The objects of one frame, alive only during one call of update_layered_content.
struct Frame {
    int w, h;         // frame size: the virtual screen's width and height
    int ox, oy;       // the virtual screen's top-left corner, frame pixel (0, 0)
    HDC screenDC;     // the screen's device context
    HDC memDC;        // memory device context holding the frame bitmap
    HBITMAP bitmap;   // the frame's DIB section
    HGDIOBJ held;     // the bitmap memDC held before, put back at release
    uint8_t* pixels;  // BGRA bytes, premultiplied, rows top to bottom; null when the DIB failed
};

// Creates the frame's device contexts and bitmap for a w x h virtual screen at (ox, oy).
void frame_acquire(Frame* frame, int w, int h, int ox, int oy);

// Sets every byte of the frame to 0: fully transparent. Does nothing without pixels.
void frame_clear(Frame* frame);

// Clears the frame and draws count flies of swarm: from image when there is one, otherwise as
// vector flies followed by the alpha fix-up pass.
void frame_compose(Frame* frame, const Fly* swarm, int count, Gdiplus::Bitmap* image);

// Moves the window over the virtual screen, back on top, and hands it the frame.
void frame_present(HWND hwnd, const Frame* frame);

// Puts back and releases everything frame_acquire created.
void frame_release(Frame* frame);
