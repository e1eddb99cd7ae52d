#include "ui/page_control.h"

#include <windows.h>

#include "ui/window.h"

namespace ui {

Control::CreateParams Page::GetCreateParams() const {
    return OwnClass(L"OrvoPage", WS_CLIPCHILDREN);
}

Control::CreateParams PageControl::GetCreateParams() const {
    return OwnClass(L"OrvoPageControl", WS_CLIPCHILDREN);
}

Rect PageControl::PageBounds() const {
    const Size size = ClientSize();
    return {kFrameInset, kFrameInset, size.width - kFrameInset, size.height - kFrameInset};
}

Page& PageControl::AddPage(std::string name) {
    Page& page = Add<Page>(std::move(name), PageBounds());
    page.index_ = static_cast<int>(pages_.size());
    pages_.push_back(&page);
    if (active_ < 0) {
        active_ = page.index_;
    } else {
        page.Hide();
    }
    return page;
}

// A focus on the page that goes (the button that moved on) moves to the new page's first
// control, so the keyboard goes on from there and the focus mark stays in sight.
void PageControl::SetActivePageIndex(int index) {
    if (index < 0 || index >= PageCount()) return;
    const bool had_focus = HandleAllocated() && IsChild(Handle(), GetFocus());
    // Show the new page before hiding the old one, so the frame never shows empty.
    pages_[index]->Show();
    for (Page* page : pages_) {
        if (page->index_ != index) page->Hide();
    }
    active_ = index;
    if (had_focus && !IsChild(pages_[index]->Handle(), GetFocus())) FocusFirstIn(*pages_[index]);
}

void PageControl::PaintContent(Painter& painter) {
    const Size size = ClientSize();
    const Rect all{0, 0, size.width, size.height};
    painter.FillRect(all, BackgroundColor());
    const Rect inner = painter.Frame3d(all, clBtnHighlight, SystemColor(COLOR_3DDKSHADOW), 1);
    painter.Frame3d(inner, SystemColor(COLOR_3DLIGHT), clBtnShadow, 1);
}

bool PageControl::HandleMessage(Message& message) {
    if (message.id == WM_SIZE) {
        const Rect bounds = PageBounds();
        for (Page* page : pages_) page->SetBounds(bounds);
    }
    return Control::HandleMessage(message);
}

} // namespace ui
