// The installation run of the finish button: folder, archives, setup copies, shortcuts,
// record, and the removal of the package folder. It runs on the window thread; the view's
// message pump after every step and every engine report keeps the window painting.
#include "app/installer.h"

#include <string>

#include "app/package_files.h"
#include "app/paths.h"
#include "platform/error.h"
#include "platform/file_copy.h"
#include "platform/folders.h"
#include "services/file_utils.h"
#include "services/shell_shortcut.h"
#include "unzip/result.h"

namespace app {
namespace {

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && path.back() == platform::kPathSeparator;
}

bool PathExists(const std::string& path) {
    return platform::FileExists(path) || platform::IsFolder(path);
}

} // namespace

void Installer::RunInstallation(const IconChoice& icons) {
    try {
        state_.ChooseIcons(icons);
        Run();
    } catch (const platform::Error& error) {
        // The rest of the run is skipped; the window stays on the progress panel.
        view_.ShowErrorReport(error.what());
    }
}

void Installer::Run() {
    view_.ShowProgressPanel();
    created_.clear();
    ShowProgress(0, Msg(kMsgCreatingFolder));
    const std::string home = CollapsePath(state_.Folder());
    CreateFolderLevels(home, config_.regdir);
    ShowProgress(10, Msg(kMsgPrepareCopy));
    ShowProgress(20, Msg(kMsgCopyingFiles));
    ShowProgress(30, Msg(kMsgCopyingFiles));
    if (!ExtractPackageArchive(kArchiveName, home)) return;
    ShowProgress(50, Msg(kMsgCopyingFiles));
    // The copy takes setup.exe of the package, whatever name the running program has.
    CopySetupFile(kSetupProgramName, home);
    CopySetupFile(kSettingsName, home);
    if (platform::FileExists(InStartupFolder(kSecondArchiveName))) {
        ShowProgress(60, "");
        if (!ExtractPackageArchive(kSecondArchiveName, home)) return;
        ShowProgress(70, "");
    }
    ShowProgress(80, Msg(kMsgCreatingGroup));
    CreateGroupShortcuts(home);
    ShowProgress(90, Msg(kMsgWritingRegistry));
    if (state_.Icons().desktop) {
        ShowProgress(95, Msg(kMsgCreateDesktopLink));
        CreateMainShortcut(home, sysdirs_.DeskTopDir());
    }
    if (state_.Icons().start_menu) {
        ShowProgress(100, Msg(kMsgCreateStartLink));
        CreateMainShortcut(home, sysdirs_.StartMenuDir());
    }
    for (ProgressBar bar : {ProgressBar::kMember, ProgressBar::kRun, ProgressBar::kRunVertical})
        view_.SetBarPosition(bar, 100);
    view_.SetLabelText(StatusLabel::kHeading, Msg(kMsgInstallationFinished));

    if (!shell_.ChangeCurrentFolder(home)) throw InputOutputError(platform::LastErrorCode());
    // Completed: what is left of the package goes below, not at shutdown.
    state_.EndRun();
    CompletedRecord(state_, config_, record_base_key_).WriteRecord();
    view_.ShowMessageDialog(DialogKind::Information, Msg(kMsgCompleted));
    const std::string readme = CollapsePath(home + kSep + kReadmeName);
    if (platform::FileExists(readme)) shell_.OpenDocument(readme);
    RemoveFolderAndSelf(CollapsePath(program_folder_), FolderRemoval::PackageFiles);
    view_.Close();
}

void Installer::ShowProgress(int position, const std::string& text) {
    view_.SetBarPosition(ProgressBar::kRun, position);
    view_.SetBarPosition(ProgressBar::kRunVertical, position);
    view_.SetLabelText(StatusLabel::kStep, text);
    view_.ProcessMessages();
}

void Installer::NoteNewPath(const std::string& path, bool folder) {
    created_.push_back({path, folder});
}

void Installer::CreateFolderLevels(const std::string& path, const std::string& anchor) {
    auto create = [this](const std::string& level, bool whole_chain) {
        const bool made =
            whole_chain ? services::CreateFolderChain(level) : services::CreateFolder(level);
        const unsigned long code = made ? 0 : platform::LastErrorCode();
        if (made || code == platform::kErrorAlreadyExists) {
            if (made && !whole_chain) NoteNewPath(level, true);
            return true;
        }
        view_.ShowMessageBox({BoxOwner::None, SystemErrorText(code) + ":" + std::to_string(code),
                              "Error", kIconError | kButtonsOk});
        return false;
    };

    if (anchor.empty()) {
        if (!create(path, true)) view_.Close();
        return;
    }
    // The levels before the anchor (the parent picked on the folder page, the Start menu's
    // programs folder) are taken to exist; a failed level does not stop the walk.
    size_t start = path.find(anchor);
    if (start == std::string::npos) start = 0;
    for (size_t i = start; i < path.size(); ++i) {
        if (path[i] == platform::kPathSeparator)
            create(path.substr(0, i), false);
        else if (i + 1 == path.size())
            create(path, false);
    }
}

