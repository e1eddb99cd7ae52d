#include "app/installer.h"

#include "app/name_rules.h"
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

// Looked up when first needed, not at start-up: the system's folder list loads the shell, which
// would delay the first page for a wizard that may never install.
const ProtectedFolders& Installer::Protected() {
    if (!protected_) protected_ = SystemProtectedFolders(sysdirs_);
    return *protected_;
}

StartupResult Installer::Start(const ProgramPlace& place) {
    StartupResult result;
    startup_folder_ = place.startup_folder;
    program_file_ = place.program_file;
    storage_.SetIniFileName(CollapsePath(startup_folder_ + kSep + kSettingsName));
    if (!ReadConfiguration()) {
        result.exit_code = exit_code_;
        return result;
    }
    result.title = TitleText(config_);
    result.tags = TagsFor(config_);
    previous_.base_key = record_base_key_;
    previous_.product_key = config_.progreg;
    state_.ChooseFolder(config_.regdir);

    // The archive beside the settings decides the mode: a package folder installs, an
    // installed copy (which has no archive) uninstalls.
    install_mode_ = platform::FileExists(InStartupFolder(kArchiveName));
    if (install_mode_) {
        result.page = kPagePortal;
        program_folder_ = services::FolderPartOf(program_file_);
    }
    state_.Open(result.page);

    if (!mutex_.Create(config_.idn)) {
        view_.ShowMessageBox({BoxOwner::None, Msg(kMsgAlreadyRunning), BoxCaption(config_),
                              kIconError | kButtonsOk});
        mutex_.Close();
        result.exit_code = kSecondInstanceExitCode;
        return result;
    }

    // An earlier installation's record only lends its folder until the folder page speaks.
    previous_found_ = previous_.ReadRecord();
    if (previous_found_) state_.ChooseFolder(previous_.folder);

    result.licence_lines = LicenceLines(program_folder_, messages_);
    result.folder_choices = FolderChoices(sysdirs_, config_.regdir, messages_);
    return result;
}

// A settings file that lacks a value, or whose names would not stay single folder names, ends
// the program before anything is written; the package stays as it is, to be mended.
bool Installer::ReadConfiguration() {
    config_ = ReadNamedValues(storage_);
    std::string text;
    if (!HasRequiredValues(config_)) {
        text = Msg(kMsgMissingConfiguration) + Msg(kMsgMissingConfigurationEnd);
    } else {
        for (const auto& [key, value] :
             {std::pair{"softname", &config_.softname}, std::pair{"company", &config_.company},
              std::pair{"regdir", &config_.regdir}}) {
            const std::string problem = FolderNameProblem(*value);
            if (!problem.empty()) {
                text = Msg(kMsgBadFolderName) + "\r" + key + "=" + *value + " (" + problem + ")";
                break;
            }
        }
    }
    if (text.empty()) return true;
    view_.ShowMessageDialog(DialogKind::Error, text);
    exit_code_ = kExitConfiguration;
    return false;
}

void Installer::SaveNamedValues(services::FormStorage& storage) const {
    WriteNamedValues(storage, config_);
}

std::vector<std::string> Installer::Summary() const {
    return SummaryLines(state_.Folder(), state_.Icons(), messages_);
}

// The folder choice's entries may be replaced without an event (setup.ini's stored texts), so
// each handler that leads on takes the controls as they stand.
void Installer::TakeChoice(const WizardChoice& choice) {
    state_.ChooseFolder(choice.directory);
    state_.ChooseIcons(choice.icons);
}

std::vector<std::string> Installer::ChooseIcons(const WizardChoice& choice) {
    TakeChoice(choice);
    return Summary();
}

std::vector<std::string> Installer::MovePage(const WizardChoice& choice, int page) {
    TakeChoice(choice);
    state_.MoveTo(page);
    return Summary();
}

void Installer::CancelWizard() {
    view_.ShowMessageDialog(DialogKind::Information, Msg(kMsgCancelled));
    state_.Abandon();
    exit_code_ = kExitCancelled;
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
