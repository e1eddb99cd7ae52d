// What the drawn controls put on screen, sampled pixel by pixel: labels and pictures over what
// lies beneath them, glyph strips, panel bevels, and the hosts of the custom-drawn controls.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/bit_button.h"
#include "ui/custom_control.h"
#include "ui/label.h"
#include "ui/panel.h"
#include "ui/picture.h"
#include "ui_test_support.h"
#include "widgets/hosted_controls.h"

namespace {

using ui_test::Grab;
using ui_test::Pump;
using ui_test::ShownWindow;

constexpr ui::Color kBack = ui::Rgb(10, 120, 30);
constexpr ui::Color kInk = ui::Rgb(200, 0, 0);
constexpr ui::Color kKey = ui::Rgb(128, 128, 0);
constexpr ui::Color kBlue = ui::Rgb(0, 0, 255);

ui::Font SharpFont(ui::Color color) {
    ui::Font font;
    font.face = "Arial";
    font.height = -20;
    font.color = color;
    font.quality = ui::FontQuality::kNonAntialiased;
    return font;
}

// A picture of `width` x `height` in one colour with a differently coloured left half.
ui::Image TwoHalves(int width, int height, ui::Color left, ui::Color right) {
    ui::Canvas canvas(width, height);
    canvas.Fill({0, 0, width / 2, height}, left);
    canvas.Fill({width / 2, 0, width, height}, right);
    return ui::Image::FromCanvas(canvas);
}

TEST(LabelDrawingTest, TransparentLabelsShowTheParentAndTheFramesBeneath) {
    auto form = ShownWindow("Backdrop", 300, 100, kBack);
    auto& bevel = form->Add<ui::Bevel>("Frame", ui::Rect::FromBounds(20, 10, 200, 60));
    bevel.SetShape(ui::BevelShape::kFrame, ui::BevelCut::kLowered);
    // Over the frame's right edge, as the folder page's heading lies over its frame.
    auto& label = form->Add<ui::Label>("Over", ui::Rect::FromBounds(150, 20, 100, 24));
    label.SetAutoSize(false);
    label.SetTransparent(true);
    label.SetFont(SharpFont(kInk));
    label.SetText("W");
    const ui::Canvas shot = Grab(form->Handle());
    const ui::Color shadow = ui::ResolveColor(ui::clBtnShadow);
    const ui::Color light = ui::ResolveColor(ui::clBtnHighlight);
    // The frame's right edge (x 218 in shadow, 219 in highlight) runs on under the label.
    EXPECT_EQ(shot.Pixel(218, 30), shadow);
    EXPECT_EQ(shot.Pixel(219, 30), light);
    EXPECT_EQ(shot.Pixel(218, 5), kBack);
    // Between the letters: the window's colour; the letter itself in the font's colour.
    EXPECT_EQ(shot.Pixel(240, 40), kBack);
    int ink = 0;
    for (int y = 20; y < 44; ++y)
        for (int x = 150; x < 170; ++x) ink += shot.Pixel(x, y) == kInk;
    EXPECT_GT(ink, 20);
}

TEST(LabelDrawingTest, OpaqueLabelsFillTheirColourAndClipTheirText) {
    auto form = ShownWindow("Opaque", 300, 100, kBack);
    auto& label = form->Add<ui::Label>("Heading", ui::Rect::FromBounds(10, 10, 30, 20));
    label.SetAutoSize(false);
    label.SetBackgroundColor(ui::clWhite);
    label.SetFont(SharpFont(kInk));
    label.SetText("WWWWWWWW");
    const ui::Canvas shot = Grab(form->Handle());
    int white = 0;
    for (int x = 10; x < 40; ++x) white += shot.Pixel(x, 29) == ui::clWhite;
    EXPECT_GT(white, 10);
    for (int y = 10; y < 30; ++y) EXPECT_EQ(shot.Pixel(40, y), kBack) << y; // clipped
}

TEST(PictureDrawingTest, TransparentBitmapsLeaveOutTheBottomLeftColour) {
    auto form = ShownWindow("Pictures", 200, 100, kBack);
    ui::Canvas art(16, 16);
    art.Fill(art.Bounds(), kKey);
    art.Fill({4, 4, 12, 12}, kInk);
    auto& clear = form->Add<ui::Picture>("Clear", ui::Rect::FromBounds(10, 10, 5, 5));
    clear.SetAutoSize(true);
    clear.SetTransparent(true);
    clear.SetImage(ui::Image::FromCanvas(art));
    auto& solid = form->Add<ui::Picture>("Solid", ui::Rect::FromBounds(40, 10, 16, 16));
    solid.SetImage(ui::Image::FromCanvas(art));
    EXPECT_EQ(clear.Bounds(), ui::Rect::FromBounds(10, 10, 16, 16));
    const ui::Canvas shot = Grab(form->Handle());
    EXPECT_EQ(shot.Pixel(11, 11), kBack);
    EXPECT_EQ(shot.Pixel(18, 18), kInk);
    EXPECT_EQ(shot.Pixel(41, 11), kKey);
    EXPECT_EQ(shot.Pixel(48, 18), kInk);
}

TEST(PictureDrawingTest, StretchedPicturesFillTheControl) {
    auto form = ShownWindow("Stretch", 200, 400, kBack);
    auto& side = form->Add<ui::Picture>("Image6", ui::Rect::FromBounds(4, 4, 146, 296));
    side.SetStretch(true);
    side.SetImage(TwoHalves(150, 300, ui::clNavy, ui::clYellow));
    EXPECT_EQ(side.Bounds(), ui::Rect::FromBounds(4, 4, 146, 296));
    const ui::Canvas shot = Grab(form->Handle());
    EXPECT_EQ(shot.Pixel(4, 4), ui::clNavy);
    EXPECT_EQ(shot.Pixel(149, 299), ui::clYellow);
    EXPECT_EQ(shot.Pixel(150, 300), kBack);
}

// A picture given by its source is made once, when it is first painted or measured.
TEST(PictureDrawingTest, APictureSourceIsReadOnceWhenFirstNeeded) {
    auto form = ShownWindow("Source", 200, 100, kBack);
    int reads = 0;
    auto& shown = form->Add<ui::Picture>("Shown", ui::Rect::FromBounds(4, 4, 20, 10));
    shown.SetStretch(true);
    shown.SetImageSource([&reads] {
        ++reads;
        return TwoHalves(20, 10, ui::clNavy, ui::clYellow);
    });
    auto& hidden = form->Add<ui::Picture>("Hidden", ui::Rect::FromBounds(40, 4, 20, 10));
    hidden.Hide();
    bool hidden_read = false;
    hidden.SetImageSource([&hidden_read] {
        hidden_read = true;
        return TwoHalves(20, 10, ui::clRed, ui::clRed);
    });
    const ui::Canvas shot = Grab(form->Handle());
    EXPECT_EQ(shot.Pixel(4, 4), ui::clNavy);
    EXPECT_EQ(shot.Pixel(23, 13), ui::clYellow);
    form->Repaint();
    EXPECT_EQ(reads, 1);
    EXPECT_FALSE(hidden_read);
    auto& sized = form->Add<ui::Picture>("Sized", ui::Rect::FromBounds(70, 4, 1, 1));
    sized.SetAutoSize(true);
    sized.SetImageSource([] { return TwoHalves(30, 12, ui::clRed, ui::clRed); });
    EXPECT_EQ(sized.Bounds(), ui::Rect::FromBounds(70, 4, 30, 12));
}

TEST(ButtonDrawingTest, TheGlyphStripsFirstImageEnabledSecondDisabled) {
    auto form = ShownWindow("Buttons", 200, 100);
    auto& button = form->Add<ui::BitButton>("BitBtn5", ui::Rect::FromBounds(10, 10, 100, 29));
    ui::Canvas strip(32, 16);
    strip.Fill(strip.Bounds(), ui::clOlive);
    strip.Fill({2, 2, 14, 14}, ui::clRed);
    strip.Fill({18, 2, 30, 14}, kBlue);
    button.SetGlyph(ui::Image::FromCanvas(strip));
    button.SetText("Pokračovat");
    const ui::BitButton::Layout layout = button.ComputeLayout({100, 29});
    // Glyph and caption centred together, the glyph first.
    EXPECT_LE(std::abs(layout.glyph.left - (100 - layout.text.right)), 1);
    EXPECT_EQ(layout.text.left - layout.glyph.right, ui::BitButton::kSpacing);
    EXPECT_EQ(layout.glyph.Height(), 16);
    EXPECT_LE(std::abs(layout.glyph.top - (29 - layout.glyph.bottom)), 1);

    const int gx = 10 + layout.glyph.left;
    const int gy = 10 + layout.glyph.top;
    ui::Canvas shot = Grab(form->Handle());
    EXPECT_EQ(shot.Pixel(gx + 8, gy + 8), ui::clRed);
    // The olive background of the strip is left out.
    EXPECT_EQ(shot.Pixel(gx, gy), ui::ResolveColor(ui::clBtnFace));
    button.SetEnabled(false);
    shot = Grab(form->Handle());
    EXPECT_EQ(shot.Pixel(gx + 8, gy + 8), kBlue);
}

TEST(ButtonDrawingTest, StockGlyphsHaveTwoImagesOnOlive) {
    for (ui::StockGlyph kind : {ui::StockGlyph::kOk, ui::StockGlyph::kCancel}) {
        const ui::Image glyph = ui::BitButton::MakeStockGlyph(kind);
        EXPECT_EQ(glyph.Width(), 32);
        EXPECT_EQ(glyph.Height(), 16);
        EXPECT_EQ(glyph.TransparentColor(), ui::clOlive);
        int inked = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) inked += glyph.Pixel(x, y) != ui::clOlive;
        EXPECT_GT(inked, 10);
    }
}

