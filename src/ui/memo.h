// A multi-line edit: read-only text memos and editable ones, left aligned or centred, with
// scroll bars, addressed by lines.
#pragma once

#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

enum class ScrollBars : std::uint8_t { kNone, kVertical, kBoth };

struct MemoOptions {
    bool read_only = false;
    Alignment alignment = Alignment::kLeft;
    ScrollBars scroll_bars = ScrollBars::kNone;
    // Long lines break at the right edge; off with a horizontal scroll bar.
    bool word_wrap = true;
};

class Memo : public Control {
  public:
    explicit Memo(const MemoOptions& options = {});

    const MemoOptions& Options() const { return options_; }

    // The text is the lines, each ended by CR LF; Lines() gives them back without the ends.
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines);
    void AddLine(const std::string& line);
    void Clear();

  protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    bool HandleNotification(Message& message) override;
    bool UsesParentColor() const override { return false; }
    // A multi-line edit reports no EN_CHANGE for WM_SETTEXT; the change event fires anyway.
    void TextChanged() override;

  private:
    MemoOptions options_;
};

// Splits text at CR LF (or a lone LF); a final line end adds no empty line.
std::vector<std::string> SplitLines(const std::string& text);
std::string JoinLines(const std::vector<std::string>& lines);

} // namespace ui
