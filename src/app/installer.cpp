#include "app/installer.h"

#include "app/folder_probe.h"
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
    package_folder_ = PackageFolderOf(place);
    storage_.SetIniFileName(InPackageFolder(kSettingsName));
    log_->Line("program: " + program_file_ + " in " + startup_folder_);
    if (!SamePath(package_folder_, CollapsePath(startup_folder_ + kSep)))
        log_->Line("settings: " + InPackageFolder(kSettingsName));
    const bool configured = ReadConfiguration();
    previous_.base_key = record_base_key_;
    previous_.product_key = config_.progreg;
    OpenLog();
    if (!configured) {
        result.exit_code = exit_code_;
        return result;
    }
    messages_.NameProduct(config_.softname);
    result.title = TitleText(config_);
    result.product = config_.softname;
    result.tags = TagsFor(config_);
    state_.ChooseFolder(names_.regdir);

    // The archive beside the settings decides the mode: a package folder installs, an
    // installed copy (which has no archive) uninstalls.
    install_mode_ = platform::FileExists(InPackageFolder(kArchiveName));
    if (install_mode_) result.page = kPagePortal;
    log_->Line(install_mode_ ? "mode: install" : "mode: uninstall");
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
    result.licence_lines = LicenceLines(package_folder_, messages_);
    result.folder_choices = FolderChoices(sysdirs_, names_.regdir, messages_);
    if (previous_found_)
        log_->Line("installed: version " + previous_.version + "." + previous_.release + " in " +
                   previous_.folder);
    // The folder offered first: the administrator's, else the earlier installation's, else
    // Program Files; without administrator rights Program Files takes no files, and the user's
    // own programs folder comes first instead (asked only when it would be offered).
    const std::optional<std::string> first = options_.folder ? options_.folder
                                             : previous_found_
                                                 ? std::optional<std::string>(previous_.folder)
                                                 : std::nullopt;
    if (first) {
        state_.ChooseFolder(*first);
        result.folder_choices[0] = *first;
    } else if (install_mode_ && !sysdirs_.UserProgramsDir().empty() &&
               !writable_(NearestExistingFolder(result.folder_choices[0]))) {
        result.folder_choices[0] = CollapsePath(sysdirs_.UserProgramsDir() + kSep + names_.regdir);
        log_->Line("Program Files takes no files from this user: offering " +
                   result.folder_choices[0]);
    }
    return result;
}

// A settings file that lacks a value, or whose names would not stay single folder names, ends
// the program before anything is written; the package stays as it is, to be mended.
bool Installer::ReadConfiguration() {
    messages_.ReadOwnTexts(storage_);
    config_ = ReadNamedValues(storage_);
    names_ = FolderNamesOf(config_);
    for (const std::string& value : NamedValueTexts(config_)) log_->Line("setup.ini: " + value);
    std::string text;
    if (!HasRequiredValues(config_)) {
        text = Msg(kMsgMissingConfiguration) + Msg(kMsgMissingConfigurationEnd);
    } else if (const auto problems = NamedValueProblems(config_); !problems.empty()) {
        const NamedValueProblem& first = problems.front();
        text = Msg(kMsgBadFolderName) + "\r" + first.key + "=" + first.value + " (" +
               Describe(first.problem, messages_) + ")";
    }
    if (text.empty()) return true;
    view_.ShowMessageDialog(DialogKind::Error, text);
    exit_code_ = kExitConfiguration;
    return false;
}

// Named after the product, or after the program when setup.ini gives no name.
void Installer::OpenLog() {
    if (log_ == &own_log_ || log_->IsOpen()) return;
    if (options_.log_file) {
        const std::string refusal = LogRefusal(*options_.log_file);
        if (refusal.empty() && log_->OpenAt(*options_.log_file)) return;
        log_->Line("the log is not written to " + *options_.log_file + " (" +
                   (refusal.empty() ? "it cannot be written" : refusal) +
                   "); it goes here instead");
    }
    OpenDefaultLog();
}

