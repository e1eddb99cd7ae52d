// The program entry of setup.exe: COM for the window thread, the two windows, the message loop.
// main() is the entry of this GUI program too (the runtime calls it), which keeps the entry
// free of Win32; the start-up sequence itself runs in MainWindow::StartUp.
#include "app/folder_picker.h"
#include "app/main_window.h"
#include "app/paths.h"
#include "platform/process.h"
#include "platform/shell_link.h"
#include "ui/window.h"

int main() {
    platform::ComApartment com;
    ui::Window::SetApplicationIconResource("APP_ICON");
    app::StartupEnvironment environment;
    environment.place = {platform::CurrentFolder(), platform::ProgramFilePath()};
    // The caption of the standard error box: the program's name, as its file has it.
    ui::Application::SetTitle(
        app::ReplaceExtension(app::FileNameOf(environment.place.program_file), ""));
    app::MainWindow form1(environment);
    // Another copy runs: end before anything is shown or written.
    if (form1.ExitCode() != app::StartupResult::kKeepRunning) return form1.ExitCode();
    app::FolderPicker form2;
    form1.SetFolderPicker(&form2);
    // The start-up found nothing to install with: the shutdown runs, the wizard never shows.
    if (form1.ClosedBeforeShown()) return form1.FinalExitCode();
    ui::Application::Run(form1.Window());
    return form1.FinalExitCode();
}
