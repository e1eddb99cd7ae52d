// The arithmetic behind the main window's look: the shaded background, the centring of the
// page control and the places of the progress and picture panels. Portable, so it is tested
// natively as well as under Wine.
#pragma once

#include <cstdint>
#include <functional>

#include "ui/color.h"
#include "ui/geometry.h"
#include "widgets/layouts/design_scale.h"

namespace layouts {

// The background: 256 horizontal bands from dark red at the top to black at the bottom.
constexpr int kBandCount = 256;

// The height of one band for a client height: the height divided by 256, rounded up, as a
// 16-bit unsigned value.
std::uint16_t BandHeight(int client_height);
// Red (255 - band) div 2: 127 for bands 0 and 1 down to 0 for bands 254 and 255.
std::uint8_t BandRed(int band);
inline ui::Color BandColor(int band) {
    return ui::Rgb(BandRed(band), 0, 0);
}

// Fills every band, top to bottom: band i covers rows i*b to (i+1)*b (bottom exclusive) and
// the width `client_width` gives at that moment; bands below the client area are clipped by
// whatever `fill` draws on. The height is read once, before the first band.
void PaintBands(int client_height, const std::function<int()>& client_width,
                const std::function<void(const ui::Rect&, ui::Color)>& fill);
// The same, but only the bands that meet rows `top` to `bottom` (bottom exclusive): the bands
// do not overlap, so the rows in that range come out as from the whole run.
void PaintBands(int client_height, int top, int bottom, const std::function<int()>& client_width,
                const std::function<void(const ui::Rect&, ui::Color)>& fill);

// (outer - inner) div 2, rounded toward zero, so a control larger than its window gets a
// negative offset (a difference of -3 gives -1).
int CentredOffset(int outer, int inner);

// Where the page control goes in a window of the given outer size.
ui::Point CentredPlace(ui::Size window, ui::Size control);

// The progress layout: the progress panel centred, its bottom edge 50 design pixels (scaled to
// the screen) above the bottom of the client area; the picture panel centred in the space
// above it.
struct ProgressPlaces {
    ui::Point progress_panel;
    ui::Point picture_panel;
};
ProgressPlaces PlaceProgressPanels(ui::Size client, ui::Size progress_panel, ui::Size picture_panel,
                                   const DesignScale& scale = DesignScale());

} // namespace layouts
