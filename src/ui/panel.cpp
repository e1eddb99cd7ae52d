#include "ui/panel.h"

#include <windows.h>

namespace ui {
namespace {

Rect DrawCut(Painter& painter, const Rect& rect, BevelCut cut, int width) {
    if (cut == BevelCut::kNone) return rect;
    const bool raised = cut == BevelCut::kRaised;
    return painter.Frame3d(rect, raised ? clBtnHighlight : clBtnShadow,
                           raised ? clBtnShadow : clBtnHighlight, width);
}

int CutWidth(BevelCut cut, int width) {
    return cut == BevelCut::kNone ? 0 : width;
}

} // namespace

void Panel::SetBevels(BevelCut inner, BevelCut outer, int border_width, int bevel_width) {
    inner_ = inner;
    outer_ = outer;
    border_width_ = border_width;
    bevel_width_ = bevel_width;
    Invalidate();
}

Rect Panel::InnerRect() const {
    const Size size = ClientSize();
    const int inset =
        CutWidth(outer_, bevel_width_) + border_width_ + CutWidth(inner_, bevel_width_);
    return {inset, inset, size.width - inset, size.height - inset};
}

Control::CreateParams Panel::GetCreateParams() const {
    return OwnClass(L"OrvoPanel", WS_CLIPCHILDREN);
}

void Panel::PaintContent(Painter& painter) {
    const Size size = ClientSize();
    Rect r{0, 0, size.width, size.height};
    painter.FillRect(r, BackgroundColor());
    r = DrawCut(painter, r, outer_, bevel_width_);
    r = {r.left + border_width_, r.top + border_width_, r.right - border_width_,
         r.bottom - border_width_};
    DrawCut(painter, r, inner_, bevel_width_);
}

void Bevel::SetShape(BevelShape shape, BevelCut style) {
    shape_ = shape;
    style_ = style;
    Invalidate();
}

Control::CreateParams Bevel::GetCreateParams() const {
    return OwnClass(L"OrvoBevel");
}

// A lowered frame is a shadow rectangle with a highlight one a pixel down and right of it,
// which reads as a groove; raised swaps the two.
void Bevel::PaintContent(Painter& painter) {
    const Size size = ClientSize();
    const Color first = style_ == BevelCut::kRaised ? clBtnHighlight : clBtnShadow;
    const Color second = style_ == BevelCut::kRaised ? clBtnShadow : clBtnHighlight;
    if (shape_ == BevelShape::kFrame) {
        painter.FrameRect({1, 1, size.width, size.height}, second);
        painter.FrameRect({0, 0, size.width - 1, size.height - 1}, first);
    } else {
        painter.Frame3d({0, 0, size.width, size.height}, first, second, 1);
    }
}

} // namespace ui
