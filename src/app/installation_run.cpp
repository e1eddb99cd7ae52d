#include "app/installation_run.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/change_plan.h"
#include "app/manifest_proof.h"
#include "app/name_rules.h"
#include "app/package_files.h"
#include "app/package_removal.h"
#include "app/paths.h"
#include "platform/error.h"
#include "platform/file_copy.h"
#include "platform/file_io.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "services/shell_shortcut.h"
#include "unzip/result.h"

namespace app {
namespace {

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && path.back() == platform::kPathSeparator;
}

} // namespace

void InstallationRun::Execute() {
    const std::string& home = plan_.home;
    context_.view.ShowProgressPanel();
    journal_ = Journal();
    run_files_.clear();
    skipped_shortcuts_.clear();
    ShowProgress(0, context_.Msg(kMsgCreatingFolder));
    // Every change is decided and on disk before the first is made: a run cut off at any
    // moment is taken back by the next start.
    pending_ = PlanChanges(context_, engine_, state_, plan_);
    if (!WritePendingRun(pending_path_, pending_))
        throw context_.Failure(kMsgCannotWriteJournal, pending_path_, platform::LastErrorCode());
    pending_written_ = true;
    CreateFolderLevels(home);
    SetAsideWhatIsInTheWay();
    ShowProgress(10, context_.Msg(kMsgPrepareCopy));
    ShowProgress(20, context_.Msg(kMsgCopyingFiles));
    ShowProgress(30, context_.Msg(kMsgCopyingFiles));
    ExtractPackageArchive(kArchiveName, home);
    ShowProgress(50, context_.Msg(kMsgCopyingFiles));
    // The copy takes setup.exe of the package, whatever name the running program has.
    CopySetupFile(kSetupProgramName, home);
    CopySetupFile(kSettingsName, home);
    if (platform::FileExists(context_.InPackageFolder(kSecondArchiveName))) {
        ShowProgress(60, "");
        ExtractPackageArchive(kSecondArchiveName, home);
        ShowProgress(70, "");
    }
    ShowProgress(80, context_.Msg(kMsgCreatingGroup));
    if (state_.GroupShortcutsAllowed()) CreateGroupShortcuts(home);
    ShowProgress(90, context_.Msg(kMsgWritingRegistry));
    const IconChoice shortcuts = state_.ShortcutsToMake();
    if (shortcuts.desktop) {
        ShowProgress(95, context_.Msg(kMsgCreateDesktopLink));
        CreateMainShortcut(home, context_.DesktopDir());
    }
    if (shortcuts.start_menu) {
        ShowProgress(100, context_.Msg(kMsgCreateStartLink));
        CreateMainShortcut(home, context_.StartMenuDir());
    }
    if (!context_.shell.ChangeCurrentFolder(home))
        throw context_.Failure(kMsgCannotChangeFolder, home);
    working_in_home_ = true;
    RetireEarlierInstallation();
    WriteManifestAndRecord(home);

    // From here on the run is complete: a start after a cut-off only removes what was set aside.
    pending_.phase = PendingRun::Phase::kCommitted;
    if (!WritePendingRun(pending_path_, pending_))
        log_.Line("the completed run could not be noted in " + pending_path_ +
                  "; what it set aside goes now");
    journal_.Commit();
    if (!platform::EraseFile(pending_path_))
        log_.Line("the pending run stays for the next start: " + pending_path_);
}

// The files and shortcuts in the way of the run's own are moved aside before anything is
// written, each to the name the pending run gives it; the journal puts them back on failure.
void InstallationRun::SetAsideWhatIsInTheWay() {
    for (const PendingRun::Change& change : pending_.changes) {
        if (change.what != PendingRun::Change::What::kReplace) continue;
        if (!journal_.SetAside(change.path, change.kind, change.backup))
            throw context_.Failure(kMsgCannotCopy, change.path, platform::LastErrorCode());
        run_files_.insert(change.path);
        log_.Line("replacing: " + change.path +
                  " (the earlier file is kept until the run completes)");
    }
}

