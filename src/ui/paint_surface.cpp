#include "ui/paint_surface.h"

#include <windows.h>

namespace ui {

void WindowSurface::Present(const Canvas& picture, Point at) {
    if (!window_) return;
    HDC dc = GetDC(window_);
    if (!dc) return;
    picture.CopyTo(dc, at);
    ReleaseDC(window_, dc);
}

} // namespace ui