// The log never goes into a file that the installation writes or manages: a file of the
// package, an installation's manifest, the self-removal batch, or anything in the recorded
// installation's folder (the uninstall removes it, an upgrade may replace it).
std::string Installer::LogRefusal(const std::string& path) const {
    const std::string refusal = PackageLogRefusal(path, package_folder_, program_file_);
    if (!refusal.empty()) return refusal;
    if (SamePath(path, BatchFilePath())) return "the self-removal batch";
    InstallRecord recorded = previous_;
    if (!config_.progreg.empty() && recorded.ReadRecord() && !recorded.folder.empty() &&
        (PathWithin(path, recorded.folder) || SamePath(path, recorded.folder)))
        return "in the installation's folder";
    return std::string();
}

// A log that lies in the folder the run installs into moves to the temporary folder.
void Installer::KeepLogOutOf(const std::string& folder) {
    if (!log_->IsOpen() || !PathWithin(log_->Path(), folder)) return;
    const std::string was = log_->Path();
    log_->Line("the log " + was + " lies in the installation's folder; it goes on elsewhere");
    OpenDefaultLog();
    log_->Line("the log goes on from " + was);
}

void Installer::OpenDefaultLog() {
    const std::string name = config_.softname.empty() || CheckName(config_.softname)
                                 ? ReplaceExtension(FileNameOf(program_file_), "")
                                 : names_.product;
    (void)log_->OpenNew(sysdirs_.TempDir(), name); // no log is no reason to stop
}

Installer::ComposedTexts Installer::TakeMessages(std::vector<std::string> lines) {
    messages_.Replace(std::move(lines));
    ComposedTexts texts;
    texts.other_folder = FolderChoices(sysdirs_, names_.regdir, messages_)[kChoiceOther];
    if (!HasLicenceFile(package_folder_))
        texts.licence_lines = LicenceLines(package_folder_, messages_);
    return texts;
}

void Installer::SaveNamedValues(services::FormStorage& storage) const {
    WriteNamedValues(storage, config_);
}

std::vector<std::string> Installer::Summary() const {
    std::vector<std::string> lines = SummaryLines(state_.Folder(), state_.Icons(), messages_);
    // An upgrade or a reinstall says which version it replaces, after the folder's line.
    if (previous_found_ && lines.size() > 2)
        lines.insert(lines.begin() + 2, Msg(kMsgInstalledVersion) + " " + previous_.version + "." +
                                            previous_.release + " " + Msg(kMsgReplacedByVersion) +
                                            " " + PackageVersion());
    return lines;
}

bool Installer::UsableFolderPath(const std::string& folder) {
    const NameProblem problem = CheckFolderPath(folder);
    if (!problem) return true;
    view_.ShowMessageBox(
        {BoxOwner::Application,
         Msg(kMsgBadTargetPath) + "\r" + folder + " (" + Describe(problem, messages_) + ")",
         BoxCaption(config_), kIconError | kButtonsOk});
    return false;
}

std::string Installer::PackageVersion() const {
    return std::to_string(config_.sversion) + "." + config_.srelease;
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
    // A typed folder is checked when the user goes on from its page; going back is free.
    if (state_.Page() == kPageDirectory && page > kPageDirectory &&
        !UsableFolderPath(choice.directory))
        return Summary();
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

std::string Installer::InPackageFolder(const std::string& name) const {
    return CollapsePath(package_folder_ + kSep + name);
}

bool Installer::HoldsInstallation(const std::string& folder) const {
    return platform::FileExists(CollapsePath(folder + kSep + kManifestName)) ||
           (previous_found_ && SamePath(folder, CollapsePath(previous_.folder)));
}

std::string Installer::GroupFolder() const {
    return CollapsePath(sysdirs_.StartMenuProgramsDir() + kSep + names_.company + kSep +
                        names_.product);
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