TEST(PanelDrawingTest, OuterBevelBorderInnerBevel) {
    auto form = ShownWindow("Panels", 200, 350, kBack);
    auto& side = form->Add<ui::Panel>("Panel5", ui::Rect::FromBounds(8, 8, 154, 304));
    side.SetBevels(ui::BevelCut::kRaised, ui::BevelCut::kLowered, 2);
    EXPECT_EQ(side.InnerRect(), (ui::Rect{4, 4, 150, 300}));
    const ui::Canvas shot = Grab(form->Handle());
    const ui::Color shadow = ui::ResolveColor(ui::clBtnShadow);
    const ui::Color light = ui::ResolveColor(ui::clBtnHighlight);
    const ui::Color face = ui::ResolveColor(ui::clBtnFace);
    // Lowered outside: dark top-left, light bottom-right; raised inside: the other way round.
    EXPECT_EQ(shot.Pixel(8 + 50, 8), shadow);
    EXPECT_EQ(shot.Pixel(8 + 50, 8 + 303), light);
    EXPECT_EQ(shot.Pixel(8 + 50, 8 + 1), face);
    EXPECT_EQ(shot.Pixel(8 + 50, 8 + 3), light);
    EXPECT_EQ(shot.Pixel(8 + 3, 8 + 50), light);
    EXPECT_EQ(shot.Pixel(8 + 150, 8 + 50), shadow);
    EXPECT_EQ(shot.Pixel(8 + 50, 8 + 4), face);
}

