// Threshold runs of a frame's alpha inside the given boxes, merged into bands.
#include "mask_rects.h"

#include <algorithm>

// The column intervals of the boxes that cover any of rows y to y + rows - 1, sorted and merged
// (touching intervals too, so runs from two intervals never touch).
static void band_spans(const std::vector<PixelRect>& boxes, int y, int rows, std::vector<PixelRect>* spans)
{
    spans->clear();
    for (const PixelRect& b : boxes)
        if (y < b.y + b.h && b.y < y + rows)
            spans->push_back(b);
    std::sort(spans->begin(), spans->end(), [](const PixelRect& a, const PixelRect& b) { return a.x < b.x; });
    size_t kept = 0;
    for (const PixelRect& s : *spans) {
        if (kept > 0 && s.x <= (*spans)[kept - 1].x + (*spans)[kept - 1].w) {
            PixelRect& last = (*spans)[kept - 1];
            last.w = std::max(last.x + last.w, s.x + s.w) - last.x;
        } else {
            (*spans)[kept++] = s;
        }
    }
    spans->resize(kept);
}

// The highest alpha of each column of the span over rows y to y + rows - 1: a thin leg that
// crosses the rows keeps the outline joined.
static void band_alpha(const uint8_t* bgra, int stride, int y, int rows, const PixelRect& span, uint8_t* alpha)
{
    const uint8_t* row = bgra + static_cast<long long>(y) * stride;
    for (int x = span.x; x < span.x + span.w; ++x)
        alpha[x] = row[4 * x + 3];
    for (int k = 1; k < rows; ++k) {
        row += stride;
        for (int x = span.x; x < span.x + span.w; ++x)
            alpha[x] = std::max(alpha[x], row[4 * x + 3]);
    }
}

void mask_rects(const uint8_t* bgra, int stride, int w, int h, const PixelRect* boxes, int boxCount,
                uint8_t threshold, int rowsPerBand, std::vector<PixelRect>* out)
{
    std::vector<PixelRect> clipped;
    int top = h, bottom = 0;
    for (int i = 0; i < boxCount; ++i) {
        const PixelRect c = clip_rect(boxes[i], w, h);
        if (c.w <= 0)
            continue;
        clipped.push_back(c);
        top = std::min(top, c.y);
        bottom = std::max(bottom, c.y + c.h);
    }
    const int step = std::max(1, rowsPerBand);
    std::vector<uint8_t> alpha(static_cast<size_t>(std::max(w, 0)));
    std::vector<PixelRect> spans, runs;
    size_t bandStart = out->size(); // first rectangle of the band the next rows may extend
    size_t bandCount = 0;           // rectangles in that band; 0 when there is none to extend
    for (int y = top; y < bottom; y += step) {
        const int rows = std::min(step, bottom - y);
        band_spans(clipped, y, rows, &spans);
        runs.clear();
        for (const PixelRect& s : spans) {
            band_alpha(bgra, stride, y, rows, s, alpha.data());
            int x = s.x;
            const int end = s.x + s.w;
            while (x < end) {
                while (x < end && alpha[x] < threshold)
                    ++x;
                const int start = x;
                while (x < end && alpha[x] >= threshold)
                    ++x;
                if (x > start)
                    runs.push_back(PixelRect{start, y, x - start, rows});
            }
        }
        bool same = bandCount > 0 && bandCount == runs.size();
        for (size_t i = 0; same && i < runs.size(); ++i) {
            const PixelRect& b = (*out)[bandStart + i];
            same = b.x == runs[i].x && b.w == runs[i].w && b.y + b.h == y;
        }
        if (same) {
            for (size_t i = 0; i < bandCount; ++i)
                (*out)[bandStart + i].h += rows;
            continue;
        }
        bandStart = out->size();
        bandCount = runs.size();
        out->insert(out->end(), runs.begin(), runs.end());
    }
}
