// The installation run of the finish button: the checks before anything is written, then
// folder, archives, setup copies, shortcuts, manifest and record, and the removal of the
// package folder. Every change goes into the journal first, so a failure at any step takes
// the run back and leaves the machine as it was. It runs on the window thread; the view's
// message pump after every step and every engine report keeps the window painting.
#include "app/installer.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "app/folder_probe.h"
#include "app/name_rules.h"
#include "app/package_files.h"
#include "app/paths.h"
#include "platform/error.h"
#include "platform/file_copy.h"
#include "platform/file_io.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "services/file_utils.h"
#include "services/path_text.h"
#include "services/sha256.h"
#include "services/shell_shortcut.h"
#include "unzip/result.h"

namespace app {
namespace {

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && path.back() == platform::kPathSeparator;
}

bool HoldsEntries(const std::string& folder) {
    for (const std::string& name :
         platform::FindEntries(folder, "*.*", platform::SearchFilter::AnyEntry))
        if (name != "." && name != "..") return true;
    return false;
}

std::string Megabytes(uint64_t bytes) {
    return std::to_string((bytes + (1 << 20) - 1) >> 20);
}

} // namespace

void Installer::RunInstallation(const IconChoice& icons) {
    if (running_) return; // a second click while the run works
    state_.ChooseIcons(icons);
    // The folder as Windows makes it, so the checks, the journal and the record see that path.
    const std::string home = CollapsePath(LevelsOnDisk(state_.Folder()));
    log_->Line("folder: " + home);
    log_->Line(options_.no_icons
                   ? "shortcuts: none (/NOICONS)"
                   : std::string("shortcuts: group") + (icons.desktop ? ", desktop" : "") +
                         (icons.start_menu ? ", Start menu" : ""));
    try {
        if (!TargetAccepted(home)) return; // told why; the wizard stays where it was
    } catch (const platform::Error& error) {
        view_.ShowErrorReport(error.what());
        return;
    }
    running_ = true;
    try {
        Run(home);
    } catch (const platform::Error& error) {
        TakeBackRun(error.what());
        running_ = false;
        return;
    }
    // Committed: nothing is taken back from here on. A later failure (the self-removal batch
    // cannot be written) is shown and logged, and the installation stays complete.
    try {
        FinishCompletedRun(home);
    } catch (const platform::Error& error) {
        log_->Line("after the completed installation: " + std::string(error.what()));
        view_.ShowErrorReport(error.what());
        view_.Close();
    }
    running_ = false;
}

