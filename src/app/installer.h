// The installer's logic behind the main window's handlers: the start-up sequence, the
// wizard's state, the installation run, the uninstaller and the self-removal. Everything
// visible goes through an InstallerView and everything started through a SystemShell, so
// the logic runs without a window.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/configuration.h"
#include "app/install_record.h"
#include "app/install_state.h"
#include "app/installer_view.h"
#include "app/message_table.h"
#include "app/system_shell.h"
#include "app/wizard_text.h"
#include "platform/error.h"
#include "platform/single_instance.h"
#include "services/form_storage.h"
#include "services/system_folders.h"
#include "unzip/engine.h"

namespace app {

// Where the program runs: the working folder at start-up and its own file.
struct ProgramPlace {
    std::string startup_folder;
    std::string program_file;
};

// What the window does with the start-up's decisions.
struct StartupResult {
    static constexpr int kKeepRunning = -1;
    int exit_code = kKeepRunning;            // 3: another copy runs; end now, show nothing
    int page = kPageUninstall;               // the page to open
    std::string title;                       // caption of the title label
    NavigationTags tags;                     // Tags of the two buttons that skip the icon page
    std::vector<std::string> licence_lines;  // the licence page's text
    std::vector<std::string> folder_choices; // entries of the folder choice; select entry 0
};

// The wizard's controls as the user left them: the folder choice's text and the ticks.
struct WizardChoice {
    std::string directory;
    IconChoice icons;
};

// What the self-removal deletes before its batch takes over.
enum class FolderRemoval {
    WholeTree,    // the installation folder: everything in it
    PackageFiles, // the folder setup was started from: only the package's own files
};

class Installer {
  public:
    static constexpr int kSecondInstanceExitCode = 3;

    Installer(InstallerView& view, SystemShell& shell, const services::SystemDirs& sysdirs,
              services::FormStorage& storage, unzip::Engine& engine);

    // The main window's creation: configuration, mode, single-instance guard, record, licence
    // and folder choices.
    StartupResult Start(const ProgramPlace& place);
    // The settings component's save run ends here: the nine values as read at start-up.
    void SaveNamedValues(services::FormStorage& storage) const;

    // The summary page's lines for the wizard's state as it stands.
    std::vector<std::string> Summary() const;
    // A click in the shortcut list: the controls taken into the state, the summary rebuilt.
    std::vector<std::string> ChooseIcons(const WizardChoice& choice);
    // Any move between pages: the same, and from now on an early end cleans up.
    std::vector<std::string> MovePage(const WizardChoice& choice, int page);
    // "Storno" on the wizard pages.
    void CancelWizard();
    // "Storno" on the uninstall page.
    void CancelUninstall();

    // The installation run of the finish button, with the shortcuts as ticked now.
    void RunInstallation(const IconChoice& icons);
    // The uninstall button.
    void Uninstall();
    // The main window's destruction: the cleanup of an abandoned wizard, the guard released.
    void ShutDown();

    // Steps of the run and the uninstaller.
    void CreateFolderLevels(const std::string& path, const std::string& anchor);
    int32_t ExtractArchive(const std::string& archive, const std::string& target);
    void ExtractionCallback(int32_t code, unzip::ReportRecord& record);
    void RemoveFolderAndSelf(const std::string& folder, FolderRemoval removal);
    std::string SelfRemovalBatch(const std::string& folder) const;
    std::string BatchFilePath() const;
    // The product's Start-menu group: programs folder, company, product name.
    std::string GroupFolder() const;

    const Configuration& Config() const { return config_; }
    MessageTable& Messages() { return messages_; }
    const MessageTable& Messages() const { return messages_; }
    // Where the installation records live; the default is the record's own base key.
    void SetRecordBaseKey(const std::string& key) { record_base_key_ = key; }
    const InstallState& State() const { return state_; }
    bool InstallMode() const { return install_mode_; }
    const std::string& StartupFolder() const { return startup_folder_; }
    const std::string& ProgramFolder() const { return program_folder_; }
    const std::string& ShortInstallFolder() const { return short_install_folder_; }
    bool HoldsMutex() const { return mutex_.Held(); }

  private:
    // Something this run made that was not there before: what a failed run takes back.
    struct Created {
        std::string path;
        bool folder;
    };

    void ReadConfiguration();
    const std::string& Msg(int index) const { return messages_.Text(index); }
    // A package file beside the program, as the run's relative names are meant.
    std::string InStartupFolder(const std::string& name) const;

    void TakeChoice(const WizardChoice& choice);
    void Run();
    void ShowProgress(int position, const std::string& text);
    bool ExtractPackageArchive(const std::string& name, const std::string& target);
    void CopySetupFile(const std::string& name, const std::string& target_folder);
    void CreateGroupShortcuts(const std::string& home);
    void CreateMainShortcut(const std::string& home, const std::string& folder);
    void NoteNewPath(const std::string& path, bool folder);
    bool IsNewMemberFile(const std::string& name);
    void NoteEngineFolders();
    void TakeBackRun();
    void RemoveInstallation();

    InstallerView& view_;
    SystemShell& shell_;
    const services::SystemDirs& sysdirs_;
    services::FormStorage& storage_;
    unzip::Engine& engine_;

    Configuration config_;
    MessageTable messages_;
    InstallState state_;
    std::string record_base_key_ = InstallRecord().base_key;
    // The earlier installation's record, read at start-up and again by the uninstaller.
    InstallRecord previous_;
    platform::NamedMutex mutex_;
    std::string startup_folder_;
    std::string program_file_;
    std::string program_folder_; // with its trailing separator; empty in uninstall mode
    bool install_mode_ = false;

    std::vector<Created> created_; // what the run made that was not there, for taking back
    // The running extraction: the folders the engine made (what they hold is new without asking
    // the file system), how many of its list are noted, the files noted in those folders.
    std::unordered_set<std::string> new_folders_;
    size_t folders_noted_ = 0;
    std::unordered_set<std::string> member_files_;
    bool new_member_file_ = false;   // the member being extracted would be a new file
    int32_t extraction_failure_ = 0; // first failure the engine reported for an archive
    std::string short_install_folder_;
};

// The system's text for an error code: empty for 0, "Unknown Error (<code>)" when the system
// has none.
std::string SystemErrorText(unsigned long code);

// The toolkit's input/output error, raised where the program cannot read a file it found,
// change folder or write its batch: the handler's remaining steps are skipped.
platform::Error InputOutputError(unsigned long code);

// "CRC-Error!: orvoinst.zip": the engine's wording for a failure and the archive's name.
std::string ExtractionFailureText(int32_t code, const std::string& archive_name);

} // namespace app
