// Helpers of the toolkit tests: a shown window, pumping, keys, and what a window shows.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/code_page.h"
#include "ui/canvas.h"
#include "ui/window.h"

namespace ui_test {

// A window's text as WM_GETTEXT gives it, in UTF-8.
inline std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return platform::Narrow(text);
}

inline void Pump() {
    ui::Application::ProcessMessages();
}

// A shown window with a client area of the given size. Not activated unless asked: Wine
// waits two seconds for a window manager whenever an activated window is hidden.
inline std::unique_ptr<ui::Window> ShownWindow(const std::string& name, int width, int height,
                                               ui::Color color = ui::clBtnFace,
                                               bool activate = false) {
    ui::WindowOptions options;
    options.activate_on_show = activate;
    options.border = ui::BorderStyle::kNone;
    options.client_size = {width, height};
    options.color = color;
    auto window = std::make_unique<ui::Window>(name, options);
    window->SetBounds(ui::Rect::FromBounds(0, 0, width, height));
    window->Show();
    Pump();
    return window;
}

// The client area of a window as it is drawn now.
inline ui::Canvas Grab(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetClientRect(window, &r);
    ui::Canvas shot(r.right, r.bottom);
    HDC dc = GetDC(window);
    BitBlt(shot.Dc(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    return shot;
}

// A key as the message loop would hand it over: first to the toolkit, else to the window.
inline void PressKey(HWND target, WPARAM key, bool shift = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE saved = keys[VK_SHIFT];
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg{};
    msg.hwnd = target;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    if (!ui::Application::PreTranslate(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    keys[VK_SHIFT] = saved;
    SetKeyboardState(keys);
}

// A key pressed and let go in the focused control, as the message loop hands both over
// (buttons act when Space comes up).
inline void TapKey(WPARAM key) {
    PressKey(GetFocus(), key);
    MSG up{};
    up.hwnd = GetFocus();
    up.message = WM_KEYUP;
    up.wParam = key;
    up.lParam = static_cast<LPARAM>(0xC0000001u);
    DispatchMessageW(&up);
}

} // namespace ui_test
