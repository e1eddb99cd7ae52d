#include "services/window_placement.h"

#include <vector>

#include "services/form_storage.h"

namespace services {
namespace {

using platform::WindowPlacement;

// Hidden windows report a show command that would show them; applied back, it must not.
WindowPlacement CurrentPlacement(const StoredPropertyHost& host, const WindowTraits& traits) {
    WindowPlacement placement = host.Placement();
    if (!traits.visible) placement.show_command = platform::kShowHide;
    return placement;
}

std::string FourNumbers(int a, int b, int c, int d) {
    return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," +
           std::to_string(d);
}

// Words separated by runs of spaces and commas.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = text.find_first_not_of(" ,", at)) != std::string::npos) {
        size_t end = text.find_first_of(" ,", at);
        if (end == std::string::npos) end = text.size();
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

// Four numbers from the text over `values`; a word that is missing or no number gives the
// value's fallback.
void ReadFourNumbers(const std::string& text, int* const values[4], const int fallback[4]) {
    const std::vector<std::string> words = Words(text);
    for (size_t i = 0; i < 4; ++i)
        *values[i] = i < words.size() ? FormStorage::ToInteger(words[i], fallback[i]) : fallback[i];
}

// The key for this screen's resolution, else the one without it.
std::string ReadPositionKey(const FormStorage& storage, const std::string& key,
                            const std::string& suffix) {
    std::string text = storage.ReadString(storage.IniSection(), key + suffix, "");
    if (text.empty()) text = storage.ReadString(storage.IniSection(), key, "");
    return text;
}

void RestorePosition(const FormStorage& storage, StoredPropertyHost& host,
                     const WindowTraits& traits, WindowPlacement placement) {
    const std::string& section = storage.IniSection();
    const platform::ScreenMetrics screen = host.Screen();
    const std::string suffix = ResolutionSuffix(screen);
    placement.flags = static_cast<unsigned>(
        storage.ReadInteger(section, "Flags", static_cast<int>(placement.flags)));

    const std::string min_max = ReadPositionKey(storage, "MinMaxPos", suffix);
    if (!min_max.empty()) {
        int* const values[4] = {&placement.min_position.x, &placement.min_position.y,
                                &placement.max_position.x, &placement.max_position.y};
        const int zeros[4] = {0, 0, 0, 0};
        ReadFourNumbers(min_max, values, zeros);
    }
    const std::string normal = ReadPositionKey(storage, "NormPos", suffix);
    platform::WindowRect& rect = placement.normal;
    if (!normal.empty()) {
        int* const values[4] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
        const int bounds[4] = {traits.left, traits.top, traits.left + traits.width,
                               traits.top + traits.height};
        ReadFourNumbers(normal, values, bounds);
    }
    // Positions taken at another density would put the window somewhere else on this screen.
    const int pixels_per_inch =
        storage.ReadInteger(section, "PixelsPerInch", screen.pixels_per_inch);
    if ((min_max.empty() && normal.empty()) || pixels_per_inch != screen.pixels_per_inch) return;

    // A window the user cannot resize keeps the size of its layout.
    if (!traits.resizable) {
        rect.right = rect.left + traits.width;
        rect.bottom = rect.top + traits.height;
    }
    if (rect.left >= rect.right) return;
    if (traits.position == WindowPosition::kScreenCenter ||
        traits.position == WindowPosition::kDesktopCenter)
        host.UseDesignedPosition();
    host.SetPlacement(placement);
}

void RestoreState(const FormStorage& storage, StoredPropertyHost& host,
                  const WindowTraits& traits) {
    WindowState state = WindowState::kNormal;
    if (traits.main_window &&
        (traits.style == WindowStyle::kMdiFrame ||
         (traits.style == WindowStyle::kNormal && traits.position == WindowPosition::kDefault)))
        state = WindowState::kMaximized;

    switch (storage.ReadInteger(storage.IniSection(), "ShowCmd", platform::kShowHide)) {
    case platform::kShowNormal:
    case platform::kShow:
    case platform::kShowRestore: state = WindowState::kNormal; break;
    case platform::kShowMinimized:
    case platform::kShowMinimize:
    case platform::kShowMinimizedNoActive: state = WindowState::kMinimized; break;
    case platform::kShowMaximized: state = WindowState::kMaximized; break;
    default: break;
    }

    // A minimized main window alone would leave the application's button on the task bar
    // restored; the application as a whole is minimized instead.
    if (state == WindowState::kMinimized && traits.main_window) {
        host.SetWindowState(WindowState::kNormal);
        host.MinimizeApplication();
        return;
    }
    host.SetWindowState(state);
    host.Repaint();
}

} // namespace

std::string ResolutionSuffix(const platform::ScreenMetrics& screen) {
    return "(" + std::to_string(screen.width) + "x" + std::to_string(screen.height) + ")";
}

void SavePlacement(FormStorage& storage, const StoredPropertyHost& host,
                   const PlacementOptions& options, bool destroying) {
    const WindowTraits traits = host.Traits();
    WindowPlacement placement = host.Placement();
    if (traits.main_window && traits.application_minimized)
        placement.show_command = platform::kShowMinimized;
    if (traits.style == WindowStyle::kMdiChild && traits.state == WindowState::kMinimized)
        placement.flags |= platform::kPlacementSetMinPosition;

    const std::string& section = storage.IniSection();
    const platform::ScreenMetrics screen = host.Screen();
    const std::string suffix = ResolutionSuffix(screen);
    storage.WriteInteger(section, "Flags", static_cast<int>(placement.flags));
    storage.WriteInteger(section, "ShowCmd", placement.show_command);
    storage.WriteInteger(section, "PixelsPerInch", screen.pixels_per_inch);
    const std::string min_max = FourNumbers(placement.min_position.x, placement.min_position.y,
                                            placement.max_position.x, placement.max_position.y);
    storage.WriteString(section, "MinMaxPos" + suffix, min_max);
    storage.WriteString(section, "MinMaxPos", min_max);
    const platform::WindowRect& rect = placement.normal;
    const std::string normal = FourNumbers(rect.left, rect.top, rect.right, rect.bottom);
    storage.WriteString(section, "NormPos" + suffix, normal);
    storage.WriteString(section, "NormPos", normal);
    if (options.active_control)
        storage.WriteString(section, "ActiveControl", host.ActiveControlName());
    storage.WriteBool(section, "Visible", destroying);
}

void RestorePlacement(const FormStorage& storage, StoredPropertyHost& host,
                      const PlacementOptions& options) {
    const WindowTraits traits = host.Traits();
    const WindowPlacement placement = CurrentPlacement(host, traits);
    if (options.position) RestorePosition(storage, host, traits, placement);
    if (options.state) RestoreState(storage, host, traits);
}

void AdjustMaximizedPosition(StoredPropertyHost& host) {
    const WindowTraits traits = host.Traits();
    // A maximized window keeps its place: placed again, it would be moved as a plain window
    // (Wine even shrinks it to its normal size while it stays maximized).
    if (traits.state == WindowState::kMaximized) return;
    WindowPlacement placement = CurrentPlacement(host, traits);
    placement.max_position = traits.borderless
                                 ? platform::WindowPoint{}
                                 : platform::WindowPoint{-traits.frame.x, -traits.frame.y};
    host.SetPlacement(placement);
}

} // namespace services
