#include "app/startup.h"

#include <optional>

#include "app/exit_codes.h"
#include "app/folder_probe.h"
#include "app/log_place.h"
#include "app/package_files.h"
#include "app/paths.h"
#include "app/recovery.h"
#include "app/wizard_text.h"
#include "platform/file_copy.h"

namespace app {
namespace {

// A settings file that lacks a value, or whose names cannot be made on disk, ends the program
// before anything is written; the package stays as it is, to be mended. The text shown, or
// nothing when the settings can be used.
std::optional<std::string> ReadConfiguration(InstallerContext& context,
                                             const services::FormStorage& storage) {
    context.messages.ReadOwnTexts(storage);
    context.config = ReadNamedValues(storage);
    context.names = FolderNamesOf(context.config);
    for (const std::string& value : NamedValueTexts(context.config))
        context.log->Line("setup.ini: " + value);
    if (!HasRequiredValues(context.config))
        return context.Msg(kMsgMissingConfiguration) + context.Msg(kMsgMissingConfigurationEnd);
    if (const auto problems = NamedValueProblems(context.config); !problems.empty()) {
        const NamedValueProblem& first = problems.front();
        return context.Msg(kMsgBadFolderName) + "\r" + first.key + "=" + first.value + " (" +
               Describe(first.problem, context.messages) + ")";
    }
    return std::nullopt;
}

// For whom: as the administrator says, else as this user's installation is, else as an
// installation for all users is, else for this user.
InstallScope DecideScope(InstallerContext& context) {
    if (context.options.all_users) return InstallScope::kMachine;
    if (context.options.current_user) return InstallScope::kUser;
    InstallRecord own = context.RecordKey();
    if (own.ReadRecord()) return InstallScope::kUser;
    context.scope = InstallScope::kMachine;
    InstallRecord shared = context.RecordKey();
    const bool machine = shared.ReadRecord();
    context.scope = InstallScope::kUser;
    return machine ? InstallScope::kMachine : InstallScope::kUser;
}

// The folder offered first: the administrator's, else the earlier installation's, else
// Program Files; without administrator rights Program Files takes no files, and the user's
// own programs folder comes first instead (asked only when it would be offered).
std::string FirstFolder(InstallerContext& context, const std::string& program_files_choice) {
    if (context.options.folder) return *context.options.folder;
    if (context.previous_found) return context.previous.folder;
    const std::string user_programs = context.sysdirs.UserProgramsDir();
    if (!context.install_mode || context.scope == InstallScope::kMachine || user_programs.empty() ||
        context.writable(NearestExistingFolder(program_files_choice)))
        return program_files_choice;
    const std::string own = CollapsePath(user_programs + kSep + context.names.regdir);
    context.log->Line("Program Files takes no files from this user: offering " + own);
    return own;
}

void Tell(InstallerContext& context, const std::string& text, unsigned icon) {
    context.view.ShowMessageBox(
        {BoxOwner::None, text, BoxCaption(context.config), icon | kButtonsOk});
}

// Deals with the product's pending run and says in one box what was done. The exit code when
// the program ends here: a pending run it cannot deal with refuses this one, and an installed
// copy whose cut-off uninstall it completed has nothing left to do.
std::optional<int> Recover(InstallerContext& context) {
    const Recovery recovery = RecoverPendingRun(context);
    const int refused = context.install_mode ? kExitRunFailed : kExitUninstallIncomplete;
    switch (recovery.outcome) {
    case Recovery::Outcome::kNothing: return std::nullopt;
    case Recovery::Outcome::kBroken:
        Tell(context, context.Msg(kMsgPendingBroken) + "\r" + recovery.pending_path, kIconError);
        return refused;
    case Recovery::Outcome::kLeft: {
        std::string text =
            context.Msg(kMsgRecoveredTakenBack) + "\r" + context.Msg(kMsgNotRestored);
        for (const std::string& path : recovery.left) text += "\r" + path;
        Tell(context, text, kIconError);
        return refused;
    }
    case Recovery::Outcome::kTakenBack:
        Tell(context, context.Msg(kMsgRecoveredTakenBack), kIconInformation);
        return std::nullopt;
    case Recovery::Outcome::kFinished:
        Tell(context, context.Msg(kMsgRecoveredFinished), kIconInformation);
        return std::nullopt;
    case Recovery::Outcome::kUninstall:
        if (!recovery.failure.empty()) {
            Tell(context, recovery.failure, kIconError);
            return kExitUninstallIncomplete;
        }
        Tell(context, context.Msg(kMsgRecoveredUninstall), kIconInformation);
        // The uninstalled copy itself has done its work; a package goes on to install.
        if (!context.install_mode) return kExitCompleted;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

StartupResult StartUp(InstallerContext& context, services::FormStorage& storage,
                      platform::NamedMutex& mutex, InstallState& state, const ProgramPlace& place) {
    StartupResult result;
    context.startup_folder = place.startup_folder;
    context.program_file = place.program_file;
    context.package_folder = PackageFolderOf(place);
    storage.SetIniFileName(context.InPackageFolder(kSettingsName));
    RunLog& log = *context.log;
    log.Line("program: " + context.program_file + " in " + context.startup_folder);
    if (!SamePath(context.package_folder, CollapsePath(context.startup_folder + kSep)))
        log.Line("settings: " + context.InPackageFolder(kSettingsName));
    const std::optional<std::string> unusable = ReadConfiguration(context, storage);
    context.previous = context.RecordKey();
    OpenRunLog(context);
    if (unusable) {
        context.view.ShowMessageDialog(DialogKind::Error, *unusable);
        result.exit_code = kExitConfiguration;
        return result;
    }
    context.messages.NameProduct(context.config.softname);
    result.title = TitleText(context.config);
    result.product = context.config.softname;
    result.tags = TagsFor(context.config);
    if (context.options.no_icons) state.ForbidShortcuts();

    // The archive beside the settings decides the mode: a package folder installs, an
    // installed copy (which has no archive) uninstalls.
    context.install_mode = platform::FileExists(context.InPackageFolder(kArchiveName));
    if (context.install_mode) result.page = Page::kPortal;
    log.Line(context.install_mode ? "mode: install" : "mode: uninstall");
    state.Open(result.page);

    if (!mutex.Create(context.config.idn)) {
        context.view.ShowMessageBox({BoxOwner::None, context.Msg(kMsgAlreadyRunning),
                                     BoxCaption(context.config), kIconError | kButtonsOk});
        mutex.Close();
        result.exit_code = kExitSecondInstance;
        return result;
    }

    context.scope = DecideScope(context);
    log.Line(context.scope == InstallScope::kMachine ? "for all users" : "for this user");
    if (context.scope == InstallScope::kMachine && !context.administrator()) {
        log.Line("for all users the administrator's rights are needed");
        mutex.Close(); // the copy started with the rights takes it
        result.exit_code = StartupResult::kNeedsElevation;
        return result;
    }

    // Before anything else, what a run or an uninstall that was cut off left is dealt with.
    if (const std::optional<int> end = Recover(context)) {
        result.exit_code = *end;
        return result;
    }

    // An earlier installation's record only lends its folder until the folder page speaks.
    context.previous = context.RecordKey();
    context.previous_found = context.previous.ReadRecord();
    if (context.previous_found)
        log.Line("installed: version " + context.previous.version + "." + context.previous.release +
                 " in " + context.previous.folder);
    result.licence_lines = LicenceLines(context.package_folder, context.messages);
    result.folder_choices = FolderChoices(context.sysdirs, context.names.regdir, context.messages);
    result.folder_choices[kChoiceProgramFiles] =
        FirstFolder(context, result.folder_choices[kChoiceProgramFiles]);
    state.ChooseFolder(result.folder_choices[kChoiceProgramFiles]);
    return result;
}

} // namespace app
