#include "app/change_plan.h"

#include <unordered_map>
#include <vector>

#include "app/name_rules.h"
#include "app/package_files.h"
#include "app/paths.h"
#include "app/removal_places.h"
#include "platform/file_copy.h"
#include "platform/folders.h"
#include "services/shell_shortcut.h"
#include "unzip/member_name.h"
#include "unzip/result.h"

namespace app {
namespace {

using Change = PendingRun::Change;
using What = Change::What;

// Gathers the changes once each, by the name the system takes for a path.
class Planner {
  public:
    explicit Planner(PendingRun& run) : run_(run) {}

    // Whether the run writes or sets aside something at `path` already.
    bool Planned(const std::string& path) const {
        const std::string key = NameGroupKey(WithoutTrailingSeparator(path));
        const auto same = [&](const std::string& other) {
            return platform::SameNameIgnoringCase(other, path);
        };
        if (const auto group = index_.find(key); group != index_.end())
            for (size_t at : group->second)
                if (same(run_.changes[at].path)) return true;
        if (const auto group = backups_.find(key); group != backups_.end())
            for (const std::string& backup : group->second)
                if (same(backup)) return true;
        return false;
    }

    // Every level of `path` from `first` on that is not there yet, outermost first.
    void Folders(const std::string& path, size_t first) {
        for (size_t i = first; i <= path.size(); ++i) {
            if (i < path.size() && path[i] != platform::kPathSeparator) continue;
            const std::string level = path.substr(0, i);
            if (level.empty() || level.back() == ':' || level.back() == platform::kPathSeparator ||
                Planned(level) || platform::IsFolder(level))
                continue;
            Add({What::kFolder, Journal::Kind::Folder, level, {}});
        }
    }

    // A file or shortcut the run writes: new, or replacing what is there, which goes aside.
    void File(const std::string& path, Journal::Kind kind) {
        if (Planned(path)) return; // a later archive writes the same file again
        if (!platform::FileExists(path) || platform::IsFolder(path)) {
            Add({What::kNew, kind, path, {}});
            return;
        }
        Add({What::kReplace, kind, path, BackupFor(path)});
    }

    void Retire(const Journal::Entry& entry) {
        if (entry.kind == Journal::Kind::Folder) {
            Add({What::kCarry, Journal::Kind::Folder, entry.path, {}});
        } else if (platform::FileExists(entry.path)) {
            Add({What::kRetire, entry.kind, entry.path, BackupFor(entry.path)});
        }
    }

  private:
    // Beside the file, so the move is a rename on the same volume and cannot run out of space,
    // under a name no file and no other backup of the run has.
    std::string BackupFor(const std::string& path) {
        std::string backup = path + ".orvo-backup";
        for (int n = 2;
             platform::FileExists(backup) || platform::IsFolder(backup) || Planned(backup); ++n)
            backup = path + ".orvo-backup" + std::to_string(n);
        backups_[NameGroupKey(backup)].push_back(backup);
        return backup;
    }

    void Add(Change change) {
        index_[NameGroupKey(WithoutTrailingSeparator(change.path))].push_back(run_.changes.size());
        run_.changes.push_back(std::move(change));
    }

    PendingRun& run_;
    std::unordered_map<std::string, std::vector<size_t>> index_;
    std::unordered_map<std::string, std::vector<std::string>> backups_;
};

// Where the run's own folder levels begin: after a drive, or after a network share's name.
size_t FirstLevel(const std::string& path) {
    size_t first = 1;
    if (path.rfind(kSep + kSep, 0) == 0)
        for (int separators = 0; first < path.size() && separators < 3; ++first)
            if (path[first] == platform::kPathSeparator) ++separators;
    return first;
}

void PlanArchive(Planner& planner, unzip::Engine& engine, const std::string& archive,
                 const std::string& home) {
    unzip::MemberEntry entry;
    for (int32_t rc = engine.FirstMember(archive, entry); rc == unzip::ResultOk;
         rc = engine.NextMember(entry)) {
        std::string relative;
        if (!unzip::MakeSafeMemberPath(entry.name, &relative)) continue; // refused as it runs
        const std::string path = MemberPath(home, relative);
        const bool folder = path.back() == platform::kPathSeparator;
        const size_t parent = path.find_last_of(platform::kPathSeparator, path.size() - 2);
        planner.Folders(folder ? WithoutTrailingSeparator(path) : path.substr(0, parent),
                        FirstLevel(path));
        if (!folder) planner.File(path, Journal::Kind::File);
    }
    engine.CloseMemberWalk(entry);
}

void PlanShortcut(Planner& planner, const std::string& name, const std::string& folder) {
    planner.Folders(folder, FirstLevel(folder));
    planner.File(services::ShortcutFilePath(name, folder), Journal::Kind::Shortcut);
}

} // namespace

std::string MemberPath(const std::string& home, const std::string& relative) {
    const bool ends = !home.empty() && home.back() == platform::kPathSeparator;
    return home + (ends ? "" : kSep) + relative;
}

PendingRun PlanChanges(InstallerContext& context, unzip::Engine& engine, const InstallState& state,
                       const RunPlan& plan) {
    PendingRun run;
    run.folder = plan.home;
    if (context.previous_found) run.record_before = context.previous;
    run.listed_before = context.AppsEntryOf(context.previous, 0).ListedUninstaller().has_value();
    Planner planner(run);
    const std::string& home = plan.home;
    planner.Folders(WithoutTrailingSeparator(home), FirstLevel(home));
    for (const std::string& archive : {kArchiveName, kSecondArchiveName}) {
        const std::string path = context.InPackageFolder(archive);
        if (platform::FileExists(path)) PlanArchive(planner, engine, path, home);
    }
    for (const std::string& name : {kSetupProgramName, kSettingsName})
        planner.File(CollapsePath(home + kSep + name), Journal::Kind::File);
    if (state.GroupShortcutsAllowed()) {
        const std::string list = context.InPackageFolder(kShortcutListName);
        std::vector<std::string> lines;
        if (platform::FileExists(list) && ReadTextLines(list, lines) != platform::FileRead::kOk)
            throw context.Failure(kMsgCannotRead, kShortcutListName);
        const std::string group = context.GroupFolder();
        for (const std::string& line : lines) {
            const ShortcutLine fields = ParseShortcutLine(line);
            if (IsBlankLine(line) || CheckShortcutLine(fields)) continue;
            PlanShortcut(planner, fields.name,
                         CollapsePath(group + kSep + LevelsOnDisk(fields.subfolder)));
        }
    }
    const IconChoice shortcuts = state.ShortcutsToMake();
    for (const auto& [wanted, folder] : {std::pair{shortcuts.desktop, context.DesktopDir()},
                                         std::pair{shortcuts.start_menu, context.StartMenuDir()}})
        if (wanted) PlanShortcut(planner, context.config.softname, CollapsePath(folder));
    planner.File(CollapsePath(home + kSep + kManifestName), Journal::Kind::File);

    // What the earlier installation made that this one does not make again goes: its files
    // and shortcuts aside until the run completes, its folders once they are empty.
    if (!plan.earlier_entries.empty()) {
        const RemovalPlaces places(context,
                                   WithoutTrailingSeparator(CollapsePath(context.previous.folder)));
        for (const Journal::Entry& entry : plan.earlier_entries)
            if (!planner.Planned(entry.path) && places.MayRemove(entry)) planner.Retire(entry);
    }
    return run;
}

} // namespace app
