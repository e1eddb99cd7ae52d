// The window placement keys: what a save writes, what a restore applies, and the screen
// resolution and density they are tied to.
#include "services/window_placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_window.h"
#include "services/form_storage.h"
#include "settings_test_support.h"

namespace services {
namespace {

using platform::WindowPlacement;
using platform::WindowRect;
using testing::FakeWindow;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
using Lines = std::vector<std::string>;

class PlacementTest : public ::testing::Test {
  protected:
    PlacementTest() {
        storage_.SetIniFileName(path_);
        window_.traits.has_handle = true;
        window_.traits.visible = true;
        window_.traits.left = 1;
        window_.traits.top = 2;
        window_.traits.width = 100;
        window_.traits.height = 50;
        window_.placement = {0, platform::kShowNormal, {-1, -1}, {-1, -1}, {1, 2, 101, 52}};
    }

    // The placement the restore applied, if it applied one.
    std::optional<WindowPlacement> Restore(const std::string& file,
                                           const PlacementOptions& options = {}) {
        WriteBytes(path_, "[ALL]\r\n" + file);
        window_.applied.clear();
        window_.log.clear();
        RestorePlacement(storage_, window_, options);
        if (window_.applied.empty()) return std::nullopt;
        EXPECT_EQ(window_.applied.size(), 1u);
        return window_.applied.back();
    }

