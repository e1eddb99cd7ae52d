// The program entry of setup.exe: COM for the window thread, the two windows, the message loop.
// main() is the entry of this GUI program too (the runtime calls it), which keeps the entry
// free of Win32; the start-up sequence itself runs in TForm1::FormCreate.
#include "app/folder_picker.h"
#include "app/main_form.h"
#include "platform/shell_link.h"
#include "ui/window.h"

int main() {
    platform::ComApartment com;
    ui::Window::SetApplicationIconResource("APP_ICON");
    app::TForm1 form1;
    app::TForm2 form2;
    return ui::Application::Run(form1.Window());
}
