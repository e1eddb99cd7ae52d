// Top-level windows (borderless, tool windows, ordinary captioned ones), modal showing with
// OK/Cancel results, and the message loop with the keyboard handling of the toolkit: Tab and
// Shift+Tab move the focus by tab order, Enter presses the default button (or the focused
// button), Esc the cancel button.
#pragma once

#include <functional>
#include <string>

#include "ui/control.h"

namespace ui {

enum class BorderStyle : std::uint8_t {
    kNone,       // no caption, no frame
    kSingle,     // caption with system menu, fixed frame
    kToolWindow, // thin caption bar with a close button only
};

enum class WindowState : std::uint8_t { kNormal, kMaximized, kMinimized };

enum class WindowPosition : std::uint8_t {
    kDesigned,     // where it was put
    kScreenCenter, // centred on the screen each time it is shown
};

// Modal results; the values are the system's IDOK and IDCANCEL.
enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

struct WindowOptions {
    BorderStyle border = BorderStyle::kSingle;
    bool stay_on_top = false;
    WindowPosition position = WindowPosition::kDesigned;
    Size client_size{320, 240};
    std::string caption;
    Color color = clBtnFace;
    // Off: showing leaves the active window as it is (tool windows of tests, pictures).
    bool activate_on_show = true;
};

class Window : public Control {
  public:
    // Creates the window, hidden.
    Window(std::string name, const WindowOptions& options);
    ~Window() override;

    BorderStyle Border() const { return options_.border; }
    bool StaysOnTop() const { return options_.stay_on_top; }
    WindowPosition Position() const { return options_.position; }
    void SetPosition(WindowPosition position) { options_.position = position; }

    void SetClientSize(Size size);
    // Maximised covers the screen's work area; a hidden window takes the state when shown.
    WindowState State() const { return state_; }
    void SetWindowState(WindowState state);

    // Showing activates the window and raises on_show.
    void SetVisible(bool visible) override;

    // Shows the window modally: every other window of the program is disabled until a button
    // with a modal result is pressed, SetModalResult is called or the window is closed
    // (Cancel). Returns the result; the window is hidden again.
    int ShowModal();
    bool IsModal() const { return modal_; }
    int GetModalResult() const { return modal_result_; }
    void SetModalResult(int result) { modal_result_ = result; }

    // A modal window ends with Cancel; otherwise on_close runs, the window hides and, for the
    // main window, the message loop ends.
    void Close();
    // Destroys the window and its controls' windows (on_destroy fires); the objects remain.
    void Destroy() { DestroyHandle(); }

    // The background and on_paint into any device context of the client area's size.
    void PaintClientTo(NativeDc dc);

    Notify on_close;
    // After a showing: the window is on the screen and painted.
    Notify on_shown;
    // Asked when the user closes the window (its close box, Alt+F4, the system menu); false
    // keeps it open. Close() called by the program is not asked.
    std::function<bool(Control& sender)> may_close;

    // The icon resource of every window (set before the first window is made).
    static void SetApplicationIconResource(std::string name);
    static const std::string& ApplicationIconResource();

  protected:
    CreateParams GetCreateParams() const override;
    bool HandleMessage(Message& message) override;
    bool UsesParentColor() const override { return false; }

  private:
    Rect OuterRect(Size client) const;
    void CenterOnScreen();

    WindowOptions options_;
    WindowState state_ = WindowState::kNormal;
    bool modal_ = false;
    bool show_announced_ = false; // on_show ran before the window was asked to come up
    int modal_result_ = mrNone;
};

// Gives the focus to the first control in tab order inside `container` (a window, a page);
// false when nothing there can take it.
bool FocusFirstIn(Control& container);

// The program's message loop and its helpers.
class Application {
  public:
    // Shows `main` and handles messages until it closes; returns the exit code.
    static int Run(Window& main);
    static Window* MainWindow();
    static void SetMainWindow(Window* window);
    // Handles every message waiting now, then returns (for long work on the window thread).
    static void ProcessMessages();
    // Ends the message loop; Run returns `exit_code`.
    static void Terminate(int exit_code);
    // The toolkit's keyboard handling for one message; true when it took the message.
    static bool PreTranslate(void* msg);
    // The size of the primary screen in pixels.
    static Size ScreenSize();
    // The screen's pixels per inch (96 at 100 %), read at the first call and kept: the windows
    // are built once, at that size.
    static int ScreenDpi();
    // The title used as the caption of the standard error box.
    static const std::string& Title();
    static void SetTitle(std::string title);
};

} // namespace ui
