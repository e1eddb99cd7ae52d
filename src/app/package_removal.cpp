#include "app/package_removal.h"

#include "app/folder_probe.h"
#include "app/log_place.h"
#include "app/package_files.h"
#include "app/paths.h"
#include "app/self_removal.h"
#include "platform/file_copy.h"
#include "services/file_utils.h"
#include "services/path_text.h"

namespace app {

bool HoldsInstallation(const InstallerContext& context, const std::string& folder) {
    return platform::FileExists(CollapsePath(folder + kSep + kManifestName)) ||
           (context.previous_found && SamePath(folder, CollapsePath(context.previous.folder)));
}

bool RemoveFolderAndSelf(InstallerContext& context, const FolderAndSelf& request) {
    RunLog& log = *context.log;
    const std::string& program = context.program_file;
    const std::string& folder = request.folder;
    // Asked before anything goes: the removals below may take the folder itself.
    const bool program_removable =
        request.program_removable.value_or(FolderIsWritable(services::FolderPartOf(program)));
    if (request.removal == FolderRemoval::PackageFiles) {
        // The package's folder may hold anything (a downloads folder, the desktop), even an
        // installation: only the package's own files go, never from an installation's folder,
        // and the folder only if that empties it. The product's readme.txt comes in the
        // archive, so a readme.txt there is the user's.
        if (folder.empty() || HoldsInstallation(context, folder)) {
            log.Line("package files kept: " + folder + " holds an installation");
            return false;
        }
        const bool program_here = SamePath(services::FolderPartOf(program), folder);
        std::vector<std::string> names = {kSetupProgramName,  kSettingsName,     kArchiveName,
                                          kSecondArchiveName, kShortcutListName, kLicenceName};
        if (program_here) names.push_back(FileNameOf(program)); // goes with the batch
        for (const std::string& name : names)
            (void)platform::EraseFile(CollapsePath(folder + kSep + name)); // optional ones may lack
        (void)services::RemoveFolder(WithoutTrailingSeparator(folder));    // stays if not empty
        log.Line("package files removed from " + folder);
        // A program started from elsewhere (an installed copy) is not the package's.
        if (!program_here) return false;
    }
    // A program on read-only media, or a path the command interpreter cannot be given exactly,
    // stays: a batch that cannot remove it would only wait in vain.
    const std::string batch = BatchFilePath(context);
    SelfRemovalPaths paths{program, ReplaceExtension(program, ".ini"), folder, batch};
    if (request.removal == FolderRemoval::ProgramOnly) paths.parents = request.parents;
    paths.pending_file = request.pending_file;
    const std::optional<std::string> text = SelfRemovalBatch(paths);
    if (!text || !program_removable) {
        log.Line("no self-removal batch: " + program + " stays where it is");
        return false;
    }
    if (!platform::ReplaceWholeFile(batch, *text))
        throw context.Failure(kMsgCannotWriteBatch, batch, platform::LastErrorCode());
    // The batch works in its own folder, so that no folder it removes is its current one.
    const bool started = context.shell.RunBatchHidden(batch, services::FolderPartOf(batch));
    log.Line((started ? "self-removal batch started: " : "self-removal batch not started: ") +
             batch);
    return started;
}

} // namespace app
