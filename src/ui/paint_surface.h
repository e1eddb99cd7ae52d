// Where a custom-drawn control puts its finished picture: the owner's window, or any device
// context. A control without a surface still composes its picture off-screen.
#pragma once

#include "ui/canvas.h"
#include "ui/geometry.h"

struct HWND__;

namespace ui {

using NativeWindow = HWND__*;

class PaintSurface {
  public:
    virtual ~PaintSurface() = default;
    // Shows `picture` with its top-left corner at `at`, in the surface's coordinates (for a
    // control: its Left and Top in its parent's client area).
    virtual void Present(const Canvas& picture, Point at) = 0;
};

// Copies onto a device context that someone else owns and keeps alive.
class DcSurface : public PaintSurface {
  public:
    explicit DcSurface(NativeDc dc) : dc_(dc) {}
    void Present(const Canvas& picture, Point at) override { picture.CopyTo(dc_, at); }

  private:
    NativeDc dc_;
};

// Copies into the client area of a window at once, outside its paint cycle.
class WindowSurface : public PaintSurface {
  public:
    explicit WindowSurface(NativeWindow window) : window_(window) {}
    void Present(const Canvas& picture, Point at) override;

  private:
    NativeWindow window_;
};

} // namespace ui