// The checks before anything is written: a folder the installer may use, a package it can
// read, paths the system can still start a program from, a folder it can write to, room on
// its drive, and the user's word when the folder holds files already.
bool Installer::TargetAccepted(const std::string& home) {
    auto refuse = [this](const std::string& text) {
        view_.ShowMessageBox(
            {BoxOwner::Application, text, BoxCaption(config_), kIconError | kButtonsOk});
        return false;
    };
    if (!UsableFolderPath(home)) return false;
    KeepLogOutOf(home);
    if (WithoutTrailingSeparator(home).empty() || Protected().RefusesInstallInto(home))
        return refuse(Msg(kMsgProtectedTarget) + "\r" + home);

    if (!DowngradeAccepted()) return false;
    ReadEarlierManifest();

    PackageSize size;
    for (const std::string& archive : {kArchiveName, kSecondArchiveName}) {
        if (archive == kSecondArchiveName && !platform::FileExists(InPackageFolder(archive)))
            continue;
        const int32_t result = MeasureArchive(InPackageFolder(archive), size);
        if (result != unzip::ResultOk) {
            // A damaged package cannot be mended by choosing another folder: the run ends.
            TakeBackRun(ExtractionFailureText(result, archive));
            return false;
        }
    }
    for (const std::string& name : {kSetupProgramName, kSettingsName, kManifestName}) {
        size.bytes += platform::FileSizeOf(InPackageFolder(name)).value_or(0);
        if (name.size() > size.longest_name_units) size.longest_name_units = name.size();
    }
    installed_bytes_ = size.bytes;
    if (SystemLength(WithoutTrailingSeparator(home)) + 1 + size.longest_name_units > kLongestPath)
        return refuse(Msg(kMsgPathTooLong) + "\r" + home);

    // The system's own words say why: no such share, access denied, read-only media.
    if (const auto failure = WriteFailureAt(home))
        return refuse(Msg(kMsgNotWritable) + "\r" + home + "\r" + SystemErrorText(*failure));
    const auto free_bytes = platform::FreeBytesAt(NearestExistingFolder(home));
    if (free_bytes && *free_bytes < size.bytes)
        return refuse(Msg(kMsgNoSpace) + " " + Megabytes(size.bytes) + " / " +
                      Megabytes(*free_bytes) + "\r" + home);

    // A folder that holds another installation (a manifest that is not this record's) is not
    // installed over: that installation could no longer be removed, nor this one.
    const bool recorded_here = previous_found_ && SamePath(home, CollapsePath(previous_.folder));
    const bool own_manifest = recorded_here && (earlier_proof_ == ManifestProof::kProven ||
                                                earlier_proof_ == ManifestProof::kUnsealed);
    if (!own_manifest && platform::FileExists(CollapsePath(home + kSep + kManifestName)))
        return refuse(Msg(kMsgOtherInstallation) + "\r" + home);
    // The Apps list's entry under the product's name is written and removed only when it is
    // this product's own: another vendor's may share the name.
    const AppsEntry entry = AppsEntryOf(CompletedRecord(state_, config_, record_base_key_), 0);
    if (const std::optional<std::string> listed = entry.ListedUninstaller();
        listed && !SamePath(*listed, CollapsePath(home + kSep + kSetupProgramName)) &&
        !(previous_found_ &&
          SamePath(*listed, CollapsePath(previous_.folder + kSep + kSetupProgramName))))
        return refuse(Msg(kMsgForeignAppsEntry) + "\r" + entry.KeyPath() + "\r" + *listed);
    // The earlier installation's own folder holds its files: they are the upgrade's to replace.
    const bool in_place = own_manifest;
    if (!in_place && platform::IsFolder(home) && HoldsEntries(home)) {
        const std::string question =
            Msg(kMsgFolderNotEmpty) + "\r" + home + "\r" + Msg(kMsgReplaceQuestion);
        return view_.ShowMessageBox({BoxOwner::Application, question, BoxCaption(config_),
                                     kButtonsYesNo | kIconExclamation | kDefaultSecondButton}) ==
               kAnswerYes;
    }
    return true;
}

// A package older than the installed version asks first, No being the default; an unattended
// run refuses it unless its administrator allowed it.
bool Installer::DowngradeAccepted() {
    if (!previous_found_ || CompareVersions(std::to_string(config_.sversion), config_.srelease,
                                            previous_.version, previous_.release) >= 0)
        return true;
    const std::string versions =
        previous_.version + "." + previous_.release + " > " + PackageVersion();
    if (options_.quiet) {
        if (options_.allow_downgrade) return true;
        log_->Line("refused: " + Msg(kMsgNewerInstalled) + " " + versions);
        exit_code_ = kExitDowngradeRefused;
        return false;
    }
    return view_.ShowMessageBox(
               {BoxOwner::Application,
                Msg(kMsgNewerInstalled) + " " + versions + "\r" + Msg(kMsgDowngradeQuestion),
                BoxCaption(config_), kButtonsYesNo | kIconExclamation | kDefaultSecondButton}) ==
           kAnswerYes;
}

// Only a manifest proven to be this record's retires anything, and only where the uninstall
// would remove it.
void Installer::ReadEarlierManifest() {
    earlier_entries_.clear();
    earlier_proof_ = ManifestProof::kNone;
    if (!previous_found_) return;
    earlier_proof_ = ReadRecordedManifest(earlier_entries_);
    if (earlier_proof_ != ManifestProof::kProven ||
        Protected().RefusesRemoval(CollapsePath(previous_.folder))) {
        if (!earlier_entries_.empty())
            log_->Line("the earlier version's manifest is not proven its own: nothing is retired");
        earlier_entries_.clear();
    }
}

