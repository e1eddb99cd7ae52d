// A picture the controls show: a 32-bit bitmap (from a bitmap resource, decoded JPEG pixels
// or a canvas) or an icon. Bitmaps can be drawn transparent: the pixels that have the colour
// of the bottom-left pixel are left out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/canvas.h"
#include "ui/color.h"
#include "ui/geometry.h"

struct HICON__;

namespace ui {

class Image {
  public:
    Image();
    ~Image();
    Image(Image&& other) noexcept;
    Image& operator=(Image&& other) noexcept;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Top-down rows of width * 3 bytes: red, green, blue.
    static Image FromRgb(int width, int height, const std::uint8_t* rgb);
    static Image FromCanvas(const Canvas& canvas);
    // A BITMAP or ICON resource of the program, by resource name; empty when missing.
    static Image FromBitmapResource(const std::string& name);
    static Image FromIconResource(const std::string& name, int size);

    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    bool IsIcon() const { return icon_ != nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // RGB of one pixel of a bitmap; 0 outside it and for icons.
    Color Pixel(int x, int y) const;
    // The colour left out when drawn transparent: the bottom-left pixel.
    Color TransparentColor() const { return Pixel(0, height_ - 1); }

    // How a bitmap is resampled to another size: blended (photographs), or each pixel the
    // colour of the nearest one (pictures drawn with a transparent colour, whose edges must
    // not mix it into their neighbours).
    enum class Resample : std::uint8_t { kSmooth, kNearest };
    // A bitmap resampled to `size`; an icon, or a bitmap of that size already, unchanged.
    Image Scaled(Size size, Resample how) &&;

    // A copy of part of a bitmap (e.g. one image of a glyph strip).
    Image Crop(const Rect& part) const;
    Image Copy() const { return Crop({0, 0, width_, height_}); }

    // Draws the whole picture into `dest` (scaled when the sizes differ). `transparent`
    // leaves out the transparent colour of a bitmap; icons always draw with their mask.
    void Draw(NativeDc dc, const Rect& dest, bool transparent) const;
    // Draws `part` of a bitmap at `at`, natural size, leaving out `transparent_color`.
    void DrawPart(NativeDc dc, Point at, const Rect& part, Color transparent_color) const;

  private:
    void Allocate(int width, int height);
    void Release();

    int width_ = 0;
    int height_ = 0;
    void* bitmap_ = nullptr;        // HBITMAP, 32-bit top-down DIB section
    std::uint32_t* bits_ = nullptr; // 0x00RRGGBB per pixel
    HICON__* icon_ = nullptr;
};

} // namespace ui