int32_t Installer::ExtractArchive(const std::string& archive, const std::string& target) {
    extraction_failure_ = 0;
    folders_noted_ = 0;
    new_folders_.clear();
    member_files_.clear();
    new_member_file_ = false;
    const int32_t result = engine_.ExtractMatching(
        archive, target, "*.*",
        [this](int32_t code, unzip::ReportRecord& record) { ExtractionCallback(code, record); });
    NoteEngineFolders();
    return result;
}

void Installer::ExtractionCallback(int32_t code, unzip::ReportRecord& record) {
    const std::string name = record.name.substr(0, record.name.find('\0'));
    if (record.status == unzip::StatusProgress) {
        view_.SetLabelText(StatusLabel::kMemberName, name);
        const int64_t size = engine_.member_compressed_size();
        if (size != 0)
            view_.SetBarPosition(
                ProgressBar::kMember,
                static_cast<int>(engine_.member_bytes_read() * int64_t{100} / size));
    }
    if (code == unzip::StatusMemberStart) new_member_file_ = IsNewMemberFile(name);
    const bool failed =
        record.status == unzip::StatusMemberFailed || record.status == unzip::StatusSerious;
    if (code == unzip::StatusMemberDone || failed) {
        NoteEngineFolders();
        // A failed member leaves no file: the engine puts one in place only when it is good.
        if (code == unzip::StatusMemberDone && new_member_file_) NoteNewPath(name, false);
        new_member_file_ = false;
    }
    if (failed && extraction_failure_ == 0) extraction_failure_ = code;
    view_.ProcessMessages();
}

// Whether the member about to be extracted would be a new file. In a folder this run made only
// this extraction can have put one: a member stored twice, or one name in two spellings, is
// noted once. Elsewhere the disk says; a file that was there is the user's and stays.
bool Installer::IsNewMemberFile(const std::string& name) {
    if (EndsWithSeparator(name)) return false; // folders come from the engine's list
    const size_t cut = name.rfind(platform::kPathSeparator);
    if (cut != std::string::npos && new_folders_.count(name.substr(0, cut)))
        return member_files_.insert(name).second;
    return !PathExists(name);
}

// The folders the engine made so far, in the order it made them, before the file of the member
// that needed them, so that taking back (newest first) empties each folder before its turn.
void Installer::NoteEngineFolders() {
    const std::vector<std::string>& made = engine_.created_folders();
    for (; folders_noted_ < made.size(); ++folders_noted_) {
        NoteNewPath(made[folders_noted_], true);
        new_folders_.insert(made[folders_noted_]);
    }
}

bool Installer::ExtractPackageArchive(const std::string& name, const std::string& target) {
    const int32_t result = ExtractArchive(InStartupFolder(name), target);
    const int32_t failure =
        extraction_failure_ != 0 ? extraction_failure_ : (result < 0 ? result : 0);
    if (failure == 0) return true;
    view_.ShowMessageBox({BoxOwner::Application, ExtractionFailureText(failure, name),
                          BoxCaption(config_), kIconError | kButtonsOk});
    TakeBackRun();
    // The package stays where it is, so the user can try again; no record is written.
    state_.EndRun();
    view_.Close();
    return false;
}

void Installer::TakeBackRun() {
    // Newest first, so each folder is empty by the time its turn comes. Folders that were
    // there before the run are not in the list and stay, whatever they hold. What cannot be
    // removed stays: the failure being taken back is what the user is told about.
    for (auto entry = created_.rbegin(); entry != created_.rend(); ++entry) {
        if (entry->folder)
            (void)services::RemoveFolder(WithoutTrailingSeparator(entry->path));
        else
            (void)platform::EraseFile(entry->path);
    }
    created_.clear();
}

void Installer::CopySetupFile(const std::string& name, const std::string& target_folder) {
    const std::string target = CollapsePath(target_folder + kSep + name);
    const bool existed = PathExists(target);
    if (platform::CopyFileOver(InStartupFolder(name), target) && !existed)
        NoteNewPath(target, false);
}

void Installer::CreateGroupShortcuts(const std::string& home) {
    const std::string list = InStartupFolder(kShortcutListName);
    if (!platform::FileExists(list)) return;
    std::vector<std::string> lines;
    if (ReadTextLines(list, lines) != platform::FileRead::kOk)
        throw InputOutputError(platform::LastErrorCode());
    const std::string group = GroupFolder();
    for (const std::string& line : lines) {
        const ShortcutLine fields = ParseShortcutLine(line);
        CreateFolderLevels(
            CollapsePath(group + kSep + fields.subfolder),
            CollapsePath(config_.company + kSep + config_.softname + kSep + fields.subfolder));
        // The subfolder is appended as it stands: one without its leading "\" names a folder
        // beside the group's, which the levels above did not make.
        const std::string folder = CollapsePath(group + fields.subfolder);
        services::CreateLink(CollapsePath(home + kSep + fields.target), fields.name, folder);
    }
}

void Installer::CreateMainShortcut(const std::string& home, const std::string& folder) {
    services::CreateLink(CollapsePath(home + kSep + config_.progname), config_.softname,
                         CollapsePath(folder));
}

} // namespace app
