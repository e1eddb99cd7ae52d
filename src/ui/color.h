// Colour values of the drawn controls: 32 bits, either an RGB value with red in the low byte
// (0x00BBGGRR) or a system colour (high bit set, low byte the system colour index) that is
// looked up only when something is drawn, so a change of the system scheme shows at the next
// paint.
#pragma once

#include <cstdint>

namespace ui {

using Color = std::uint32_t;

constexpr Color kSystemColorFlag = 0x80000000u;

constexpr Color Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<Color>(red) | static_cast<Color>(green) << 8 |
           static_cast<Color>(blue) << 16;
}
constexpr Color SystemColor(std::uint8_t index) {
    return kSystemColorFlag | index;
}
constexpr bool IsSystemColor(Color color) {
    return (color & kSystemColorFlag) != 0;
}

constexpr std::uint8_t RedOf(Color rgb) {
    return static_cast<std::uint8_t>(rgb);
}
constexpr std::uint8_t GreenOf(Color rgb) {
    return static_cast<std::uint8_t>(rgb >> 8);
}
constexpr std::uint8_t BlueOf(Color rgb) {
    return static_cast<std::uint8_t>(rgb >> 16);
}

// The RGB value to draw with: a system colour is looked up now, an RGB value is returned
// without its unused top byte.
Color ResolveColor(Color color);

// Fixed colours, (red, green, blue).
constexpr Color clBlack = Rgb(0, 0, 0);
constexpr Color clMaroon = Rgb(128, 0, 0);
constexpr Color clGreen = Rgb(0, 128, 0);
constexpr Color clOlive = Rgb(128, 128, 0);
constexpr Color clNavy = Rgb(0, 0, 128);
constexpr Color clGray = Rgb(128, 128, 128);
constexpr Color clRed = Rgb(255, 0, 0);
constexpr Color clYellow = Rgb(255, 255, 0);
constexpr Color clWhite = Rgb(255, 255, 255);

// System colours; the numbers are the system's colour indices (COLOR_WINDOWTEXT, ...).
constexpr Color clWindowText = SystemColor(8);
constexpr Color clBtnFace = SystemColor(15);
constexpr Color clBtnShadow = SystemColor(16);
constexpr Color clGrayText = SystemColor(17);
constexpr Color clBtnHighlight = SystemColor(20);

} // namespace ui
