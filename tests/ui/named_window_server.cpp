// A second process for the toolkit tests: shows a window with a named button and runs its
// message loop until the window is closed (or 30 s have passed), so a test can find the
// button by name from outside.
#include "ui/bit_button.h"
#include "ui/window.h"

int main() {
    ui::WindowOptions options;
    options.border = ui::BorderStyle::kNone;
    options.client_size = {200, 80};
    options.activate_on_show = false;
    ui::Window form("ServedForm", options);
    auto& button = form.Add<ui::BitButton>("ServedButton", ui::Rect::FromBounds(10, 10, 100, 29));
    button.SetText("Pokračovat");
    button.SetTag(7);
    button.SetTabOrder(2);
    return ui::Application::Run(form);
}
