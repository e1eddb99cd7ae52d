// The exit codes of setup.exe, one per way a run can end, so that a script or a deployment
// tool can tell a completed installation from each kind of failure.
#pragma once

namespace app {

enum ExitCode : int {
    kExitCompleted = 0,           // the installation or the uninstall is complete
    kExitConfiguration = 1,       // setup.ini or the package is unusable; nothing was written
    kExitCancelled = 2,           // the user ended the wizard or the uninstall page
    kExitSecondInstance = 3,      // another copy of the installer runs
    kExitRunFailed = 4,           // the run failed and was taken back; the package is kept
    kExitUninstallIncomplete = 5, // the uninstall removed nothing or not everything
    kExitBadCommandLine = 6,      // an option setup.exe does not know; nothing was done
    kExitDowngradeRefused = 7,    // /S would have replaced a newer version; nothing was done
    kExitNeedsAdministrator = 8,  // unattended, for all users without the rights; nothing done
};

} // namespace app
