// TmyLabel3d: a caption label that draws its text in relief (engraved, raised or with a drop
// shadow) in two shade colours of its own, and reports when the mouse pointer leaves it.
//
// The label is not a window of its own: its host (the window it sits on) paints it onto the
// parent's canvas, receives its repaint requests and owns the mouse capture for it. Without a
// host the label keeps the capture state itself and counts its repaint requests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ui/canvas.h"
#include "ui/color.h"
#include "ui/font.h"
#include "ui/geometry.h"

namespace widgets {

enum T3DEffect : std::uint8_t {
    Normal3d = 0,   // plain text
    Engraved3d = 1, // engraved
    Raised3d = 2,   // raised
    Shadowed3d = 3, // drop shadow
};

enum class TextAlignment : std::uint8_t { kLeft, kRight, kCenter };

class Label3d;

class Label3dHost {
  public:
    virtual ~Label3dHost() = default;
    // Asks for a repaint in the window system's next paint cycle.
    virtual void Invalidate(Label3d& label) = 0;
    virtual bool HasMouseCapture(const Label3d& label) const = 0;
    virtual void SetMouseCapture(Label3d& label, bool capture) = 0;
};

class Label3d {
  public:
    using Notify = std::function<void(Label3d& sender)>;

    Label3d();

    // The owner keeps the host alive while it is set.
    void SetHost(Label3dHost* host) { host_ = host; }

    // Place in the parent's client area; the label draws nothing outside it.
    void SetBounds(int left, int top, int width, int height);
    ui::Rect BoundsRect() const { return ui::Rect::FromBounds(left_, top_, width_, height_); }
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The label's own properties.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    const ui::Font& Font() const { return font_; }
    void SetFont(const ui::Font& font);
    // Automatic sizing fits the bounds to the plain caption (the relief reaches beyond).
    bool AutoSize() const { return auto_size_; }
    void SetAutoSize(bool on);
    // Used by automatic sizing only: painting always breaks lines at word boundaries.
    bool WordWrap() const { return word_wrap_; }
    void SetWordWrap(bool on);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    // On: "&" marks the next character as an accelerator (underlined), "&&" stands for "&".
    bool ShowAccelChar() const { return show_accel_char_; }
    void SetShowAccelChar(bool on);
    TextAlignment Alignment() const { return alignment_; }
    void SetAlignment(TextAlignment alignment);
    // The background when not transparent.
    ui::Color Color() const { return color_; }
    void SetColor(ui::Color color);
    // A disabled label draws its text in clGrayText; the relief keeps its shades.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);

    // The relief.
    T3DEffect AStyle3D() const { return style_; }
    void SetAStyle3D(T3DEffect style);
    ui::Color AShadeRightBottom() const { return shade_right_bottom_; }
    void SetAShadeRightBottom(ui::Color color);
    // Ignored while AShadeLTSet is on.
    ui::Color AShadeLeftTop() const { return shade_left_top_; }
    void SetAShadeLeftTop(ui::Color color);
    std::int32_t AHShadeOffSet() const { return h_shade_offset_; }
    void SetAHShadeOffSet(std::int32_t offset);
    std::int32_t AVShadeOffSet() const { return v_shade_offset_; }
    void SetAVShadeOffSet(std::int32_t offset);
    // A lock on the light shade: on keeps the current one aside and shows white; off brings
    // the kept one back.
    bool AShadeLTSet() const { return shade_lt_set_; }
    void SetAShadeLTSet(bool on);
    // How far the engraved and raised shades stand from the text: 1 pixel at 96 DPI.
    int ReliefDepth() const { return relief_depth_; }
    void SetReliefDepth(int pixels);

    const Notify& OnMouseOut() const { return on_mouse_out_; }
    void SetOnMouseOut(Notify handler) { on_mouse_out_ = std::move(handler); }

    // Draws the label onto the canvas of its parent, at its bounds and clipped to them.
    void Paint(ui::Canvas& canvas);

    // A mouse-move message, in client coordinates (the message's signed 16-bit values). The
    // label takes the capture so that it hears of the pointer after it has left, and gives it
    // up with OnMouseOut at the first move outside. No other notification follows a move.
    void MouseMove(std::int16_t x, std::int16_t y);

    unsigned PaintCount() const { return paint_count_; }
    unsigned RepaintRequests() const { return repaint_requests_; }

  private:
    static constexpr bool kResize = true;
    template <typename T>
    void Update(T& field, const T& value, bool resize = false);
    void RequestRepaint();
    void AdjustBounds();
    unsigned TextFlags() const;
    void DrawRelief(ui::Canvas& canvas, const ui::Rect& rect, unsigned format);
    bool HasCapture() const;
    void SetCapture(bool capture);

    Label3dHost* host_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 65;
    int height_ = 17;
    std::string caption_;
    ui::Font font_;
    bool auto_size_ = true;
    bool word_wrap_ = false;
    bool transparent_ = true;
    bool show_accel_char_ = true;
    TextAlignment alignment_ = TextAlignment::kLeft;
    ui::Color color_ = ui::clBtnFace;
    bool enabled_ = true;

    Notify on_mouse_out_;
    T3DEffect style_ = Normal3d;
    ui::Color shade_right_bottom_ = ui::clGray;
    ui::Color shade_left_top_ = ui::clWhite;
    ui::Color saved_shade_left_top_ = ui::clWhite; // kept while AShadeLTSet is on
    std::int32_t h_shade_offset_ = 5;
    std::int32_t v_shade_offset_ = -5;
    int relief_depth_ = 1;
    bool shade_lt_set_ = false;

    bool captured_ = false; // the capture state when there is no host
    ui::Canvas measure_;    // a DC to measure the caption with for automatic sizing
    unsigned paint_count_ = 0;
    unsigned repaint_requests_ = 0;
};

} // namespace widgets
