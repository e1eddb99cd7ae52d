#include "widgets/layouts/form_geometry.h"

#include <limits>

namespace layouts {

std::uint16_t BandHeight(int client_height) {
    return static_cast<std::uint16_t>((client_height + 255) / 256);
}

std::uint8_t BandRed(int band) {
    return static_cast<std::uint8_t>((255 - band) / 2);
}

void PaintBands(int client_height, const std::function<int()>& client_width,
                const std::function<void(const ui::Rect&, ui::Color)>& fill) {
    PaintBands(client_height, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
               client_width, fill);
}

void PaintBands(int client_height, int top, int bottom, const std::function<int()>& client_width,
                const std::function<void(const ui::Rect&, ui::Color)>& fill) {
    const std::uint16_t band_height = BandHeight(client_height);
    for (std::uint16_t band = 0; band < kBandCount; ++band) {
        const int band_top = band * band_height;
        if (band_top >= bottom) break;
        if (band_top + band_height <= top) continue;
        fill({0, band_top, client_width(), band_top + band_height}, BandColor(band));
    }
}

int CentredOffset(int outer, int inner) {
    return (outer - inner) / 2; // C++ division truncates toward zero
}

ui::Point CentredPlace(ui::Size window, ui::Size control) {
    return {CentredOffset(window.width, control.width),
            CentredOffset(window.height, control.height)};
}

ProgressPlaces PlaceProgressPanels(ui::Size client, ui::Size progress_panel, ui::Size picture_panel,
                                   const DesignScale& scale) {
    ProgressPlaces places;
    places.progress_panel = {CentredOffset(client.width, progress_panel.width),
                             client.height - (progress_panel.height + scale.Length(50))};
    places.picture_panel = {CentredOffset(client.width, picture_panel.width),
                            CentredOffset(places.progress_panel.y, picture_panel.height)};
    return places;
}

} // namespace layouts
