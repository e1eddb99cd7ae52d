// A push button with a caption and a glyph: a strip of two images side by side, the first
// drawn while the button is enabled, the second while it is disabled, each without the pixels
// of the strip's transparent colour (its bottom-left pixel). The glyph stands left of the
// caption, the two centred together. A default button is pressed by Enter, a cancel button by
// Esc; a button with a modal result closes its modal window with that result.
#pragma once

#include "ui/control.h"
#include "ui/image.h"

namespace ui {

enum class StockGlyph : std::uint8_t { kOk, kCancel };

class BitButton : public Control {
  public:
    static constexpr int kSpacing = 4; // between glyph and caption, at 96 DPI

    // A strip of `count` images of equal width.
    void SetGlyph(Image strip, int count = 2);
    const Image& Glyph() const { return glyph_; }
    int Spacing() const { return spacing_; }
    void SetSpacing(int pixels) { SetAndRepaint(spacing_, pixels); }
    int GlyphCount() const { return glyph_count_; }
    // The toolkit's own OK and Cancel glyphs.
    static Image MakeStockGlyph(StockGlyph kind);

    bool IsDefault() const { return default_; }
    void SetDefault(bool on);
    bool IsCancel() const { return cancel_; }
    void SetCancel(bool on) { cancel_ = on; }
    int ModalResult() const { return modal_result_; }
    void SetModalResult(int result) { modal_result_ = result; }

    // on_click, then the modal result to a modal window.
    void Click() override;

    // Where the glyph and the caption go in a button of `size` (not pressed).
    struct Layout {
        Rect glyph;
        Rect text;
    };
    Layout ComputeLayout(Size size) const;

  protected:
    CreateParams GetCreateParams() const override;
    bool HandleNotification(Message& message) override;
    void TextChanged() override { Invalidate(); }

  private:
    void Draw(const void* draw_item);

    Image glyph_;
    int glyph_count_ = 0;
    int spacing_ = kSpacing;
    bool default_ = false;
    bool cancel_ = false;
    int modal_result_ = 0;
};

} // namespace ui
