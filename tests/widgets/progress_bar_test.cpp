// The progress bar composed off-screen and sampled pixel by pixel: filled lengths, gradients in
// every direction, the border, the position text (against GDI's own text), the tiled picture,
// refused positions and the cached bar image.
#include "widgets/progress_bar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "gdi_oracle.h"
#include "platform/code_page.h"

namespace {

using widgets::ProgressBar;
using widgets_test::GdiImage;
using widgets_test::SamePixels;
using widgets_test::SystemRgb;

constexpr ui::Color kBar = ui::Rgb(0, 200, 0);
constexpr ui::Color kEmpty = ui::Rgb(200, 0, 200);
constexpr ui::Color kBorder1 = ui::Rgb(1, 2, 3);
constexpr ui::Color kBorder2 = ui::Rgb(250, 251, 252);

class RecordingSurface : public ui::PaintSurface {
  public:
    void Present(const ui::Canvas& picture, ui::Point at) override {
        ++presents;
        last_at = at;
        last.Assign(picture);
    }
    int presents = 0;
    ui::Point last_at;
    ui::Canvas last;
};

// The colour every border pixel must have: top and left edges with the top-right and
// bottom-left corners in BorderColor1, bottom and right edges in BorderColor2.
ui::Color BorderAt(int x, int y, int w, int h, ui::Color b1, ui::Color b2) {
    if (y == 0 || x == 0) return b1;
    if (y == h - 1 || x == w - 1) return b2;
    ADD_FAILURE() << "(" << x << "," << y << ") is not on the border";
    return 0;
}

bool OnBorder(int x, int y, int w, int h) {
    return x == 0 || y == 0 || x == w - 1 || y == h - 1;
}

void Plain(ProgressBar& bar, int w, int h, bool border) {
    bar.SetBounds(0, 0, w, h);
    bar.SetShowPosText(false);
    bar.SetShowBorder(border);
    bar.SetBorderColor1(kBorder1);
    bar.SetBorderColor2(kBorder2);
}

// --- filled length ---------------------------------------------------------------------------

struct FillCase {
    const char* name;
    widgets::TProgressDirection direction;
    int w, h;
    bool border;
    int min, max, position;
    std::function<void(ProgressBar&)> then; // range changes after the position, if any
    int filled;                             // worked out by hand
};

bool InFilled(const FillCase& c, int x, int y) {
    const int inset = c.border ? 1 : 0;
    switch (c.direction) {
    case widgets::pdLeftToRight: return x < inset + c.filled;
    case widgets::pdRightToLeft: return x >= c.w - inset - c.filled;
    case widgets::pdTopToBottom: return y < inset + c.filled;
    case widgets::pdBottomToTop: return y >= c.h - inset - c.filled;
    }
    return false;
}

TEST(ProgressBarTest, FilledLengthInEveryDirection) {
    const auto range = [](int min, int max) {
        return [=](ProgressBar& bar) {
            bar.SetMin(min);
            bar.SetMax(max);
        };
    };
    const FillCase cases[] = {
        // L = 41: 20.5 goes to the even 20; 4.1 to 4.
        {"Height43At50", widgets::pdBottomToTop, 11, 43, true, 0, 100, 50, nullptr, 20},
        {"Height43At10", widgets::pdBottomToTop, 11, 43, true, 0, 100, 10, nullptr, 4},
        {"Width390At50", widgets::pdLeftToRight, 390, 13, true, 0, 100, 50, nullptr, 194},
        {"RightToLeftNoBorder", widgets::pdRightToLeft, 100, 10, false, 0, 100, 25, nullptr, 25},
        // L = 98: 24.5 goes to the even 24.
        {"TopToBottomHalfDown", widgets::pdTopToBottom, 10, 100, true, 0, 100, 25, nullptr, 24},
        // L = 3: 1.5 goes to the even 2.
        {"HalfUpToEven", widgets::pdLeftToRight, 5, 6, true, 0, 100, 50, nullptr, 2},
        {"AtMaxFull", widgets::pdLeftToRight, 50, 8, true, 0, 100, 100, nullptr, 48},
        {"AtMinEmpty", widgets::pdTopToBottom, 8, 50, true, -5, 100, -5, nullptr, 0},
        {"NegativeMin", widgets::pdRightToLeft, 22, 6, true, -50, 50, 0, nullptr, 10},
        {"AboveMaxAfterRangeChange", widgets::pdLeftToRight, 30, 6, true, 0, 100, 80, range(0, 50),
         28},
        {"BelowMinAfterRangeChange", widgets::pdBottomToTop, 6, 30, true, 0, 100, 30,
         range(40, 100), 0},
        {"EmptyRangeShowsFull", widgets::pdLeftToRight, 30, 6, true, 0, 100, 30, range(0, 0), 28},
        {"EmptyRangeAtMinShowsEmpty", widgets::pdLeftToRight, 30, 6, true, 0, 100, 30,
         range(30, 30), 0},
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.name);
        ProgressBar bar;
        Plain(bar, c.w, c.h, c.border);
        bar.SetBarColorStyle(widgets::cs1Color);
        bar.SetBarColor1(kBar);
        bar.SetBackgroundColor(kEmpty);
        bar.SetDirection(c.direction);
        bar.SetMin(c.min);
        bar.SetMax(c.max);
        bar.SetPosition(c.position);
        if (c.then) c.then(bar);
        bar.Paint();
        const ui::Canvas& p = bar.Picture();
        ASSERT_EQ(p.Width(), c.w);
        ASSERT_EQ(p.Height(), c.h);
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                ui::Color expected = InFilled(c, x, y) ? kBar : kEmpty;
                if (c.border && OnBorder(x, y, c.w, c.h))
                    expected = BorderAt(x, y, c.w, c.h, kBorder1, kBorder2);
                ASSERT_EQ(p.Pixel(x, y), expected) << "at " << x << "," << y;
            }
        }
    }
}

