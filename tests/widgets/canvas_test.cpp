// The off-screen canvas against GDI itself: colours, text, copies, clipping. Fills and pen lines
// are checked pixel by pixel through the progress bar's tests.
#include "ui/canvas.h"

#include <gtest/gtest.h>

#include "gdi_oracle.h"
#include "ui/paint_surface.h"

namespace {

using widgets_test::GdiImage;
using widgets_test::SamePixels;
using widgets_test::SystemRgb;

constexpr ui::Color kBack = ui::Rgb(10, 20, 30);

ui::Canvas Filled(int w, int h, ui::Color color) {
    ui::Canvas canvas(w, h);
    canvas.Fill(canvas.Bounds(), color);
    return canvas;
}

TEST(ColorTest, ResolvesRgbAndSystemColours) {
    struct Case {
        ui::Color color;
        ui::Color rgb;
    };
    const Case cases[] = {
        {ui::Rgb(1, 2, 3), 0x030201},
        {ui::clRed, 0x0000FF},
        {ui::clOlive, 0x008080},
        {0x7F112233, 0x112233}, // the unused top bits are dropped
        {ui::clBtnFace, SystemRgb(COLOR_BTNFACE)},
        {ui::clBtnShadow, SystemRgb(COLOR_BTNSHADOW)},
        {ui::clBtnHighlight, SystemRgb(COLOR_BTNHIGHLIGHT)},
        {ui::clGrayText, SystemRgb(COLOR_GRAYTEXT)},
        {ui::clWindowText, SystemRgb(COLOR_WINDOWTEXT)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.color);
        EXPECT_EQ(ui::ResolveColor(c.color), c.rgb);
        ui::Canvas canvas = Filled(2, 2, c.color);
        EXPECT_EQ(canvas.Pixel(1, 1), c.rgb);
    }
}

TEST(CanvasTest, SizeAndEmptyCanvas) {
    ui::Canvas canvas;
    EXPECT_TRUE(canvas.Empty());
    canvas.Fill({0, 0, 5, 5}, ui::clRed); // nothing to draw on: no effect, no crash
    EXPECT_EQ(canvas.Pixel(0, 0), 0u);
    canvas.SetSize(4, 3);
    EXPECT_EQ(canvas.Width(), 4);
    EXPECT_EQ(canvas.Height(), 3);
    canvas.Fill(canvas.Bounds(), ui::clRed);
    canvas.SetSize(4, 3); // same size keeps the pixels
    EXPECT_EQ(canvas.Pixel(3, 2), ui::clRed);
    EXPECT_EQ(canvas.Pixel(4, 0), 0u); // outside
    canvas.SetSize(0, 7);
    EXPECT_TRUE(canvas.Empty());
    EXPECT_EQ(canvas.Width(), 0);
}

TEST(CanvasTest, DrawAssignAndTile) {
    ui::Canvas picture(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) picture.PutPixel({x, y}, ui::Rgb(x * 50, y * 100, 7));

    ui::Canvas copy;
    copy.Assign(picture);
    ASSERT_EQ(copy.Width(), 3);
    ASSERT_EQ(copy.Height(), 2);
    EXPECT_TRUE(SamePixels(copy, GdiImage(picture)));

    ui::Canvas target = Filled(8, 5, kBack);
    target.Draw({6, 4}, picture); // reaches beyond: clipped
    EXPECT_EQ(target.Pixel(6, 4), picture.Pixel(0, 0));
    EXPECT_EQ(target.Pixel(7, 4), picture.Pixel(1, 0));
    EXPECT_EQ(target.Pixel(5, 4), kBack);

    target.DrawTiled(picture);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(target.Pixel(x, y), picture.Pixel(x % 3, y % 2)) << x << "," << y;
}

TEST(CanvasTest, CopyToAnotherDcAtAnOrigin) {
    ui::Canvas source = Filled(3, 2, ui::clMaroon);
    ui::Canvas target = Filled(10, 6, kBack);
    ui::DcSurface surface(target.Dc());
    surface.Present(source, {4, 3});
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 4 && x < 7 && y >= 3 && y < 5;
            EXPECT_EQ(target.Pixel(x, y), inside ? ui::clMaroon : kBack) << x << "," << y;
        }
    }
}

TEST(CanvasTest, ClipScopeLimitsAndRestores) {
    ui::Canvas canvas = Filled(6, 6, kBack);
    {
        ui::Canvas::ClipScope outer(canvas, {1, 1, 5, 5});
        {
            ui::Canvas::ClipScope inner(canvas, {3, 0, 6, 6});
            canvas.Fill(canvas.Bounds(), ui::clRed);
        }
        canvas.Fill({0, 0, 2, 2}, ui::clGreen);
    }
    canvas.Fill({5, 5, 6, 6}, ui::clNavy);
    EXPECT_EQ(canvas.Pixel(3, 1), ui::clRed);
    EXPECT_EQ(canvas.Pixel(4, 4), ui::clRed);
    EXPECT_EQ(canvas.Pixel(5, 3), kBack); // outside the outer scope
    EXPECT_EQ(canvas.Pixel(2, 2), kBack); // outside the inner scope
    EXPECT_EQ(canvas.Pixel(1, 1), ui::clGreen);
    EXPECT_EQ(canvas.Pixel(0, 0), kBack);      // the outer scope still held
    EXPECT_EQ(canvas.Pixel(5, 5), ui::clNavy); // no clipping after both
}

// Text measured and drawn as GDI measures and draws it, UTF-8 in, transparent background.
TEST(CanvasTest, TextAsGdiDrawsIt) {
    ui::Font font;
    font.face = "Arial";
    font.height = -16;
    font.style = ui::kFontBold;
    font.color = ui::clNavy;
    font.quality = ui::FontQuality::kNonAntialiased;
    const std::string texts[] = {"42%", "Žluťoučký kůň", "W"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        ui::Canvas canvas = Filled(160, 30, kBack);
        const SIZE size = widgets_test::GdiTextSize(text, font);
        const ui::Size measured = canvas.TextSize(text, font);
        EXPECT_EQ(measured.width, size.cx);
        EXPECT_EQ(measured.height, size.cy);
        EXPECT_GT(size.cx, 0);
        canvas.PrintText({5, 4}, text, font);

        GdiImage expected(160, 30, kBack);
        RECT rect{5, 4, 160, 30};
        const std::vector<bool> mask = widgets_test::TextMask(
            160, 30, text, font, rect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        int glyph_pixels = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 160; ++x) {
                if (!mask[y * 160 + x]) continue;
                expected.Set(x, y, ui::clNavy);
                ++glyph_pixels;
            }
        }
        EXPECT_GT(glyph_pixels, 10);
        EXPECT_TRUE(SamePixels(canvas, expected));
    }
}

} // namespace
