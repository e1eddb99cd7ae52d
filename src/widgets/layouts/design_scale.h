// The layouts give every length in pixels of a 96-DPI screen. On a screen with more pixels per
// inch the windows are built larger by dpi/96 (the program is DPI-aware, so the system shows
// them as drawn rather than stretching a small bitmap). Portable arithmetic.
#pragma once

#include "ui/geometry.h"

namespace layouts {

constexpr int kDesignDpi = 96;

class DesignScale {
  public:
    constexpr explicit DesignScale(int dpi = kDesignDpi) : dpi_(dpi > 0 ? dpi : kDesignDpi) {}

    constexpr int Dpi() const { return dpi_; }
    constexpr bool Identity() const { return dpi_ == kDesignDpi; }

    // A length, rounded to the nearest pixel, halves away from zero (font heights are
    // negative and must grow as the positive ones do).
    constexpr int Length(int design) const {
        const long long scaled = static_cast<long long>(design) * dpi_;
        const long long half = kDesignDpi / 2;
        return static_cast<int>(scaled >= 0 ? (scaled + half) / kDesignDpi
                                            : -((-scaled + half) / kDesignDpi));
    }
    constexpr ui::Size Size(ui::Size design) const {
        return {Length(design.width), Length(design.height)};
    }
    // Each edge on its own, so controls that touch in the design still touch.
    constexpr ui::Rect Bounds(const ui::Rect& design) const {
        return {Length(design.left), Length(design.top), Length(design.right),
                Length(design.bottom)};
    }

  private:
    int dpi_;
};

} // namespace layouts
