// The relief label drawn onto a parent canvas and compared with the copies GDI itself lays out:
// which copies, where, in which colour and in which order; the light-shade lock, automatic
// sizing and the pointer tracking.
#include "widgets/label3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "gdi_oracle.h"
#include "platform/code_page.h"

namespace {

using widgets::Label3d;
using widgets_test::GdiImage;
using widgets_test::SamePixels;

constexpr int kParentW = 320;
constexpr int kParentH = 90;
constexpr ui::Color kBack = ui::Rgb(90, 10, 10);
constexpr ui::Color kLight = ui::Rgb(250, 240, 230);
constexpr ui::Color kDark = ui::Rgb(20, 120, 40);

// The title font of the main window, with sharp glyph edges so copies keep exact colours.
ui::Font TitleFont() {
    ui::Font font;
    font.face = "Arial";
    font.height = -37;
    font.style = ui::kFontBold;
    font.color = ui::clNavy;
    font.charset = 238; // EASTEUROPE_CHARSET
    font.quality = ui::FontQuality::kNonAntialiased;
    return font;
}

struct Copy {
    int dx, dy;
    ui::Color color;
};

// What the label should leave on a parent filled with kBack: each copy of the caption laid out
// by DrawTextW in the label's rectangle moved by the copy's offset, in order, clipped to the
// label's bounds.
void DrawExpected(GdiImage& image, const Label3d& label, const std::vector<Copy>& copies,
                  UINT format) {
    const ui::Rect b = label.BoundsRect();
    for (const Copy& copy : copies) {
        const RECT r{b.left + copy.dx, b.top + copy.dy, b.right + copy.dx, b.bottom + copy.dy};
        const std::vector<bool> mask = widgets_test::TextMask(
            image.width(), image.height(), label.Caption(), label.Font(), r, format);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (mask[y * image.width() + x] && b.Contains({x, y}))
                    image.Set(x, y, ui::ResolveColor(copy.color));
    }
}

int CountColor(const GdiImage& image, ui::Color color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.At(x, y) == ui::ResolveColor(color);
    return n;
}

struct StyleCase {
    const char* name;
    std::function<void(Label3d&)> setup;
    std::vector<Copy> copies; // the relief copies, in drawing order, then the text
    UINT format;
};

TEST(Label3dTest, ReliefCopiesByStyle) {
    const UINT kFormat = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK;
    const ui::Color gray_text = widgets_test::SystemRgb(COLOR_GRAYTEXT);
    const auto shades = [](widgets::T3DEffect style) {
        return [style](Label3d& l) {
            l.SetAStyle3D(style);
            l.SetAShadeLeftTop(kLight);
            l.SetAShadeRightBottom(kDark);
        };
    };
    const StyleCase cases[] = {
        {"Normal", shades(widgets::Normal3d), {{0, 0, ui::clNavy}}, kFormat},
        {"Raised",
         shades(widgets::Raised3d),
         {{1, 1, kDark}, {-1, -1, kLight}, {0, 0, ui::clNavy}},
         kFormat},
        {"Engraved",
         shades(widgets::Engraved3d),
         {{1, 1, kLight}, {-1, -1, kDark}, {0, 0, ui::clNavy}},
         kFormat},
        // Auto-sized: the shadow's top 5 rows and right 5 columns fall outside and are cut.
        {"Shadowed", shades(widgets::Shadowed3d), {{5, -5, kDark}, {0, 0, ui::clNavy}}, kFormat},
        {"ShadowedOtherOffsets",
         [&](Label3d& l) {
             shades(widgets::Shadowed3d)(l);
             l.SetAHShadeOffSet(-3);
             l.SetAVShadeOffSet(4);
         },
         {{-3, 4, kDark}, {0, 0, ui::clNavy}},
         kFormat},
        // The main window's title: engraved, olive, the light shade left white.
        {"Title",
         [](Label3d& l) {
             l.SetAStyle3D(widgets::Engraved3d);
             l.SetAShadeRightBottom(ui::clOlive);
             l.SetAShadeLTSet(false);
         },
         {{1, 1, ui::clWhite}, {-1, -1, ui::clOlive}, {0, 0, ui::clNavy}},
         kFormat},
        {"RaisedLocked",
         [&](Label3d& l) {
             shades(widgets::Raised3d)(l);
             l.SetAShadeLTSet(true);
         },
         {{1, 1, kDark}, {-1, -1, ui::clWhite}, {0, 0, ui::clNavy}},
         kFormat},
        // Disabled: only the text turns grey, the relief keeps its shades.
        {"Disabled",
         [&](Label3d& l) {
             shades(widgets::Raised3d)(l);
             l.SetEnabled(false);
         },
         {{1, 1, kDark}, {-1, -1, kLight}, {0, 0, gray_text}},
         kFormat},
        {"Opaque",
         [&](Label3d& l) {
             shades(widgets::Engraved3d)(l);
             l.SetTransparent(false);
             l.SetColor(ui::clYellow);
         },
         {{1, 1, kLight}, {-1, -1, kDark}, {0, 0, ui::clNavy}},
         kFormat},
        {"CentredFixedSize",
         [&](Label3d& l) {
             shades(widgets::Raised3d)(l);
             l.SetAutoSize(false);
             l.SetAlignment(widgets::TextAlignment::kCenter);
             l.SetBounds(8, 8, 300, 60);
         },
         {{1, 1, kDark}, {-1, -1, kLight}, {0, 0, ui::clNavy}},
         DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK},
        {"RightAlignedFixedSize",
         [&](Label3d& l) {
             shades(widgets::Engraved3d)(l);
             l.SetAutoSize(false);
             l.SetAlignment(widgets::TextAlignment::kRight);
             l.SetBounds(20, 8, 290, 60);
         },
         {{1, 1, kLight}, {-1, -1, kDark}, {0, 0, ui::clNavy}},
         DT_RIGHT | DT_EXPANDTABS | DT_WORDBREAK},
        // Narrower than the caption: broken at the word boundary into two lines.
        {"WordBreak",
         [&](Label3d& l) {
             shades(widgets::Raised3d)(l);
             l.SetAutoSize(false);
             l.SetBounds(8, 2, 150, 86);
         },
         {{1, 1, kDark}, {-1, -1, kLight}, {0, 0, ui::clNavy}},
         kFormat},
    };
    for (const StyleCase& c : cases) {
        SCOPED_TRACE(c.name);
        Label3d label;
        label.SetBounds(8, 8, 65, 17);
        label.SetFont(TitleFont());
        label.SetCaption("Želvík Pro");
        c.setup(label);

        ui::Canvas parent(kParentW, kParentH);
        parent.Fill(parent.Bounds(), kBack);
        label.Paint(parent);

        GdiImage expected(kParentW, kParentH, kBack);
        if (!label.Transparent()) {
            const ui::Rect b = label.BoundsRect();
            for (int y = b.top; y < b.bottom; ++y)
                for (int x = b.left; x < b.right; ++x) expected.Set(x, y, label.Color());
        }
        DrawExpected(expected, label, c.copies, c.format);
        EXPECT_TRUE(SamePixels(parent, expected));
        // Every copy left pixels of its colour, so the comparison saw each of them.
        for (const Copy& copy : c.copies)
            EXPECT_GT(CountColor(expected, copy.color), 20)
                << "copy at " << copy.dx << "," << copy.dy;
        // Nothing outside the label's bounds.
        const ui::Rect b = label.BoundsRect();
        for (int y = 0; y < kParentH; ++y)
            for (int x = 0; x < kParentW; ++x)
                if (!b.Contains({x, y})) {
                    ASSERT_EQ(parent.Pixel(x, y), kBack) << x << "," << y;
                }
        widgets_test::SavePicture(parent, std::string("label-") + c.name);
    }
}

TEST(Label3dTest, AcceleratorCharacters) {
    for (bool accel : {true, false}) {
        SCOPED_TRACE(accel);
        Label3d label;
        label.SetFont(TitleFont());
        label.SetShowAccelChar(accel);
        label.SetCaption("&Soubor && Co");
        label.SetBounds(4, 4, 300, 60);
        label.SetAStyle3D(widgets::Raised3d);
        ui::Canvas parent(kParentW, kParentH);
        parent.Fill(parent.Bounds(), kBack);
        label.Paint(parent);
        GdiImage expected(kParentW, kParentH, kBack);
        const UINT format = DT_EXPANDTABS | DT_WORDBREAK | (accel ? 0 : DT_NOPREFIX);
        DrawExpected(expected, label,
                     {{1, 1, ui::clGray}, {-1, -1, ui::clWhite}, {0, 0, ui::clNavy}}, format);
        EXPECT_TRUE(SamePixels(parent, expected));
        GdiImage other(kParentW, kParentH, kBack);
        DrawExpected(other, label, {{1, 1, ui::clGray}, {-1, -1, ui::clWhite}, {0, 0, ui::clNavy}},
                     format ^ DT_NOPREFIX);
        EXPECT_FALSE(SamePixels(parent, other));
    }
}

TEST(Label3dTest, EmptyCaptionDrawsNothingAndKeepsOneLine) {
    Label3d label;
    label.SetFont(TitleFont());
    label.SetCaption("x");
    label.SetCaption("");
    label.SetAStyle3D(widgets::Raised3d);
    ui::Canvas parent(kParentW, kParentH);
    parent.Fill(parent.Bounds(), kBack);
    label.Paint(parent);
    EXPECT_TRUE(SamePixels(parent, GdiImage(kParentW, kParentH, kBack)));

    HDC dc = CreateCompatibleDC(nullptr);
    widgets_test::GdiFont font(TitleFont());
    HGDIOBJ old = SelectObject(dc, font.get());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SIZE space{};
    GetTextExtentPoint32W(dc, L" ", 1, &space);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(label.Height(), tm.tmHeight);
    EXPECT_EQ(label.Width(), space.cx);
}

// Automatic sizing fits the plain caption as DrawTextW measures it.
TEST(Label3dTest, AutoSizeFitsThePlainCaption) {
    struct Case {
        const char* caption;
        widgets::TextAlignment alignment;
        bool auto_size;
    };
    const Case cases[] = {
        {"Želvík Pro", widgets::TextAlignment::kLeft, true},
        {"Dvě\nřádky", widgets::TextAlignment::kLeft, true},
        {"a\tb", widgets::TextAlignment::kLeft, true},
        {"Vpravo", widgets::TextAlignment::kRight, true},
        {"Pevná velikost", widgets::TextAlignment::kLeft, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        Label3d label;
        label.SetAutoSize(c.auto_size);
        label.SetAlignment(c.alignment);
        label.SetBounds(100, 5, 65, 17);
        label.SetFont(TitleFont());
        label.SetCaption(c.caption);

        HDC dc = CreateCompatibleDC(nullptr);
        widgets_test::GdiFont font(TitleFont());
        HGDIOBJ old = SelectObject(dc, font.get());
        const std::wstring wide = platform::Widen(c.caption);
        RECT r{0, 0, 65, 17};
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | DT_EXPANDTABS);
        SelectObject(dc, old);
        DeleteDC(dc);

        if (!c.auto_size) {
            EXPECT_EQ(label.BoundsRect(), ui::Rect::FromBounds(100, 5, 65, 17));
            continue;
        }
        EXPECT_EQ(label.Width(), r.right);
        EXPECT_EQ(label.Height(), r.bottom);
        EXPECT_EQ(label.Top(), 5);
        // A right-aligned label keeps its right edge, the others their left edge.
        if (c.alignment == widgets::TextAlignment::kRight) {
            EXPECT_EQ(label.BoundsRect().right, 165);
        } else {
            EXPECT_EQ(label.Left(), 100);
        }
    }
}

// --- the light-shade lock and repaint requests -------------------------------------------

class RecordingHost : public widgets::Label3dHost {
  public:
    void Invalidate(Label3d&) override { ++invalidations; }
    bool HasMouseCapture(const Label3d&) const override { return captured; }
    void SetMouseCapture(Label3d&, bool capture) override {
        ++capture_calls;
        captured = capture && grant;
    }
    int invalidations = 0;
    int capture_calls = 0;
    bool captured = false;
    bool grant = true; // false: the system refuses the capture
};

TEST(Label3dTest, LightShadeLockAndRepaintRequests) {
    enum Action { kSetLeftTop, kSetLock, kSetRightBottom, kSetStyle, kSetHOffset, kSetVOffset };
    struct Step {
        Action action;
        ui::Color value;
        ui::Color left_top_after;
        int requests; // repaint requests this step makes
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const ui::Color a = ui::Rgb(1, 2, 3);
    const ui::Color b = ui::Rgb(4, 5, 6);
    const ui::Color w = ui::clWhite;
    const Case cases[] = {
        {"LockedIgnoresAssignment",
         {{kSetLeftTop, a, a, 1},
          {kSetLock, 1, w, 1},
          {kSetLeftTop, b, w, 0},
          {kSetLock, 0, a, 1}}},
        {"SecondLockSavesNothing",
         {{kSetLeftTop, a, a, 1}, {kSetLock, 1, w, 1}, {kSetLock, 1, w, 1}, {kSetLock, 0, a, 1}}},
        {"UnlockWhenUnlocked", {{kSetLeftTop, b, b, 1}, {kSetLock, 0, b, 1}}},
        {"SameValueNoRequest",
         {{kSetLeftTop, w, w, 0},
          {kSetRightBottom, ui::clGray, w, 0},
          {kSetStyle, widgets::Normal3d, w, 0},
          {kSetHOffset, 5, w, 0},
          {kSetVOffset, static_cast<ui::Color>(-5), w, 0}}},
        {"NewValuesRequest",
         {{kSetRightBottom, a, w, 1},
          {kSetStyle, widgets::Shadowed3d, w, 1},
          {kSetHOffset, 2, w, 1},
          {kSetVOffset, 3, w, 1}}},
        {"LockedDefaultShade",
         {{kSetLock, 1, w, 1},
          {kSetLeftTop, a, w, 0},
          {kSetLock, 0, w, 1},
          {kSetLeftTop, a, a, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Label3d label;
        RecordingHost host;
        label.SetHost(&host);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            SCOPED_TRACE(i);
            const unsigned before = label.RepaintRequests();
            switch (s.action) {
            case kSetLeftTop: label.SetAShadeLeftTop(s.value); break;
            case kSetLock: label.SetAShadeLTSet(s.value != 0); break;
            case kSetRightBottom: label.SetAShadeRightBottom(s.value); break;
            case kSetStyle: label.SetAStyle3D(static_cast<widgets::T3DEffect>(s.value)); break;
            case kSetHOffset: label.SetAHShadeOffSet(static_cast<std::int32_t>(s.value)); break;
            case kSetVOffset: label.SetAVShadeOffSet(static_cast<std::int32_t>(s.value)); break;
            }
            EXPECT_EQ(label.AShadeLeftTop(), s.left_top_after);
            EXPECT_EQ(label.RepaintRequests() - before, static_cast<unsigned>(s.requests));
        }
        EXPECT_EQ(host.invalidations, static_cast<int>(label.RepaintRequests()));
        EXPECT_EQ(label.PaintCount(), 0u); // requests only: the window system repaints later
    }
}

TEST(Label3dTest, InitialValues) {
    Label3d label;
    EXPECT_EQ(label.AStyle3D(), widgets::Normal3d);
    EXPECT_EQ(label.AShadeRightBottom(), ui::Rgb(128, 128, 128));
    EXPECT_EQ(label.AShadeLeftTop(), ui::Rgb(255, 255, 255));
    EXPECT_EQ(label.AHShadeOffSet(), 5);
    EXPECT_EQ(label.AVShadeOffSet(), -5);
    EXPECT_FALSE(label.AShadeLTSet());
    EXPECT_TRUE(label.Transparent());
    EXPECT_TRUE(label.AutoSize());
    EXPECT_TRUE(label.ShowAccelChar());
    EXPECT_EQ(label.Alignment(), widgets::TextAlignment::kLeft);
    EXPECT_EQ(label.Width(), 65);
    EXPECT_EQ(label.Height(), 17);
    EXPECT_FALSE(label.OnMouseOut());
    EXPECT_EQ(static_cast<int>(widgets::Shadowed3d), 3);
}

// --- pointer tracking -------------------------------------------------------------------------

TEST(Label3dTest, MouseOutOnceAtTheFirstMoveOutside) {
    struct Move {
        int x, y;
        bool captured_after;
        int outs_after;
    };
    struct Case {
        const char* name;
        bool with_host;
        std::vector<Move> moves;
    };
    // The label is 65 x 17: x = 65 and y = 17 still count as inside.
    const Case cases[] = {
        {"AcrossAndOutRight",
         true,
         {{3, 3, true, 0}, {30, 8, true, 0}, {65, 17, true, 0}, {66, 8, false, 1}}},
        {"OutLeft", true, {{0, 0, true, 0}, {-1, 5, false, 1}}},
        {"OutAbove", false, {{10, 0, true, 0}, {10, -1, false, 1}}},
        {"OutBelow", false, {{10, 17, true, 0}, {10, 18, false, 1}}},
        // A 16-bit coordinate of 0xFFFF is -1, left of the label.
        {"SignedSixteenBits", true, {{5, 5, true, 0}, {0xFFFF, 5, false, 1}}},
        {"BackInAgain",
         false,
         {{5, 5, true, 0}, {70, 5, false, 1}, {6, 6, true, 1}, {6, 30, false, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Label3d label;
        RecordingHost host;
        if (c.with_host) label.SetHost(&host);
        int outs = 0;
        label.SetOnMouseOut([&](Label3d& sender) {
            EXPECT_EQ(&sender, &label);
            ++outs;
        });
        for (const Move& m : c.moves) {
            label.MouseMove(static_cast<std::int16_t>(m.x), static_cast<std::int16_t>(m.y));
            EXPECT_EQ(outs, m.outs_after) << "after " << m.x << "," << m.y;
            if (c.with_host) {
                EXPECT_EQ(host.captured, m.captured_after);
            }
        }
    }
}

// Without the capture (the system refused it) the label cannot tell that the pointer left.
TEST(Label3dTest, NoMouseOutWithoutTheCapture) {
    Label3d label;
    RecordingHost host;
    host.grant = false;
    label.SetHost(&host);
    int outs = 0;
    label.SetOnMouseOut([&](Label3d&) { ++outs; });
    label.MouseMove(5, 5);
    label.MouseMove(100, 5);
    EXPECT_EQ(outs, 0);
    EXPECT_EQ(host.capture_calls, 2);
    // And no handler assigned is no failure.
    Label3d quiet;
    quiet.MouseMove(5, 5);
    quiet.MouseMove(-5, 5);
}

} // namespace
