// The uninstaller, the self-removal that ends every run of a package or an installed copy,
// and the cleanup at shutdown.
#include <algorithm>
#include <optional>

#include "app/folder_probe.h"
#include "app/installer.h"
#include "app/package_files.h"
#include "app/paths.h"
#include "app/self_removal.h"
#include "platform/error.h"
#include "platform/file_copy.h"
#include "platform/file_io.h"
#include "platform/folders.h"
#include "services/file_utils.h"
#include "services/path_text.h"

namespace app {
namespace {

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

} // namespace

void Installer::Uninstall() {
    try {
        RemoveInstallation();
    } catch (const platform::Error& error) {
        view_.ShowErrorReport(error.what());
    }
}

// The uninstall acts on the record and the manifest of the installation it belongs to, and
// only when it is that installation's own program: it removes what the manifest lists (the
// whole folder only when the installation made it), and when something resists, says what and
// keeps the record and a manifest of what is left, so a second uninstall can finish.
void Installer::RemoveInstallation() {
    exit_code_ = kExitUninstallIncomplete;
    auto refuse = [this](const std::string& text) {
        view_.ShowMessageBox(
            {BoxOwner::Application, text, BoxCaption(config_), kIconError | kButtonsOk});
        view_.Close();
    };
    // A record without a folder says nothing about what to remove: removing "" would reach
    // wherever an empty path leads, so it counts as no record.
    if (!previous_.ReadRecord() || IsBlank(previous_.folder)) return refuse(Msg(kMsgNoRecord));
    const std::string folder = WithoutTrailingSeparator(CollapsePath(previous_.folder));
    if (!SamePath(services::FolderPartOf(program_file_), folder))
        return refuse(Msg(kMsgNotInstalledCopy) + "\r" + folder);
    if (Protected().RefusesRemoval(folder))
        return refuse(Msg(kMsgProtectedRemoval) + "\r" + folder);
    const std::string manifest = CollapsePath(folder + kSep + kManifestName);
    std::vector<Journal::Entry> entries;
    if (!ReadRecordedManifest(entries)) return refuse(Msg(kMsgNoManifest) + "\r" + manifest);

    const std::string question = Msg(kMsgUninstallAllFiles) + " " + previous_.folder + " " +
                                 Msg(kMsgUninstallWillGo) + "\r" + Msg(kMsgUninstallQuestion);
    if (view_.ShowMessageBox({BoxOwner::Application, question, "",
                              kButtonsYesNo | kIconExclamation}) != kAnswerYes) {
        exit_code_ = kExitCancelled;
        return;
    }

    // Taken while the folder is there: the batch names it in the form that needs no care.
    short_install_folder_ = services::ShortPathOf(folder);
    program_removable_ = FolderIsWritable(folder);
    const std::vector<Journal::Entry> left = RemoveListed(folder, entries);
    if (!left.empty()) {
        std::string names;
        for (const Journal::Entry& entry : left)
            if (entry.kind != Journal::Kind::Folder && !IsOwnFile(entry.path, folder))
                names += "\r" + entry.path;
        const bool kept = platform::ReplaceWholeFile(manifest, Journal::ManifestTextOf(left));
        return refuse(Msg(kMsgNotRemoved) + names + (kept ? "" : "\r" + manifest));
    }
    previous_.DeleteRecord();
    log_->Line("record removed: " + previous_.KeyPath());
    const AppsEntry entry = AppsEntryOf(previous_, 0);
    if (entry.Remove())
        log_->Line("Apps list entry removed: " + entry.KeyPath());
    else
        log_->Line("Apps list entry not removed: " + entry.KeyPath());
    (void)platform::EraseFile(manifest); // the record that named it is gone
    RemoveFolderAndSelf(short_install_folder_, FolderRemoval::ProgramOnly);
    exit_code_ = kExitCompleted;
    view_.ShowMessageBox({BoxOwner::Application, Msg(kMsgUninstalled), BoxCaption(config_),
                          kIconInformation | kButtonsOk});
    mutex_.Close();
    view_.Close();
}

bool Installer::ReadRecordedManifest(std::vector<Journal::Entry>& entries) const {
    const std::string manifest = CollapsePath(
        WithoutTrailingSeparator(CollapsePath(previous_.folder)) + kSep + kManifestName);
    std::string text;
    if (SamePath(previous_.manifest, manifest) &&
        platform::ReadWholeFile(manifest, text) == platform::FileRead::kOk &&
        Journal::ParseManifest(text, entries))
        return true;
    entries.clear();
    return false;
}

// The program and its settings file stay for the self-removal batch, the manifest until the
// record is gone.
bool Installer::IsOwnFile(const std::string& path, const std::string& folder) const {
    for (const std::string& name : {FileNameOf(program_file_), kSettingsName, kManifestName})
        if (SamePath(path, CollapsePath(folder + kSep + name))) return true;
    return false;
}

// A manifest line is acted on only where an installation can have put it: files and folders
// in the installation folder, shortcuts (".lnk") in the product's group, on the desktop or in
// the Start menu, the group's folders. Anything else (a hand-edited manifest) is left alone.
bool Installer::MayRemove(const Journal::Entry& entry, const std::string& folder) {
    const std::string& path = entry.path;
    if (Protected().RefusesRemoval(path)) return false;
    const std::string group = GroupFolder();
    switch (entry.kind) {
    case Journal::Kind::File: return PathWithin(path, folder);
    case Journal::Kind::Folder: {
        // The installation folder, the levels the run made around it, and the group with the
        // company's level above it; a folder goes only when empty.
        const std::string company = services::FolderPartOf(WithoutTrailingSeparator(group));
        return PathWithin(path, folder) || SamePath(path, folder) || PathWithin(folder, path) ||
               PathWithin(path, company) || SamePath(path, company);
    }
    case Journal::Kind::Shortcut: {
        const bool link = path.size() > 4 && SamePath(path.substr(path.size() - 4), ".lnk");
        return link && (PathWithin(path, group) || PathWithin(path, sysdirs_.DeskTopDir()) ||
                        PathWithin(path, sysdirs_.StartMenuDir()));
    }
    }
    return false;
}

// Removes the manifest's entries newest first; returns those that are still there. The
// installation folder, when the installation made it, goes whole, as the question said.
std::vector<Journal::Entry> Installer::RemoveListed(const std::string& folder,
                                                    const std::vector<Journal::Entry>& entries) {
    bool made_folder = false;
    std::vector<Journal::Entry> left;
    parents_made_.clear();
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const std::string path = WithoutTrailingSeparator(entry->path);
        if (entry->kind == Journal::Kind::Folder && SamePath(path, folder)) {
            made_folder = true;
            continue;
        }
        if (!MayRemove(*entry, folder)) continue;
        // A level the run made above the installation holds it until the batch is done.
        if (entry->kind == Journal::Kind::Folder && PathWithin(folder, path)) {
            parents_made_.push_back(path);
            continue;
        }
        if (IsOwnFile(path, folder)) {
            left.push_back(*entry);
            continue;
        }
        if (entry->kind == Journal::Kind::Folder) {
            // A folder that holds what the installation did not put there stays, silently.
            (void)platform::RemoveEmptyFolder(path);
            if (platform::IsFolder(path)) {
                left.push_back(*entry);
                log_->Line("kept, not empty: " + path);
                continue;
            }
        } else if (platform::FileExists(path) && !platform::EraseFile(path)) {
            left.push_back(*entry);
            log_->Line("cannot remove: " + path + " (" +
                       SystemErrorText(platform::LastErrorCode()) + ")");
            continue;
        }
        log_->Line("removed: " + path);
    }
    std::reverse(left.begin(), left.end());
    const bool failed = std::any_of(left.begin(), left.end(), [&](const Journal::Entry& entry) {
        return entry.kind != Journal::Kind::Folder && !IsOwnFile(entry.path, folder);
    });
    if (failed) return left;
    if (made_folder) services::DeleteFolderTree(folder); // what stays, the batch removes
    return {};
}

