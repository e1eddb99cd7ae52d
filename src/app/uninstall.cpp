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
#include "services/sha256.h"
#include "services/shell_shortcut.h"

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
    const ManifestProof proof = ReadRecordedManifest(entries);
    if (proof == ManifestProof::kBroken) {
        log_->Line("manifest not followed: " + manifest +
                   " is missing, damaged or changed since the installation wrote it");
        return refuse(Msg(kMsgNoManifest) + "\r" + manifest);
    }

    const std::string question = Msg(kMsgUninstallAllFiles) + " " + previous_.folder + " " +
                                 Msg(kMsgUninstallWillGo) + "\r" + Msg(kMsgUninstallQuestion);
    if (view_.ShowMessageBox({BoxOwner::Application, question, "",
                              kButtonsYesNo | kIconExclamation}) != kAnswerYes) {
        exit_code_ = kExitCancelled;
        return;
    }

    // Taken while the folder is there: the batch names it in the form that needs no care.
    if (proof == ManifestProof::kNone) entries = EarlyInstallationEntries(folder);
    short_install_folder_ = services::ShortPathOf(folder);
    program_removable_ = FolderIsWritable(folder);
    const std::vector<Journal::Entry> left = RemoveListed(folder, entries);
    if (!left.empty()) {
        std::string names;
        for (const Journal::Entry& entry : left)
            if (entry.kind != Journal::Kind::Folder && !IsOwnFile(entry.path, folder))
                names += "\r" + entry.path;
        // What is left, for a second try: a manifest of it, sealed in the record.
        const std::string text = Journal::ManifestTextOf(left);
        bool kept = platform::ReplaceWholeFile(manifest, text);
        if (kept) {
            previous_.manifest = manifest;
            previous_.manifest_digest = services::Sha256Hex(text);
            try {
                kept = previous_.WriteRecord();
            } catch (const platform::Error&) {
                kept = false;
            }
        }
        return refuse(Msg(kMsgNotRemoved) + names + (kept ? "" : "\r" + manifest));
    }
    previous_.DeleteRecord();
    log_->Line("record removed: " + previous_.KeyPath());
    const AppsEntry entry = AppsEntryOf(previous_, 0);
    const std::optional<std::string> listed = entry.ListedUninstaller();
    if (listed && !SamePath(*listed, CollapsePath(folder + kSep + kSetupProgramName)))
        log_->Line("Apps list entry kept, another program's: " + entry.KeyPath() + " " + *listed);
    else if (entry.Remove())
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

Installer::ManifestProof Installer::ReadRecordedManifest(
    std::vector<Journal::Entry>& entries) const {
    entries.clear();
    if (previous_.manifest.empty()) return ManifestProof::kNone;
    const std::string manifest = CollapsePath(
        WithoutTrailingSeparator(CollapsePath(previous_.folder)) + kSep + kManifestName);
    std::string text;
    std::vector<Journal::Entry> read;
    if (!SamePath(previous_.manifest, manifest) ||
        platform::ReadWholeFile(manifest, text) != platform::FileRead::kOk ||
        !Journal::ParseManifest(text, read))
        return ManifestProof::kBroken;
    if (previous_.manifest_digest.empty()) {
        entries = std::move(read);
        return ManifestProof::kUnsealed;
    }
    if (services::Sha256Hex(text) != previous_.manifest_digest) return ManifestProof::kBroken;
    entries = std::move(read);
    return ManifestProof::kProven;
}

std::vector<Journal::Entry> Installer::EarlyInstallationEntries(const std::string& folder) const {
    std::vector<Journal::Entry> entries = {{Journal::Kind::Folder, folder, {}}};
    for (const std::string& place : {sysdirs_.DeskTopDir(), sysdirs_.StartMenuDir()})
        entries.push_back({Journal::Kind::Shortcut,
                           services::ShortcutFilePath(config_.softname, CollapsePath(place)),
                           {}});
    // The group's folders outermost first, each followed by its shortcuts: removed newest
    // first, every folder is emptied before its turn.
    std::vector<std::string> folders = {GroupFolder()};
    for (size_t i = 0; i < folders.size(); ++i) {
        entries.push_back({Journal::Kind::Folder, folders[i], {}});
        for (const std::string& name :
             platform::FindEntries(folders[i], "*.*", platform::SearchFilter::SkipHiddenSystem)) {
            if (name == "." || name == "..") continue;
            const std::string path = CollapsePath(folders[i] + kSep + name);
            if (platform::IsFolder(path))
                folders.push_back(path);
            else if (ReplaceExtension(name, "") + ".lnk" == name)
                entries.push_back({Journal::Kind::Shortcut, path, {}});
        }
    }
    return entries;
}

