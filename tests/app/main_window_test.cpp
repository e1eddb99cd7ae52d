// The main window's own behaviour: the shaded background drawn into off-screen pictures of
// several heights and sampled row by row, the page control kept centred (also when it does not
// fit), the start-up geometry and maximising, and the progress layout.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/folder_picker.h"
#include "app/main_window.h"
#include "ui/canvas.h"
#include "ui/control_names.h"
#include "ui/custom_control.h"

namespace {

using C = contract::MainControl;
using contract::NameOf;

constexpr int kWidth = 640;

// The shade of row y for a client height, from the rule itself: bands of ceil(h / 256) rows,
// red (255 - band) div 2, nothing below the last band.
int ExpectedRed(int y, int client_height) {
    const int band_height = (client_height + 255) / 256;
    return (255 - y / band_height) / 2;
}

class BackgroundTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(BackgroundTest, BandsFromDarkRedToTheBottomShade) {
    const int height = GetParam().first;
    const int bottom_red = GetParam().second;
    app::MainWindow form;
    form.Window().SetBounds(ui::Rect::FromBounds(0, 0, kWidth, height));
    ASSERT_EQ(form.Window().ClientSize(), (ui::Size{kWidth, height}));
    ui::Canvas picture(kWidth, height);
    picture.Fill(picture.Bounds(), ui::clWhite);
    form.Window().PaintClientTo(picture.Dc());

