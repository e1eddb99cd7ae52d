// What the settings component needs of the window it serves: the texts and line lists of its
// controls, its placement and state, its three events, and the application's error box. The
// window implements this; the settings code decides what is read and written, and when.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/window_placement.h"

namespace services {

enum class StoredPropertyKind {
    kText, // one line: a caption
    kList, // lines: a memo's text, a list's items
};

struct StoredPropertyInfo {
    std::string name; // as the window spells it
    StoredPropertyKind kind = StoredPropertyKind::kText;
};

enum class WindowState { kNormal, kMinimized, kMaximized };

enum class WindowStyle { kNormal, kMdiChild, kMdiFrame };

// Where the window is placed when it is shown.
enum class WindowPosition {
    kDesigned,            // where its layout puts it
    kDefault,             // position and size chosen by the system
    kDefaultPositionOnly, // position chosen by the system
    kDefaultSizeOnly,     // size chosen by the system
    kScreenCenter,
    kDesktopCenter,
    kMainWindowCenter,
    kOwnerCenter,
};

// The window as it is at the moment of asking.
struct WindowTraits {
    bool has_handle = false; // a system window exists
    bool visible = false;
    bool main_window = true; // the application's main window, or there is none yet
    bool application_minimized = false;
    WindowStyle style = WindowStyle::kNormal;
    WindowState state = WindowState::kNormal;
    WindowPosition position = WindowPosition::kDesigned;
    bool borderless = false;
    bool resizable = true; // the border lets the user resize it
    int left = 0, top = 0, width = 0, height = 0;
    // How far the frame of its border style reaches past the screen edge when maximized.
    platform::WindowPoint frame;
};

// The window's handlers of three of its events. The window calls them; the settings component
// puts its own in their place and calls the ones it found.
struct WindowEvents {
    std::function<void()> shown;
    std::function<void(bool& can_close)> close_requested; // clear can_close to keep it open
    std::function<void()> destroyed;
};

class StoredPropertyHost {
  public:
    virtual ~StoredPropertyHost() = default;

    // The window's components, numbered from 0 for as long as the window lives. Their names
    // may change; the number stays.
    virtual int ComponentCount() const = 0;
    virtual std::string ComponentName(int component) const = 0;
    // The component's text and list properties that may be stored.
    virtual std::vector<StoredPropertyInfo> Properties(int component) const = 0;
    // `property` is spelled as Properties gives it. The setters may throw when a value does
    // not fit the property.
    virtual std::string Text(int component, const std::string& property) const = 0;
    virtual void SetText(int component, const std::string& property, const std::string& text) = 0;
    virtual std::vector<std::string> Lines(int component, const std::string& property) const = 0;
    virtual void SetLines(int component, const std::string& property,
                          const std::vector<std::string>& lines) = 0;

    virtual WindowTraits Traits() const = 0;
    virtual platform::WindowPlacement Placement() const = 0;
    virtual void SetPlacement(const platform::WindowPlacement& placement) = 0;
    virtual platform::ScreenMetrics Screen() const = 0;
    // From centred on the screen or desktop to the position of its layout, so that an applied
    // placement is not centred again.
    virtual void UseDesignedPosition() = 0;
    // Multi-document windows take the state without being shown again.
    virtual void SetWindowState(WindowState state) = 0;
    virtual void Repaint() = 0;
    // Minimizes the whole application (as its minimize command would), not just this window.
    virtual void MinimizeApplication() = 0;
    // The name of the control that has the focus, empty when none.
    virtual std::string ActiveControlName() const { return {}; }

    virtual WindowEvents& Events() = 0;
    // The application's error box: `text` as given, the application's title as caption, the
    // error icon.
    virtual void ShowErrorBox(const std::string& text) = 0;
};

} // namespace services
