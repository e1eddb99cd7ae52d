#include "ui/label.h"

#include <windows.h>

#include "platform/code_page.h"

namespace ui {

Control::CreateParams Label::GetCreateParams() const {
    return OwnClass(L"OrvoLabel");
}

void Label::SetAutoSize(bool on) {
    auto_size_ = on;
    TextChanged();
}

void Label::SetAlignment(Alignment alignment) {
    SetAndRepaint(alignment_, alignment);
}

void Label::SetTransparent(bool on) {
    SetAndRepaint(transparent_, on);
}

void Label::SetShowAccelChar(bool on) {
    show_accel_char_ = on;
    TextChanged();
}

unsigned Label::Format() const {
    unsigned format = DT_EXPANDTABS;
    if (!show_accel_char_) format |= DT_NOPREFIX;
    if (alignment_ == Alignment::kCenter) format |= DT_CENTER;
    if (alignment_ == Alignment::kRight) format |= DT_RIGHT;
    return format;
}

Size Label::TextExtent() const {
    std::wstring text = platform::Widen(Text());
    if (text.empty()) text = L" ";
    // The screen's DC measures as the label's own would, and needs no window.
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontObject());
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              (Format() & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {r.right, r.bottom};
}

// An auto-sized label keeps its top-left corner and grows to the right and down.
void Label::TextChanged() {
    if (auto_size_) {
        const Size extent = TextExtent();
        const Rect b = Bounds();
        SetBounds(Rect::FromBounds(b.left, b.top, extent.width, extent.height));
    }
    Invalidate();
}

void Label::PaintContent(Painter& painter) {
    const Size size = ClientSize();
    RECT r{0, 0, size.width, size.height};
    if (!transparent_) painter.FillRect({0, 0, size.width, size.height}, BackgroundColor());
    const std::wstring text = platform::Widen(Text());
    HDC dc = painter.Dc();
    HGDIOBJ old = SelectObject(dc, FontObject());
    const int old_mode = SetBkMode(dc, TRANSPARENT);
    if (Enabled()) {
        SetTextColor(dc, ResolveColor(GetFont().color));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, Format());
    } else {
        // Engraved, as disabled text is drawn elsewhere in the system.
        RECT shifted{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
        SetTextColor(dc, ResolveColor(clBtnHighlight));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shifted, Format());
        SetTextColor(dc, ResolveColor(clBtnShadow));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, Format());
    }
    SetBkMode(dc, old_mode);
    SelectObject(dc, old);
}

} // namespace ui
