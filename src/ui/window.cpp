#include "ui/window.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/code_page.h"
#include "platform/system_library.h"
#include "ui/bit_button.h"

namespace ui {
namespace {

Window* g_main = nullptr;
std::string g_title;

std::string& IconResource() {
    static std::string name;
    return name;
}

// The focusable controls of a window in tab order: siblings by TabOrder (those without one
// after, in creation order), each container's controls at the container's place.
void CollectFocusable(Control& parent, std::vector<Control*>& out) {
    std::vector<Control*> children;
    for (const auto& child : parent.Children()) children.push_back(child.get());
    std::stable_sort(children.begin(), children.end(), [](Control* a, Control* b) {
        const int ka = a->TabOrder() < 0 ? 1 << 30 : a->TabOrder();
        const int kb = b->TabOrder() < 0 ? 1 << 30 : b->TabOrder();
        return ka < kb;
    });
    for (Control* child : children) {
        if (!child->HandleAllocated() || !IsWindowVisible(child->Handle())) continue;
        if (child->CanFocus()) out.push_back(child);
        if (!child->Children().empty() && IsWindowEnabled(child->Handle())) {
            CollectFocusable(*child, out);
        }
    }
}

void MoveFocus(Window& form, bool backwards) {
    std::vector<Control*> order;
    CollectFocusable(form, order);
    if (order.empty()) return;
    Control* focused = Control::FromHandle(GetFocus());
    // A focus inside a control's own child window (the edit of a combo box) counts as it.
    if (!focused) focused = Control::FromHandle(GetParent(GetFocus()));
    auto it = std::find(order.begin(), order.end(), focused);
    size_t next = 0;
    if (it != order.end()) {
        const size_t at = static_cast<size_t>(it - order.begin());
        next = backwards ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
    } else if (backwards) {
        next = order.size() - 1;
    }
    order[next]->SetFocus();
}

BitButton* FindButton(Control& parent, bool want_default) {
    for (const auto& child : parent.Children()) {
        if (!child->HandleAllocated() || !IsWindowVisible(child->Handle())) continue;
        if (auto* button = dynamic_cast<BitButton*>(child.get())) {
            const bool match = want_default ? button->IsDefault() : button->IsCancel();
            if (match && IsWindowEnabled(button->Handle())) return button;
        }
        if (BitButton* found = FindButton(*child, want_default)) return found;
    }
    return nullptr;
}

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    return lstrcmpiW(cls, name) == 0;
}

// A multi-line memo the user can type into takes Enter itself (a read-only one leaves it to
// the default button); an open drop-down list takes Enter and Esc.
bool KeepsKey(HWND focus, WPARAM key) {
    if (key == VK_RETURN && HasClass(focus, L"Edit")) {
        const LONG style = GetWindowLongW(focus, GWL_STYLE);
        return (style & ES_MULTILINE) && !(style & ES_READONLY);
    }
    return HasClass(focus, L"ComboBox") && SendMessageW(focus, CB_GETDROPPEDSTATE, 0, 0);
}

// The system hides focus rectangles until the keyboard is used (unless the user asked to see
// them always); a dialog's Tab shows them, and so does ours.
void ShowFocusCues(HWND window) {
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

} // namespace

bool FocusFirstIn(Control& container) {
    std::vector<Control*> order;
    CollectFocusable(container, order);
    if (order.empty()) return false;
    order.front()->SetFocus();
    return true;
}

Window::Window(std::string name, const WindowOptions& options) : options_(options) {
    name_ = std::move(name);
    visible_ = false;
    color_ = options.color;
    CreateWindowNow(OuterRect(options.client_size));
    Created();
    if (!options.caption.empty()) SetText(options.caption);
}

Window::~Window() {
    if (g_main == this) g_main = nullptr;
}

void Window::SetApplicationIconResource(std::string name) {
    IconResource() = std::move(name);
}

const std::string& Window::ApplicationIconResource() {
    return IconResource();
}

Control::CreateParams Window::GetCreateParams() const {
    CreateParams p = OwnClass(L"OrvoForm", WS_CLIPCHILDREN);
    switch (options_.border) {
    // Unowned windows are on the taskbar without WS_EX_APPWINDOW, which would also make Wine
    // wait for a window manager whenever the window goes.
    case BorderStyle::kNone: p.style |= WS_POPUP; break;
    case BorderStyle::kSingle:
        p.style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        break;
    case BorderStyle::kToolWindow:
        p.style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
        p.ex_style = WS_EX_TOOLWINDOW;
        break;
    }
    if (options_.stay_on_top) p.ex_style |= WS_EX_TOPMOST;
    return p;
}

Rect Window::OuterRect(Size client) const {
    const CreateParams p = GetCreateParams();
    RECT r{0, 0, client.width, client.height};
    AdjustWindowRectEx(&r, p.style, FALSE, p.ex_style);
    const Size screen = Application::ScreenSize();
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    return Rect::FromBounds((screen.width - width) / 2, (screen.height - height) / 2, width,
                            height);
}

void Window::SetClientSize(Size size) {
    const Rect outer = OuterRect(size);
    SetWindowPos(Handle(), nullptr, 0, 0, outer.Width(), outer.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::CenterOnScreen() {
    const Rect b = Bounds();
    const Size screen = Application::ScreenSize();
    SetWindowPos(Handle(), nullptr, (screen.width - b.Width()) / 2,
                 (screen.height - b.Height()) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::SetWindowState(WindowState state) {
    state_ = state;
    if (!Handle() || !IsWindowVisible(Handle())) return;
    switch (state) {
    case WindowState::kNormal: ShowWindow(Handle(), SW_RESTORE); break;
    case WindowState::kMaximized: ShowWindow(Handle(), SW_MAXIMIZE); break;
    case WindowState::kMinimized: ShowWindow(Handle(), SW_MINIMIZE); break;
    }
}

void Window::SetVisible(bool visible) {
    visible_ = visible;
    if (!Handle()) return;
    if (!visible) {
        ShowWindow(Handle(), SW_HIDE);
        return;
    }
    if (IsWindowVisible(Handle())) return;
    if (options_.position == WindowPosition::kScreenCenter) CenterOnScreen();
    // on_show runs first, so the window comes up in the state it sets: maximized at once
    // rather than shown and then sized again.
    if (on_show) on_show(*this);
    CreateShowingHandles();
    if (!IsWindowVisible(Handle())) {
        const int command = state_ == WindowState::kMaximized ? SW_SHOWMAXIMIZED
                            : options_.activate_on_show       ? SW_SHOW
                                                              : SW_SHOWNOACTIVATE;
        show_announced_ = true;
        ShowWindow(Handle(), command);
        show_announced_ = false;
    }
    if (state_ == WindowState::kMaximized && !IsZoomed(Handle())) {
        ShowWindow(Handle(), SW_MAXIMIZE);
    }
    // As a dialog does: the first control in tab order takes the focus.
    if (options_.activate_on_show && !IsChild(Handle(), GetFocus())) FocusFirstIn(*this);
    UpdateWindow(Handle());
    if (on_shown) on_shown(*this);
}

int Window::ShowModal() {
    if (modal_) return mrNone;
    modal_ = true;
    modal_result_ = mrNone;
    HWND previous = GetActiveWindow();
    // Every other enabled window of this thread waits until we are done.
    std::vector<HWND> disabled;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM data) -> BOOL {
            auto* list = reinterpret_cast<std::vector<HWND>*>(data);
            if (IsWindowVisible(w) && IsWindowEnabled(w)) list->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&disabled));
    disabled.erase(std::remove(disabled.begin(), disabled.end(), Handle()), disabled.end());
    for (HWND w : disabled) EnableWindow(w, FALSE);
    Show();
    SetForegroundWindow(Handle());
    MSG msg;
    while (modal_result_ == mrNone) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam)); // for the outer loop
            modal_result_ = mrCancel;
            break;
        }
        if (got < 0) break;
        if (Application::PreTranslate(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    for (HWND w : disabled) EnableWindow(w, TRUE);
    Hide();
    if (previous && IsWindow(previous)) SetActiveWindow(previous);
    modal_ = false;
    return modal_result_ == mrNone ? mrCancel : modal_result_;
}

void Window::Close() {
    if (modal_) {
        modal_result_ = mrCancel;
        return;
    }
    if (on_close) on_close(*this);
    Hide();
    if (g_main == this) PostQuitMessage(0);
}

void Window::PaintClientTo(NativeDc dc) {
    Painter painter(dc);
    PaintWhole(painter);
}

bool Window::HandleMessage(Message& m) {
    switch (m.id) {
    case WM_CLOSE:
        if (!may_close || may_close(*this)) Close();
        return true;
    case WM_SHOWWINDOW: return show_announced_ ? false : Control::HandleMessage(m);
    case WM_WINDOWPOSCHANGED:
        // Shown some other way (a placement): the controls in view get their windows. The
        // system sends no WM_SHOWWINDOW for a window shown maximized.
        if (reinterpret_cast<const WINDOWPOS*>(m.lparam)->flags & SWP_SHOWWINDOW) {
            visible_ = true;
            CreateShowingHandles();
        }
        return Control::HandleMessage(m);
    case WM_DESTROY:
        Control::HandleMessage(m);
        if (g_main == this) PostQuitMessage(0);
        return true;
    default: return Control::HandleMessage(m);
    }
}

int Application::Run(Window& main) {
    g_main = &main;
    main.Show();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslate(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

Window* Application::MainWindow() {
    return g_main;
}

void Application::SetMainWindow(Window* window) {
    g_main = window;
}

void Application::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam)); // leave it for the loop
            return;
        }
        if (PreTranslate(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Application::Terminate(int exit_code) {
    PostQuitMessage(exit_code);
}

bool Application::PreTranslate(void* raw) {
    const MSG& msg = *static_cast<const MSG*>(raw);
    if (msg.message != WM_KEYDOWN) return false;
    auto* form = dynamic_cast<Window*>(Control::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
    if (!form) return false;
    switch (msg.wParam) {
    case VK_TAB:
        if (GetKeyState(VK_CONTROL) < 0) return false;
        MoveFocus(*form, GetKeyState(VK_SHIFT) < 0);
        ShowFocusCues(form->Handle());
        return true;
    case VK_RETURN:
    case VK_ESCAPE: {
        HWND focus = GetFocus();
        if (KeepsKey(focus, msg.wParam)) return false;
        const bool enter = msg.wParam == VK_RETURN;
        auto* button = enter ? dynamic_cast<BitButton*>(Control::FromHandle(focus)) : nullptr;
        if (!button) button = FindButton(*form, enter);
        if (!button) return false;
        button->Click();
        return true;
    }
    default: return false;
    }
}

Size Application::ScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// GetDpiForSystem came with Windows 10; older systems give the same through the screen's DC.
int Application::ScreenDpi() {
    static const int dpi = [] {
        using SystemDpi = UINT WINAPI(void);
        auto* for_system = platform::SystemFunctionAs<SystemDpi>(L"user32.dll", "GetDpiForSystem");
        if (for_system) return static_cast<int>(for_system());
        HDC screen = GetDC(nullptr);
        const int pixels = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return pixels;
    }();
    return dpi;
}

const std::string& Application::Title() {
    return g_title;
}

void Application::SetTitle(std::string title) {
    g_title = std::move(title);
}

} // namespace ui