    EXPECT_EQ(picture.Pixel(0, 0), ui::Rgb(127, 0, 0));
    for (int x : {0, kWidth / 2, kWidth - 1}) {
        EXPECT_EQ(picture.Pixel(x, height - 1),
                  ui::Rgb(static_cast<std::uint8_t>(bottom_red), 0, 0))
            << x;
    }
    for (int y = 0; y < height; ++y) {
        const ui::Color want = ui::Rgb(static_cast<std::uint8_t>(ExpectedRed(y, height)), 0, 0);
        ASSERT_EQ(picture.Pixel(0, y), want) << "row " << y;
        ASSERT_EQ(picture.Pixel(kWidth - 1, y), want) << "row " << y;
    }
}

// The bottom shades the edge cases name: 483 rows show red 7, 1025 red 25, 1080 red 20;
// 768 and 1024 end in black.
INSTANTIATE_TEST_SUITE_P(ClientHeights, BackgroundTest,
                         ::testing::Values(std::make_pair(483, 7), std::make_pair(768, 0),
                                           std::make_pair(1024, 0), std::make_pair(1025, 25),
                                           std::make_pair(1080, 20)));

TEST(BackgroundTest, ShortWindowsShowOnlyTheirFirstBands) {
    app::MainWindow form;
    form.Window().SetBounds(ui::Rect::FromBounds(0, 0, 100, 100));
    ui::Canvas picture(100, 100);
    form.Window().PaintClientTo(picture.Dc());
    for (int y = 0; y < 100; ++y) ASSERT_EQ(picture.Pixel(50, y), ui::Rgb((255 - y) / 2, 0, 0));
}

struct Centring {
    int width;
    int height;
    int left;
    int top;
};

TEST(ResizeTest, ThePageControlStaysCentredRoundingTowardZero) {
    app::MainWindow form;
    const Centring cases[] = {
        {1280, 1024, 392, 345}, {1024, 768, 264, 217}, {495, 333, 0, 0},
        {492, 330, -1, -1},     {400, 300, -47, -16},  {800, 600, 152, 133},
    };
    for (const Centring& c : cases) {
        form.Window().SetBounds(ui::Rect::FromBounds(0, 0, c.width, c.height));
        EXPECT_EQ(form.Get<ui::PageControl>(C::kPages).Bounds(),
                  ui::Rect::FromBounds(c.left, c.top, 495, 333))
            << c.width << " x " << c.height;
    }
    // The title keeps its corner.
    EXPECT_EQ(form.Get<ui::Control>(C::kTitle).Left(), 8);
    EXPECT_EQ(form.Get<ui::Control>(C::kTitle).Top(), 8);
}

TEST(StartupTest, CoversTheDesktopAndMaximisesWhenShown) {
    app::MainWindow form;
    const ui::Size screen = ui::Application::ScreenSize();
    EXPECT_EQ(form.Window().Bounds(), ui::Rect::FromBounds(0, 0, screen.width, screen.height));
    EXPECT_FALSE(IsWindowVisible(form.Window().Handle()));
    EXPECT_EQ(form.Get<ui::PageControl>(C::kPages).ActivePageIndex(), 0);
    form.Window().Show();
    ui::Application::ProcessMessages();
    EXPECT_TRUE(IsZoomed(form.Window().Handle()));
    EXPECT_EQ(form.Window().State(), ui::WindowState::kMaximized);
    const ui::Rect bounds = form.Window().Bounds();
    EXPECT_EQ(form.Get<ui::PageControl>(C::kPages).Left(), (bounds.Width() - 495) / 2);
    EXPECT_EQ(form.Get<ui::PageControl>(C::kPages).Top(), (bounds.Height() - 333) / 2);
}

struct ProgressCase {
    int width;
    int height;
    ui::Point panel1;
    ui::Point panel4;
};

TEST(ProgressLayoutTest, PanelsPlacedAndShownPagesHidden) {
    const ProgressCase cases[] = {
        {1280, 1024, {415, 904}, {463, 400}},
        {1024, 768, {287, 648}, {335, 272}},
        // Smaller than the panels: negative places, rounded toward zero.
        {449, 101, {0, -19}, {47, -61}},
    };
    for (const ProgressCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        app::MainWindow form;
        form.Window().CreateHandles();
        form.Window().SetBounds(ui::Rect::FromBounds(0, 0, c.width, c.height));
        HWND panel1 = ui::FindControl(form.Window().Handle(), NameOf(C::kProgressPanel));
        HWND panel4 = ui::FindControl(form.Window().Handle(), NameOf(C::kPicturePanel));
        HWND pages = ui::FindControl(form.Window().Handle(), NameOf(C::kPages));
        EXPECT_FALSE(GetWindowLongW(panel1, GWL_STYLE) & WS_VISIBLE);
        form.ShowProgressLayout();
        EXPECT_EQ(form.Get<ui::Panel>(C::kProgressPanel).Bounds(),
                  ui::Rect::FromBounds(c.panel1.x, c.panel1.y, 450, 70));
        EXPECT_EQ(form.Get<ui::Panel>(C::kPicturePanel).Bounds(),
                  ui::Rect::FromBounds(c.panel4.x, c.panel4.y, 354, 104));
        EXPECT_TRUE(GetWindowLongW(panel1, GWL_STYLE) & WS_VISIBLE);
        EXPECT_TRUE(GetWindowLongW(panel4, GWL_STYLE) & WS_VISIBLE);
        EXPECT_FALSE(GetWindowLongW(pages, GWL_STYLE) & WS_VISIBLE);
        // The logo stays hidden inside the picture panel.
        EXPECT_FALSE(GetWindowLongW(ui::FindControl(panel4, NameOf(C::kPanelPicture)), GWL_STYLE) &
                     WS_VISIBLE);
    }
}

TEST(ProgressLayoutTest, TheBarsDrawTheirPositionsOnThePanel) {
    app::MainWindow form;
    form.Window().SetBounds(ui::Rect::FromBounds(0, 0, 800, 600));
    form.ShowProgressLayout();
    widgets::ProgressBar& overall = form.Controls().ProgressBar(NameOf(C::kRunBar)).Bar();
    overall.SetPosition(50);
    EXPECT_EQ(overall.Direction(), widgets::pdLeftToRight);
    EXPECT_EQ(overall.BarColor1(), ui::clRed);
    EXPECT_EQ(overall.Font().color, ui::clYellow);
    EXPECT_TRUE(overall.ShowPosText());
    widgets::ProgressBar& member = form.Controls().ProgressBar(NameOf(C::kMemberBar)).Bar();
    EXPECT_EQ(member.Direction(), widgets::pdBottomToTop);
    EXPECT_FALSE(member.ShowPosText());
    EXPECT_EQ(member.BarColor2(), ui::clBlack);
    // What the bar window shows is the bar's picture.
    auto& host = form.Get<ui::CustomControl>(C::kRunBar);
    ui::Canvas shot(390, 13);
    shot.Fill(shot.Bounds(), ui::clWhite);
    ui::Painter painter(shot.Dc());
    host.PaintContent(painter);
    int same = 0;
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 390; ++x) same += shot.Pixel(x, y) == overall.Picture().Pixel(x, y);
    EXPECT_EQ(same, 390 * 13);
}

TEST(FolderPickerTest, BlackBackgroundAndTheTreesPathLabel) {
    app::FolderPicker picker;
    ui::Canvas picture(348, 286);
    picture.Fill(picture.Bounds(), ui::clWhite);
    picker.Window().PaintClientTo(picture.Dc());
    EXPECT_EQ(picture.Pixel(1, 1), ui::clBlack);
    EXPECT_EQ(picture.Pixel(347, 285), ui::clBlack);
    EXPECT_EQ(picker.Tree().PathLabel(), &picker.Path());
    EXPECT_EQ(picker.Path().GetFont().color, ui::clYellow);
    const std::vector<std::string> drives = picker.Tree().DriveTexts();
    ASSERT_FALSE(drives.empty());
    EXPECT_TRUE(picker.Tree().SetSelectedPath(drives.front()));
    EXPECT_EQ(picker.Path().Text(), drives.front());
}

} // namespace
