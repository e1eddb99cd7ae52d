// A window's placement (show command, normal bounds, minimized and maximized positions) and
// the screen measures it is stored with. The structs are plain data on every build, so the
// settings code can use them anywhere; the calls that fill and apply them exist on Windows only.
#pragma once

namespace platform {

struct WindowPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(WindowPoint a, WindowPoint b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(WindowPoint a, WindowPoint b) { return !(a == b); }
};

// Right and bottom are exclusive.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const WindowRect& a, const WindowRect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    friend bool operator!=(const WindowRect& a, const WindowRect& b) { return !(a == b); }
};

// Show commands with the numbers Windows gives them; the settings file stores these numbers.
enum ShowCommand : int {
    kShowHide = 0,
    kShowNormal = 1,
    kShowMinimized = 2,
    kShowMaximized = 3,
    kShowNoActivate = 4,
    kShow = 5,
    kShowMinimize = 6,
    kShowMinimizedNoActive = 7,
    kShowNotActivated = 8,
    kShowRestore = 9,
};

// Placement flags, likewise as Windows numbers them.
constexpr unsigned kPlacementSetMinPosition = 1;
constexpr unsigned kPlacementRestoreToMaximized = 2;

struct WindowPlacement {
    unsigned flags = 0;
    int show_command = kShowHide;
    WindowPoint min_position; // top left of the window when minimized
    WindowPoint max_position; // top left of the window when maximized
    WindowRect normal;        // bounds when neither, in workspace coordinates
    friend bool operator==(const WindowPlacement& a, const WindowPlacement& b) {
        return a.flags == b.flags && a.show_command == b.show_command &&
               a.min_position == b.min_position && a.max_position == b.max_position &&
               a.normal == b.normal;
    }
    friend bool operator!=(const WindowPlacement& a, const WindowPlacement& b) { return !(a == b); }
};

struct ScreenMetrics {
    int width = 0; // pixels
    int height = 0;
    int pixels_per_inch = 0;
};

#ifdef _WIN32
// `window` is an HWND. False when Windows refuses (no such window); `placement` is then
// unchanged.
[[nodiscard]] bool ReadWindowPlacement(void* window, WindowPlacement& placement);
[[nodiscard]] bool ApplyWindowPlacement(void* window, const WindowPlacement& placement);

// Whether the window itself has the visible style (its parents aside).
[[nodiscard]] bool IsWindowShown(void* window);

// The primary screen's size and its logical pixels per inch.
ScreenMetrics CurrentScreen();

// How far a maximized window's frame reaches beyond the screen's edge on each side: the
// sizing frame for a resizable border, the fixed frame otherwise.
WindowPoint WindowFrameSize(bool resizable);
#endif

} // namespace platform
