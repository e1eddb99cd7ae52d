#include "app/installer.h"

#include "app/package_files.h"
#include "app/paths.h"
#include "platform/file_copy.h"
#include "platform/folders.h"
#include "services/path_text.h"
#include "unzip/result.h"

namespace app {

Installer::Installer(InstallerView& view, SystemShell& shell, const services::SystemDirs& sysdirs,
                     services::FormStorage& storage, unzip::Engine& engine)
    : view_(view), shell_(shell), sysdirs_(sysdirs), storage_(storage), engine_(engine) {}

StartupResult Installer::Start(const ProgramPlace& place) {
    StartupResult result;
    startup_folder_ = place.startup_folder;
    program_file_ = place.program_file;
    storage_.SetIniFileName(CollapsePath(startup_folder_ + kSep + kSettingsName));
    ReadConfiguration();
    result.title = TitleText(config_);
    result.tags = TagsFor(config_);

    // The archive beside the settings decides the mode: a package folder installs, an
    // installed copy (which has no archive) uninstalls.
    install_mode_ = platform::FileExists(InStartupFolder(kArchiveName));
    if (install_mode_) {
        result.page = kPagePortal;
        program_folder_ = services::FolderPartOf(program_file_);
    }

    if (!mutex_.Create(config_.idn)) {
        view_.ShowMessageBox({BoxOwner::None, Msg(kMsgAlreadyRunning), BoxCaption(config_),
                              kIconError | kButtonsOk});
        mutex_.Close();
        result.exit_code = kSecondInstanceExitCode;
        return result;
    }

    // An earlier installation's record only lends its folder until the folder page speaks;
    // what this run would write carries this package's version.
    record_.ReadRecord();
    record_.version = std::to_string(config_.sversion);
    record_.release = config_.srelease;

    result.licence_lines = LicenceLines(program_folder_, messages_);
    result.folder_choices = FolderChoices(sysdirs_, config_.regdir, messages_);
    return result;
}

void Installer::ReadConfiguration() {
    config_ = ReadNamedValues(storage_);
    if (!HasRequiredValues(config_)) {
        view_.ShowMessageDialog(DialogKind::Error,
                                Msg(kMsgMissingConfiguration) + Msg(kMsgMissingConfigurationEnd));
        cleanup_on_exit_ = true;
        view_.Close();
    }
    record_.product_key = config_.progreg;
    record_.folder = config_.regdir;
}

void Installer::SaveNamedValues(services::FormStorage& storage) const {
    WriteNamedValues(storage, config_);
}

std::vector<std::string> Installer::BuildSummary(const WizardChoice& choice) {
    record_.folder = choice.directory;
    return SummaryLines(record_.folder, choice.icons, messages_);
}

std::vector<std::string> Installer::MovePage(const WizardChoice& choice) {
    std::vector<std::string> summary = BuildSummary(choice);
    cleanup_on_exit_ = true;
    return summary;
}

void Installer::CancelWizard() {
    view_.ShowMessageDialog(DialogKind::Information, Msg(kMsgCancelled));
    cleanup_on_exit_ = true;
    view_.Close();
}

void Installer::CancelUninstall() {
    view_.Close();
}

std::string Installer::InStartupFolder(const std::string& name) const {
    return CollapsePath(startup_folder_ + kSep + name);
}

std::string Installer::GroupFolder() const {
    return CollapsePath(sysdirs_.StartMenuProgramsDir() + kSep + config_.company + kSep +
                        config_.softname);
}

std::string SystemErrorText(unsigned long code) {
    if (code == 0) return std::string();
    const std::string text = platform::SystemErrorText(code);
    return text.empty() ? "Unknown Error (" + std::to_string(code) + ")" : text;
}

platform::Error InputOutputError(unsigned long code) {
    return platform::Error("I/O error " + std::to_string(code));
}

std::string ExtractionFailureText(int32_t code, const std::string& archive_name) {
    return std::string(unzip::ResultText(code)) + ": " + archive_name;
}

} // namespace app
