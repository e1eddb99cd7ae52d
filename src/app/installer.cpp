#include "app/installer.h"

#include "app/installation_run.h"
#include "app/log_place.h"
#include "app/package_removal.h"
#include "app/paths.h"
#include "app/uninstaller.h"
#include "app/wizard_text.h"

namespace app {

Installer::Installer(InstallerView& view, SystemShell& shell, const services::SystemDirs& sysdirs,
                     services::FormStorage& storage, unzip::Engine& engine)
    : context_(view, shell, sysdirs), storage_(storage), engine_(engine) {}

void Installer::SetRecordBaseKey(const std::string& key) {
    context_.record_base_key = key;
    context_.apps_list_key = key + "\\Apps";
}

StartupResult Installer::Start(const ProgramPlace& place) {
    return StartUp(context_, storage_, mutex_, state_, place);
}

Installer::ComposedTexts Installer::TakeMessages(std::vector<std::string> lines) {
    context_.messages.Replace(std::move(lines));
    ComposedTexts texts;
    texts.other_folder =
        FolderChoices(context_.sysdirs, context_.names.regdir, context_.messages)[kChoiceOther];
    if (!HasLicenceFile(context_.package_folder))
        texts.licence_lines = LicenceLines(context_.package_folder, context_.messages);
    return texts;
}

void Installer::SaveNamedValues(services::FormStorage& storage) const {
    WriteNamedValues(storage, context_.config);
}

std::vector<std::string> Installer::Summary() const {
    std::vector<std::string> lines =
        SummaryLines(state_.Folder(), state_.Icons(), context_.messages);
    // An upgrade or a reinstall says which version it replaces, after the folder's line.
    const InstallRecord& previous = context_.previous;
    if (context_.previous_found && lines.size() > 2)
        lines.insert(lines.begin() + 2,
                     context_.Msg(kMsgInstalledVersion) + " " + previous.version + "." +
                         previous.release + " " + context_.Msg(kMsgReplacedByVersion) + " " +
                         std::to_string(context_.config.sversion) + "." + context_.config.srelease);
    return lines;
}

std::vector<std::string> Installer::ChooseIcons(const IconChoice& icons) {
    state_.ChooseIcons(icons);
    return Summary();
}

std::vector<std::string> Installer::MovePage(Page page) {
    // A typed folder is checked when the user goes on from its page; going back is free.
    const bool onwards = state_.CurrentPage() == Page::kDirectory && page > Page::kDirectory;
    if (onwards) {
        if (const NameProblem problem = CheckFolderPath(state_.Folder())) {
            context_.ShowErrorBox(context_.Msg(kMsgBadTargetPath) + "\r" + state_.Folder() + " (" +
                                  Describe(problem, context_.messages) + ")");
            return Summary();
        }
    }
    state_.MoveTo(page);
    return Summary();
}

void Installer::CancelWizard() {
    context_.view.ShowMessageDialog(DialogKind::Information, context_.Msg(kMsgCancelled));
    state_.Abandon();
    exit_code_ = kExitCancelled;
    context_.view.Close();
}

void Installer::CancelUninstall() {
    context_.view.Close();
}

void Installer::RunInstallation() {
    if (running_) return; // a second click while the run works
    // The folder as Windows makes it, so the checks, the journal and the record see that path.
    const std::string home = CollapsePath(LevelsOnDisk(state_.Folder()));
    RunLog& log = *context_.log;
    const IconChoice icons = state_.ShortcutsToMake();
    log.Line("folder: " + home);
    log.Line(!state_.GroupShortcutsAllowed()
                 ? "shortcuts: none (/NOICONS)"
                 : std::string("shortcuts: group") + (icons.desktop ? ", desktop" : "") +
                       (icons.start_menu ? ", Start menu" : ""));
    KeepLogOutOf(context_, home);
    Preflight preflight(context_, engine_, state_);
    try {
        PreflightAnswers answers;
        for (bool ask_again = true; ask_again;)
            if (!Settle(preflight.Check(home, answers), answers, ask_again)) return;
    } catch (const platform::Error& error) {
        context_.view.ShowErrorReport(error.what());
        return;
    }
    running_ = true;
    InstallationRun run(context_, engine_, state_, preflight.Plan());
    try {
        run.Execute();
    } catch (const platform::Error& error) {
        run.TakeBack(error.what());
        state_.EndRun();
        exit_code_ = kExitRunFailed;
        running_ = false;
        return;
    }
    state_.EndRun();
    exit_code_ = kExitCompleted;
    // Committed: nothing is taken back from here on. A later failure (the self-removal batch
    // cannot be written) is shown and logged, and the installation stays complete.
    try {
        run.Finish();
    } catch (const platform::Error& error) {
        log.Line("after the completed installation: " + std::string(error.what()));
        context_.view.ShowErrorReport(error.what());
        context_.view.Close();
    }
    running_ = false;
}

bool Installer::Settle(const PreflightVerdict& verdict, PreflightAnswers& answers,
                       bool& ask_again) {
    using Kind = PreflightVerdict::Kind;
    ask_again = false;
    switch (verdict.kind) {
    case Kind::kGo: return true;
    case Kind::kAsk:
        if (context_.view.ShowMessageBox({BoxOwner::Application, verdict.text,
                                          BoxCaption(context_.config), verdict.flags}) !=
            kAnswerYes)
            return false;
        answers.Accept(verdict.question);
        ask_again = true;
        return true;
    case Kind::kRefuse:
    case Kind::kEnd:
        if (verdict.shown)
            context_.ShowErrorBox(verdict.text);
        else
            context_.log->Line("refused: " + verdict.text);
        // Unattended, a refusal ends the program: nobody is there to choose another folder.
        exit_code_ = verdict.exit_code == kExitCancelled && Unattended(context_.options)
                         ? kExitRunFailed
                         : verdict.exit_code;
        if (verdict.kind == Kind::kEnd) {
            // The package stays as it is, to be mended.
            state_.EndRun();
            context_.view.Close();
        }
        return false;
    }
    return false;
}

void Installer::Uninstall() {
    try {
        exit_code_ = Uninstaller(context_).Run();
    } catch (const platform::Error& error) {
        exit_code_ = kExitUninstallIncomplete;
        context_.view.ShowErrorReport(error.what());
    }
    if (exit_code_ == kExitCompleted) mutex_.Close();
}

void Installer::ShutDown() {
    // An abandoned wizard takes its package folder with it. It leaves the installation
    // record alone: a record there now belongs to an earlier, completed installation and is
    // the only way to uninstall that one, since a run writes its own only when it completes.
    // Only a package unpacked into the temporary folder is removed so: from a download folder,
    // a USB stick or a CD the package stays for another try.
    try {
        if (state_.CleanupDue() && context_.install_mode &&
            PathWithin(context_.package_folder, context_.sysdirs.TempDir()))
            RemoveFolderAndSelf(context_, {CollapsePath(context_.package_folder)});
    } catch (const platform::Error& error) {
        context_.view.ShowErrorReport(error.what());
    }
    mutex_.Close();
}

} // namespace app