// The program and its settings file stay for the self-removal batch, the manifest until the
// record is gone.
bool Installer::IsOwnFile(const std::string& path, const std::string& folder) const {
    for (const std::string& name : {FileNameOf(program_file_), kSettingsName, kManifestName})
        if (SamePath(path, CollapsePath(folder + kSep + name))) return true;
    return false;
}

Installer::RemovalBounds Installer::BoundsFor(const std::string& folder) const {
    const auto resolved = [](const std::string& path) {
        return platform::ResolvedPathOf(WithoutTrailingSeparator(CollapsePath(path)))
            .value_or(std::string());
    };
    const std::string group = GroupFolder();
    return {resolved(folder), resolved(group),
            resolved(services::FolderPartOf(WithoutTrailingSeparator(group))),
            resolved(sysdirs_.DeskTopDir()), resolved(sysdirs_.StartMenuDir())};
}

// A manifest line is acted on only where an installation can have put it, where the path
// really leads (a link inside the folder may lead anywhere): files in the installation folder;
// the folder itself, the levels the run made above it and those of the product's group with
// the company's level; shortcuts (".lnk") in the group, or on the desktop or in the Start menu
// themselves. Anything else is left alone.
bool Installer::MayRemove(const Journal::Entry& entry, const RemovalBounds& bounds) {
    const std::optional<std::string> real = platform::ResolvedPathOf(entry.path);
    if (!real || bounds.folder.empty() || Protected().RefusesRemoval(entry.path) ||
        Protected().RefusesRemoval(*real))
        return false;
    const auto within = [&](const std::string& place) {
        return !place.empty() && PathWithin(*real, place);
    };
    const auto at = [&](const std::string& place) {
        return !place.empty() && SamePath(*real, place);
    };
    switch (entry.kind) {
    case Journal::Kind::File: return within(bounds.folder);
    case Journal::Kind::Folder:
        return within(bounds.folder) || at(bounds.folder) || PathWithin(bounds.folder, *real) ||
               within(bounds.company) || at(bounds.company);
    case Journal::Kind::Shortcut: {
        const bool link = real->size() > 4 && SamePath(real->substr(real->size() - 4), ".lnk");
        const std::string place = WithoutTrailingSeparator(services::FolderPartOf(*real));
        return link && (within(bounds.group) || SamePath(place, bounds.desktop) ||
                        SamePath(place, bounds.start_menu));
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
    const RemovalBounds bounds = BoundsFor(folder);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const std::string path = WithoutTrailingSeparator(entry->path);
        if (entry->kind == Journal::Kind::Folder && SamePath(path, folder)) {
            made_folder = true;
            continue;
        }
        if (!MayRemove(*entry, bounds)) {
            log_->Line("not removed, outside the installation's places: " + path);
            continue;
        }
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
        if (state_.CleanupDue() && install_mode_ && PathWithin(package_folder_, sysdirs_.TempDir()))
            RemoveFolderAndSelf(CollapsePath(package_folder_), FolderRemoval::PackageFiles);
    } catch (const platform::Error& error) {
        view_.ShowErrorReport(error.what());
    }
    mutex_.Close();
}

void Installer::RemoveFolderAndSelf(const std::string& folder, FolderRemoval removal) {
    // Asked before anything goes: the removals below may take the folder itself.
    if (!program_removable_)
        program_removable_ = FolderIsWritable(services::FolderPartOf(program_file_));
    if (removal == FolderRemoval::PackageFiles) {
        // The package's folder may hold anything (a downloads folder, the desktop), even an
        // installation: only the package's own files go, never from an installation's folder,
        // and the folder only if that empties it. The product's readme.txt comes in the
        // archive, so a readme.txt there is the user's.
        if (folder.empty() || HoldsInstallation(folder)) {
            log_->Line("package files kept: " + folder + " holds an installation");
            return;
        }
        const bool program_here = SamePath(services::FolderPartOf(program_file_), folder);
        std::vector<std::string> names = {kSetupProgramName,  kSettingsName,     kArchiveName,
                                          kSecondArchiveName, kShortcutListName, kLicenceName};
        if (program_here) names.push_back(FileNameOf(program_file_)); // goes with the batch
        for (const std::string& name : names)
            (void)platform::EraseFile(CollapsePath(folder + kSep + name)); // optional ones may lack
        (void)services::RemoveFolder(WithoutTrailingSeparator(folder));    // stays if not empty
        log_->Line("package files removed from " + folder);
        // A program started from elsewhere (an installed copy) is not the package's.
        if (!program_here) return;
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
