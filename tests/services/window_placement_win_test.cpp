// The placement calls on real windows, checked against what Windows reports through other
// calls, and a save and restore run of the settings component through them.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/code_page.h"
#include "platform/window_placement.h"
#include "services/form_storage.h"
#include "settings_test_support.h"

namespace services {
namespace {

using platform::WindowPlacement;
using platform::WindowRect;

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

WindowRect ScreenRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

// Wine's X11 driver applies a new window rectangle in step with the X server, so on a loaded
// machine the old one can still be reported for a moment after ShowWindow has returned. Waits up
// to two seconds for the expected rectangle and returns the last one seen.
WindowRect SettledRectOf(HWND window, const WindowRect& expected) {
    for (int i = 0; i < 100 && ScreenRectOf(window) != expected; ++i) {
        Pump();
        Sleep(20);
    }
    return ScreenRectOf(window);
}

// A top-level window, framed and resizable or borderless and fixed in size, with one static
// text, "Label1", that the settings component may store.
class RealWindow : public StoredPropertyHost {
  public:
    RealWindow(int left, int top, int width, int height, bool framed = true) : framed_(framed) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrvoPlacementTestWindow";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"placement",
                                  framed ? WS_OVERLAPPEDWINDOW : WS_POPUP, left, top, width, height,
                                  nullptr, nullptr, wc.hInstance, nullptr);
        label_ = CreateWindowExW(0, L"STATIC", L"Umisteni", WS_CHILD | WS_VISIBLE, 8, 8, 200, 16,
                                 window_, nullptr, wc.hInstance, nullptr);
    }
    ~RealWindow() override { DestroyWindow(window_); }
    HWND get() const { return window_; }

    int ComponentCount() const override { return 1; }
    std::string ComponentName(int) const override { return "Label1"; }
    std::vector<StoredPropertyInfo> Properties(int) const override {
        return {{"Caption", StoredPropertyKind::kText}};
    }
    std::string Text(int, const std::string&) const override {
        wchar_t text[256] = {};
        GetWindowTextW(label_, text, 256);
        return platform::Narrow(text);
    }
    void SetText(int, const std::string&, const std::string& text) override {
        SetWindowTextW(label_, platform::Widen(text).c_str());
    }
    std::vector<std::string> Lines(int, const std::string&) const override { return {}; }
    void SetLines(int, const std::string&, const std::vector<std::string>&) override {}

    WindowTraits Traits() const override {
        WindowTraits traits;
        traits.has_handle = window_ != nullptr;
        traits.visible = platform::IsWindowShown(window_);
        traits.state = IsZoomed(window_)   ? WindowState::kMaximized
                       : IsIconic(window_) ? WindowState::kMinimized
                                           : WindowState::kNormal;
        const WindowRect r = ScreenRectOf(window_);
        traits.left = r.left;
        traits.top = r.top;
        traits.width = r.right - r.left;
        traits.height = r.bottom - r.top;
        traits.borderless = !framed_;
        traits.resizable = framed_;
        traits.frame = platform::WindowFrameSize(framed_);
        return traits;
    }
    WindowPlacement Placement() const override {
        WindowPlacement placement;
        if (!platform::ReadWindowPlacement(window_, placement))
            throw std::runtime_error("no placement");
        return placement;
    }
    void SetPlacement(const WindowPlacement& placement) override {
        if (!platform::ApplyWindowPlacement(window_, placement))
            throw std::runtime_error("placement refused");
    }
    platform::ScreenMetrics Screen() const override { return platform::CurrentScreen(); }
    void UseDesignedPosition() override {}
    void SetWindowState(WindowState state) override {
        // Wine undoes a maximize that comes before the messages of the window's creation or
        // last move have been handled, once they are.
        Pump();
        ShowWindow(window_, state == WindowState::kMaximized   ? SW_MAXIMIZE
                            : state == WindowState::kMinimized ? SW_MINIMIZE
                                                               : SW_RESTORE);
    }
    void Repaint() override { UpdateWindow(window_); }
    void MinimizeApplication() override { ShowWindow(window_, SW_MINIMIZE); }
    WindowEvents& Events() override { return events_; }
    void ShowErrorBox(const std::string& text) override { errors.push_back(text); }

    std::vector<std::string> errors;

  private:
    bool framed_;
    HWND window_ = nullptr;
    HWND label_ = nullptr;
    WindowEvents events_;
};

