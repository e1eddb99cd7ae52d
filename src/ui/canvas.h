// An off-screen drawing surface: a 32-bit top-down DIB section selected into a memory DC. The
// custom-drawn controls compose their whole picture here and copy it to the screen in one step,
// so successive fills, lines and text never flicker. Drawing outside the bitmap is clipped.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "ui/color.h"
#include "ui/font.h"
#include "ui/geometry.h"

struct HDC__;
struct HBITMAP__;

namespace ui {

using NativeDc = HDC__*;

// Text layout flags of PrintTextIn and MeasureTextIn; the values are the system's DT_ flags.
enum TextFormat : unsigned {
    kTextLeft = 0x0,
    kTextCenter = 0x1,
    kTextRight = 0x2,
    kTextWordBreak = 0x10,
    kTextExpandTabs = 0x40,
    kTextNoPrefix = 0x800, // "&" is an ordinary character instead of marking an accelerator
};

class Canvas {
  public:
    Canvas();
    Canvas(int width, int height);
    ~Canvas();
    Canvas(Canvas&& other) noexcept;
    Canvas& operator=(Canvas&& other) noexcept;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // A new size gives a new bitmap, all black; the same size keeps the pixels. A width or
    // height of 0 or less leaves the canvas empty (every drawing is then a no-op), but it can
    // still measure text.
    void SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    Rect Bounds() const { return {0, 0, width_, height_}; }

    // Becomes a copy of `source`: its size and its pixels.
    void Assign(const Canvas& source);

    void Fill(const Rect& rect, Color color);
    void PutPixel(Point at, Color color);
    // One-pixel lines drawn with a pen: each segment excludes its end point, so a polyline
    // draws every corner once and leaves out only its last point.
    void Line(Point from, Point to, Color color);
    void Polyline(std::initializer_list<Point> points, Color color);

    // Text in `font`, on a transparent background: only the glyphs are drawn.
    Size TextSize(const std::string& text, const Font& font) const;
    void PrintText(Point at, const std::string& text, const Font& font);
    // Text laid out in `rect` by `format` (TextFormat bits), in `color` instead of the font's.
    void PrintTextIn(const Rect& rect, const std::string& text, const Font& font, Color color,
                     unsigned format);
    // The rectangle that text laid out from `rect` by `format` would take: same left and top,
    // the width of the widest line and the height of all lines.
    Rect MeasureTextIn(const Rect& rect, const std::string& text, const Font& font,
                       unsigned format) const;

    // Copies `source` whole with its top-left corner at `at`.
    void Draw(Point at, const Canvas& source);
    // Covers the canvas with copies of `picture` from the top-left corner: (height div h + 1)
    // rows of (width div w + 1) copies, the one in row r and column c at (c·w, r·h).
    void DrawTiled(const Canvas& picture);
    // Copies the whole canvas onto another device context with its top-left corner at `at`.
    void CopyTo(NativeDc target, Point at) const;

    // The RGB value of one pixel; 0 outside the canvas.
    Color Pixel(int x, int y) const;

    NativeDc Dc() const { return dc_; }

    // Limits drawing to the intersection of the current clip area with `rect` while it lives.
    class ClipScope {
      public:
        ClipScope(Canvas& canvas, const Rect& rect);
        ~ClipScope();
        ClipScope(const ClipScope&) = delete;
        ClipScope& operator=(const ClipScope&) = delete;

      private:
        Canvas& canvas_;
        void* saved_ = nullptr; // the clip region before, if there was one
    };

  private:
    void Release();
    void UseFont(const Font& font) const;

    NativeDc dc_ = nullptr;
    HBITMAP__* bitmap_ = nullptr;
    void* original_bitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    // The font object made for the last font used; text in the same font reuses it.
    mutable Font font_;
    mutable FontHandle font_handle_;
};

} // namespace ui