// --- gradients -------------------------------------------------------------------------------

struct Mark {
    int x, y;
    ui::Color expected; // worked out by hand
};

struct GradientCase {
    const char* name;
    widgets::TProgressDirection direction;
    widgets::TBarColorStyle style;
    int w, h;
    ui::Color c1, c2, c3;
    std::vector<Mark> marks = {};
};

// An independent model of the gradient: runs of lines with their start and end colours as the
// direction puts them, channel a + (k-1)(b-a)/(n-1) rounded half away from zero.
ui::Color ModelGradient(const GradientCase& c, int coordinate) {
    const bool horizontal =
        c.direction == widgets::pdLeftToRight || c.direction == widgets::pdRightToLeft;
    const bool forward =
        c.direction == widgets::pdLeftToRight || c.direction == widgets::pdTopToBottom;
    const int extent = horizontal ? c.w : c.h;
    struct Run {
        int start, lines;
        ui::Color from, to;
    };
    std::vector<Run> runs;
    if (c.style == widgets::cs2Colors) {
        runs.push_back({0, extent, forward ? c.c1 : c.c2, forward ? c.c2 : c.c1});
    } else {
        const int p = extent / 2;
        runs.push_back({0, p, forward ? c.c1 : c.c3, c.c2});
        runs.push_back({p, extent - p, c.c2, forward ? c.c3 : c.c1});
    }
    for (const Run& run : runs) {
        if (coordinate < run.start || coordinate >= run.start + run.lines) continue;
        const int k = coordinate - run.start + 1;
        const ui::Color a = ui::ResolveColor(run.from);
        const ui::Color b = ui::ResolveColor(run.to);
        const auto channel = [&](int ca, int cb) {
            if (run.lines == 1) return ca;
            const double step = static_cast<double>(k - 1) * (cb - ca) / (run.lines - 1);
            return ca + static_cast<int>(std::round(step));
        };
        return ui::Rgb(channel(ui::RedOf(a), ui::RedOf(b)), channel(ui::GreenOf(a), ui::GreenOf(b)),
                       channel(ui::BlueOf(a), ui::BlueOf(b)));
    }
    ADD_FAILURE() << "coordinate " << coordinate << " outside every run";
    return 0;
}