// What the earlier installation made that this one has not made again goes: its files and
// shortcuts are moved aside by the journal (back if the run fails), its folders pass into the
// new manifest and go once empty. One record, one manifest and one list entry are left.
void Installer::RetireEarlierInstallation() {
    carried_.clear();
    if (earlier_entries_.empty()) return;
    // The full paths the run made, grouped: an upgrade may list many thousands, too many to
    // resolve and compare every pair.
    const auto full = [](const std::string& path) {
        return WithoutTrailingSeparator(platform::FullPathOf(path).value_or(path));
    };
    std::unordered_map<std::string, std::vector<std::string>> made;
    for (const Journal::Entry& entry : journal_.Entries()) {
        std::string path = full(entry.path);
        made[NameGroupKey(path)].push_back(std::move(path));
    }
    const auto made_again = [&](const std::string& path) {
        const std::string wanted = full(path);
        const auto group = made.find(NameGroupKey(wanted));
        return group != made.end() &&
               std::any_of(group->second.begin(), group->second.end(), [&](const std::string& m) {
                   return platform::SameNameIgnoringCase(m, wanted);
               });
    };
    const RemovalBounds bounds =
        BoundsFor(WithoutTrailingSeparator(CollapsePath(previous_.folder)));
    for (const Journal::Entry& entry : earlier_entries_) {
        if (made_again(entry.path) || !MayRemove(entry, bounds)) continue;
        const bool gone = entry.kind == Journal::Kind::Folder ? false
                          : !platform::FileExists(entry.path)
                              ? true
                              : journal_.SetAsideForRemoval(entry.path, entry.kind);
        if (gone) {
            log_->Line("earlier version's file removed: " + entry.path);
        } else {
            carried_.push_back(entry);
        }
    }
}

// What the installation will put on the drive: the sum of the members' sizes and the longest
// member name, in the system's units.
int32_t Installer::MeasureArchive(const std::string& archive, PackageSize& size) {
    unzip::MemberEntry entry;
    int32_t result = engine_.FirstMember(archive, entry);
    for (; result == unzip::ResultOk; result = engine_.NextMember(entry)) {
        size.bytes += static_cast<uint64_t>(entry.size);
        const size_t units = SystemLength(entry.name);
        if (units > size.longest_name_units) size.longest_name_units = units;
    }
    engine_.CloseMemberWalk(entry);
    return result == unzip::ResultNoMoreMembers ? unzip::ResultOk : result;
}

void Installer::Run(const std::string& home) {
    view_.ShowProgressPanel();
    journal_ = Journal();
    run_files_.clear();
    skipped_shortcuts_.clear();
    ShowProgress(0, Msg(kMsgCreatingFolder));
    target_was_there_ = platform::IsFolder(home);
    CreateFolderLevels(home);
    ShowProgress(10, Msg(kMsgPrepareCopy));
    ShowProgress(20, Msg(kMsgCopyingFiles));
    ShowProgress(30, Msg(kMsgCopyingFiles));
    ExtractPackageArchive(kArchiveName, home);
    ShowProgress(50, Msg(kMsgCopyingFiles));
    // The copy takes setup.exe of the package, whatever name the running program has.
    CopySetupFile(kSetupProgramName, home);
    CopySetupFile(kSettingsName, home);
    if (platform::FileExists(InPackageFolder(kSecondArchiveName))) {
        ShowProgress(60, "");
        ExtractPackageArchive(kSecondArchiveName, home);
        ShowProgress(70, "");
    }
    ShowProgress(80, Msg(kMsgCreatingGroup));
    if (!options_.no_icons) CreateGroupShortcuts(home);
    ShowProgress(90, Msg(kMsgWritingRegistry));
    if (state_.Icons().desktop && !options_.no_icons) {
        ShowProgress(95, Msg(kMsgCreateDesktopLink));
        CreateMainShortcut(home, sysdirs_.DeskTopDir());
    }
    if (state_.Icons().start_menu && !options_.no_icons) {
        ShowProgress(100, Msg(kMsgCreateStartLink));
        CreateMainShortcut(home, sysdirs_.StartMenuDir());
    }
    if (!shell_.ChangeCurrentFolder(home))
        throw platform::Error(Msg(kMsgCannotChangeFolder) + " " + home);
    working_in_home_ = true;
    RetireEarlierInstallation();
    WriteManifestAndRecord(home);

    journal_.Commit();
    state_.EndRun();
    exit_code_ = kExitCompleted;
}

