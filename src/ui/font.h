// A font as the controls describe it (face, pixel height, style, colour) and the GDI font
// object made from it.
#pragma once

#include <cstdint>
#include <string>

#include "ui/color.h"

struct HFONT__;

namespace ui {

using NativeFont = HFONT__*;

enum FontStyle : unsigned {
    kFontBold = 1u << 0,
    kFontItalic = 1u << 1,
    kFontUnderline = 1u << 2,
    kFontStrikeOut = 1u << 3,
};

// How glyph edges are drawn; the values are the system's (DEFAULT_QUALITY, ...).
enum class FontQuality : std::uint8_t {
    kDefault = 0,
    kNonAntialiased = 3,
    kAntialiased = 4,
};

struct Font {
    std::string face = "MS Sans Serif";
    // Negative: the character height in pixels, without the internal leading; positive: the
    // cell height. The window font is -11 (8 point at 96 pixels per inch).
    int height = -11;
    unsigned style = 0; // FontStyle bits
    Color color = clWindowText;
    std::uint8_t charset = 1; // DEFAULT_CHARSET
    FontQuality quality = FontQuality::kDefault;

    friend bool operator==(const Font& a, const Font& b) {
        return a.face == b.face && a.height == b.height && a.style == b.style &&
               a.color == b.color && a.charset == b.charset && a.quality == b.quality;
    }
    friend bool operator!=(const Font& a, const Font& b) { return !(a == b); }
};

// Owns one GDI font object.
class FontHandle {
  public:
    FontHandle() = default;
    explicit FontHandle(const Font& font);
    ~FontHandle();
    FontHandle(FontHandle&& other) noexcept;
    FontHandle& operator=(FontHandle&& other) noexcept;
    FontHandle(const FontHandle&) = delete;
    FontHandle& operator=(const FontHandle&) = delete;

    NativeFont get() const { return handle_; }

  private:
    NativeFont handle_ = nullptr;
};

} // namespace ui
