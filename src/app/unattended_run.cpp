#include "app/unattended_run.h"

#include "app/logged_view.h"
#include "app/system_shell.h"
#include "services/form_storage.h"
#include "services/system_folders.h"
#include "unzip/engine.h"

namespace app {

int RunUnattended(const ProgramPlace& place, const CommandLine& options, RunLog& log) {
    QuietView quiet;
    LoggedView view(quiet, log);
    PlatformShell shell;
    const services::SystemDirs sysdirs{services::SystemDirSources()};
    services::FormStorage storage;
    Installer installer(view, shell, sysdirs, storage, unzip::DefaultEngine());
    installer.SetOptions(options);
    installer.SetLog(log);
    const StartupResult start = installer.Start(place);
    if (start.exit_code == StartupResult::kNeedsElevation) return kExitNeedsAdministrator;
    if (start.exit_code != StartupResult::kKeepRunning) return start.exit_code;
    // The folder offered first and no ticked shortcut: what the wizard would do untouched.
    if (installer.InstallMode()) {
        installer.RunInstallation();
    } else {
        installer.Uninstall();
    }
    installer.ShutDown();
    // A target the checks refused ends the run as the wizard's would stay: nothing written.
    return installer.ExitCode() == kExitCancelled ? kExitRunFailed : installer.ExitCode();
}

} // namespace app