// What follows the commit: what was set aside goes, the user is told, what is left of the
// package goes.
void Installer::FinishCompletedRun(const std::string& home) {
    for (auto entry = carried_.rbegin(); entry != carried_.rend(); ++entry)
        if (entry->kind == Journal::Kind::Folder)
            (void)platform::RemoveEmptyFolder(WithoutTrailingSeparator(entry->path)); // if empty
    log_->Line("installation completed");
    for (ProgressBar bar : {ProgressBar::kMember, ProgressBar::kRun, ProgressBar::kRunVertical})
        view_.SetBarPosition(bar, 100);
    view_.SetLabelText(StatusLabel::kHeading, Msg(kMsgInstallationFinished));
    if (!skipped_shortcuts_.empty()) {
        std::string text = Msg(kMsgShortcutSkipped);
        for (const std::string& line : skipped_shortcuts_) text += "\r" + line;
        view_.ShowMessageBox(
            {BoxOwner::Application, text, BoxCaption(config_), kIconExclamation | kButtonsOk});
    }
    view_.ShowMessageDialog(DialogKind::Information, Msg(kMsgCompleted));
    const std::string readme = CollapsePath(home + kSep + kReadmeName);
    if (!options_.quiet && platform::FileExists(readme)) shell_.OpenDocument(readme);
    RemoveFolderAndSelf(CollapsePath(package_folder_), FolderRemoval::PackageFiles);
    view_.Close();
}

void Installer::ShowProgress(int position, const std::string& text) {
    view_.SetBarPosition(ProgressBar::kRun, position);
    view_.SetBarPosition(ProgressBar::kRunVertical, position);
    view_.SetLabelText(StatusLabel::kStep, text);
    view_.ProcessMessages();
}

// Every missing level of the path, outermost first, each noted as it is made, so a failure
// takes back exactly the folders this run made.
void Installer::CreateFolderLevels(const std::string& path) {
    // A network path's server and share are not folders to make.
    const size_t root = NetworkRootLength(path);
    for (size_t i = root != 0 ? root + 1 : 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != platform::kPathSeparator) continue;
        const std::string level = path.substr(0, i);
        if (level.back() == ':' || level.back() == platform::kPathSeparator ||
            platform::IsFolder(level))
            continue; // a drive, a doubled separator, or a folder that is there
        if (!platform::MakeFolder(level))
            throw platform::Error(Msg(kMsgCannotMakeFolder) + " " + level + "\r" +
                                  SystemErrorText(platform::LastErrorCode()));
        journal_.NoteFolder(level);
        log_->Line("folder created: " + level);
    }
}

int32_t Installer::ExtractArchive(const std::string& archive, const std::string& target) {
    extraction_failure_ = 0;
    folders_noted_ = 0;
    new_member_file_ = false;
    set_aside_failure_.clear();
    // A folder this run made holds nothing but what the run wrote, which it may replace: the
    // engine need not look for a file before each member (a lookup per file costs under Wine).
    unzip::QuestionCallback question;
    if (target_was_there_)
        question = [this](unzip::ReportRecord& record) { return MayReplace(record); };
    const int32_t result = engine_.ExtractMatching(
        archive, target, "*.*",
        [this](int32_t code, unzip::ReportRecord& record) { ExtractionCallback(code, record); },
        question);
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
    // A file is taken to be new until the engine asks before replacing one that is there.
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
            log_->Line("file: " + name + " (" + std::to_string(record.size) + " bytes)");
        new_member_file_ = false;
    }
    if (failed && extraction_failure_ == 0) extraction_failure_ = code;
    view_.ProcessMessages();
}

// The engine asks before it writes over a file that is there. This run's own files (a later
// archive replacing a member of the first) may go; a file that was there before is moved aside
// into the journal first, and kept untouched when it cannot be.
bool Installer::MayReplace(unzip::ReportRecord& record) {
    const std::string name = record.name.substr(0, record.name.find('\0'));
    if (EndsWithSeparator(name) || platform::IsFolder(name) || run_files_.count(name)) return true;
    new_member_file_ = false;
    if (!journal_.SetAside(name, Journal::Kind::File)) {
        if (set_aside_failure_.empty()) set_aside_failure_ = name;
        return false;
    }
    run_files_.insert(name);
    log_->Line("replacing: " + name + " (the earlier file is kept until the run completes)");
    return true;
}