// What follows the commit: what was set aside goes, the user is told, what is left of the
// package goes.
void InstallationRun::Finish() {
    const std::string& home = plan_.home;
    for (auto entry = carried_.rbegin(); entry != carried_.rend(); ++entry)
        if (entry->kind == Journal::Kind::Folder)
            (void)platform::RemoveEmptyFolder(WithoutTrailingSeparator(entry->path)); // if empty
    log_.Line("installation completed");
    for (ProgressBar bar : {ProgressBar::kMember, ProgressBar::kRun, ProgressBar::kRunVertical})
        context_.view.SetBarPosition(bar, 100);
    context_.view.SetLabelText(StatusLabel::kHeading, context_.Msg(kMsgInstallationFinished));
    if (!skipped_shortcuts_.empty()) {
        std::string text = context_.Msg(kMsgShortcutSkipped);
        for (const std::string& line : skipped_shortcuts_) text += "\r" + line;
        context_.view.ShowMessageBox({BoxOwner::Application, text, BoxCaption(context_.config),
                                      kIconExclamation | kButtonsOk});
    }
    context_.view.ShowMessageDialog(DialogKind::Information, context_.Msg(kMsgCompleted));
    const std::string readme = CollapsePath(home + kSep + kReadmeName);
    if (!Unattended(context_.options) && platform::FileExists(readme))
        context_.shell.OpenDocument(readme);
    RemoveFolderAndSelf(context_, {CollapsePath(context_.package_folder)});
    context_.view.Close();
}

void InstallationRun::ShowProgress(int position, const std::string& text) {
    context_.view.SetBarPosition(ProgressBar::kRun, position);
    context_.view.SetBarPosition(ProgressBar::kRunVertical, position);
    context_.view.SetLabelText(StatusLabel::kStep, text);
    context_.view.ProcessMessages();
}

// Every missing level of the path, outermost first, each noted as it is made, so a failure
// takes back exactly the folders this run made.
void InstallationRun::CreateFolderLevels(const std::string& path) {
    // A network path's server and share are not folders to make.
    const size_t root = NetworkRootLength(path);
    for (size_t i = root != 0 ? root + 1 : 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != platform::kPathSeparator) continue;
        const std::string level = path.substr(0, i);
        if (level.back() == ':' || level.back() == platform::kPathSeparator ||
            platform::IsFolder(level))
            continue; // a drive, a doubled separator, or a folder that is there
        if (!platform::MakeFolder(level))
            throw context_.Failure(kMsgCannotMakeFolder, level, platform::LastErrorCode());
        journal_.NoteFolder(level);
        log_.Line("folder created: " + level);
    }
}

int32_t InstallationRun::ExtractArchive(const std::string& archive, const std::string& target) {
    extraction_failure_ = 0;
    folders_noted_ = 0;
    new_member_file_ = false;
    // What was in the way is aside already: every file the engine writes is the run's own.
    const int32_t result = engine_.ExtractMatching(
        archive, target, "*.*",
        [this](int32_t code, unzip::ReportRecord& record) { ExtractionCallback(code, record); });
    NoteEngineFolders();
    return result;
}

void InstallationRun::ExtractionCallback(int32_t code, unzip::ReportRecord& record) {
    const std::string name = record.name.substr(0, record.name.find('\0'));
    if (record.status == unzip::StatusProgress) {
        context_.view.SetLabelText(StatusLabel::kMemberName, name);
        const int64_t size = engine_.member_compressed_size();
        if (size != 0)
            context_.view.SetBarPosition(
                ProgressBar::kMember,
                static_cast<int>(engine_.member_bytes_read() * int64_t{100} / size));
    }
    // A file is new unless the run wrote it, or set aside what was there, before.
    if (code == unzip::StatusMemberStart)
        new_member_file_ = !EndsWithSeparator(name) && !run_files_.count(name);
    const bool failed =
        record.status == unzip::StatusMemberFailed || record.status == unzip::StatusSerious;
    if (code == unzip::StatusMemberDone || failed) {
        NoteEngineFolders();
        // A failed member leaves no file: the engine puts one in place only when it is good.
        if (code == unzip::StatusMemberDone && new_member_file_) {
            journal_.NoteFile(name);
            run_files_.insert(name);
        }
        if (code == unzip::StatusMemberDone && !EndsWithSeparator(name))
            log_.Line("file: " + name + " (" + std::to_string(record.size) + " bytes)");
        new_member_file_ = false;
    }
    if (failed && extraction_failure_ == 0) extraction_failure_ = code;
    context_.view.ProcessMessages();
}

