// The main window's arithmetic: band heights and shades, centring with rounding toward zero,
// and the places of the progress and picture panels, including windows smaller than them.
#include "widgets/layouts/form_geometry.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using layouts::BandHeight;
using layouts::BandRed;

TEST(BandsTest, HeightIsTheClientHeightOver256RoundedUp) {
    const std::pair<int, int> cases[] = {{1, 1},   {255, 1},  {256, 1},  {257, 2}, {483, 2},
                                         {768, 3}, {1024, 4}, {1025, 5}, {1080, 5}};
    for (const auto& [height, band] : cases) EXPECT_EQ(BandHeight(height), band) << height;
}

TEST(BandsTest, ShadesFallByOneEveryTwoBands) {
    const std::pair<int, int> cases[] = {{0, 127}, {1, 127}, {2, 126},
                                         {253, 1}, {254, 0}, {255, 0}};
    for (const auto& [band, red] : cases) EXPECT_EQ(BandRed(band), red) << band;
    for (int band = 0; band < 256; band += 2) EXPECT_EQ(BandRed(band), BandRed(band + 1)) << band;
}

struct Fill {
    ui::Rect rect;
    ui::Color color;
};

std::vector<Fill> Bands(int height, int width) {
    std::vector<Fill> fills;
    layouts::PaintBands(
        height, [width] { return width; },
        [&fills](const ui::Rect& r, ui::Color c) {
            fills.push_back({r, c});
        });
    return fills;
}

TEST(BandsTest, TwoHundredFiftySixBandsEdgeToEdgeAcrossTheWidth) {
    const std::vector<Fill> fills = Bands(483, 640);
    ASSERT_EQ(fills.size(), 256u);
    for (size_t i = 0; i < fills.size(); ++i) {
        EXPECT_EQ(fills[i].rect,
                  (ui::Rect{0, static_cast<int>(2 * i), 640, static_cast<int>(2 * i + 2)}));
        EXPECT_EQ(fills[i].color, ui::Rgb(static_cast<std::uint8_t>((255 - i) / 2), 0, 0));
    }
    // 483 rows: the last 14 bands lie below the window.
    EXPECT_GE(fills[241].rect.bottom, 483);
    EXPECT_LT(fills[241].rect.top, 483);
    EXPECT_GE(fills[242].rect.top, 483);
}

TEST(BandsTest, HeightIsReadOnceWidthForEveryBand) {
    int width_reads = 0;
    int fills = 0;
    layouts::PaintBands(
        300, [&width_reads] { return 100 + width_reads++; },
        [&fills](const ui::Rect& r, ui::Color) {
            EXPECT_EQ(r.right, 100 + fills);
            ++fills;
        });
    EXPECT_EQ(width_reads, 256);
}

TEST(BandsTest, ARowRangeGetsTheBandsMeetingItAsTheWholeRunPaintsThem) {
    const std::vector<Fill> all = Bands(483, 640);
    const std::pair<int, int> ranges[] = {{0, 1},   {5, 9}, {479, 483}, {480, 600},
                                          {-50, 3}, {7, 7}, {600, 700}};
    for (const auto& [top, bottom] : ranges) {
        std::vector<Fill> some;
        layouts::PaintBands(
            483, top, bottom, [] { return 640; },
            [&some](const ui::Rect& r, ui::Color c) {
                some.push_back({r, c});
            });
        std::vector<Fill> expected;
        for (const Fill& f : all) {
            if (f.rect.bottom > top && f.rect.top < bottom) expected.push_back(f);
        }
        ASSERT_EQ(some.size(), expected.size()) << top << ".." << bottom;
        for (size_t i = 0; i < some.size(); ++i) {
            EXPECT_EQ(some[i].rect, expected[i].rect) << top << ".." << bottom;
            EXPECT_EQ(some[i].color, expected[i].color) << top << ".." << bottom;
        }
    }
    // Rows 5 to 8 lie in the bands of rows 4-5, 6-7 and 8-9.
    std::vector<int> tops;
    layouts::PaintBands(
        483, 5, 9, [] { return 640; },
        [&tops](const ui::Rect& r, ui::Color) { tops.push_back(r.top); });
    EXPECT_EQ(tops, (std::vector<int>{4, 6, 8}));
}

TEST(CentringTest, RoundsTowardZero) {
    EXPECT_EQ(layouts::CentredOffset(1280, 495), 392);
    EXPECT_EQ(layouts::CentredOffset(496, 495), 0);
    EXPECT_EQ(layouts::CentredOffset(492, 495), -1);  // -3 div 2
    EXPECT_EQ(layouts::CentredOffset(400, 495), -47); // -95 div 2, not -48
    EXPECT_EQ(layouts::CentredPlace({1024, 768}, {495, 333}), (ui::Point{264, 217}));
}

TEST(ProgressPlacesTest, PanelAboveTheBottomAndPictureCentredAbove) {
    const auto places = layouts::PlaceProgressPanels({1280, 1024}, {450, 70}, {354, 104});
    EXPECT_EQ(places.progress_panel, (ui::Point{415, 904}));
    EXPECT_EQ(places.picture_panel, (ui::Point{463, 400}));
}

TEST(ProgressPlacesTest, SmallWindowsGiveNegativePlacesRoundedTowardZero) {
    // Height 101: the panel's top is -19, the picture's (-19 - 104) div 2 = -61, not -62.
    const auto places = layouts::PlaceProgressPanels({449, 101}, {450, 70}, {354, 104});
    EXPECT_EQ(places.progress_panel, (ui::Point{0, -19}));
    EXPECT_EQ(places.picture_panel, (ui::Point{47, -61}));
    // 222 rows: (102 - 104) div 2 = -1; at 223 the -1 div 2 rounds to 0.
    EXPECT_EQ(layouts::PlaceProgressPanels({800, 222}, {450, 70}, {354, 104}).picture_panel.y, -1);
    EXPECT_EQ(layouts::PlaceProgressPanels({800, 223}, {450, 70}, {354, 104}).picture_panel.y, 0);
    EXPECT_EQ(layouts::PlaceProgressPanels({800, 224}, {450, 70}, {354, 104}).picture_panel.y, 0);
}

} // namespace
