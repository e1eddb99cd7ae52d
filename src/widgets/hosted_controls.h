// The custom-drawn controls placed in windows: each pairs the control with a ui::CustomControl
// that gives it a window of its own, its paint surface, the paint cycle and the mouse.
#pragma once

#include <string>

#include "ui/custom_control.h"
#include "widgets/label3d.h"
#include "widgets/progress_bar.h"

namespace widgets {

// TALProgressBar in a window: property changes paint at once through the host's surface; the
// window system's paint requests repaint it in full.
class ProgressBarControl {
  public:
    explicit ProgressBarControl(ui::CustomControl& host);
    ProgressBarControl(const ProgressBarControl&) = delete;
    ProgressBarControl& operator=(const ProgressBarControl&) = delete;

    ProgressBar& Bar() { return bar_; }
    const ProgressBar& Bar() const { return bar_; }
    ui::CustomControl& Host() { return host_; }

  private:
    ui::CustomControl& host_;
    ProgressBar bar_;
};

// TmyLabel3d in a window: it paints onto the parent's background, its host window follows
// the label's automatic size and carries its caption as the window text.
class Label3dControl : public Label3dHost {
  public:
    explicit Label3dControl(ui::CustomControl& host);
    Label3dControl(const Label3dControl&) = delete;
    Label3dControl& operator=(const Label3dControl&) = delete;

    Label3d& Label() { return label_; }
    const Label3d& Label() const { return label_; }
    ui::CustomControl& Host() { return host_; }

    void Invalidate(Label3d& label) override;
    bool HasMouseCapture(const Label3d& label) const override;
    void SetMouseCapture(Label3d& label, bool capture) override;

  private:
    ui::CustomControl& host_;
    Label3d label_;
};

} // namespace widgets
