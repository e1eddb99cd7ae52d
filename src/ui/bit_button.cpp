#include "ui/bit_button.h"

#include <windows.h>

#include "platform/code_page.h"
#include "ui/window.h"

namespace ui {

Control::CreateParams BitButton::GetCreateParams() const {
    return SystemClass(L"Button", BS_OWNERDRAW | WS_TABSTOP);
}

void BitButton::SetGlyph(Image strip, int count) {
    glyph_ = std::move(strip);
    glyph_count_ = glyph_.Empty() ? 0 : count;
    Invalidate();
}

void BitButton::SetDefault(bool on) {
    SetAndRepaint(default_, on);
}

void BitButton::Click() {
    Control::Click();
    if (modal_result_ == 0) return;
    Window* form = Form();
    if (form && form->IsModal()) form->SetModalResult(modal_result_);
}

BitButton::Layout BitButton::ComputeLayout(Size size) const {
    Size glyph{0, 0};
    if (glyph_count_ > 0) glyph = {glyph_.Width() / glyph_count_, glyph_.Height()};
    const std::wstring text = platform::Widen(Text());
    Size extent{0, 0};
    if (!text.empty()) {
        HDC dc = GetDC(Handle());
        HGDIOBJ old = SelectObject(dc, FontObject());
        RECT r{0, 0, 0, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        ReleaseDC(Handle(), dc);
        extent = {r.right, r.bottom};
    }
    const int spacing = glyph.width > 0 && extent.width > 0 ? spacing_ : 0;
    const int total = glyph.width + spacing + extent.width;
    const int left = (size.width - total + 1) / 2;
    Layout layout;
    layout.glyph =
        Rect::FromBounds(left, (size.height - glyph.height + 1) / 2, glyph.width, glyph.height);
    layout.text =
        Rect::FromBounds(left + glyph.width + spacing, (size.height - extent.height + 1) / 2,
                         extent.width, extent.height);
    return layout;
}

void BitButton::Draw(const void* raw) {
    const auto& item = *static_cast<const DRAWITEMSTRUCT*>(raw);
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    Painter painter(dc);
    // The button Enter would press wears a dark outline.
    if (default_ || focused) {
        painter.FrameRect({r.left, r.top, r.right, r.bottom}, clBlack);
        InflateRect(&r, -1, -1);
    }
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0u));
    const Layout layout = ComputeLayout({item.rcItem.right, item.rcItem.bottom});
    const int shift = pressed ? 1 : 0;
    if (glyph_count_ > 0) {
        const int width = glyph_.Width() / glyph_count_;
        const int index = disabled && glyph_count_ > 1 ? 1 : 0;
        glyph_.DrawPart(dc, {layout.glyph.left + shift, layout.glyph.top + shift},
                        Rect::FromBounds(index * width, 0, width, glyph_.Height()),
                        glyph_.TransparentColor());
    }
    const std::wstring text = platform::Widen(Text());
    HGDIOBJ old = SelectObject(dc, FontObject());
    SetBkMode(dc, TRANSPARENT);
    RECT t{layout.text.left + shift, layout.text.top + shift, layout.text.right + shift,
           layout.text.bottom + shift};
    if (disabled) {
        RECT lit{t.left + 1, t.top + 1, t.right + 1, t.bottom + 1};
        SetTextColor(dc, ResolveColor(clBtnHighlight));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &lit, DT_SINGLELINE);
        SetTextColor(dc, ResolveColor(clBtnShadow));
    } else {
        SetTextColor(dc, ResolveColor(GetFont().color));
    }
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_SINGLELINE);
    SelectObject(dc, old);
    if (focused) {
        RECT f = r;
        InflateRect(&f, -3, -3);
        DrawFocusRect(dc, &f);
    }
}

bool BitButton::HandleNotification(Message& m) {
    switch (m.id) {
    case WM_COMMAND:
        if (HIWORD(m.wparam) != BN_CLICKED) return false;
        Click();
        return true;
    case WM_DRAWITEM:
        Draw(reinterpret_cast<const void*>(m.lparam));
        m.result = TRUE;
        return true;
    default: return false;
    }
}

// A green tick and a red cross on olive, each with a grey twin for the disabled state.
Image BitButton::MakeStockGlyph(StockGlyph kind) {
    Canvas canvas(32, 16);
    canvas.Fill(canvas.Bounds(), clOlive);
    for (int image = 0; image < 2; ++image) {
        const int x = image * 16;
        const Color ink = image == 1 ? clGray : kind == StockGlyph::kOk ? clGreen : clRed;
        for (int thick = 0; thick < 2; ++thick) {
            if (kind == StockGlyph::kOk) {
                canvas.Polyline({{x + 2, 8 + thick}, {x + 6, 12 + thick}, {x + 14, 4 + thick}},
                                ink);
            } else {
                canvas.Line({x + 3 + thick, 3}, {x + 13 + thick, 13}, ink);
                canvas.Line({x + 12 + thick, 3}, {x + 2 + thick, 13}, ink);
            }
        }
    }
    return Image::FromCanvas(canvas);
}

} // namespace ui
