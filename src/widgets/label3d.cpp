#include "widgets/label3d.h"

#include <utility>

namespace widgets {

Label3d::Label3d() = default;

// A new value is stored and repainted (after automatic sizing when it changes the text's
// extent); the same value again does nothing.
template <typename T>
void Label3d::Update(T& field, const T& value, bool resize) {
    if (field == value) return;
    field = value;
    if (resize) AdjustBounds();
    RequestRepaint();
}

void Label3d::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    RequestRepaint();
}

void Label3d::SetCaption(const std::string& caption) {
    Update(caption_, caption, kResize);
}

void Label3d::SetFont(const ui::Font& font) {
    Update(font_, font, kResize);
}

void Label3d::SetAutoSize(bool on) {
    Update(auto_size_, on, kResize);
}

void Label3d::SetWordWrap(bool on) {
    Update(word_wrap_, on, kResize);
}

void Label3d::SetTransparent(bool on) {
    Update(transparent_, on);
}

void Label3d::SetShowAccelChar(bool on) {
    Update(show_accel_char_, on, kResize);
}

void Label3d::SetAlignment(TextAlignment alignment) {
    Update(alignment_, alignment);
}

void Label3d::SetColor(ui::Color color) {
    Update(color_, color);
}

void Label3d::SetEnabled(bool on) {
    Update(enabled_, on);
}

void Label3d::SetAStyle3D(T3DEffect style) {
    Update(style_, style);
}

void Label3d::SetAShadeRightBottom(ui::Color color) {
    Update(shade_right_bottom_, color);
}

void Label3d::SetAShadeLeftTop(ui::Color color) {
    if (!shade_lt_set_) Update(shade_left_top_, color);
}

void Label3d::SetAHShadeOffSet(std::int32_t offset) {
    Update(h_shade_offset_, offset);
}

void Label3d::SetAVShadeOffSet(std::int32_t offset) {
    Update(v_shade_offset_, offset);
}

void Label3d::SetReliefDepth(int pixels) {
    Update(relief_depth_, pixels);
}

// Repaints even when the value stays, but saves the shade only on the switch itself, so a
// second "on" cannot overwrite the kept shade with white.
void Label3d::SetAShadeLTSet(bool on) {
    if (shade_lt_set_ != on) {
        shade_lt_set_ = on;
        if (on) {
            saved_shade_left_top_ = shade_left_top_;
            shade_left_top_ = ui::clWhite;
        } else {
            shade_left_top_ = saved_shade_left_top_;
        }
    }
    RequestRepaint();
}

void Label3d::RequestRepaint() {
    ++repaint_requests_;
    if (host_) host_->Invalidate(*this);
}

unsigned Label3d::TextFlags() const {
    return show_accel_char_ ? 0u : static_cast<unsigned>(ui::kTextNoPrefix);
}

// Fits the bounds to the plain caption in the label's font. An empty caption (or a lone
// accelerator mark) is measured as a space so the label keeps the height of one line. A
// right-aligned label keeps its right edge.
void Label3d::AdjustBounds() {
    if (!auto_size_) return;
    std::string text = caption_;
    if (text.empty() || (show_accel_char_ && text == "&")) text += ' ';
    unsigned format = ui::kTextExpandTabs | TextFlags();
    if (word_wrap_) format |= ui::kTextWordBreak;
    const ui::Rect fit = measure_.MeasureTextIn({0, 0, width_, height_}, text, font_, format);
    int left = left_;
    if (alignment_ == TextAlignment::kRight) left += width_ - fit.right;
    left_ = left;
    width_ = fit.right;
    height_ = fit.bottom;
}

void Label3d::Paint(ui::Canvas& canvas) {
    ++paint_count_;
    const ui::Rect client = BoundsRect();
    ui::Canvas::ClipScope clip(canvas, client);
    if (!transparent_) canvas.Fill(client, color_);
    unsigned format = ui::kTextExpandTabs | ui::kTextWordBreak | TextFlags();
    if (alignment_ == TextAlignment::kCenter) format |= ui::kTextCenter;
    if (alignment_ == TextAlignment::kRight) format |= ui::kTextRight;
    DrawRelief(canvas, client, format);
}

// The copies go down first and the plain text last: the second shade one pixel down and right,
// the first shade one pixel up and left (the relief depth at more than 96 DPI) (or the shadow at
// its offset), then the text itself.
void Label3d::DrawRelief(ui::Canvas& canvas, const ui::Rect& rect, unsigned format) {
    const ui::Color first = style_ == Engraved3d ? shade_right_bottom_ : shade_left_top_;
    const ui::Color second = style_ == Engraved3d ? shade_left_top_ : shade_right_bottom_;
    if (style_ == Engraved3d || style_ == Raised3d) {
        const int d = relief_depth_;
        canvas.PrintTextIn(rect.Moved(d, d), caption_, font_, second, format);
        canvas.PrintTextIn(rect.Moved(-d, -d), caption_, font_, first, format);
    } else if (style_ == Shadowed3d) {
        canvas.PrintTextIn(rect.Moved(h_shade_offset_, v_shade_offset_), caption_, font_, second,
                           format);
    }
    canvas.PrintTextIn(rect, caption_, font_, enabled_ ? font_.color : ui::clGrayText, format);
}

bool Label3d::HasCapture() const {
    return host_ ? host_->HasMouseCapture(*this) : captured_;
}

void Label3d::SetCapture(bool capture) {
    if (host_) {
        host_->SetMouseCapture(*this, capture);
    } else {
        captured_ = capture;
    }
}

void Label3d::MouseMove(std::int16_t x, std::int16_t y) {
    if (!HasCapture()) SetCapture(true);
    // The right and bottom edges themselves still count as inside.
    if (HasCapture() && (x < 0 || y < 0 || x > width_ || y > height_)) {
        SetCapture(false);
        if (on_mouse_out_) on_mouse_out_(*this);
    }
}

} // namespace widgets
