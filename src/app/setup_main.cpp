// The program entry of setup.exe: COM for the window thread, the command line, the log, then
// either the unattended run or the two windows and the message loop.
// main() is the entry of this GUI program too (the runtime calls it), which keeps the entry
// free of Win32; the start-up sequence itself runs in MainWindow::StartUp.
#include "app/command_line.h"
#include "app/exit_codes.h"
#include "app/folder_picker.h"
#include "app/main_window.h"
#include "app/message_table.h"
#include "app/package_files.h"
#include "app/paths.h"
#include "app/run_log.h"
#include "app/unattended_run.h"
#include "platform/process.h"
#include "platform/shell_link.h"
#include "services/form_storage.h"
#include "services/system_folders.h"
#include "setup_version.h"
#include "ui/message_service.h"
#include "ui/window.h"

namespace {

// The program's own texts as the package's setup.ini words them, for the boxes shown before
// the installer reads it.
app::MessageTable PackageTexts(const std::string& folder) {
    services::FormStorage storage;
    storage.SetIniFileName(app::CollapsePath(folder + app::kSep + app::kSettingsName));
    app::MessageTable messages;
    messages.ReadOwnTexts(storage);
    return messages;
}

// /?, and a line /S cannot follow: a box (unless /S asks for none) and the exit code.
int AnswerCommandLine(const app::CommandLine& options, const app::ProgramPlace& place,
                      app::RunLog& log) {
    const std::string package_folder = app::PackageFolderOf(place);
    const std::string& program_file = place.program_file;
    const app::MessageTable messages = PackageTexts(package_folder);
    const bool bad = !options.error.empty();
    const std::string help = app::CommandLineHelp(messages);
    const std::string text =
        bad ? messages.Text(app::kMsgUnknownOption) + " " + options.error + "\r\r" + help : help;
    log.Line(bad ? "error: unknown option " + options.error : "help shown");
    if (!options.log_file ||
        !app::PackageLogRefusal(*options.log_file, package_folder, program_file).empty() ||
        !log.OpenAt(*options.log_file))
        (void)log.OpenNew(services::SystemDirs().TempDir(), "setup"); // no log stops nothing
    if (!app::Unattended(options))
        ui::MessageService::Box(nullptr, text, ui::Application::Title(),
                                bad ? app::kIconError : app::kIconInformation);
    return bad ? app::kExitBadCommandLine : app::kExitCompleted;
}

// An installation for all users started without the administrator's rights: Windows starts the
// program again with them (the user sees the consent prompt), with the same command line, and
// this copy ends as that one does.
int Elevated(const app::ProgramPlace& place, const std::string& arguments, app::RunLog& log) {
    log.Line("asking for the administrator's rights");
    const std::optional<unsigned long> code =
        platform::RunElevatedAndWait(place.program_file, arguments, place.startup_folder);
    if (!code) {
        log.Line("the administrator's rights were not given");
        return app::kExitCancelled;
    }
    return static_cast<int>(*code);
}

int Finish(app::RunLog& log, int exit_code) {
    log.Line("exit code " + std::to_string(exit_code));
    return exit_code;
}

} // namespace

int main() {
    platform::ComApartment com;
    ui::Window::SetApplicationIconResource("APP_ICON");
    app::RunLog log;
    const std::string arguments = platform::CommandLineArguments();
    log.Line("setup.exe " ORVO_VERSION_TEXT);
    log.Line("command line: " + arguments);
    app::StartupEnvironment environment;
    environment.place = {platform::CurrentFolder(), platform::ProgramFilePath()};
    environment.options = app::ParseCommandLine(arguments);
    environment.log = &log;
    // The caption of the standard error box: the program's name, as its file has it.
    ui::Application::SetTitle(
        app::ReplaceExtension(app::FileNameOf(environment.place.program_file), ""));
    // An unattended run with an option it does not know does nothing: a typing error must not
    // install with defaults. The wizard asks the user everything, so it goes on without it.
    const bool refused = app::Unattended(environment.options) && !environment.options.error.empty();
    if (environment.options.help || refused)
        return Finish(log, AnswerCommandLine(environment.options, environment.place, log));
    if (!environment.options.error.empty())
        log.Line("unknown option ignored: " + environment.options.error);
    if (environment.options.quiet)
        return Finish(log, app::RunUnattended(environment.place, environment.options, log));

    app::MainWindow form1(environment);
    if (form1.ExitCode() == app::StartupResult::kNeedsElevation)
        return Finish(log, Elevated(environment.place, arguments, log));
    // Another copy runs: end before anything is shown or written.
    if (form1.ExitCode() != app::StartupResult::kKeepRunning) return Finish(log, form1.ExitCode());
    app::FolderPicker form2;
    form1.SetFolderPicker(&form2);
    // The start-up found nothing to install with: the shutdown runs, the wizard never shows.
    if (form1.ClosedBeforeShown()) return Finish(log, form1.FinalExitCode());
    ui::Application::Run(form1.Window());
    return Finish(log, form1.FinalExitCode());
}
