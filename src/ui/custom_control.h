// A host for controls that draw themselves onto their parent's surface (the progress bar, the
// relief caption): it gives them a window of their own at their place, a paint surface that
// shows a picture at once, the window system's paint requests, invalidation and the mouse.
//
// on_draw receives a canvas in the parent's coordinates, at least as large as the control's
// bottom-right corner, that already holds what lies beneath the control (the parent's
// background and the drawn siblings under it); the control draws into its bounds there and the
// host copies that part to the screen in one step.
#pragma once

#include <functional>

#include "ui/canvas.h"
#include "ui/control.h"
#include "ui/paint_surface.h"

namespace ui {

class CustomControl : public Control {
  public:
    CustomControl();

    std::function<void(Canvas& canvas, const Rect& bounds)> on_draw;
    // Client coordinates as the message gives them (signed 16-bit), also outside the control
    // while it holds the capture.
    std::function<void(int x, int y)> on_mouse_move;

    bool HasMouseCapture() const;
    void SetMouseCapture(bool capture);

    // Presents a picture given in the parent's coordinates into this control at once,
    // outside the paint cycle; nothing while the control is hidden.
    PaintSurface& Surface() { return surface_; }

    void PaintContent(Painter& painter) override;
    bool IsGraphic() const override { return true; }

  protected:
    CreateParams GetCreateParams() const override;
    bool HandleMessage(Message& message) override;

  private:
    class HostSurface : public PaintSurface {
      public:
        explicit HostSurface(CustomControl& owner) : owner_(owner) {}
        void Present(const Canvas& picture, Point at) override;

      private:
        CustomControl& owner_;
    };

    HostSurface surface_;
};

} // namespace ui
