#include "widgets/progress_bar.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace widgets {
namespace {

// Channel k (1-based) of a run of n lines from a to b: a + (k-1)(b-a)/(n-1), the quotient
// rounded to nearest with a half away from zero, in 64 bits so the product cannot overflow.
int RunChannel(int a, int b, int k, int n) {
    if (n <= 1) return a;
    const long long num = static_cast<long long>(k - 1) * (b - a);
    const long long den = n - 1;
    const long long q = num >= 0 ? (2 * num + den) / (2 * den) : -((2 * -num + den) / (2 * den));
    return static_cast<int>((a + q) & 0xFF);
}

ui::Color RunColor(ui::Color a, ui::Color b, int k, int n) {
    return ui::Rgb(static_cast<std::uint8_t>(RunChannel(ui::RedOf(a), ui::RedOf(b), k, n)),
                   static_cast<std::uint8_t>(RunChannel(ui::GreenOf(a), ui::GreenOf(b), k, n)),
                   static_cast<std::uint8_t>(RunChannel(ui::BlueOf(a), ui::BlueOf(b), k, n)));
}

bool IsHorizontal(TProgressDirection direction) {
    return direction == pdLeftToRight || direction == pdRightToLeft;
}

// The bar grows from the left or top edge, so its first colour lies at coordinate 0.
bool GrowsFromStart(TProgressDirection direction) {
    return direction == pdLeftToRight || direction == pdTopToBottom;
}

} // namespace

ProgressBar::ProgressBar() = default;

void ProgressBar::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    Paint();
}

void ProgressBar::SetBackgroundColor(ui::Color color) {
    StoreAndPaint(background_color_, color);
}

void ProgressBar::SetBarBitmap(const ui::Canvas& picture) {
    bar_bitmap_.Assign(picture);
    Paint();
}

void ProgressBar::SetBarColor1(ui::Color color) {
    StoreAndPaint(bar_color1_, color);
}

void ProgressBar::SetBarColor2(ui::Color color) {
    StoreAndPaint(bar_color2_, color);
}

void ProgressBar::SetBarColor3(ui::Color color) {
    StoreAndPaint(bar_color3_, color);
}

void ProgressBar::SetBarColorStyle(TBarColorStyle style) {
    StoreAndPaint(bar_color_style_, style);
}

void ProgressBar::SetBorderColor1(ui::Color color) {
    StoreAndPaint(border_color1_, color);
}

void ProgressBar::SetBorderColor2(ui::Color color) {
    StoreAndPaint(border_color2_, color);
}

void ProgressBar::SetDirection(TProgressDirection direction) {
    StoreAndPaint(direction_, direction);
}

void ProgressBar::SetMax(std::int32_t value) {
    StoreAndPaint(max_, value);
}

void ProgressBar::SetMin(std::int32_t value) {
    StoreAndPaint(min_, value);
}

void ProgressBar::SetPosition(std::int32_t value) {
    if (value == position_ || value > max_ || value < min_) return;
    position_ = value;
    rebuild_ = false;
    Paint();
    rebuild_ = true;
}

void ProgressBar::SetPosTextPrefix(const std::string& text) {
    StoreAndPaint(pos_text_prefix_, text);
}

void ProgressBar::SetPosTextSuffix(const std::string& text) {
    StoreAndPaint(pos_text_suffix_, text);
}

void ProgressBar::SetShowBorder(bool show) {
    StoreAndPaint(show_border_, show);
}

void ProgressBar::SetShowPosText(bool show) {
    StoreAndPaint(show_pos_text_, show);
}

void ProgressBar::SetFont(const ui::Font& font) {
    StoreAndPaint(font_, font);
}

void ProgressBar::Paint() {
    ++paint_count_;
    offscreen_.SetSize(width_, height_);
    if (!loading_) DrawBarLayer();
    if (show_border_) DrawBorder();
    if (show_pos_text_) DrawPosText();
    if (surface_) surface_->Present(offscreen_, {left_, top_});
}

// Whether the cached bar image may be drawn as it is; rebuilds it otherwise. Besides the rebuild
// flag, an image of another size (never built, or the control resized since) is rebuilt too, so
// a position change never shows a stale or missing bar.
bool ProgressBar::UseBarImage() {
    if (!rebuild_ && bar_image_.Width() == width_ && bar_image_.Height() == height_) return true;
    bar_image_.SetSize(width_, height_);
    ++bar_image_builds_;
    return false;
}

