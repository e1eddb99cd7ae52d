#include "app/uninstaller.h"

#include <algorithm>
#include <optional>

#include "app/exit_codes.h"
#include "app/folder_probe.h"
#include "app/manifest_proof.h"
#include "app/package_files.h"
#include "app/package_removal.h"
#include "app/paths.h"
#include "app/pending_run.h"
#include "app/removal_places.h"
#include "platform/error.h"
#include "platform/file_copy.h"
#include "platform/file_io.h"
#include "platform/folders.h"
#include "services/file_utils.h"
#include "services/path_text.h"
#include "services/shell_shortcut.h"

namespace app {
namespace {

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

} // namespace

// The uninstall acts on the record and the manifest of the installation it belongs to, and
// only when it is that installation's own program: it removes what the manifest lists (the
// whole folder only when the installation made it), and when something resists, says what and
// keeps the record and a manifest of what is left, so a second uninstall can finish.
int Uninstaller::Run() {
    auto refuse = [this](const std::string& text) {
        context_.ShowErrorBox(text);
        context_.view.Close();
        return kExitUninstallIncomplete;
    };
    // A record without a folder says nothing about what to remove: removing "" would reach
    // wherever an empty path leads, so it counts as no record.
    context_.previous_found = context_.previous.ReadRecord();
    if (!context_.previous_found || IsBlank(context_.previous.folder))
        return refuse(context_.Msg(kMsgNoRecord));
    const std::string folder = WithoutTrailingSeparator(CollapsePath(context_.previous.folder));
    if (!SamePath(services::FolderPartOf(context_.program_file), folder))
        return refuse(context_.Msg(kMsgNotInstalledCopy) + "\r" + folder);
    if (context_.Protected().RefusesRemoval(folder))
        return refuse(context_.Msg(kMsgProtectedRemoval) + "\r" + folder);
    const std::string manifest = CollapsePath(folder + kSep + kManifestName);
    std::vector<Journal::Entry> entries;
    const ManifestProof proof = ReadRecordedManifest(context_.previous, entries);
    if (proof == ManifestProof::kBroken) {
        context_.log->Line("manifest not followed: " + manifest +
                           " is missing, damaged or changed since the installation wrote it");
        return refuse(context_.Msg(kMsgNoManifest) + "\r" + manifest);
    }

    const std::string question =
        context_.Msg(kMsgUninstallAllFiles) + " " + context_.previous.folder + " " +
        context_.Msg(kMsgUninstallWillGo) + "\r" + context_.Msg(kMsgUninstallQuestion);
    if (context_.view.ShowMessageBox(
            {BoxOwner::Application, question, "", kButtonsYesNo | kIconExclamation}) != kAnswerYes)
        return kExitCancelled;

    if (proof == ManifestProof::kNone) entries = EarlyInstallationEntries(folder);
    const Removal removal = Remove(folder, entries);
    if (!removal.complete) return refuse(removal.failure);
    context_.view.ShowMessageBox({BoxOwner::Application, context_.Msg(kMsgUninstalled),
                                  BoxCaption(context_.config), kIconInformation | kButtonsOk});
    context_.view.Close();
    return kExitCompleted;
}

Uninstaller::Removal Uninstaller::Complete(const PendingRun& pending) {
    std::vector<Journal::Entry> entries;
    for (const PendingRun::Change& change : pending.changes)
        if (change.what == PendingRun::Change::What::kRemove)
            entries.push_back({change.kind, change.path, {}});
    return Remove(pending.folder, entries);
}

// The removal as the question allowed it, or as the next start completes one that was cut
// off: the pending run on disk says what it removes until the self-removal batch is done.
Uninstaller::Removal Uninstaller::Remove(const std::string& folder,
                                         const std::vector<Journal::Entry>& entries) {
    PendingRun pending;
    pending.kind = PendingRun::Kind::kUninstall;
    pending.folder = folder;
    for (const Journal::Entry& entry : entries)
        pending.changes.push_back({PendingRun::Change::What::kRemove, entry.kind, entry.path, {}});
    const std::string pending_path = PendingRunPath(context_);
    if (!WritePendingRun(pending_path, pending))
        return {false,
                context_.Failure(kMsgCannotWriteJournal, pending_path, platform::LastErrorCode())
                    .what()};
    // Taken while the folder is there: the batch names it in the form that needs no care.
    const std::string short_folder = services::ShortPathOf(folder);
    const bool program_removable = FolderIsWritable(folder);
    const std::string manifest = CollapsePath(folder + kSep + kManifestName);
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
            context_.previous.manifest = manifest;
            context_.previous.manifest_digest = ManifestDigest(text);
            kept = context_.previous.WriteRecord();
        }
        if (kept) (void)platform::EraseFile(pending_path); // the record says what is left
        return {false, context_.Msg(kMsgNotRemoved) + names + (kept ? "" : "\r" + manifest)};
    }
    context_.previous.DeleteRecord();
    context_.log->Line("record removed: " + context_.previous.KeyPath());
    const AppsEntry entry = context_.AppsEntryOf(context_.previous, 0);
    const std::optional<std::string> listed = entry.ListedUninstaller();
    if (listed && !SamePath(*listed, CollapsePath(folder + kSep + kSetupProgramName)))
        context_.log->Line("Apps list entry kept, another program's: " + entry.KeyPath() + " " +
                           *listed);
    else if (entry.Remove())
        context_.log->Line("Apps list entry removed: " + entry.KeyPath());
    else
        context_.log->Line("Apps list entry not removed: " + entry.KeyPath());
    (void)platform::EraseFile(manifest); // the record that named it is gone
    // What is left is the program's own, for the batch; the pending run goes with it.
    pending.phase = PendingRun::Phase::kCommitted;
    if (!WritePendingRun(pending_path, pending))
        context_.log->Line("the completed uninstall could not be noted in " + pending_path);
    if (!RemoveFolderAndSelf(context_, {short_folder, FolderRemoval::ProgramOnly, parents_made_,
                                        program_removable, pending_path}))
        (void)platform::EraseFile(pending_path); // no batch to finish: nothing is pending
    return {true, std::string()};
}