// The folders the engine made so far, in the order it made them, before the file of the member
// that needed them, so that taking back (newest first) empties each folder before its turn.
void Installer::NoteEngineFolders() {
    const std::vector<std::string>& made = engine_.created_folders();
    for (; folders_noted_ < made.size(); ++folders_noted_) {
        journal_.NoteFolder(made[folders_noted_]);
        log_->Line("folder created: " + made[folders_noted_]);
    }
}

void Installer::ExtractPackageArchive(const std::string& name, const std::string& target) {
    const int32_t result = ExtractArchive(InPackageFolder(name), target);
    const int32_t failure =
        extraction_failure_ != 0 ? extraction_failure_ : (result < 0 ? result : 0);
    if (failure != 0) throw platform::Error(ExtractionFailureText(failure, name));
    if (!set_aside_failure_.empty())
        throw platform::Error(Msg(kMsgCannotCopy) + " " + set_aside_failure_);
}

// A failed step ends here: everything the run changed is taken back, newest first, the user
// is told what failed and what could not be restored, no record is written, and the package
// stays where it is for another try.
void Installer::TakeBackRun(const std::string& failure) {
    log_->Line("run failed: " + failure);
    // The new folder as the working folder would keep it from being taken back.
    if (working_in_home_) (void)shell_.ChangeCurrentFolder(startup_folder_); // best effort
    working_in_home_ = false;
    const size_t changes = journal_.Entries().size();
    const std::vector<std::string> left = journal_.Rollback();
    log_->Line("taken back: " + std::to_string(changes) + " changes, newest first");
    for (const std::string& path : left) log_->Line("not restored: " + path);
    std::string text = Msg(kMsgRunFailed) + "\r" + failure + "\r\r" + Msg(kMsgRolledBack);
    if (!left.empty()) {
        text += "\r" + Msg(kMsgNotRestored);
        for (const std::string& path : left) text += "\r" + path;
    }
    view_.ShowMessageBox(
        {BoxOwner::Application, text, BoxCaption(config_), kIconError | kButtonsOk});
    state_.EndRun();
    exit_code_ = kExitRunFailed;
    view_.Close();
}

// Copies a file of the package into the installation: a file that is there is set aside first,
// and a copy cut short (a full drive) is removed, never left as the installed file.
void Installer::CopySetupFile(const std::string& name, const std::string& target_folder) {
    const std::string target = CollapsePath(target_folder + kSep + name);
    const std::string source = InPackageFolder(name);
    if (!run_files_.count(target)) {
        if (platform::FileExists(target)) {
            if (!journal_.SetAside(target, Journal::Kind::File))
                throw platform::Error(Msg(kMsgCannotCopy) + " " + target);
        } else {
            journal_.NoteFile(target);
        }
        run_files_.insert(target);
    }
    const auto size = platform::FileSizeOf(source);
    if (!platform::CopyFileOver(source, target) || size != platform::FileSizeOf(target))
        throw platform::Error(Msg(kMsgCannotCopy) + " " + target + "\r" +
                              SystemErrorText(platform::LastErrorCode()));
    log_->Line("copied: " + target + " (" + std::to_string(size.value_or(0)) + " bytes)");
}

void Installer::CreateGroupShortcuts(const std::string& home) {
    const std::string list = InPackageFolder(kShortcutListName);
    if (!platform::FileExists(list)) return;
    std::vector<std::string> lines;
    if (ReadTextLines(list, lines) != platform::FileRead::kOk)
        throw platform::Error(Msg(kMsgCannotRead) + " " + kShortcutListName);
    const std::string group = GroupFolder();
    for (const std::string& line : lines) {
        if (IsBlankLine(line)) continue;
        const ShortcutLine fields = ParseShortcutLine(line);
        if (const NameProblem problem = CheckShortcutLine(fields)) {
            skipped_shortcuts_.push_back(line + " (" + Describe(problem, messages_) + ")");
            continue;
        }
        const std::string folder = CollapsePath(group + kSep + LevelsOnDisk(fields.subfolder));
        CreateFolderLevels(folder);
        CreateShortcut(CollapsePath(home + kSep + LevelsOnDisk(fields.target)), fields.name,
                       folder);
    }
}