TEST(WindowPlacementWin32, ReadsAndAppliesThePlacementOfARealWindow) {
    RealWindow window(50, 60, 300, 200);
    ASSERT_NE(window.get(), nullptr);
    EXPECT_FALSE(platform::IsWindowShown(window.get()));

    // With no task bar, workspace and screen coordinates are the same.
    WindowPlacement placement;
    ASSERT_TRUE(platform::ReadWindowPlacement(window.get(), placement));
    EXPECT_EQ(placement.normal, ScreenRectOf(window.get()));
    EXPECT_EQ(placement.normal, (WindowRect{50, 60, 350, 260}));

    // Hidden, it takes the new bounds and stays hidden.
    placement.show_command = platform::kShowHide;
    placement.normal = {100, 120, 500, 420};
    ASSERT_TRUE(platform::ApplyWindowPlacement(window.get(), placement));
    EXPECT_FALSE(IsWindowVisible(window.get()));
    EXPECT_EQ(ScreenRectOf(window.get()), (WindowRect{100, 120, 500, 420}));

    struct Step {
        int show;
        bool visible, iconic, zoomed;
    };
    const Step steps[] = {
        {platform::kShowNormal, true, false, false}, {platform::kShowMinimized, true, true, false},
        {platform::kShowNormal, true, false, false}, {platform::kShowMaximized, true, false, true},
        {platform::kShowNormal, true, false, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.show);
        placement.show_command = step.show;
        ASSERT_TRUE(platform::ApplyWindowPlacement(window.get(), placement));
        Pump();
        EXPECT_EQ(platform::IsWindowShown(window.get()), step.visible);
        EXPECT_EQ(IsIconic(window.get()) != 0, step.iconic);
        EXPECT_EQ(IsZoomed(window.get()) != 0, step.zoomed);
        WindowPlacement now;
        ASSERT_TRUE(platform::ReadWindowPlacement(window.get(), now));
        EXPECT_EQ(now.show_command, step.show);
        EXPECT_EQ(now.normal, (WindowRect{100, 120, 500, 420})); // kept for the restore
        if (!step.iconic && !step.zoomed) {
            EXPECT_EQ(ScreenRectOf(window.get()), (WindowRect{100, 120, 500, 420}));
        }
    }

    WindowPlacement untouched;
    untouched.flags = 77;
    EXPECT_FALSE(platform::ReadWindowPlacement(nullptr, untouched));
    EXPECT_FALSE(platform::ApplyWindowPlacement(nullptr, untouched));
    EXPECT_EQ(untouched.flags, 77u);
}

TEST(WindowPlacementWin32, MeasuresTheScreen) {
    const platform::ScreenMetrics screen = platform::CurrentScreen();
    const WindowRect desktop = ScreenRectOf(GetDesktopWindow());
    EXPECT_EQ(screen.width, desktop.right - desktop.left);
    EXPECT_EQ(screen.height, desktop.bottom - desktop.top);
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(screen.pixels_per_inch, GetDeviceCaps(dc, LOGPIXELSX)); // square pixels
    ReleaseDC(nullptr, dc);
    EXPECT_GT(screen.pixels_per_inch, 0);
    const platform::WindowPoint sizing = platform::WindowFrameSize(true);
    const platform::WindowPoint fixed = platform::WindowFrameSize(false);
    EXPECT_GT(sizing.x, 0);
    EXPECT_GE(sizing.x, fixed.x);
    EXPECT_GE(sizing.y, fixed.y);
}

// Saved from one window, restored into the next ones: their place, state and text come back.
// As the toolkit does, the shown event comes while the window is still hidden.
TEST(WindowPlacementWin32, SaveAndRestoreRunsOverARealWindow) {
    testing::TempFolder folder;
    const std::string path = folder.Path("setup.ini");
    {
        RealWindow window(70, 80, 320, 240);
        FormStorage storage;
        storage.SetIniFileName(path);
        storage.SetStoredProps({"Label1.Caption"});
        storage.Attach(window);
        window.Events().shown();
        ShowWindow(window.get(), SW_SHOWNORMAL);
        Pump();
        bool can_close = true;
        window.Events().close_requested(can_close);
        EXPECT_TRUE(window.errors.empty());
        storage.Detach();
    }
    const std::string file = testing::ReadBytes(path).value_or("");
    const platform::ScreenMetrics screen = platform::CurrentScreen();
    const std::string suffix = ResolutionSuffix(screen);
    EXPECT_NE(file.find("\r\nNormPos" + suffix + "=70,80,390,320\r\nNormPos=70,80,390,320\r\n"),
              std::string::npos)
        << file;
    EXPECT_NE(file.find("\r\nShowCmd=1\r\nPixelsPerInch=" + std::to_string(screen.pixels_per_inch) +
                        "\r\n"),
              std::string::npos)
        << file;
    EXPECT_NE(file.find("\r\nLabel1_Caption=Umisteni\r\n"), std::string::npos) << file;

    // The next windows are borderless and keep their own size, as the installer's window does.
    FormStorage restoring;
    restoring.SetIniFileName(path);
    restoring.SetStoredProps({"Label1.Caption"});
    restoring.WriteNamedString("Label1_Caption", "Um\xC3\xADst\xC4\x9Bn\xC3\xAD");
    const WindowRect restored{70, 80, 170, 180};
    for (const char* show_command : {"1", "3"}) {
        SCOPED_TRACE(show_command);
        restoring.WriteNamedString("ShowCmd", show_command);
        RealWindow next(10, 10, 100, 100, false);
        restoring.Attach(next);
        next.Events().shown();
        ShowWindow(next.get(), SW_SHOW);
        Pump();
        EXPECT_TRUE(next.errors.empty());
        EXPECT_EQ(IsZoomed(next.get()) != 0, std::string(show_command) == "3");
        EXPECT_EQ(next.Text(0, "Caption"), "Um\xC3\xADst\xC4\x9Bn\xC3\xAD");
        WindowPlacement placement;
        ASSERT_TRUE(platform::ReadWindowPlacement(next.get(), placement));
        EXPECT_EQ(placement.normal, restored);
        // Restored it takes the stored place; maximized, the borderless window covers the
        // screen exactly. Each step is a real change of state, whichever state it started in.
        const WindowRect whole_screen{0, 0, screen.width, screen.height};
        for (const auto& [command, expected] :
             {std::pair{SW_RESTORE, restored}, std::pair{SW_MAXIMIZE, whole_screen},
              std::pair{SW_RESTORE, restored}}) {
            ShowWindow(next.get(), command);
            EXPECT_EQ(SettledRectOf(next.get(), expected), expected) << command;
        }
        restoring.Detach();
    }
}

} // namespace
} // namespace services
