// Containers drawn by the toolkit: panels with inner and outer bevels and a border between
// them, and bevels (a frame or box drawn in two shades, transparent inside).
#pragma once

#include "ui/control.h"

namespace ui {

enum class BevelCut : std::uint8_t { kNone, kLowered, kRaised };

class Panel : public Control {
  public:
    BevelCut BevelInner() const { return inner_; }
    BevelCut BevelOuter() const { return outer_; }
    int BorderWidth() const { return border_width_; }
    int BevelWidth() const { return bevel_width_; }
    // Outer bevel, then the border in the panel's colour, then the inner bevel.
    void SetBevels(BevelCut inner, BevelCut outer, int border_width = 0, int bevel_width = 1);
    // The part of the client area inside the bevels and border.
    Rect InnerRect() const;

    void PaintContent(Painter& painter) override;

  protected:
    CreateParams GetCreateParams() const override;
    bool UsesParentColor() const override { return false; }

  private:
    BevelCut inner_ = BevelCut::kNone;
    BevelCut outer_ = BevelCut::kRaised;
    int border_width_ = 0;
    int bevel_width_ = 1;
};

enum class BevelShape : std::uint8_t {
    kBox,   // a single two-shade rectangle
    kFrame, // a groove: two rectangles one pixel apart
};

class Bevel : public Control {
  public:
    BevelShape Shape() const { return shape_; }
    BevelCut Style() const { return style_; }
    void SetShape(BevelShape shape, BevelCut style);

    void PaintContent(Painter& painter) override;
    bool IsGraphic() const override { return true; }

  protected:
    CreateParams GetCreateParams() const override;
    bool Transparent() const override { return true; }

  private:
    BevelShape shape_ = BevelShape::kBox;
    BevelCut style_ = BevelCut::kLowered;
};

} // namespace ui
