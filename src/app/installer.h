// The installer's logic behind the main window's handlers: the start-up sequence, the
// wizard's state, the installation run, the uninstaller and the self-removal. Everything
// visible goes through an InstallerView and everything started through a SystemShell, so
// the logic runs without a window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/apps_entry.h"
#include "app/command_line.h"
#include "app/configuration.h"
#include "app/exit_codes.h"
#include "app/folder_probe.h"
#include "app/install_record.h"
#include "app/install_state.h"
#include "app/installer_view.h"
#include "app/journal.h"
#include "app/message_table.h"
#include "app/name_rules.h"
#include "app/program_place.h"
#include "app/protected_folders.h"
#include "app/run_log.h"
#include "app/system_shell.h"
#include "app/wizard_text.h"
#include "platform/error.h"
#include "platform/single_instance.h"
#include "services/form_storage.h"
#include "services/system_folders.h"
#include "unzip/engine.h"

namespace app {

// What the window does with the start-up's decisions.
struct StartupResult {
    static constexpr int kKeepRunning = -1;
    int exit_code = kKeepRunning;            // 3: another copy runs; end now, show nothing
    int page = kPageUninstall;               // the page to open
    std::string title;                       // caption of the title label
    std::string product;                     // the package's softname
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
    ProgramOnly,  // the installation folder: the uninstall removed the rest already
    PackageFiles, // the folder setup was started from: only the package's own files
};

class Installer {
  public:
    static constexpr int kSecondInstanceExitCode = kExitSecondInstance;

    Installer(InstallerView& view, SystemShell& shell, const services::SystemDirs& sysdirs,
              services::FormStorage& storage, unzip::Engine& engine);

    // The main window's creation: configuration, mode, single-instance guard, record, licence
    // and folder choices.
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

    // The installation run of the finish button, with the shortcuts as ticked now: the checks
    // of the target first (a refused one leaves the wizard where it was), then the run, which
    // either completes or is taken back whole.
    void RunInstallation(const IconChoice& icons);
    // Whether the installation run is working (the window may not close meanwhile).
    bool Running() const { return running_; }
    // The uninstall button.
    void Uninstall();
    // The main window's destruction: the cleanup of an abandoned wizard, the guard released.
    void ShutDown();

    // How the program ends: an ExitCode.
    int ExitCode() const { return exit_code_; }

    // The administrator's options (before Start): /D= offers its folder first, /NOICONS makes
    // no shortcut, /S opens no document.
    void SetOptions(const CommandLine& options) { options_ = options; }
    // The run's log, opened where /LOG= says or as a new file in the temporary folder once the
    // configuration is read; without it the steps are logged in memory only.
    void SetLog(RunLog& log) { log_ = &log; }
    RunLog& Log() { return *log_; }

    // Steps of the run and the uninstaller. The run's steps raise platform::Error with the
    // text the error box shows.
    void CreateFolderLevels(const std::string& path);
    int32_t ExtractArchive(const std::string& archive, const std::string& target);
    void ExtractionCallback(int32_t code, unzip::ReportRecord& record);
    const Journal& RunJournal() const { return journal_; }
    // Whether this user may write to a folder; tests stand in for the rights they lack.
    using WritableProbe = bool (*)(const std::string& folder);
    void SetWritableProbe(WritableProbe probe) { writable_ = probe; }
    // The folders the installer never installs into or removes; tests replace them.
    void SetProtectedFolders(ProtectedFolders folders) { protected_ = std::move(folders); }
    void RemoveFolderAndSelf(const std::string& folder, FolderRemoval removal);
    std::string BatchFilePath() const;
    // The product's Start-menu group: programs folder, company, product name.
    std::string GroupFolder() const;

    const Configuration& Config() const { return config_; }
    const FolderNames& Names() const { return names_; }
    MessageTable& Messages() { return messages_; }
    const MessageTable& Messages() const { return messages_; }
    // Where the installation records live; the default is the record's own base key. Tests
    // that move the records move the list of installed programs below them too.
    void SetRecordBaseKey(const std::string& key) {
        record_base_key_ = key;
        apps_list_key_ = key + "\\Apps";
    }
    const InstallState& State() const { return state_; }
    bool InstallMode() const { return install_mode_; }
    const std::string& StartupFolder() const { return startup_folder_; }
    const std::string& PackageFolder() const { return package_folder_; }
    const std::string& ShortInstallFolder() const { return short_install_folder_; }
    bool HoldsMutex() const { return mutex_.Held(); }

  private:
    // What a package puts on the drive, for the checks before the run.
    struct PackageSize {
        uint64_t bytes = 0;
        size_t longest_name_units = 0; // the longest member name, in UTF-16 units
    };

    // False, with the error shown, when the settings file cannot be used.
    [[nodiscard]] bool ReadConfiguration();
    void OpenLog();
    void OpenDefaultLog();
    // Why the log may not be written to PATH; empty when it may.
    std::string LogRefusal(const std::string& path) const;
    void KeepLogOutOf(const std::string& folder);
    const std::string& Msg(int index) const { return messages_.Text(index); }
    // A file of the package, in the one folder the package is read from.
    std::string InPackageFolder(const std::string& name) const;
    // Whether a folder holds an installation (its manifest, or this product's record names
    // it): nothing of it is removed as a package's file.
    bool HoldsInstallation(const std::string& folder) const;