// The folders the engine made so far, in the order it made them, before the file of the member
// that needed them, so that taking back (newest first) empties each folder before its turn.
void InstallationRun::NoteEngineFolders() {
    const std::vector<std::string>& made = engine_.created_folders();
    for (; folders_noted_ < made.size(); ++folders_noted_) {
        journal_.NoteFolder(made[folders_noted_]);
        log_.Line("folder created: " + made[folders_noted_]);
    }
}

void InstallationRun::ExtractPackageArchive(const std::string& name, const std::string& target) {
    const int32_t result = ExtractArchive(context_.InPackageFolder(name), target);
    const int32_t failure =
        extraction_failure_ != 0 ? extraction_failure_ : (result < 0 ? result : 0);
    if (failure != 0) throw platform::Error(ExtractionFailureText(failure, name));
}

// A failed step ends here: everything the run changed is taken back, newest first, the user
// is told what failed and what could not be restored, no record is written, and the package
// stays where it is for another try.
void InstallationRun::TakeBack(const std::string& failure) {
    log_.Line("run failed: " + failure);
    // The new folder as the working folder would keep it from being taken back.
    if (working_in_home_)
        (void)context_.shell.ChangeCurrentFolder(context_.startup_folder); // best effort
    working_in_home_ = false;
    const size_t changes = journal_.Entries().size();
    const std::vector<std::string> left = journal_.Rollback();
    log_.Line("taken back: " + std::to_string(changes) + " changes, newest first");
    // What could not be restored, the next start tries again; else nothing is pending.
    if (pending_written_ && left.empty() && !platform::EraseFile(pending_path_))
        log_.Line("the pending run stays for the next start: " + pending_path_);
    for (const std::string& path : left) log_.Line("not restored: " + path);
    std::string text =
        context_.Msg(kMsgRunFailed) + "\r" + failure + "\r\r" + context_.Msg(kMsgRolledBack);
    if (!left.empty()) {
        text += "\r" + context_.Msg(kMsgNotRestored);
        for (const std::string& path : left) text += "\r" + path;
    }
    context_.ShowErrorBox(text);
    context_.view.Close();
}

// Copies a file of the package into the installation: a file that is there is set aside first,
// and a copy cut short (a full drive) is removed, never left as the installed file.
void InstallationRun::CopySetupFile(const std::string& name, const std::string& target_folder) {
    const std::string target = CollapsePath(target_folder + kSep + name);
    const std::string source = context_.InPackageFolder(name);
    NoteNewFile(target, Journal::Kind::File, kMsgCannotCopy);
    const auto size = platform::FileSizeOf(source);
    if (!platform::CopyFileOver(source, target) || size != platform::FileSizeOf(target))
        throw context_.Failure(kMsgCannotCopy, target, platform::LastErrorCode());
    log_.Line("copied: " + target + " (" + std::to_string(size.value_or(0)) + " bytes)");
}

void InstallationRun::CreateGroupShortcuts(const std::string& home) {
    const std::string list = context_.InPackageFolder(kShortcutListName);
    if (!platform::FileExists(list)) return;
    std::vector<std::string> lines;
    if (ReadTextLines(list, lines) != platform::FileRead::kOk)
        throw context_.Failure(kMsgCannotRead, kShortcutListName);
    const std::string group = context_.GroupFolder();
    for (const std::string& line : lines) {
        if (IsBlankLine(line)) continue;
        const ShortcutLine fields = ParseShortcutLine(line);
        if (const NameProblem problem = CheckShortcutLine(fields)) {
            skipped_shortcuts_.push_back(line + " (" + Describe(problem, context_.messages) + ")");
            continue;
        }
        const std::string folder = CollapsePath(group + kSep + LevelsOnDisk(fields.subfolder));
        CreateFolderLevels(folder);
        CreateShortcut(CollapsePath(home + kSep + LevelsOnDisk(fields.target)), fields.name,
                       folder);
    }
}

void InstallationRun::CreateMainShortcut(const std::string& home, const std::string& folder) {
    CreateShortcut(CollapsePath(home + kSep + context_.config.progname), context_.config.softname,
                   CollapsePath(folder));
}

