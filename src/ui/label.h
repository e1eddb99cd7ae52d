// Drawn text: a label sized to its text (auto-size) or of fixed size (text clipped at its
// edge), left, centred or right aligned, opaque in its colour or transparent over whatever
// lies beneath it. "&" marks an accelerator unless ShowAccelChar is off.
#pragma once

#include "ui/control.h"

namespace ui {

class Label : public Control {
  public:
    bool AutoSize() const { return auto_size_; }
    void SetAutoSize(bool on);
    Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(Alignment alignment);
    bool IsTransparent() const { return transparent_; }
    void SetTransparent(bool on);
    bool ShowAccelChar() const { return show_accel_char_; }
    void SetShowAccelChar(bool on);

    // The size the text takes in the label's font (one blank when the text is empty).
    Size TextExtent() const;

    void PaintContent(Painter& painter) override;
    bool IsGraphic() const override { return true; }

  protected:
    CreateParams GetCreateParams() const override;
    bool Transparent() const override { return transparent_; }
    void TextChanged() override;

  private:
    unsigned Format() const;

    bool auto_size_ = true;
    Alignment alignment_ = Alignment::kLeft;
    bool transparent_ = false;
    bool show_accel_char_ = true;
};

} // namespace ui