std::vector<Journal::Entry> Uninstaller::EarlyInstallationEntries(const std::string& folder) const {
    std::vector<Journal::Entry> entries = {{Journal::Kind::Folder, folder, {}}};
    for (const std::string& place : {context_.DesktopDir(), context_.StartMenuDir()})
        entries.push_back(
            {Journal::Kind::Shortcut,
             services::ShortcutFilePath(context_.config.softname, CollapsePath(place)),
             {}});
    // The group's folders outermost first, each followed by its shortcuts: removed newest
    // first, every folder is emptied before its turn.
    std::vector<std::string> folders = {context_.GroupFolder()};
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
bool Uninstaller::IsOwnFile(const std::string& path, const std::string& folder) const {
    for (const std::string& name :
         {FileNameOf(context_.program_file), kSettingsName, kManifestName})
        if (SamePath(path, CollapsePath(folder + kSep + name))) return true;
    return false;
}

// Removes the manifest's entries newest first; returns those that are still there. The
// installation folder, when the installation made it, goes whole, as the question said.
std::vector<Journal::Entry> Uninstaller::RemoveListed(const std::string& folder,
                                                      const std::vector<Journal::Entry>& entries) {
    bool made_folder = false;
    std::vector<Journal::Entry> left;
    parents_made_.clear();
    const RemovalPlaces places(context_, folder);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const std::string path = WithoutTrailingSeparator(entry->path);
        if (entry->kind == Journal::Kind::Folder && SamePath(path, folder)) {
            made_folder = true;
            continue;
        }
        if (!places.MayRemove(*entry)) {
            context_.log->Line("not removed, outside the installation's places: " + path);
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
                context_.log->Line("kept, not empty: " + path);
                continue;
            }
        } else if (platform::FileExists(path) && !platform::EraseFile(path)) {
            left.push_back(*entry);
            context_.log->Line("cannot remove: " + path + " (" +
                               SystemErrorText(platform::LastErrorCode()) + ")");
            continue;
        }
        context_.log->Line("removed: " + path);
    }
    std::reverse(left.begin(), left.end());
    const bool failed = std::any_of(left.begin(), left.end(), [&](const Journal::Entry& entry) {
        return entry.kind != Journal::Kind::Folder && !IsOwnFile(entry.path, folder);
    });
    if (failed) return left;
    if (made_folder) services::DeleteFolderTree(folder); // what stays, the batch removes
    return {};
}

} // namespace app
