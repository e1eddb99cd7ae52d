// The installer behind the main window's handlers: a thin front over its parts. The start-up
// (startup.h) reads the package, the wizard's choices live in the state (install_state.h),
// the checks before a run give a verdict (preflight.h), each run is an InstallationRun, the
// uninstall an Uninstaller. Everything visible goes through an InstallerView and everything
// started through a SystemShell, so the logic runs without a window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/exit_codes.h"
#include "app/install_state.h"
#include "app/installer_context.h"
#include "app/preflight.h"
#include "app/startup.h"
#include "platform/single_instance.h"
#include "services/form_storage.h"
#include "services/system_folders.h"
#include "unzip/engine.h"

namespace app {

class Installer {
  public:
    Installer(InstallerView& view, SystemShell& shell, const services::SystemDirs& sysdirs,
              services::FormStorage& storage, unzip::Engine& engine);

    // Before Start: the administrator's options, the log (without one the steps are logged
    // in memory only), where the records live (tests move them, and the Apps list with them).
    void SetOptions(const CommandLine& options) { context_.options = options; }
    void SetLog(RunLog& log) { context_.log = &log; }
    void SetRecordBaseKey(const std::string& key);

    // The main window's creation.
    StartupResult Start(const ProgramPlace& place);
    // The message list as the window's first showing restores it from setup.ini: the texts
    // the start-up composed from the built-in list, composed again from it.
    struct ComposedTexts {
        std::string other_folder;                              // the folder choice's last entry
        std::optional<std::vector<std::string>> licence_lines; // when there is no license.txt
    };
    ComposedTexts TakeMessages(std::vector<std::string> lines);
    // The settings component's save run ends here: the nine values as read at start-up.
    void SaveNamedValues(services::FormStorage& storage) const;

    // The wizard, as the user changes its controls. Each returns the summary page's lines.
    std::vector<std::string> Summary() const;
    void ChooseFolder(const std::string& folder) { state_.ChooseFolder(folder); }
    std::vector<std::string> ChooseIcons(const IconChoice& icons);
    // A move between pages; from the folder page onwards only with a usable folder.
    std::vector<std::string> MovePage(Page page);
    void CancelWizard();
    void CancelUninstall();

    // The finish button: the checks, then the run, which either completes or is taken back
    // whole. A refused check leaves the wizard where it was.
    void RunInstallation();
    bool Running() const { return running_; }
    // The uninstall button, or /S from the installed copy.
    void Uninstall();
    // The main window's destruction: the cleanup of an abandoned wizard, the guard released.
    void ShutDown();

    // How the program ends: an ExitCode.
    int ExitCode() const { return exit_code_; }
    const std::string& Text(MessageId id) const { return context_.Msg(id); }
    const InstallState& State() const { return state_; }
    const Configuration& Config() const { return context_.config; }
    const FolderNames& Names() const { return context_.names; }
    bool InstallMode() const { return context_.install_mode; }
    const std::string& PackageFolder() const { return context_.package_folder; }

    // Stand-ins for what tests cannot arrange on the machine: the rights to a folder, the
    // system's protected folders.
    void SetWritableProbe(WritableProbe probe) { context_.writable = probe; }
    void SetRightsProbe(RightsProbe probe) { context_.administrator = probe; }
    void SetProtectedFolders(ProtectedFolders folders) {
        context_.SetProtected(std::move(folders));
    }

  private:
    // A verdict the user must see or answer; true when the run may go on.
    bool Settle(const PreflightVerdict& verdict, PreflightAnswers& answers, bool& ask_again);

    InstallerContext context_;
    services::FormStorage& storage_;
    unzip::Engine& engine_;
    InstallState state_;
    platform::NamedMutex mutex_;
    int exit_code_ = kExitCancelled; // until the run or the uninstall says otherwise
    bool running_ = false;
};

} // namespace app
