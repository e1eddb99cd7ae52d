#include "widgets/hosted_controls.h"

namespace widgets {

ProgressBarControl::ProgressBarControl(ui::CustomControl& host) : host_(host) {
    const ui::Rect b = host_.Bounds();
    bar_.SetBounds(b.left, b.top, b.Width(), b.Height());
    bar_.SetSurface(&host_.Surface());
    host_.on_draw = [this](ui::Canvas& canvas, const ui::Rect&) {
        // A paint request rebuilds the picture; the host shows it with the rest.
        bar_.SetSurface(nullptr);
        bar_.Paint();
        bar_.SetSurface(&host_.Surface());
        canvas.Draw({bar_.Left(), bar_.Top()}, bar_.Picture());
    };
}

Label3dControl::Label3dControl(ui::CustomControl& host) : host_(host) {
    const ui::Rect b = host_.Bounds();
    label_.SetBounds(b.left, b.top, b.Width(), b.Height());
    label_.SetHost(this);
    host_.on_draw = [this](ui::Canvas& canvas, const ui::Rect&) { label_.Paint(canvas); };
    host_.on_mouse_move = [this](int x, int y) {
        label_.MouseMove(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
    };
}

void Label3dControl::Invalidate(Label3d& label) {
    // Automatic sizing may have changed the label's bounds; the window follows them.
    if (host_.Bounds() != label.BoundsRect()) host_.SetBounds(label.BoundsRect());
    if (host_.Text() != label.Caption()) host_.SetText(label.Caption());
    host_.Invalidate();
}

bool Label3dControl::HasMouseCapture(const Label3d&) const {
    return host_.HasMouseCapture();
}

void Label3dControl::SetMouseCapture(Label3d&, bool capture) {
    host_.SetMouseCapture(capture);
}

} // namespace widgets
