#include "app/recovery.h"

#include "app/package_files.h"
#include "app/paths.h"
#include "app/pending_run.h"
#include "app/removal_places.h"
#include "app/uninstaller.h"
#include "platform/file_copy.h"
#include "platform/folders.h"
#include "services/path_text.h"

namespace app {
namespace {

using What = PendingRun::Change::What;

// The record and the Apps list's entry as they were before the run: the earlier installation's,
// or none where the run's own may have been written.
void RestoreRecord(InstallerContext& context, const PendingRun& run,
                   std::vector<std::string>& left) {
    InstallRecord record = context.RecordKey();
    const AppsEntry ours = context.AppsEntryOf(record, 0);
    const std::string uninstaller = CollapsePath(run.folder + kSep + kSetupProgramName);
    if (run.record_before) {
        InstallRecord before = *run.record_before;
        before.root = record.root;
        before.base_key = record.base_key;
        before.product_key = record.product_key;
        if (!before.WriteRecord()) left.push_back(before.KeyPath());
        if (run.listed_before && !context.AppsEntryOf(before, 0).Write())
            left.push_back(ours.KeyPath());
    } else if (record.ReadRecord() && SamePath(record.folder, run.folder)) {
        record.DeleteRecord();
    }
    const auto listed = ours.ListedUninstaller();
    if (!run.listed_before && listed && SamePath(*listed, uninstaller) && !ours.Remove())
        left.push_back(ours.KeyPath());
}

void Restore(const std::string& backup, const std::string& path, std::vector<std::string>& left) {
    if (!platform::FileExists(backup)) return; // never moved aside, or back already
    if ((platform::FileExists(path) && !platform::EraseFile(path)) ||
        !platform::MoveWithoutReplacing(backup, path))
        left.push_back(path);
}

// A pending run is acted on only where such a run can have made its changes (the places of
// its folder) and a backup only beside its file: the file lies where others may have been able
// to write it first.
bool Ours(const RemovalPlaces& places, const PendingRun::Change& change) {
    if (!places.MayRemove({change.kind, change.path, {}})) return false;
    return change.backup.empty() ||
           SamePath(services::FolderPartOf(change.backup), services::FolderPartOf(change.path));
}

// Newest first, as the run made them: its files go, what it set aside comes back, its folders
// go once empty, and the record is as it was.
std::vector<std::string> TakeBack(InstallerContext& context, const PendingRun& run) {
    std::vector<std::string> left;
    RestoreRecord(context, run, left);
    const RemovalPlaces places(context, run.folder);
    for (auto change = run.changes.rbegin(); change != run.changes.rend(); ++change) {
        if (!Ours(places, *change)) {
            context.log->Line("not a change of the run's places, left alone: " + change->path);
            continue;
        }
        switch (change->what) {
        case What::kNew:
            if (platform::FileExists(change->path) && !platform::EraseFile(change->path))
                left.push_back(change->path);
            break;
        case What::kFolder:
            (void)platform::RemoveEmptyFolder(change->path); // one holding the user's stays
            break;
        case What::kReplace:
        case What::kRetire: Restore(change->backup, change->path, left); break;
        default: break;
        }
    }
    return left;
}

// A run that had completed: only what it set aside is left to go.
std::vector<std::string> Finish(InstallerContext& context, const PendingRun& run) {
    std::vector<std::string> left;
    const RemovalPlaces places(context, run.folder);
    for (const PendingRun::Change& change : run.changes) {
        if (!Ours(places, change)) continue;
        if ((change.what == What::kReplace || change.what == What::kRetire) &&
            platform::FileExists(change.backup) && !platform::EraseFile(change.backup))
            left.push_back(change.backup);
        if (change.what == What::kCarry) (void)platform::RemoveEmptyFolder(change.path);
    }
    return left;
}

} // namespace

Recovery RecoverPendingRun(InstallerContext& context) {
    Recovery recovery;
    recovery.pending_path = PendingRunPath(context);
    PendingRun run;
    switch (ReadPendingRun(recovery.pending_path, run)) {
    case PendingRead::kNone: return recovery;
    case PendingRead::kBroken:
        context.log->Line("pending run unreadable, kept: " + recovery.pending_path);
        recovery.outcome = Recovery::Outcome::kBroken;
        return recovery;
    case PendingRead::kRead: break;
    }
    RunLog& log = *context.log;
    const bool install = run.kind == PendingRun::Kind::kInstall;
    const bool committed = run.phase == PendingRun::Phase::kCommitted;
    log.Line(std::string("pending ") + (install ? "run" : "uninstall") + " found (" +
             (committed ? "committed" : "not committed") + "): " + run.folder);
    if (install) {
        recovery.left = committed ? Finish(context, run) : TakeBack(context, run);
        recovery.outcome = committed ? Recovery::Outcome::kFinished : Recovery::Outcome::kTakenBack;
    } else {
        // The earlier record is the uninstalled installation's, if it is still there.
        context.previous = context.RecordKey();
        (void)context.previous.ReadRecord(); // gone already when the uninstall got that far
        const Uninstaller::Removal removal = Uninstaller(context).Complete(run);
        recovery.outcome = Recovery::Outcome::kUninstall;
        recovery.folder = run.folder;
        if (!removal.complete) recovery.failure = removal.failure;
        // The removal keeps or erases the pending run itself (the batch erases it last).
        for (const std::string& path : recovery.left) log.Line("not done: " + path);
        return recovery;
    }
    for (const std::string& path : recovery.left) log.Line("not done: " + path);
    if (!recovery.left.empty()) {
        recovery.outcome = Recovery::Outcome::kLeft;
        return recovery; // kept: the next start tries again
    }
    if (!platform::EraseFile(recovery.pending_path))
        log.Line("the pending run could not be erased: " + recovery.pending_path);
    return recovery;
}

} // namespace app
