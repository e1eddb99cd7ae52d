#include "ui/custom_control.h"

#include <windows.h>
#include <windowsx.h>

namespace ui {

CustomControl::CustomControl() : surface_(*this) {}

Control::CreateParams CustomControl::GetCreateParams() const {
    return OwnClass(L"OrvoCustom");
}

bool CustomControl::HasMouseCapture() const {
    return HandleAllocated() && GetCapture() == Handle();
}

void CustomControl::SetMouseCapture(bool capture) {
    if (!HandleAllocated()) return;
    if (capture) {
        SetCapture(Handle());
    } else if (GetCapture() == Handle()) {
        ReleaseCapture();
    }
}

// The canvas covers the parent from its origin to our bottom-right corner, so a control that
// draws in its parent's coordinates needs no translation.
void CustomControl::PaintContent(Painter& painter) {
    const Rect b = Bounds();
    Canvas canvas(b.right, b.bottom);
    if (canvas.Empty()) return;
    const int saved = SaveDC(canvas.Dc());
    OffsetViewportOrgEx(canvas.Dc(), b.left, b.top, nullptr);
    PaintBackdrop(canvas.Dc());
    RestoreDC(canvas.Dc(), saved);
    if (on_draw) on_draw(canvas, b);
    canvas.CopyTo(painter.Dc(), {-b.left, -b.top});
}

bool CustomControl::HandleMessage(Message& m) {
    if (m.id == WM_MOUSEMOVE && on_mouse_move) {
        on_mouse_move(GET_X_LPARAM(m.lparam), GET_Y_LPARAM(m.lparam));
        m.result = 0;
        return true;
    }
    return Control::HandleMessage(m);
}

void CustomControl::HostSurface::Present(const Canvas& picture, Point at) {
    // A control never yet in view has no window, and nothing to show.
    if (!owner_.HandleAllocated()) return;
    HWND window = owner_.Handle();
    if (!IsWindowVisible(window)) return;
    const Rect b = owner_.Bounds();
    HDC dc = GetDC(window);
    if (!dc) return;
    picture.CopyTo(dc, {at.x - b.left, at.y - b.top});
    ReleaseDC(window, dc);
}

} // namespace ui
