#include "app/installer_context.h"

#include <algorithm>

#include "app/package_files.h"
#include "app/paths.h"
#include "platform/folders.h"
#include "unzip/result.h"

namespace app {

std::string InstallerContext::InPackageFolder(const std::string& name) const {
    return CollapsePath(package_folder + kSep + name);
}

std::string InstallerContext::GroupFolder() const {
    return CollapsePath(ProgramsDir() + kSep + names.company + kSep + names.product);
}

platform::RegistryRoot InstallerContext::RecordRoot() const {
    return scope == InstallScope::kMachine ? platform::RegistryRoot::LocalMachine
                                           : platform::RegistryRoot::CurrentUser;
}

const std::string& InstallerContext::DesktopDir() const {
    return scope == InstallScope::kMachine ? sysdirs.Common().desktop : sysdirs.DeskTopDir();
}

const std::string& InstallerContext::StartMenuDir() const {
    return scope == InstallScope::kMachine ? sysdirs.Common().start_menu : sysdirs.StartMenuDir();
}

const std::string& InstallerContext::ProgramsDir() const {
    return scope == InstallScope::kMachine ? sysdirs.Common().programs
                                           : sysdirs.StartMenuProgramsDir();
}

// The user's own Local AppData, or the machine's program data; the temporary folder stands in
// for one the system does not name.
std::string InstallerContext::ProgramDataDir() const {
    const std::string& own =
        scope == InstallScope::kMachine ? sysdirs.Common().app_data : sysdirs.LocalAppDataDir();
    return own.empty() ? sysdirs.TempDir() : own;
}

InstallRecord InstallerContext::RecordKey() const {
    InstallRecord record;
    record.root = RecordRoot();
    record.base_key = record_base_key;
    record.product_key = config.progreg;
    return record;
}

AppsEntry InstallerContext::AppsEntryOf(const InstallRecord& record, uint64_t bytes) const {
    AppsEntry entry;
    entry.root = RecordRoot();
    entry.list_key = apps_list_key;
    entry.product_key = config.progreg;
    entry.display_name = config.softname + " " + record.version + "." + record.release;
    entry.display_version = record.version + "." + record.release;
    entry.publisher = config.company;
    entry.install_location = record.folder;
    entry.uninstaller = CollapsePath(record.folder + kSep + kSetupProgramName);
    entry.display_icon = CollapsePath(record.folder + kSep + config.progname);
    entry.size_kb = static_cast<uint32_t>(std::min<uint64_t>((bytes + 1023) / 1024, UINT32_MAX));
    entry.install_date = TodayAsDigits();
    return entry;
}

const ProtectedFolders& InstallerContext::Protected() {
    if (!protected_) protected_ = SystemProtectedFolders(sysdirs);
    return *protected_;
}

platform::Error InstallerContext::Failure(MessageId what, const std::string& subject,
                                          unsigned long system_code) const {
    std::string text = Msg(what) + " " + subject;
    if (system_code != 0) text += "\r" + SystemErrorText(system_code);
    return platform::Error(text);
}

void InstallerContext::ShowErrorBox(const std::string& text) const {
    view.ShowMessageBox({BoxOwner::Application, text, BoxCaption(config), kIconError | kButtonsOk});
}

std::string SystemErrorText(unsigned long code) {
    if (code == 0) return std::string();
    const std::string text = platform::SystemErrorText(code);
    return text.empty() ? "Unknown Error (" + std::to_string(code) + ")" : text;
}

std::string ExtractionFailureText(int32_t code, const std::string& archive_name) {
    return std::string(unzip::ResultText(code)) + ": " + archive_name;
}

} // namespace app