    const ProtectedFolders& Protected();
    void TakeChoice(const WizardChoice& choice);
    [[nodiscard]] bool TargetAccepted(const std::string& home);
    [[nodiscard]] bool DowngradeAccepted();
    // False, with the reason shown, when the folder is no full path of usable names.
    [[nodiscard]] bool UsableFolderPath(const std::string& folder);
    std::string PackageVersion() const;
    void ReadEarlierManifest();
    // How far the recorded installation's manifest is proven to be its own.
    enum class ManifestProof {
        kNone,     // the record names none: an installation of an early release
        kUnsealed, // there, but the record keeps no digest to prove it (a release before)
        kProven,   // it matches the digest the record keeps
        kBroken,   // named but missing, unreadable, no manifest, or changed since
    };
    // The manifest the record names, read where the installation put it (beside the program
    // in the recorded folder); its entries only when it is not kBroken or kNone.
    ManifestProof ReadRecordedManifest(std::vector<Journal::Entry>& entries) const;
    // What an installation of an early release made, as the uninstall removes it: the folder,
    // the product's two main shortcuts and the shortcuts and folders of its group.
    std::vector<Journal::Entry> EarlyInstallationEntries(const std::string& folder) const;
    void RetireEarlierInstallation();
    int32_t MeasureArchive(const std::string& archive, PackageSize& size);
    // The run up to its commit; a failure raises platform::Error for the take-back.
    void Run(const std::string& home);
    void FinishCompletedRun(const std::string& home);
    void ShowProgress(int position, const std::string& text);
    void ExtractPackageArchive(const std::string& name, const std::string& target);
    bool MayReplace(unzip::ReportRecord& record);
    void CopySetupFile(const std::string& name, const std::string& target_folder);
    void CreateGroupShortcuts(const std::string& home);
    void CreateMainShortcut(const std::string& home, const std::string& folder);
    void CreateShortcut(const std::string& target, const std::string& name,
                        const std::string& folder);
    void WriteManifestAndRecord(const std::string& home);
    AppsEntry AppsEntryOf(const InstallRecord& record, uint64_t bytes) const;
    void NoteEngineFolders();
    void TakeBackRun(const std::string& failure);
    void RemoveInstallation();
    bool IsOwnFile(const std::string& path, const std::string& folder) const;
    // The places an installation in `folder` may have put things, as the file system resolves
    // them, so that no link leads a removal elsewhere.
    struct RemovalBounds {
        std::string folder, group, company, desktop, start_menu;
    };
    RemovalBounds BoundsFor(const std::string& folder) const;
    bool MayRemove(const Journal::Entry& entry, const RemovalBounds& bounds);
    std::vector<Journal::Entry> RemoveListed(const std::string& folder,
                                             const std::vector<Journal::Entry>& entries);

    InstallerView& view_;
    SystemShell& shell_;
    const services::SystemDirs& sysdirs_;
    services::FormStorage& storage_;
    unzip::Engine& engine_;

    Configuration config_;
    FolderNames names_; // the values that become names on disk, as they are made
    CommandLine options_;
    RunLog own_log_;
    RunLog* log_ = &own_log_;
    MessageTable messages_;
    InstallState state_;
    std::string record_base_key_ = InstallRecord().base_key;
    std::string apps_list_key_ = AppsEntry::kListKey;
    uint64_t installed_bytes_ = 0; // what the run puts on the drive, as measured before it
    // The earlier installation's record, read at start-up and again by the uninstaller.
    InstallRecord previous_;
    bool previous_found_ = false;
    // What the earlier installation's manifest lists, and those of its entries the new manifest
    // takes over: its folders and what the upgrade could not remove.
    std::vector<Journal::Entry> earlier_entries_;
    ManifestProof earlier_proof_ = ManifestProof::kNone;
    std::vector<Journal::Entry> carried_;
    std::optional<ProtectedFolders> protected_; // see Protected()
    WritableProbe writable_ = FolderIsWritable;
    platform::NamedMutex mutex_;
    std::string startup_folder_;
    std::string program_file_;
    std::string package_folder_; // where setup.ini is read, with its trailing separator
    bool install_mode_ = false;
    std::optional<bool> program_removable_; // whether the program's folder takes changes

    int exit_code_ = kExitCancelled; // until the run or the uninstall says otherwise
    bool running_ = false;

    Journal journal_; // what the run changed, for taking back or as the manifest
    // The files this run wrote, which a later step may write again without a backup.
    std::unordered_set<std::string> run_files_;
    std::vector<std::string> skipped_shortcuts_; // short.txt lines not made, with why
    // The running extraction: how many of the engine's made folders are noted, whether the
    // member being extracted is a new file, and the first file that could not be set aside.
    size_t folders_noted_ = 0;
    bool target_was_there_ = true; // the installation folder existed before the run
    bool working_in_home_ = false; // the run made the installation folder its working folder
    bool new_member_file_ = false;
    std::string set_aside_failure_;
    int32_t extraction_failure_ = 0; // first failure the engine reported for an archive
    std::string short_install_folder_;
    // The levels the installation made above its folder, innermost first, for the batch.
    std::vector<std::string> parents_made_;
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
