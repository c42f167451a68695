// Decoding the fly PNG with cairo, and the per-size copies each fly is drawn from.
#include "fly_image.h"

#include "fly_png_data.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <unordered_map>
#include <vector>

// Relative to the current directory, as on Windows, with the Linux separator.
static const char FLY_IMAGE_FILE[] = "fly/fly.png";
// Larger files or images are refused before decoding: a fly needs nothing near this, and a hostile
// header must not make the decoder ask for gigabytes.
static const long MAX_IMAGE_FILE_BYTES = 16L << 20;
static const uint32_t MAX_IMAGE_SIDE = 4096;

// The scaled copies, by fly size; made on first use, freed with the image.
static std::map<int, cairo_surface_t*> g_scaledFlies;

struct ByteReader {
    const unsigned char* data;
    size_t size, offset;
};

static cairo_status_t read_bytes(void* closure, unsigned char* out, unsigned int length)
{
    ByteReader* reader = static_cast<ByteReader*>(closure);
    if (reader->size - reader->offset < length)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->data + reader->offset, length);
    reader->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

static uint32_t big_endian(const unsigned char* p)
{
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// The PNG signature and a header whose width and height are 1 to MAX_IMAGE_SIDE.
static bool header_acceptable(const unsigned char* data, size_t size)
{
    static const unsigned char SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 33 || std::memcmp(data, SIGNATURE, 8) != 0 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return false;
    const uint32_t width = big_endian(data + 16);
    const uint32_t height = big_endian(data + 20);
    return width >= 1 && width <= MAX_IMAGE_SIDE && height >= 1 && height <= MAX_IMAGE_SIDE;
}

static cairo_surface_t* decode_png(const unsigned char* data, size_t size)
{
    if (!header_acceptable(data, size))
        return nullptr;
    ByteReader reader{data, size, 0};
    cairo_surface_t* image = cairo_image_surface_create_from_png_stream(read_bytes, &reader);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS || cairo_image_surface_get_width(image) <= 0) {
        cairo_surface_destroy(image);
        return nullptr;
    }
    return image;
}

static bool read_file(const char* path, std::vector<unsigned char>* bytes)
{
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return false;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (static_cast<long>(bytes->size() + n) > MAX_IMAGE_FILE_BYTES) {
            std::fclose(file);
            return false;
        }
        bytes->insert(bytes->end(), chunk, chunk + n);
    }
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

cairo_surface_t* load_fly_image()
{
    std::vector<unsigned char> bytes;
    if (read_file(FLY_IMAGE_FILE, &bytes)) {
        if (cairo_surface_t* image = decode_png(bytes.data(), bytes.size()))
            return image;
    }
    return decode_png(FLY_PNG_DATA, FLY_PNG_SIZE);
}

// The image scaled to size x size with the best filter; null where the image is already that
// small or smaller, so the draw scales the image itself.
static cairo_surface_t* scaled_fly(cairo_surface_t* image, int size)
{
    const int side = cairo_image_surface_get_width(image);
    if (size >= side)
        return nullptr;
    auto found = g_scaledFlies.find(size);
    if (found != g_scaledFlies.end())
        return found->second;
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(copy);
    cairo_scale(cr, static_cast<double>(size) / side,
                static_cast<double>(size) / cairo_image_surface_get_height(image));
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
    cairo_paint(cr);
    cairo_destroy(cr);
    g_scaledFlies[size] = copy;
    return copy;
}

// Paints the fly into cr, whose origin is the pivot: scaled down copy (or the image itself) turned
// by degrees and smoothly filtered.
static void paint_turned(cairo_t* cr, cairo_surface_t* image, int half, int size, double degrees)
{
    cairo_rotate(cr, degrees * M_PI / 180.0);
    cairo_translate(cr, -half, -half);
    cairo_surface_t* source = scaled_fly(image, size);
    if (source == nullptr) {
        source = image;
        cairo_scale(cr, static_cast<double>(size) / cairo_image_surface_get_width(image),
                    static_cast<double>(size) / cairo_image_surface_get_height(image));
    }
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_paint(cr);
}