void Installer::ShutDown() {
    // An abandoned wizard takes its package folder with it. It leaves the installation
    // record alone: a record there now belongs to an earlier, completed installation and is
    // the only way to uninstall that one, since a run writes its own only when it completes.
    // Only a package unpacked into the temporary folder is removed so: from a download folder,
    // a USB stick or a CD the package stays for another try.
    try {
        if (state_.CleanupDue() && !program_folder_.empty() &&
            PathWithin(program_folder_, sysdirs_.TempDir()))
            RemoveFolderAndSelf(CollapsePath(program_folder_), FolderRemoval::PackageFiles);
    } catch (const platform::Error& error) {
        view_.ShowErrorReport(error.what());
    }
    mutex_.Close();
}

void Installer::RemoveFolderAndSelf(const std::string& folder, FolderRemoval removal) {
    // Asked before anything goes: the removals below may take the folder itself.
    if (!program_removable_)
        program_removable_ = FolderIsWritable(services::FolderPartOf(program_file_));
    if (removal == FolderRemoval::PackageFiles && !folder.empty()) {
        // The folder setup was started from may hold anything (a downloads folder, the
        // desktop): only the package's own files go, and the folder only if that empties it.
        for (const std::string& name :
             {FileNameOf(program_file_), kSettingsName, kArchiveName, kSecondArchiveName,
              kShortcutListName, kLicenceName, kReadmeName})
            (void)platform::EraseFile(CollapsePath(folder + kSep + name)); // optional ones may lack
        (void)services::RemoveFolder(WithoutTrailingSeparator(folder));    // stays if not empty
        log_->Line("package files removed from " + folder);
    }
    // A program on read-only media, or a path the command interpreter cannot be given exactly,
    // stays: a batch that cannot remove it would only wait in vain.
    const std::string batch = BatchFilePath();
    SelfRemovalPaths paths{program_file_, ReplaceExtension(program_file_, ".ini"), folder, batch};
    if (removal == FolderRemoval::ProgramOnly) paths.parents = parents_made_;
    const std::optional<std::string> text = SelfRemovalBatch(paths);
    if (!text || !*program_removable_) {
        log_->Line("no self-removal batch: " + program_file_ + " stays where it is");
        return;
    }
    if (!platform::ReplaceWholeFile(batch, *text))
        throw InputOutputError(platform::LastErrorCode());
    // The batch works in its own folder, so that no folder it removes is its current one.
    const bool started = shell_.RunBatchHidden(batch, services::FolderPartOf(batch));
    log_->Line((started ? "self-removal batch started: " : "self-removal batch not started: ") +
               batch);
}

std::string Installer::BatchFilePath() const {
    return CollapsePath(sysdirs_.TempDir() + kSep + "setup123.bat");
}

} // namespace app
