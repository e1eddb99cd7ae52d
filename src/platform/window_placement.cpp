#include "platform/window_placement.h"

#include <windows.h>

namespace platform {

bool ReadWindowPlacement(void* window, WindowPlacement& placement) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(static_cast<HWND>(window), &wp)) return false;
    placement.flags = wp.flags;
    placement.show_command = static_cast<int>(wp.showCmd);
    placement.min_position = {wp.ptMinPosition.x, wp.ptMinPosition.y};
    placement.max_position = {wp.ptMaxPosition.x, wp.ptMaxPosition.y};
    placement.normal = {wp.rcNormalPosition.left, wp.rcNormalPosition.top,
                        wp.rcNormalPosition.right, wp.rcNormalPosition.bottom};
    return true;
}

bool ApplyWindowPlacement(void* window, const WindowPlacement& placement) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.flags = placement.flags;
    wp.showCmd = static_cast<UINT>(placement.show_command);
    wp.ptMinPosition = {placement.min_position.x, placement.min_position.y};
    wp.ptMaxPosition = {placement.max_position.x, placement.max_position.y};
    wp.rcNormalPosition = {placement.normal.left, placement.normal.top, placement.normal.right,
                           placement.normal.bottom};
    return SetWindowPlacement(static_cast<HWND>(window), &wp) != 0;
}

bool IsWindowShown(void* window) {
    return (GetWindowLongPtrW(static_cast<HWND>(window), GWL_STYLE) & WS_VISIBLE) != 0;
}

ScreenMetrics CurrentScreen() {
    ScreenMetrics screen;
    screen.width = GetSystemMetrics(SM_CXSCREEN);
    screen.height = GetSystemMetrics(SM_CYSCREEN);
    if (HDC dc = GetDC(nullptr)) {
        screen.pixels_per_inch = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
    }
    return screen;
}

WindowPoint WindowFrameSize(bool resizable) {
    if (resizable) return {GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME)};
    return {GetSystemMetrics(SM_CXFIXEDFRAME), GetSystemMetrics(SM_CYFIXEDFRAME)};
}

} // namespace platform
