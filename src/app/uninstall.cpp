// The uninstaller, the self-removal that ends every run of a package or an installed copy,
// and the cleanup at shutdown.
#include "app/installer.h"
#include "app/package_files.h"
#include "app/paths.h"
#include "platform/code_page.h"
#include "platform/error.h"
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

void Installer::RemoveInstallation() {
    // A record without a folder says nothing about what to remove: removing "" would reach
    // wherever an empty path leads, so it counts as no record.
    if (!previous_.ReadRecord() || IsBlank(previous_.folder)) {
        view_.ShowMessageBox({BoxOwner::Application, Msg(kMsgNoRecord), BoxCaption(config_),
                              kIconError | kButtonsOk});
        view_.Close();
        return;
    }
    const std::string question = Msg(kMsgUninstallAllFiles) + " " + previous_.folder + " " +
                                 Msg(kMsgUninstallWillGo) + "\r" + Msg(kMsgUninstallQuestion);
    if (view_.ShowMessageBox(
            {BoxOwner::Application, question, "", kButtonsYesNo | kIconExclamation}) != kAnswerYes)
        return;

    // A shortcut the user removed already is no failure.
    (void)platform::EraseFile(sysdirs_.StartMenuDir() + kSep + config_.softname + ".lnk");
    (void)platform::EraseFile(sysdirs_.DeskTopDir() + kSep + config_.softname + ".lnk");
    short_install_folder_ = services::ShortPathOf(previous_.folder);
    services::DeleteFolderTree(GroupFolder());
    previous_.DeleteRecord();
    RemoveFolderAndSelf(short_install_folder_, FolderRemoval::WholeTree);
    view_.ShowMessageBox({BoxOwner::Application, Msg(kMsgUninstalled), BoxCaption(config_),
                          kIconInformation | kButtonsOk});
    mutex_.Close();
    view_.Close();
}

void Installer::ShutDown() {
    // An abandoned wizard takes its package folder with it. It leaves the installation
    // record alone: a record there now belongs to an earlier, completed installation and is
    // the only way to uninstall that one, since a run writes its own only when it completes.
    try {
        if (state_.CleanupDue() && !program_folder_.empty())
            RemoveFolderAndSelf(CollapsePath(program_folder_), FolderRemoval::PackageFiles);
    } catch (const platform::Error& error) {
        view_.ShowErrorReport(error.what());
    }
    mutex_.Close();
}

void Installer::RemoveFolderAndSelf(const std::string& folder, FolderRemoval removal) {
    if (removal == FolderRemoval::WholeTree) {
        services::DeleteFolderTree(folder);
    } else if (!folder.empty()) {
        // The folder setup was started from may hold anything (a downloads folder, the
        // desktop): only the package's own files go, and the folder only if that empties it.
        for (const std::string& name :
             {FileNameOf(program_file_), kSettingsName, kArchiveName, kSecondArchiveName,
              kShortcutListName, kLicenceName, kReadmeName})
            (void)platform::EraseFile(CollapsePath(folder + kSep + name)); // optional ones may lack
        (void)services::RemoveFolder(WithoutTrailingSeparator(folder));    // stays if not empty
    }
    const std::string batch = BatchFilePath();
    if (!platform::ReplaceWholeFile(batch, platform::Utf8ToOem(SelfRemovalBatch(folder))))
        throw InputOutputError(platform::LastErrorCode());
    // The batch works in its own folder, so that no folder it removes is its current one.
    shell_.RunBatchHidden(batch, services::FolderPartOf(batch));
}

std::string Installer::BatchFilePath() const {
    return CollapsePath(sysdirs_.TempDir() + kSep + "setup123.bat");
}

std::string Installer::SelfRemovalBatch(const std::string& folder) const {
    const std::string settings = ReplaceExtension(program_file_, ".ini");
    // Each loop retries until its file is gone: the program's own file until the program has
    // ended, its settings file until the program has written it for the last time.
    const std::string lines[] = {
        ":1",
        "Erase \"" + program_file_ + "\"",
        "If exist \"" + program_file_ + "\" Goto 1",
        ":2",
        "Erase \"" + settings + "\"",
        "If exist \"" + settings + "\" Goto 2",
        "rd \"" + WithoutTrailingSeparator(folder) + "\"",
        "Erase \"" + BatchFilePath() + "\"",
    };
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

} // namespace app