void FullGradientBar(ProgressBar& bar, const GradientCase& c) {
    Plain(bar, c.w, c.h, false);
    bar.SetDirection(c.direction);
    bar.SetBarColorStyle(c.style);
    bar.SetBarColor1(c.c1);
    bar.SetBarColor2(c.c2);
    bar.SetBarColor3(c.c3);
    bar.SetPosition(100);
}

TEST(ProgressBarTest, GradientRunsInEveryDirection) {
    const ui::Color a = ui::Rgb(10, 200, 30);
    const ui::Color b = ui::Rgb(240, 17, 99);
    const ui::Color c = ui::Rgb(3, 90, 250);
    const GradientCase cases[] = {
        // Red to black over 390 columns: k = 1, 195 (-127.17 -> -127), 390.
        {"RedToBlack390",
         widgets::pdLeftToRight,
         widgets::cs2Colors,
         390,
         13,
         ui::clRed,
         ui::clBlack,
         ui::clBlack,
         {{0, 6, ui::Rgb(255, 0, 0)}, {194, 6, ui::Rgb(128, 0, 0)}, {389, 6, ui::Rgb(0, 0, 0)}}},
        // The defaults: 100 columns green to yellow, 100 yellow to red.
        {"Defaults200",
         widgets::pdLeftToRight,
         widgets::cs3Colors,
         200,
         20,
         ui::clGreen,
         ui::clYellow,
         ui::clRed,
         {{0, 9, ui::Rgb(0, 128, 0)},
          {99, 9, ui::Rgb(255, 255, 0)},
          {100, 9, ui::Rgb(255, 255, 0)},
          {199, 9, ui::Rgb(255, 0, 0)}}},
        // 201 wide: the second run has 101 columns; its line 51 has green 255 - 127.5 -> 127.
        {"Defaults201",
         widgets::pdLeftToRight,
         widgets::cs3Colors,
         201,
         20,
         ui::clGreen,
         ui::clYellow,
         ui::clRed,
         {{99, 9, ui::Rgb(255, 255, 0)},
          {150, 9, ui::Rgb(255, 127, 0)},
          {200, 9, ui::Rgb(255, 0, 0)}}},
        {"TwoRightToLeft", widgets::pdRightToLeft, widgets::cs2Colors, 77, 5, a, b, c},
        {"TwoTopToBottom", widgets::pdTopToBottom, widgets::cs2Colors, 6, 64, a, b, c},
        // BarColor1 in the bottom row, BarColor2 in the top one.
        {"TwoBottomToTop",
         widgets::pdBottomToTop,
         widgets::cs2Colors,
         11,
         43,
         ui::clRed,
         ui::clBlack,
         c,
         {{5, 42, ui::Rgb(255, 0, 0)}, {5, 0, ui::Rgb(0, 0, 0)}}},
        {"ThreeRightToLeft", widgets::pdRightToLeft, widgets::cs3Colors, 99, 4, a, b, c},
        {"ThreeTopToBottom", widgets::pdTopToBottom, widgets::cs3Colors, 5, 90, a, b, c},
        {"ThreeBottomToTop", widgets::pdBottomToTop, widgets::cs3Colors, 7, 33, a, b, c},
        {"SystemColours", widgets::pdLeftToRight, widgets::cs3Colors, 60, 3, ui::clBtnShadow,
         ui::clBtnHighlight, ui::clGrayText},
        {"ExtentOneThree", widgets::pdLeftToRight, widgets::cs3Colors, 1, 4, a, b, c},
        {"ExtentOneThreeReverse", widgets::pdBottomToTop, widgets::cs3Colors, 4, 1, a, b, c},
        {"ExtentTwoThree", widgets::pdRightToLeft, widgets::cs3Colors, 2, 3, a, b, c},
    };
    for (const GradientCase& gc : cases) {
        SCOPED_TRACE(gc.name);
        ProgressBar bar;
        FullGradientBar(bar, gc);
        const bool horizontal =
            gc.direction == widgets::pdLeftToRight || gc.direction == widgets::pdRightToLeft;
        const ui::Canvas& p = bar.Picture();
        for (int y = 0; y < gc.h; ++y)
            for (int x = 0; x < gc.w; ++x)
                ASSERT_EQ(p.Pixel(x, y), ModelGradient(gc, horizontal ? x : y))
                    << "at " << x << "," << y;
        for (const Mark& m : gc.marks)
            EXPECT_EQ(p.Pixel(m.x, m.y), m.expected) << m.x << "," << m.y;
        widgets_test::SavePicture(p, std::string("gradient-") + gc.name);
    }
}

