#include "app/main_form.h"

#include "widgets/layouts/form_geometry.h"

namespace app {

const layouts::Handler<TForm1> TForm1::kHandlers[] = {
    {"FormCreate", &TForm1::FormCreate},
    {"FormDestroy", &TForm1::FormDestroy},
    {"FormPaint", nullptr, &TForm1::FormPaint},
    {"FormResize", &TForm1::FormResize},
    {"FormShow", &TForm1::FormShow},
    {"StornoClick", &TForm1::StornoClick},
    {"BitBtn5Click", &TForm1::BitBtn5Click},
    {"RadioButtyesClick", &TForm1::RadioButtyesClick},
    {"RadioButtNOClick", &TForm1::RadioButtNOClick},
    {"DirectoryChange", &TForm1::DirectoryChange},
    {"ProgIconClick", &TForm1::ProgIconClick},
    {"BitBtn4Click", &TForm1::BitBtn4Click},
    {"BitBtn11Click", &TForm1::BitBtn11Click},
    {"BitBtn12Click", &TForm1::BitBtn12Click},
};

TForm1::TForm1()
    : handlers_(*this, kHandlers),
      built_(layouts::Form1Layout(), handlers_),
      pages(built_.Get<ui::PageControl>("pages")),
      Panel1(built_.Get<ui::Panel>("Panel1")),
      Panel4(built_.Get<ui::Panel>("Panel4")) {
    built_.FireCreate();
}

// The window goes while every handler's object still exists.
TForm1::~TForm1() {
    Window().Destroy();
}

void TForm1::FormCreate(ui::Control&) {
    PlaceOnDesktop();
}

void TForm1::FormDestroy(ui::Control&) {}

// Straight onto the window, band by band; the client width is read for every band.
void TForm1::FormPaint(ui::Control&, ui::Painter& painter) {
    ui::Window& window = Window();
    layouts::PaintBands(
        window.ClientSize().height, [&window] { return window.ClientSize().width; },
        [&painter](const ui::Rect& band, ui::Color color) { painter.FillRect(band, color); });
}

void TForm1::FormResize(ui::Control&) {
    ui::Window& window = Window();
    window.Repaint();
    const ui::Rect outer = window.Bounds();
    const ui::Point place =
        layouts::CentredPlace({outer.Width(), outer.Height()}, {pages.Width(), pages.Height()});
    pages.SetBounds(ui::Rect::FromBounds(place.x, place.y, pages.Width(), pages.Height()));
}

void TForm1::FormShow(ui::Control&) {
    Window().SetWindowState(ui::WindowState::kMaximized);
}

void TForm1::PlaceOnDesktop() {
    const ui::Size desktop = ui::Application::ScreenSize();
    Window().SetBounds(ui::Rect::FromBounds(0, 0, desktop.width, desktop.height));
}

void TForm1::ShowProgressLayout() {
    const layouts::ProgressPlaces places =
        layouts::PlaceProgressPanels(Window().ClientSize(), {Panel1.Width(), Panel1.Height()},
                                     {Panel4.Width(), Panel4.Height()});
    Panel1.SetBounds(ui::Rect::FromBounds(places.progress_panel.x, places.progress_panel.y,
                                          Panel1.Width(), Panel1.Height()));
    Panel4.SetBounds(ui::Rect::FromBounds(places.picture_panel.x, places.picture_panel.y,
                                          Panel4.Width(), Panel4.Height()));
    Panel1.Show();
    Panel4.Show();
    pages.Hide();
}

// The wizard, the installation run and the uninstall fill these in.
void TForm1::StornoClick(ui::Control&) {}
void TForm1::BitBtn5Click(ui::Control&) {}
void TForm1::RadioButtyesClick(ui::Control&) {}
void TForm1::RadioButtNOClick(ui::Control&) {}
void TForm1::DirectoryChange(ui::Control&) {}
void TForm1::ProgIconClick(ui::Control&) {}

void TForm1::BitBtn4Click(ui::Control&) {
    ShowProgressLayout();
}

void TForm1::BitBtn11Click(ui::Control&) {}
void TForm1::BitBtn12Click(ui::Control&) {}

} // namespace app
