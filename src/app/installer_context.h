// What every part of the installer works with once the start-up has read the package: the
// window's view and the system, where the program runs and where its package lies, the
// package's values and texts, the administrator's options, the log and the earlier
// installation's record. The start-up fills it; the wizard, the checks before a run, the run
// and the uninstall read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/apps_entry.h"
#include "app/command_line.h"
#include "app/configuration.h"
#include "app/folder_probe.h"
#include "app/install_record.h"
#include "app/installer_view.h"
#include "app/message_table.h"
#include "app/name_rules.h"
#include "app/protected_folders.h"
#include "app/run_log.h"
#include "app/system_shell.h"
#include "platform/error.h"
#include "platform/process.h"
#include "services/system_folders.h"

namespace app {

// Whether this user may write to a folder; tests stand in for the rights they lack.
using WritableProbe = bool (*)(const std::string& folder);
// Whether the process holds the administrator's rights; tests stand in for them too.
using RightsProbe = bool (*)();

// For whom an installation is: the user who runs it, or every user of the machine.
enum class InstallScope { kUser, kMachine };

class InstallerContext {
  public:
    InstallerContext(InstallerView& view, SystemShell& shell, const services::SystemDirs& sysdirs)
        : view(view), shell(shell), sysdirs(sysdirs) {}

    InstallerView& view;
    SystemShell& shell;
    const services::SystemDirs& sysdirs;

    RunLog own_log;
    RunLog* log = &own_log; // the run's log: the program's, or one held in memory
    MessageTable messages;
    Configuration config;
    FolderNames names; // the values that become names on disk, as they are made
    CommandLine options;

    std::string startup_folder;
    std::string program_file;
    std::string package_folder; // where setup.ini is read, with its trailing separator
    bool install_mode = false;  // the package's archive lies in package_folder

    std::string record_base_key = InstallRecord().base_key;
    std::string apps_list_key = AppsEntry::kListKey;
    // The earlier installation's record, read at start-up and again by the uninstaller.
    InstallRecord previous;
    bool previous_found = false;

    WritableProbe writable = FolderIsWritable;
    RightsProbe administrator = platform::HasAdministratorRights;
    InstallScope scope = InstallScope::kUser;

    // The places of the scope: the registry's root for the record and the Apps list, the
    // desktop, the Start menu and its programs folder the shortcuts go to, the folder of the
    // product's pending run.
    platform::RegistryRoot RecordRoot() const;
    const std::string& DesktopDir() const;
    const std::string& StartMenuDir() const;
    const std::string& ProgramsDir() const;
    std::string ProgramDataDir() const;
    // The record of this product in the scope's root (not read).
    InstallRecord RecordKey() const;

    const std::string& Msg(int id) const { return messages.Text(id); }
    // A file of the package, in the one folder the package is read from.
    std::string InPackageFolder(const std::string& name) const;
    // The product's Start-menu group: programs folder, company, product name.
    std::string GroupFolder() const;
    // The product's line in the Apps list for the installation a record names.
    AppsEntry AppsEntryOf(const InstallRecord& record, uint64_t bytes) const;
    // The folders the installer never installs into or removes, looked up when first needed:
    // the system's folder list loads the shell, which would delay the first page.
    const ProtectedFolders& Protected();
    void SetProtected(ProtectedFolders folders) { protected_ = std::move(folders); }

    // A step that failed, as its box words it: what failed (a message), its subject, and, with
    // a system error code, the system's reason on a line of its own.
    platform::Error Failure(MessageId what, const std::string& subject,
                            unsigned long system_code = 0) const;
    // The box of a refusal or a failure: an error box with the product's caption.
    void ShowErrorBox(const std::string& text) const;

  private:
    std::optional<ProtectedFolders> protected_;
};

// The system's text for an error code: empty for 0, "Unknown Error (<code>)" when the system
// has none.
std::string SystemErrorText(unsigned long code);

// "CRC-Error!: orvoinst.zip": the engine's wording for a failure and the archive's name.
std::string ExtractionFailureText(int32_t code, const std::string& archive_name);

} // namespace app
