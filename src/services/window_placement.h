// The window's placement in the settings file: position, size and state under the storage's
// section, with the positions kept per screen resolution ("NormPos(1024x768)") and once more
// without it, so that a screen of another size still finds the last position.
#pragma once

#include <string>

#include "platform/window_placement.h"
#include "services/stored_property_host.h"

namespace services {

class FormStorage;

// What a restore applies: the state, the position, and (saved only) the focused control.
struct PlacementOptions {
    bool state = true;
    bool position = true;
    bool active_control = false;
};

// "(<width>x<height>)" of the screen.
std::string ResolutionSuffix(const platform::ScreenMetrics& screen);

// Writes the placement keys; "Visible" is `destroying`. A failed write ends it with the error.
void SavePlacement(FormStorage& storage, const StoredPropertyHost& host,
                   const PlacementOptions& options, bool destroying);

// Applies the stored position (only when it was stored at the current pixels per inch) and
// the stored state.
void RestorePlacement(const FormStorage& storage, StoredPropertyHost& host,
                      const PlacementOptions& options);

// Maximized, a borderless window sits at the origin and a framed one with its frame just
// beyond the screen's edges. Left alone while the window is maximized.
void AdjustMaximizedPosition(StoredPropertyHost& host);

} // namespace services
