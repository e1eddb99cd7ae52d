// TALProgressBar: the progress bar of the installation run. It shows Position between Min and
// Max as a bar growing from one edge: a gradient over two or three colours, one colour or a
// tiled picture, with the unfilled part in the background colour, an optional sunken border
// and the position as text in the middle.
//
// Every setter paints at once, on the caller's thread, so a bar driven from inside a long
// synchronous operation stays current on screen. The picture is composed off-screen and
// presented in one copy; a position change reuses the cached full-length bar image, every
// other paint rebuilds it.
#pragma once

#include <cstdint>
#include <string>

#include "ui/canvas.h"
#include "ui/color.h"
#include "ui/font.h"
#include "ui/paint_surface.h"

namespace widgets {

enum TProgressDirection : std::uint8_t {
    pdLeftToRight = 0,
    pdRightToLeft = 1,
    pdBottomToTop = 2,
    pdTopToBottom = 3,
};

enum TBarColorStyle : std::uint8_t {
    cs1Color = 0,
    cs2Colors = 1,
    cs3Colors = 2,
};

class ProgressBar {
  public:
    ProgressBar();

    // Where the finished picture goes; null (the start) composes without presenting. The
    // owner keeps the surface alive while it is set.
    void SetSurface(ui::PaintSurface* surface) { surface_ = surface; }

    // Place in the parent (the picture is presented at Left, Top) and size; paints.
    void SetBounds(int left, int top, int width, int height);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    ui::Color BackgroundColor() const { return background_color_; }
    void SetBackgroundColor(ui::Color color);
    // The tiled picture; empty: none. Assigning copies the picture.
    const ui::Canvas& BarBitmap() const { return bar_bitmap_; }
    void SetBarBitmap(const ui::Canvas& picture);
    ui::Color BarColor1() const { return bar_color1_; }
    void SetBarColor1(ui::Color color);
    ui::Color BarColor2() const { return bar_color2_; }
    void SetBarColor2(ui::Color color);
    ui::Color BarColor3() const { return bar_color3_; }
    void SetBarColor3(ui::Color color);
    TBarColorStyle BarColorStyle() const { return bar_color_style_; }
    void SetBarColorStyle(TBarColorStyle style);
    ui::Color BorderColor1() const { return border_color1_; }
    void SetBorderColor1(ui::Color color);
    ui::Color BorderColor2() const { return border_color2_; }
    void SetBorderColor2(ui::Color color);
    TProgressDirection Direction() const { return direction_; }
    void SetDirection(TProgressDirection direction);
    // Min and Max are taken as given, without any check against each other or Position.
    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t value);
    std::int32_t Min() const { return min_; }
    void SetMin(std::int32_t value);
    // A value equal to the current one or outside [Min, Max] is ignored: nothing changes and
    // nothing is painted.
    std::int32_t Position() const { return position_; }
    void SetPosition(std::int32_t value);
    const std::string& PosTextPrefix() const { return pos_text_prefix_; }
    void SetPosTextPrefix(const std::string& text);
    const std::string& PosTextSuffix() const { return pos_text_suffix_; }
    void SetPosTextSuffix(const std::string& text);
    bool ShowBorder() const { return show_border_; }
    void SetShowBorder(bool show);
    bool ShowPosText() const { return show_pos_text_; }
    void SetShowPosText(bool show);
    // The font of the position text.
    const ui::Font& Font() const { return font_; }
    void SetFont(const ui::Font& font);

    // While the window layout is being applied the bar layer is left out of paints.
    void SetLoading(bool loading) { loading_ = loading; }

    // A paint request from the window system: composes with a rebuilt bar image and presents.
    void Paint();

    // What the last paint composed, and counters for tests and diagnostics.
    const ui::Canvas& Picture() const { return offscreen_; }
    unsigned PaintCount() const { return paint_count_; }
    unsigned BarImageBuilds() const { return bar_image_builds_; }

  private:
    // Property setters store the value, changed or not, and paint at once.
    template <typename T>
    void StoreAndPaint(T& field, const T& value) {
        field = value;
        Paint();
    }
    void DrawBarLayer();
    bool UseBarImage();
    void BuildGradient();
    int FilledLength(int usable) const;
    void DrawBorder();
    void DrawPosText();

    ui::PaintSurface* surface_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 200;
    int height_ = 20;

    ui::Canvas offscreen_; // each paint composes the whole picture here
    ui::Color border_color1_ = ui::clBtnShadow;
    ui::Color border_color2_ = ui::clBtnHighlight;
    ui::Color background_color_ = ui::clBtnFace;
    std::int32_t position_ = 0;
    ui::Canvas bar_bitmap_;
    std::int32_t min_ = 0;
    std::int32_t max_ = 100;
    bool show_border_ = true;
    TProgressDirection direction_ = pdLeftToRight;
    bool show_pos_text_ = true;
    std::string pos_text_suffix_ = "%";
    std::string pos_text_prefix_;
    TBarColorStyle bar_color_style_ = cs3Colors;
    ui::Color bar_color1_ = ui::clGreen;
    ui::Color bar_color2_ = ui::clYellow;
    ui::Color bar_color3_ = ui::clRed;
    bool rebuild_ = true;  // false only while a position change paints
    ui::Canvas bar_image_; // the full-length bar at the control's size
    ui::Font font_;
    bool loading_ = false;

    unsigned paint_count_ = 0;
    unsigned bar_image_builds_ = 0;
};

} // namespace widgets
