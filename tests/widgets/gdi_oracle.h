// The oracle of the drawing tests: pictures made with GDI directly, without ui::Canvas, and
// helpers to compare them with what the controls composed.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/canvas.h"
#include "ui/color.h"
#include "ui/font.h"

namespace widgets_test {

// A 32-bit top-down DIB in a memory DC of its own.
class GdiImage {
  public:
    GdiImage(int width, int height, ui::Color fill);
    // A copy of what a canvas holds, read pixel by pixel.
    explicit GdiImage(const ui::Canvas& source);
    ~GdiImage();
    GdiImage(const GdiImage&) = delete;
    GdiImage& operator=(const GdiImage&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    ui::Color At(int x, int y) const;
    void Set(int x, int y, ui::Color rgb);

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_bitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_;
    int height_;
};

// A GDI font made from the description with CreateFontIndirectW.
class GdiFont {
  public:
    explicit GdiFont(const ui::Font& font);
    ~GdiFont() { DeleteObject(font_); }
    GdiFont(const GdiFont&) = delete;
    GdiFont& operator=(const GdiFont&) = delete;
    HFONT get() const { return font_; }

  private:
    HFONT font_;
};

// Which pixels of a width x height image DrawTextW sets for `text` laid out in `rect`.
std::vector<bool> TextMask(int width, int height, const std::string& text, const ui::Font& font,
                           RECT rect, UINT format);

// The extent GetTextExtentPoint32W gives for `text` in `font`.
SIZE GdiTextSize(const std::string& text, const ui::Font& font);

// The current RGB value of a system colour.
ui::Color SystemRgb(int index);

// Every pixel of `actual` equals the one of `expected`; the failure names the first mismatch
// and how many there are.
testing::AssertionResult SamePixels(const ui::Canvas& actual, const GdiImage& expected);

// Writes the canvas as a 24-bit BMP into the folder named by ORVO_WIDGETS_PICTURES, if set,
// so a person can look at what the controls draw.
void SavePicture(const ui::Canvas& canvas, const std::string& name);

} // namespace widgets_test