void InstallationRun::CreateShortcut(const std::string& target, const std::string& name,
                                     const std::string& folder) {
    const std::string file = services::ShortcutFilePath(name, folder);
    NoteNewFile(file, Journal::Kind::Shortcut, kMsgCannotMakeShortcut);
    if (!services::CreateLink(target, name, folder))
        throw context_.Failure(kMsgCannotMakeShortcut, file);
    log_.Line("shortcut: " + file + " -> " + target);
}

// The manifest beside the installed program, then the record that names it and the product's
// entry in the list of installed programs: the last changes of the run, so that a record always
// leads to a complete manifest.
void InstallationRun::WriteManifestAndRecord(const std::string& home) {
    const std::string manifest = CollapsePath(home + kSep + kManifestName);
    NoteNewFile(manifest, Journal::Kind::File, kMsgCannotCopy);
    // The earlier installation's folders and leftovers first: the uninstall works newest first.
    std::vector<Journal::Entry> listed = carried_;
    listed.insert(listed.end(), journal_.Entries().begin(), journal_.Entries().end());
    const std::string text = Journal::ManifestTextOf(listed);
    if (!platform::ReplaceWholeFile(manifest, text))
        throw context_.Failure(kMsgCannotCopy, manifest, platform::LastErrorCode());
    InstallRecord record = CompletedRecord(state_, context_.config, context_.RecordKey());
    record.manifest = manifest;
    record.manifest_digest = ManifestDigest(text);
    log_.Line("manifest: " + manifest);
    const AppsEntry entry = context_.AppsEntryOf(record, plan_.installed_bytes);
    const bool listed_before =
        platform::RegistryKey().Open(platform::RegistryRoot::CurrentUser, entry.KeyPath());
    std::string failed = record.KeyPath();
    if (record.WriteRecord()) {
        log_.Line("record: " + record.KeyPath() + " AppDir=" + record.folder +
                  " Ver=" + record.version + " Rel=" + record.release);
        failed = entry.KeyPath();
        if (entry.Write()) {
            log_.Line("Apps list: " + entry.KeyPath() + " " + entry.display_name);
            return;
        }
    }
    // What was written is taken back: the earlier installation's record and entry as they
    // were, or none. As far as it goes: the run is failing already, and the failure being
    // reported is the first one; what could not be restored is logged.
    record.DeleteRecord();
    if (!entry.Remove()) log_.Line("not restored: " + entry.KeyPath());
    if (context_.previous_found) {
        InstallRecord before = context_.previous;
        if (!before.WriteRecord()) log_.Line("not restored: " + before.KeyPath());
        if (listed_before && !context_.AppsEntryOf(before, 0).Write())
            log_.Line("not restored: " + entry.KeyPath());
    }
    throw context_.Failure(kMsgCannotWriteRecord, failed);
}

// What the earlier installation made that this one does not make again goes: its files and
// shortcuts are moved aside by the journal (back if the run fails), its folders pass into the
// new manifest and go once empty. One record, one manifest and one list entry are left.
void InstallationRun::RetireEarlierInstallation() {
    carried_.clear();
    for (const PendingRun::Change& change : pending_.changes) {
        using What = PendingRun::Change::What;
        if (change.what == What::kCarry) {
            carried_.push_back({Journal::Kind::Folder, change.path, {}});
        } else if (change.what == What::kRetire) {
            if (journal_.SetAsideForRemoval(change.path, change.kind, change.backup))
                log_.Line("earlier version's file removed: " + change.path);
            else
                carried_.push_back({change.kind, change.path, {}});
        }
    }
}

// A file the run writes where the plan found none, unless the run wrote it or set aside
// what was there already; one that appeared since the plan is not the run's to replace.
void InstallationRun::NoteNewFile(const std::string& path, Journal::Kind kind, MessageId failure) {
    if (run_files_.count(path)) return;
    if (platform::FileExists(path)) throw context_.Failure(failure, path);
    if (kind == Journal::Kind::Shortcut)
        journal_.NoteShortcut(path);
    else
        journal_.NoteFile(path);
    run_files_.insert(path);
}

} // namespace app
