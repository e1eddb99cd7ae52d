// A drawn picture: a bitmap, icon or decoded JPEG shown at its natural size or stretched to
// the control, optionally transparent (bitmaps: the bottom-left pixel's colour is left out).
// Where the picture does not cover the control, what lies beneath shows.
#pragma once

#include <functional>

#include "ui/control.h"
#include "ui/image.h"

namespace ui {

class Picture : public Control {
  public:
    const Image& GetImage() const;
    void SetImage(Image image);
    // The picture comes from `source` when it is first needed (painted, measured or asked
    // for): pictures of pages nobody opens are never decoded.
    void SetImageSource(std::function<Image()> source);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool on);
    bool IsTransparent() const { return transparent_; }
    void SetTransparent(bool on);
    // On: the control takes the picture's size, keeping its top-left corner.
    bool AutoSize() const { return auto_size_; }
    void SetAutoSize(bool on);

    void PaintContent(Painter& painter) override;
    bool IsGraphic() const override { return true; }

  protected:
    CreateParams GetCreateParams() const override;
    bool Transparent() const override { return true; }

  private:
    void FitToImage();

    mutable Image image_;
    mutable std::function<Image()> source_;
    bool stretch_ = false;
    bool transparent_ = false;
    bool auto_size_ = false;
};

} // namespace ui