void ProgressBar::DrawBarLayer() {
    if (!bar_bitmap_.Empty()) {
        if (!UseBarImage()) bar_image_.DrawTiled(bar_bitmap_);
        offscreen_.Draw({0, 0}, bar_image_);
    } else if (bar_color_style_ == cs1Color) {
        offscreen_.Fill(offscreen_.Bounds(), bar_color1_);
    } else {
        if (!UseBarImage()) BuildGradient();
        offscreen_.Draw({0, 0}, bar_image_);
    }

    const int inset = show_border_ ? 1 : 0;
    const int usable = (IsHorizontal(direction_) ? width_ : height_) - 2 * inset;
    const ui::Rect inner{inset, inset, width_ - inset, height_ - inset};
    // The bar image holds the whole gradient; the empty part covers its far end.
    const int empty = usable - FilledLength(usable);
    ui::Rect rest = inner;
    switch (direction_) {
    case pdLeftToRight: rest.left = inner.right - empty; break;
    case pdRightToLeft: rest.right = inner.left + empty; break;
    case pdTopToBottom: rest.top = inner.bottom - empty; break;
    case pdBottomToTop: rest.bottom = inner.top + empty; break;
    }
    offscreen_.Fill(rest, background_color_);
}

// Round((Position - Min) / |Max - Min| * usable), a half to the even neighbour. long double is
// the 80-bit extended format here, so values close to a half round as a native extended
// computation would. Only Min or Max changed after Position can put Position outside the
// range: above it the bar shows full, and so it does for an empty range Min = Max.
int ProgressBar::FilledLength(int usable) const {
    if (position_ <= min_ || usable <= 0) return 0;
    const long long range = std::llabs(static_cast<long long>(max_) - min_);
    if (range == 0) return usable;
    const long double exact = static_cast<long double>(static_cast<long long>(position_) - min_) /
                              static_cast<long double>(range) * usable;
    const long double filled = std::nearbyint(exact); // the default mode: half to even
    return filled >= usable ? usable : static_cast<int>(filled);
}

// One line per pixel of extent: vertical lines along x for the horizontal directions,
// horizontal lines along y for the vertical ones. BarColor1 always lies at the bar's origin.
void ProgressBar::BuildGradient() {
    const bool horizontal = IsHorizontal(direction_);
    const int extent = horizontal ? width_ : height_;
    const auto run = [&](int start, int lines, ui::Color from, ui::Color to) {
        const ui::Color a = ui::ResolveColor(from);
        const ui::Color b = ui::ResolveColor(to);
        for (int k = 1; k <= lines; ++k) {
            const int at = start + k - 1;
            const ui::Rect line =
                horizontal ? ui::Rect{at, 0, at + 1, height_} : ui::Rect{0, at, width_, at + 1};
            bar_image_.Fill(line, RunColor(a, b, k, lines));
        }
    };
    const bool forward = GrowsFromStart(direction_);
    if (bar_color_style_ == cs2Colors) {
        if (forward) {
            run(0, extent, bar_color1_, bar_color2_);
        } else {
            run(0, extent, bar_color2_, bar_color1_);
        }
        return;
    }
    const int first = extent / 2;
    if (forward) {
        run(0, first, bar_color1_, bar_color2_);
        run(first, extent - first, bar_color2_, bar_color3_);
    } else {
        run(0, first, bar_color3_, bar_color2_);
        run(first, extent - first, bar_color2_, bar_color1_);
    }
}

// Lines with a one-pixel pen, each without its end point: top and left edges, the top-right
// and bottom-left corners in BorderColor1; bottom and right edges with the bottom-right corner
// in BorderColor2. With the default colours the bar looks sunken.
void ProgressBar::DrawBorder() {
    const int w = width_;
    const int h = height_;
    offscreen_.Polyline({{w - 1, 0}, {0, 0}, {0, h}}, border_color1_);
    offscreen_.Polyline({{1, h - 1}, {w - 1, h - 1}, {w - 1, 0}}, border_color2_);
}

// The number is the position itself, not a share of the range; a text wider than the bar
// starts left of it and is clipped.
void ProgressBar::DrawPosText() {
    const std::string text = pos_text_prefix_ + std::to_string(position_) + pos_text_suffix_;
    const ui::Size size = offscreen_.TextSize(text, font_);
    offscreen_.PrintText({width_ / 2 - size.width / 2, height_ / 2 - size.height / 2}, text, font_);
}

} // namespace widgets
