// A progress bar presenting into a real window: the picture lands in the client area at the
// bar's place, at once, without waiting for the window's paint cycle.
#include <windows.h>

#include <gtest/gtest.h>

#include "gdi_oracle.h"
#include "ui/paint_surface.h"
#include "widgets/progress_bar.h"

namespace {

class TestWindow {
  public:
    TestWindow(int width, int height) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrvoWidgetsTestWindow";
        RegisterClassW(&wc); // no background brush: nothing paints over us
        window_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"widgets", WS_POPUP, 0, 0,
                                  width, height, nullptr, nullptr, wc.hInstance, nullptr);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        UpdateWindow(window_);
        Pump();
    }
    ~TestWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }

    // What the client area shows now.
    ui::Canvas Grab(int width, int height) const {
        ui::Canvas shot(width, height);
        HDC dc = GetDC(window_);
        BitBlt(shot.Dc(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
        ReleaseDC(window_, dc);
        return shot;
    }

  private:
    HWND window_ = nullptr;
};

TEST(WindowSurfaceTest, PresentsAtTheBarsPlace) {
    TestWindow window(120, 70);
    ASSERT_NE(window.get(), nullptr);
    ui::WindowSurface surface(window.get());
    widgets::ProgressBar bar;
    bar.SetBounds(7, 46, 100, 13);
    bar.SetSurface(&surface);
    bar.SetPosition(60);

    const ui::Canvas shot = window.Grab(120, 70);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(shot.Pixel(7 + x, 46 + y), bar.Picture().Pixel(x, y)) << x << "," << y;

    // The next position is on screen before any message is handled.
    bar.SetPosition(61);
    const ui::Canvas next = window.Grab(120, 70);
    widgets_test::GdiImage expected(bar.Picture());
    int differing = 0;
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 100; ++x) differing += next.Pixel(7 + x, 46 + y) != expected.At(x, y);
    EXPECT_EQ(differing, 0);
    widgets_test::SavePicture(next, "window");
}

} // namespace