void Installer::CreateMainShortcut(const std::string& home, const std::string& folder) {
    CreateShortcut(CollapsePath(home + kSep + config_.progname), config_.softname,
                   CollapsePath(folder));
}

void Installer::CreateShortcut(const std::string& target, const std::string& name,
                               const std::string& folder) {
    const std::string file = services::ShortcutFilePath(name, folder);
    if (platform::FileExists(file)) {
        if (!journal_.SetAside(file, Journal::Kind::Shortcut))
            throw platform::Error(Msg(kMsgCannotMakeShortcut) + " " + file);
    } else {
        journal_.NoteShortcut(file);
    }
    if (!services::CreateLink(target, name, folder))
        throw platform::Error(Msg(kMsgCannotMakeShortcut) + " " + file);
    log_->Line("shortcut: " + file + " -> " + target);
}

// The product's line in the list of installed programs, for the installation a record names.
AppsEntry Installer::AppsEntryOf(const InstallRecord& record, uint64_t bytes) const {
    AppsEntry entry;
    entry.list_key = apps_list_key_;
    entry.product_key = config_.progreg;
    entry.display_name = config_.softname + " " + record.version + "." + record.release;
    entry.display_version = record.version + "." + record.release;
    entry.publisher = config_.company;
    entry.install_location = record.folder;
    entry.uninstaller = CollapsePath(record.folder + kSep + kSetupProgramName);
    entry.display_icon = CollapsePath(record.folder + kSep + config_.progname);
    entry.size_kb = static_cast<uint32_t>(std::min<uint64_t>((bytes + 1023) / 1024, UINT32_MAX));
    entry.install_date = TodayAsDigits();
    return entry;
}

// The manifest beside the installed program, then the record that names it and the product's
// entry in the list of installed programs: the last changes of the run, so that a record always
// leads to a complete manifest.
void Installer::WriteManifestAndRecord(const std::string& home) {
    const std::string manifest = CollapsePath(home + kSep + kManifestName);
    journal_.NoteFile(manifest);
    // The earlier installation's folders and leftovers first: the uninstall works newest first.
    std::vector<Journal::Entry> listed = carried_;
    listed.insert(listed.end(), journal_.Entries().begin(), journal_.Entries().end());
    const std::string text = Journal::ManifestTextOf(listed);
    if (!platform::ReplaceWholeFile(manifest, text))
        throw platform::Error(Msg(kMsgCannotCopy) + " " + manifest + "\r" +
                              SystemErrorText(platform::LastErrorCode()));
    InstallRecord record = CompletedRecord(state_, config_, record_base_key_);
    record.manifest = manifest;
    record.manifest_digest = services::Sha256Hex(text);
    log_->Line("manifest: " + manifest);
    const AppsEntry entry = AppsEntryOf(record, installed_bytes_);
    const bool listed_before =
        platform::RegistryKey().Open(platform::RegistryRoot::CurrentUser, entry.KeyPath());
    std::string failed = record.KeyPath();
    try {
        if (record.WriteRecord()) {
            log_->Line("record: " + record.KeyPath() + " AppDir=" + record.folder +
                       " Ver=" + record.version + " Rel=" + record.release);
            failed = entry.KeyPath();
            if (entry.Write()) {
                log_->Line("Apps list: " + entry.KeyPath() + " " + entry.display_name);
                return;
            }
        }
    } catch (const platform::Error&) {
        // Taken back below, as a record that could not be created at all.
    }
    // What was written is taken back: the earlier installation's record and entry as they
    // were, or none. As far as it goes: the run is failing already, and the failure being
    // reported is the first one.
    record.DeleteRecord();
    (void)entry.Remove();
    if (previous_found_) {
        InstallRecord before = previous_;
        try {
            (void)before.WriteRecord();
            if (listed_before) (void)AppsEntryOf(before, 0).Write();
        } catch (const platform::Error&) {}
    }
    throw platform::Error(Msg(kMsgCannotWriteRecord) + " " + failed);
}

} // namespace app