TEST(CustomControlTest, BarsPresentAtOnceAndRepaintInThePaintCycle) {
    auto form = ShownWindow("Custom", 200, 100, kBack);
    auto& host =
        form->Add<ui::CustomControl>("ALProgressBar2", ui::Rect::FromBounds(7, 46, 100, 13));
    widgets::ProgressBarControl bar(host);
    bar.Bar().SetShowPosText(false);
    bar.Bar().SetBarColorStyle(widgets::cs1Color);
    bar.Bar().SetBarColor1(ui::clRed);
    bar.Bar().SetPosition(50);
    // On screen without a paint cycle.
    HDC dc = GetDC(host.Handle());
    EXPECT_EQ(GetPixel(dc, 10, 6) & 0xFFFFFF, ui::clRed);
    EXPECT_EQ(GetPixel(dc, 90, 6) & 0xFFFFFF, ui::ResolveColor(ui::clBtnFace));
    ReleaseDC(host.Handle(), dc);
    // And again after the window system asks for it.
    const ui::Canvas shot = Grab(form->Handle());
    EXPECT_EQ(shot.Pixel(7 + 10, 46 + 6), ui::clRed);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(shot.Pixel(7 + x, 46 + y), bar.Bar().Picture().Pixel(x, y)) << x << "," << y;
}

TEST(CustomControlTest, TheReliefLabelsWindowFollowsItsSizeAndCaption) {
    auto form = ShownWindow("Relief", 500, 100, kBack);
    auto& host = form->Add<ui::CustomControl>("Programname", ui::Rect::FromBounds(8, 8, 251, 44));
    widgets::Label3dControl title(host);
    ui::Font font = SharpFont(ui::clNavy);
    font.height = -37;
    title.Label().SetFont(font);
    title.Label().SetAStyle3D(widgets::Engraved3d);
    title.Label().SetCaption("Zelvik v.2.10");
    EXPECT_EQ(host.Bounds(), title.Label().BoundsRect());
    EXPECT_EQ(host.Left(), 8);
    EXPECT_EQ(host.Text(), "Zelvik v.2.10");
    const ui::Canvas shot = Grab(form->Handle());
    // Transparent: the window's colour around the letters, navy in them.
    EXPECT_EQ(shot.Pixel(8, 8 + host.Height() - 1), kBack);
    int navy = 0;
    for (int y = 8; y < 8 + host.Height(); ++y)
        for (int x = 8; x < 8 + host.Width(); ++x) navy += shot.Pixel(x, y) == ui::clNavy;
    EXPECT_GT(navy, 100);
}

TEST(CustomControlTest, MouseMovesReachTheLabelAndItTakesTheCapture) {
    auto form = ShownWindow("Mouse", 300, 100);
    auto& host = form->Add<ui::CustomControl>("Programname", ui::Rect::FromBounds(8, 8, 100, 30));
    widgets::Label3dControl title(host);
    int outs = 0;
    title.Label().SetOnMouseOut([&outs](widgets::Label3d&) { ++outs; });
    SendMessageW(host.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(host.HasMouseCapture());
    SendMessageW(host.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(-3 & 0xFFFF, 5));
    EXPECT_FALSE(host.HasMouseCapture());
    EXPECT_EQ(outs, 1);
}

} // namespace