    TempFolder folder_;
    const std::string path_ = folder_.Path("setup.ini");
    FakeWindow window_;
    FormStorage storage_;
};

TEST_F(PlacementTest, SavesEveryKeyWithAndWithoutTheResolution) {
    window_.placement = {
        2, platform::kShowMaximized, {-32000, -32000}, {-4, -4}, {10, 20, 610, 420}};
    window_.screen = {800, 600, 120};
    SavePlacement(storage_, window_, {}, false);
    EXPECT_EQ(ReadBytes(path_),
              "[ALL]\r\nFlags=2\r\nShowCmd=3\r\nPixelsPerInch=120\r\n"
              "MinMaxPos(800x600)=-32000,-32000,-4,-4\r\nMinMaxPos=-32000,-32000,-4,-4\r\n"
              "NormPos(800x600)=10,20,610,420\r\nNormPos=10,20,610,420\r\nVisible=0\r\n");
}

TEST_F(PlacementTest, SavedStateFollowsTheApplicationAndTheWindowKind) {
    struct Case {
        const char* what;
        bool main_window, application_minimized;
        WindowStyle style;
        WindowState state;
        bool active_control, destroying;
        Lines lines; // expected among the file's lines
    };
    const Case cases[] = {
        {"main, application minimized",
         true,
         true,
         WindowStyle::kNormal,
         WindowState::kNormal,
         false,
         false,
         {"Flags=2", "ShowCmd=2"}},
        {"other window, application minimized",
         false,
         true,
         WindowStyle::kNormal,
         WindowState::kNormal,
         false,
         false,
         {"Flags=2", "ShowCmd=1"}},
        {"minimized child",
         false,
         false,
         WindowStyle::kMdiChild,
         WindowState::kMinimized,
         false,
         false,
         {"Flags=3", "ShowCmd=1"}},
        {"normal child",
         false,
         false,
         WindowStyle::kMdiChild,
         WindowState::kNormal,
         false,
         false,
         {"Flags=2"}},
        {"focused control",
         true,
         false,
         WindowStyle::kNormal,
         WindowState::kNormal,
         true,
         false,
         {"NormPos=1,2,101,52", "ActiveControl=Directory", "Visible=0"}},
        {"destroying",
         true,
         false,
         WindowStyle::kNormal,
         WindowState::kNormal,
         false,
         true,
         {"Visible=1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::fs::remove(testing::PathOf(path_));
        window_.placement.flags = 2;
        window_.traits.main_window = c.main_window;
        window_.traits.application_minimized = c.application_minimized;
        window_.traits.style = c.style;
        window_.traits.state = c.state;
        window_.active_control = "Directory";
        PlacementOptions options;
        options.active_control = c.active_control;
        SavePlacement(storage_, window_, options, c.destroying);
        const std::string file = ReadBytes(path_).value_or("");
        for (const std::string& line : c.lines)
            EXPECT_NE(file.find("\r\n" + line + "\r\n"), std::string::npos) << line;
        EXPECT_EQ(file.find("ActiveControl") != std::string::npos, c.active_control);
    }
}

TEST_F(PlacementTest, RestoresThePositionForThisScreenOnly) {
    struct Case {
        const char* file;
        std::optional<WindowRect> normal; // applied, or none
    };
    const Case cases[] = {
        {"NormPos(1024x768)=5,6,305,206\r\nNormPos=10,20,310,220\r\n", WindowRect{5, 6, 305, 206}},
        {"NormPos(800x600)=1,2,3,4\r\nNormPos=10,20,310,220\r\n", WindowRect{10, 20, 310, 220}},
        {"NormPos(800x600)=10,20,310,220\r\n", std::nullopt},
        {"NormPos(1024x768)=\r\nNormPos=10 20  310,,220\r\n", WindowRect{10, 20, 310, 220}},
        {"NormPos=10,20,310,220\r\nPixelsPerInch=120\r\n", std::nullopt},
        {"NormPos=10,20,310,220\r\nPixelsPerInch=96\r\n", WindowRect{10, 20, 310, 220}},
        {"NormPos=300,0,100,50\r\n", std::nullopt},
        // Words that are missing or no number keep the window's own bounds.
        {"NormPos=7 x\r\n", WindowRect{7, 2, 101, 52}},
        {"PixelsPerInch=96\r\nFlags=2\r\nShowCmd=1\r\n", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::optional<WindowPlacement> applied = Restore(c.file);
        ASSERT_EQ(applied.has_value(), c.normal.has_value());
        if (applied) {
            EXPECT_EQ(applied->normal, *c.normal);
        }
    }
}

TEST_F(PlacementTest, RestoresMinMaxPositionsAndFlags) {
    std::optional<WindowPlacement> applied = Restore("MinMaxPos=a,5,-4,-4\r\nFlags=2\r\n");
    ASSERT_TRUE(applied);
    EXPECT_EQ(*applied,
              (WindowPlacement{2, platform::kShowNormal, {0, 5}, {-4, -4}, {1, 2, 101, 52}}));

    window_.placement.flags = 1;
    applied = Restore("MinMaxPos(1024x768)=3,4\r\nNormPos=0,0,200,100\r\n");
    ASSERT_TRUE(applied);
    EXPECT_EQ(*applied,
              (WindowPlacement{1, platform::kShowNormal, {3, 4}, {0, 0}, {0, 0, 200, 100}}));
}

TEST_F(PlacementTest, FixedSizeWindowKeepsItsSizeAndCentredOneItsStoredPlace) {
    window_.traits.resizable = false;
    window_.traits.position = WindowPosition::kScreenCenter;
    std::optional<WindowPlacement> applied = Restore("NormPos=10,20,999,999\r\n");
    ASSERT_TRUE(applied);
    EXPECT_EQ(applied->normal, (WindowRect{10, 20, 110, 70}));
    EXPECT_EQ(window_.log.front(), "designed position");

    window_.traits.position = WindowPosition::kOwnerCenter;
    ASSERT_TRUE(Restore("NormPos=10,20,999,999\r\n"));
    EXPECT_NE(window_.log.front(), "designed position");
}

// Applying the placement back must not show a window that is still hidden.
TEST_F(PlacementTest, HiddenWindowStaysHidden) {
    window_.traits.visible = false;
    std::optional<WindowPlacement> applied = Restore("NormPos=10,20,310,220\r\n");
    ASSERT_TRUE(applied);
    EXPECT_EQ(applied->show_command, platform::kShowHide);
}

TEST_F(PlacementTest, RestoresTheStateFromTheShowCommand) {
    struct Case {
        const char* show;
        bool main_window;
        WindowPosition position;
        WindowStyle style;
        Lines log;
    };
    const Lines normal = {"normal", "repaint"}, maximized = {"maximized", "repaint"},
                app_minimized = {"normal", "minimize application"};
    const auto kDesigned = WindowPosition::kDesigned, kDefault = WindowPosition::kDefault;
    const auto kPlain = WindowStyle::kNormal;
    const Case cases[] = {
        {"1", true, kDefault, kPlain, normal},
        {"5", true, kDefault, kPlain, normal},
        {"9", true, kDefault, kPlain, normal},
        {"3", true, kDesigned, kPlain, maximized},
        {"2", true, kDesigned, kPlain, app_minimized},
        {"6", true, kDesigned, kPlain, app_minimized},
        {"7", true, kDesigned, kPlain, app_minimized},
        {"2", false, kDesigned, kPlain, {"minimized", "repaint"}},
        {nullptr, true, kDesigned, kPlain, normal},
        {nullptr, true, kDefault, kPlain, maximized},
        {"4", true, kDefault, kPlain, maximized},
        {"x", true, kDefault, kPlain, maximized},
        {nullptr, false, kDefault, kPlain, normal},
        {nullptr, true, WindowPosition::kDefaultPositionOnly, kPlain, normal},
        {nullptr, true, kDesigned, WindowStyle::kMdiFrame, maximized},
        {nullptr, true, kDefault, WindowStyle::kMdiChild, normal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.show ? c.show : "(none)") + (c.main_window ? " main" : ""));
        window_.traits.main_window = c.main_window;
        window_.traits.position = c.position;
        window_.traits.style = c.style;
        Restore(c.show ? std::string("ShowCmd=") + c.show + "\r\n" : "");
        EXPECT_EQ(window_.log, c.log);
    }
}

// Another density stops the position, not the state.
TEST_F(PlacementTest, OtherDensityStillRestoresTheState) {
    EXPECT_FALSE(Restore("NormPos=10,20,310,220\r\nPixelsPerInch=144\r\nShowCmd=3\r\n"));
    EXPECT_EQ(window_.log, (Lines{"maximized", "repaint"}));
}

TEST_F(PlacementTest, OptionsChooseWhatIsRestored) {
    const std::string file = "NormPos=10,20,310,220\r\nShowCmd=3\r\n";
    PlacementOptions state_only;
    state_only.position = false;
    EXPECT_FALSE(Restore(file, state_only));
    EXPECT_EQ(window_.log, (Lines{"maximized", "repaint"}));
    PlacementOptions position_only;
    position_only.state = false;
    EXPECT_TRUE(Restore(file, position_only));
    EXPECT_TRUE(window_.log.empty());
}

TEST_F(PlacementTest, MaximizedPositionHidesTheFrame) {
    struct Case {
        bool borderless;
        platform::WindowPoint frame, max_position;
    };
    const Case cases[] = {
        {true, {4, 4}, {0, 0}}, {false, {4, 3}, {-4, -3}}, {false, {0, 0}, {0, 0}}};
    for (const Case& c : cases) {
        window_.traits.borderless = c.borderless;
        window_.traits.frame = c.frame;
        window_.applied.clear();
        AdjustMaximizedPosition(window_);
        ASSERT_EQ(window_.applied.size(), 1u);
        WindowPlacement expected = window_.placement;
        expected.max_position = c.max_position;
        EXPECT_EQ(window_.applied.front(), expected);
    }
    window_.traits.state = WindowState::kMaximized;
    window_.applied.clear();
    AdjustMaximizedPosition(window_);
    EXPECT_TRUE(window_.applied.empty());
}

} // namespace
} // namespace services
