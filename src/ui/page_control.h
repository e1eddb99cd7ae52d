// A page control whose tabs are hidden: pages are child panels of equal size inside a raised
// frame, and exactly one of them (the active page) is visible. The program moves between
// pages itself; the user cannot pick one.
#pragma once

#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

class Page : public Control {
  public:
    // The page's place among its control's pages.
    int PageIndex() const { return index_; }

  protected:
    CreateParams GetCreateParams() const override;
    bool UsesParentColor() const override { return false; }

  private:
    friend class PageControl;
    int index_ = -1;
};

class PageControl : public Control {
  public:
    // The pages' place inside the frame, relative to the control.
    static constexpr int kFrameInset = 4;

    // Adds a page after the others; the first page becomes the active one.
    Page& AddPage(std::string name);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    Page& PageAt(int index) const { return *pages_.at(static_cast<size_t>(index)); }

    // -1 when there are no pages. Setting an index outside the pages does nothing.
    int ActivePageIndex() const { return active_; }
    void SetActivePageIndex(int index);
    Page* ActivePage() const { return active_ < 0 ? nullptr : pages_[active_]; }

    void PaintContent(Painter& painter) override;

  protected:
    CreateParams GetCreateParams() const override;
    bool HandleMessage(Message& message) override;
    bool UsesParentColor() const override { return false; }

  private:
    Rect PageBounds() const;

    std::vector<Page*> pages_;
    int active_ = -1;
};

} // namespace ui