// A half-full bar shows the first half of the whole gradient, not the gradient compressed.
TEST(ProgressBarTest, PartialBarShowsTheStartOfTheGradient) {
    const GradientCase gc{"",          widgets::pdRightToLeft, widgets::cs3Colors, 200, 8,
                          ui::clGreen, ui::clYellow,           ui::clRed};
    ProgressBar bar;
    FullGradientBar(bar, gc);
    bar.SetBackgroundColor(kEmpty);
    bar.SetPosition(30);
    for (int x = 0; x < 200; ++x)
        ASSERT_EQ(bar.Picture().Pixel(x, 4), x < 140 ? kEmpty : ModelGradient(gc, x)) << x;
}

// --- border ----------------------------------------------------------------------------------

TEST(ProgressBarTest, BorderPixels) {
    struct Case {
        int w, h;
        ui::Color b1, b2;
    };
    const Case cases[] = {
        {390, 13, kBorder1, kBorder2},
        {11, 43, ui::clNavy, ui::clOlive},
        {200, 20, ui::clBtnShadow, ui::clBtnHighlight}, // the defaults, resolved when drawn
        {3, 3, kBorder1, kBorder2},
        {2, 2, kBorder1, kBorder2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        ProgressBar bar;
        bar.SetBounds(0, 0, c.w, c.h);
        bar.SetShowPosText(false);
        bar.SetBarColorStyle(widgets::cs1Color);
        bar.SetBarColor1(kBar);
        bar.SetPosition(100);
        bar.SetBorderColor1(c.b1);
        bar.SetBorderColor2(c.b2);
        const ui::Color b1 = ui::ResolveColor(c.b1);
        const ui::Color b2 = ui::ResolveColor(c.b2);
        const ui::Canvas& p = bar.Picture();
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const ui::Color expected =
                    OnBorder(x, y, c.w, c.h) ? BorderAt(x, y, c.w, c.h, b1, b2) : kBar;
                ASSERT_EQ(p.Pixel(x, y), expected) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(ui::ResolveColor(ui::clBtnShadow), SystemRgb(COLOR_BTNSHADOW));
}

// --- position text ---------------------------------------------------------------------------

TEST(ProgressBarTest, PositionTextCentredAsGdiMeasuresIt) {
    struct Case {
        const char* name;
        int w, h;
        ui::Font font;
        std::string prefix, suffix;
        int min, max, position;
    };
    ui::Font yellow;
    yellow.height = -12;
    yellow.color = ui::clYellow;
    ui::Font bold;
    bold.face = "Arial";
    bold.height = -15;
    bold.style = ui::kFontBold | ui::kFontItalic;
    bold.color = ui::Rgb(0, 0, 255);
    const Case cases[] = {
        {"InstallerBar", 390, 13, yellow, "", "%", 0, 100, 42},
        {"Defaults", 200, 20, ui::Font{}, "", "%", 0, 100, 7},
        {"NotAPercentage", 120, 20, bold, "", "%", 0, 200, 50},
        {"NegativeWithPrefix", 160, 24, bold, "P=", " kusů", -100, 100, -7},
        {"WiderThanTheBar", 30, 10, yellow, "Probíhá instalace ", "", 0, 100, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgressBar bar;
        bar.SetBounds(0, 0, c.w, c.h);
        bar.SetFont(c.font);
        bar.SetPosTextPrefix(c.prefix);
        bar.SetPosTextSuffix(c.suffix);
        bar.SetMin(c.min);
        bar.SetMax(c.max);
        bar.SetPosition(c.position);
        bar.SetShowPosText(false);
        GdiImage expected(bar.Picture());
        bar.SetShowPosText(true);

        const std::string text = c.prefix + std::to_string(c.position) + c.suffix;
        const std::wstring wide = platform::Widen(text);
        widgets_test::GdiFont font(c.font);
        HGDIOBJ old = SelectObject(expected.dc(), font.get());
        SIZE size{};
        GetTextExtentPoint32W(expected.dc(), wide.c_str(), static_cast<int>(wide.size()), &size);
        SetBkMode(expected.dc(), TRANSPARENT);
        SetTextColor(expected.dc(), ui::ResolveColor(c.font.color));
        TextOutW(expected.dc(), c.w / 2 - size.cx / 2, c.h / 2 - size.cy / 2, wide.c_str(),
                 static_cast<int>(wide.size()));
        SelectObject(expected.dc(), old);

        EXPECT_TRUE(SamePixels(bar.Picture(), expected));
        // The text really drew something, or the comparison above would prove nothing.
        GdiImage without(bar.Picture());
        bar.SetShowPosText(false);
        EXPECT_FALSE(SamePixels(bar.Picture(), without));
        if (std::string(c.name) == "WiderThanTheBar") {
            EXPECT_LT(c.w / 2 - size.cx / 2, 0);
        }
        bar.SetShowPosText(true);
        widgets_test::SavePicture(bar.Picture(), std::string("text-") + c.name);
    }
}

// --- tiled picture ---------------------------------------------------------------------------

TEST(ProgressBarTest, BarBitmapIsTiledAndTakesPrecedence) {
    ui::Canvas picture(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) picture.PutPixel({x, y}, ui::Rgb(30 * x, 40 * y, 99));
    const widgets::TBarColorStyle styles[] = {widgets::cs1Color, widgets::cs2Colors,
                                              widgets::cs3Colors};
    for (widgets::TBarColorStyle style : styles) {
        SCOPED_TRACE(static_cast<int>(style));
        ProgressBar bar;
        Plain(bar, 30, 12, false);
        bar.SetBackgroundColor(kEmpty);
        bar.SetBarColorStyle(style);
        bar.SetBarBitmap(picture);
        bar.SetPosition(100);
        const ui::Canvas& p = bar.Picture();
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(p.Pixel(x, y), picture.Pixel(x % 7, y % 5)) << x << "," << y;

        bar.SetPosition(50); // the empty part still covers the far end of the tiles
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(p.Pixel(x, 6), x < 15 ? picture.Pixel(x % 7, 6 % 5) : kEmpty) << x;
        widgets_test::SavePicture(p, "tiled-" + std::to_string(style));
    }

    // The picture is a copy: changing the original afterwards changes nothing.
    ProgressBar bar;
    Plain(bar, 30, 12, false);
    bar.SetBarBitmap(picture);
    picture.Fill(picture.Bounds(), ui::clRed);
    EXPECT_NE(bar.BarBitmap().Pixel(0, 0), ui::clRed);
    // An empty picture gives the colours back.
    bar.SetBarColorStyle(widgets::cs1Color);
    bar.SetBarColor1(kBar);
    bar.SetPosition(100);
    bar.SetBarBitmap(ui::Canvas());
    EXPECT_TRUE(bar.BarBitmap().Empty());
    EXPECT_EQ(bar.Picture().Pixel(3, 3), kBar);
}

// --- positions, paints, the cached bar image ---------------------------------------------------

TEST(ProgressBarTest, RefusedPositionsChangeAndPaintNothing) {
    struct Case {
        const char* name;
        int min, max, start, value;
    };
    const Case cases[] = {
        {"Equal", 0, 100, 50, 50},
        {"AboveMax", 0, 100, 50, 101},
        {"BelowMin", 0, 100, 50, -1},
        {"FarAbove", -10, 10, 3, 2147483647},
        {"MaxBelowMinInside", 100, 0, 0, 50},
        {"MaxBelowMinAtMin", 100, 0, 0, 100},
        {"MaxBelowMinAtMax", 100, 0, 5, 0},
        {"MaxBelowMinBelow", 100, 0, 5, -3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgressBar bar;
        RecordingSurface surface;
        bar.SetSurface(&surface);
        bar.SetPosition(c.start); // accepted while the range is still 0..100 (or refused)
        bar.SetMin(c.min);
        bar.SetMax(c.max);
        const int position = bar.Position();
        const unsigned paints = bar.PaintCount();
        const int presents = surface.presents;
        bar.SetPosition(c.value);
        EXPECT_EQ(bar.Position(), position);
        EXPECT_EQ(bar.PaintCount(), paints);
        EXPECT_EQ(surface.presents, presents);
    }
}

TEST(ProgressBarTest, EverySetterPaintsAndPresents) {
    ui::Canvas picture(3, 3);
    picture.Fill(picture.Bounds(), ui::clOlive);
    const std::pair<const char*, std::function<void(ProgressBar&)>> setters[] = {
        {"BackgroundColor", [](ProgressBar& b) { b.SetBackgroundColor(ui::clRed); }},
        {"BackgroundColorSame", [](ProgressBar& b) { b.SetBackgroundColor(ui::clBtnFace); }},
        {"BarBitmap", [&](ProgressBar& b) { b.SetBarBitmap(picture); }},
        {"BarColor1", [](ProgressBar& b) { b.SetBarColor1(ui::clRed); }},
        {"BarColor2", [](ProgressBar& b) { b.SetBarColor2(ui::clRed); }},
        {"BarColor3", [](ProgressBar& b) { b.SetBarColor3(ui::clGreen); }},
        {"BarColorStyle", [](ProgressBar& b) { b.SetBarColorStyle(widgets::cs2Colors); }},
        {"BorderColor1", [](ProgressBar& b) { b.SetBorderColor1(ui::clRed); }},
        {"BorderColor2", [](ProgressBar& b) { b.SetBorderColor2(ui::clRed); }},
        {"Direction", [](ProgressBar& b) { b.SetDirection(widgets::pdTopToBottom); }},
        {"Max", [](ProgressBar& b) { b.SetMax(7); }},
        {"Min", [](ProgressBar& b) { b.SetMin(200); }},
        {"PosTextPrefix", [](ProgressBar& b) { b.SetPosTextPrefix("x"); }},
        {"PosTextSuffix", [](ProgressBar& b) { b.SetPosTextSuffix("%"); }},
        {"ShowBorder", [](ProgressBar& b) { b.SetShowBorder(false); }},
        {"ShowPosText", [](ProgressBar& b) { b.SetShowPosText(true); }},
        {"Font", [](ProgressBar& b) { b.SetFont(ui::Font{}); }},
        {"Bounds", [](ProgressBar& b) { b.SetBounds(24, 20, 11, 43); }},
        {"PaintRequest", [](ProgressBar& b) { b.Paint(); }},
    };
    for (const auto& [name, set] : setters) {
        SCOPED_TRACE(name);
        ProgressBar bar;
        RecordingSurface surface;
        bar.SetSurface(&surface);
        bar.SetBounds(7, 46, 40, 13);
        const unsigned paints = bar.PaintCount();
        const unsigned builds = bar.BarImageBuilds();
        set(bar);
        EXPECT_EQ(bar.PaintCount(), paints + 1);
        EXPECT_EQ(surface.presents, 2);
        EXPECT_EQ(surface.last_at, (ui::Point{bar.Left(), bar.Top()}));
        EXPECT_TRUE(SamePixels(surface.last, GdiImage(bar.Picture())));
        // Every paint but a position change rebuilds the cached bar image.
        EXPECT_EQ(bar.BarImageBuilds(), builds + 1);
    }
}

TEST(ProgressBarTest, PositionChangeReusesTheCachedBarImage) {
    ProgressBar bar;
    RecordingSurface surface;
    bar.SetSurface(&surface);
    bar.SetBounds(0, 0, 100, 10);
    bar.SetShowPosText(false);
    bar.SetBackgroundColor(kEmpty);
    const unsigned builds = bar.BarImageBuilds();
    for (int position = 1; position <= 100; ++position) bar.SetPosition(position);
    EXPECT_EQ(bar.BarImageBuilds(), builds);
    EXPECT_EQ(surface.presents, 103);
    // What the reused image shows is still the whole gradient.
    const GradientCase gc{"",          widgets::pdLeftToRight, widgets::cs3Colors, 100, 10,
                          ui::clGreen, ui::clYellow,           ui::clRed};
    for (int x = 1; x < 99; ++x) ASSERT_EQ(bar.Picture().Pixel(x, 1), ModelGradient(gc, x)) << x;
    bar.SetPosition(40);
    EXPECT_EQ(bar.Picture().Pixel(60, 1), kEmpty);
    EXPECT_EQ(bar.BarImageBuilds(), builds);

    bar.SetBarColor3(ui::clBlack);
    EXPECT_EQ(bar.BarImageBuilds(), builds + 1);
    bar.Paint();
    EXPECT_EQ(bar.BarImageBuilds(), builds + 2);
    // One colour needs no cached image.
    bar.SetBarColorStyle(widgets::cs1Color);
    bar.SetBarColor1(kBar);
    EXPECT_EQ(bar.BarImageBuilds(), builds + 2);
}

// A bar whose first paint is a position change has no bar image yet: it builds one.
TEST(ProgressBarTest, FirstPaintByPositionBuildsTheImage) {
    ProgressBar bar;
    EXPECT_EQ(bar.PaintCount(), 0u);
    bar.SetPosition(100);
    EXPECT_EQ(bar.PaintCount(), 1u);
    EXPECT_EQ(bar.BarImageBuilds(), 1u);
    const GradientCase gc{"",          widgets::pdLeftToRight, widgets::cs3Colors, 200, 20,
                          ui::clGreen, ui::clYellow,           ui::clRed};
    EXPECT_EQ(bar.Picture().Pixel(50, 10), ModelGradient(gc, 50));
    widgets_test::SavePicture(bar.Picture(), "defaults-full");
}

TEST(ProgressBarTest, InitialValues) {
    ProgressBar bar;
    EXPECT_EQ(bar.Width(), 200);
    EXPECT_EQ(bar.Height(), 20);
    EXPECT_EQ(bar.BackgroundColor(), ui::clBtnFace);
    EXPECT_TRUE(bar.BarBitmap().Empty());
    EXPECT_EQ(bar.BarColor1(), ui::Rgb(0, 128, 0));
    EXPECT_EQ(bar.BarColor2(), ui::Rgb(255, 255, 0));
    EXPECT_EQ(bar.BarColor3(), ui::Rgb(255, 0, 0));
    EXPECT_EQ(bar.BarColorStyle(), widgets::cs3Colors);
    EXPECT_EQ(bar.BorderColor1(), ui::clBtnShadow);
    EXPECT_EQ(bar.BorderColor2(), ui::clBtnHighlight);
    EXPECT_EQ(bar.Direction(), widgets::pdLeftToRight);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.PosTextPrefix(), "");
    EXPECT_EQ(bar.PosTextSuffix(), "%");
    EXPECT_TRUE(bar.ShowBorder());
    EXPECT_TRUE(bar.ShowPosText());
    EXPECT_EQ(static_cast<int>(widgets::pdBottomToTop), 2);
    EXPECT_EQ(static_cast<int>(widgets::pdTopToBottom), 3);
    EXPECT_EQ(static_cast<int>(widgets::cs3Colors), 2);
}

// While the layout is applied the bar layer is left out: no image is built.
TEST(ProgressBarTest, LoadingSkipsTheBarLayer) {
    ProgressBar bar;
    bar.SetLoading(true);
    bar.SetBounds(0, 0, 50, 10);
    bar.SetBarColor1(ui::clRed);
    EXPECT_EQ(bar.BarImageBuilds(), 0u);
    EXPECT_EQ(bar.PaintCount(), 2u);
    bar.SetLoading(false);
    bar.Paint();
    EXPECT_EQ(bar.BarImageBuilds(), 1u);
}

} // namespace