// The tight box of the pixels that are not fully transparent; empty when there are none.
static PixelRect ink_box(cairo_surface_t* surface)
{
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    int left = w, top = h, right = -1, bottom = -1;
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<long>(y) * stride);
        for (int x = 0; x < w; ++x) {
            if ((row[x] >> 24) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return PixelRect{0, 0, 0, 0};
    return PixelRect{left, top, right - left + 1, bottom - top + 1};
}

// A copy of the fly at one size and angle step, turned about the pixel (pivot, pivot).
struct FlySprite {
    cairo_surface_t* surface;
    int pivot;
    PixelRect ink; // where it is not transparent, in its own pixels
};

// Half-degree steps look the same as exact angles at any size the cache holds.
static const int ANGLE_STEPS = 720;
static const int MAX_SPRITE_SIZE = 256;                // larger flies are turned at each draw
static const size_t MAX_SPRITE_BYTES = size_t{64} << 20; // beyond this the cache starts afresh

static std::unordered_map<long long, FlySprite> g_sprites; // by size and angle step
static size_t g_spriteBytes = 0;                         // pixel bytes the sprites hold

static void drop_sprites()
{
    for (auto& entry : g_sprites)
        cairo_surface_destroy(entry.second.surface);
    g_sprites.clear();
    g_spriteBytes = 0;
}

static const FlySprite& fly_sprite(cairo_surface_t* image, const FlyPlacement& place, int size)
{
    double turns = std::fmod(static_cast<double>(place.degrees) / 360.0, 1.0);
    if (turns < 0)
        turns += 1.0;
    const int step = static_cast<int>(std::lround(turns * ANGLE_STEPS)) % ANGLE_STEPS;
    const long long key = static_cast<long long>(size) * ANGLE_STEPS + step;
    auto found = g_sprites.find(key);
    if (found != g_sprites.end())
        return found->second;
    const PixelRect reach = fly_bounds(FlyPlacement{place.half, 0, 0, 0, 0, 0.0f}, size);
    const int side = reach.w;
    const size_t bytes = static_cast<size_t>(side) * side * 4;
    if (g_spriteBytes + bytes > MAX_SPRITE_BYTES)
        drop_sprites();
    FlySprite sprite;
    sprite.pivot = -reach.x;
    sprite.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side);
    cairo_t* cr = cairo_create(sprite.surface);
    cairo_translate(cr, sprite.pivot, sprite.pivot);
    paint_turned(cr, image, place.half, size, step * 360.0 / ANGLE_STEPS);
    cairo_destroy(cr);
    sprite.ink = ink_box(sprite.surface);
    g_spriteBytes += bytes;
    return g_sprites.emplace(key, sprite).first->second;
}

PixelRect draw_fly_image(cairo_t* cr, cairo_surface_t* image, const FlyPlacement& place, int size)
{
    if (size <= 0)
        return PixelRect{0, 0, 0, 0};
    if (size > MAX_SPRITE_SIZE) {
        cairo_save(cr);
        cairo_translate(cr, place.pivotX, place.pivotY);
        paint_turned(cr, image, place.half, size, place.degrees);
        cairo_restore(cr);
        return fly_bounds(place, size);
    }
    const FlySprite& sprite = fly_sprite(image, place, size);
    const int left = place.pivotX - sprite.pivot, top = place.pivotY - sprite.pivot;
    const PixelRect ink{left + sprite.ink.x, top + sprite.ink.y, sprite.ink.w, sprite.ink.h};
    if (ink.w > 0) {
        cairo_set_source_surface(cr, sprite.surface, left, top);
        cairo_rectangle(cr, ink.x, ink.y, ink.w, ink.h);
        cairo_fill(cr);
    }
    return ink;
}

void release_fly_image(cairo_surface_t* image)
{
    drop_sprites();
    for (auto& entry : g_scaledFlies)
        cairo_surface_destroy(entry.second);
    g_scaledFlies.clear();
    cairo_surface_destroy(image);
}
