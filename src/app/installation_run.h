// One installation run, from the finish button (or /S) to its end: the folder, the archives,
// the setup copies, the shortcuts, the manifest and the record, then the removal of the
// package. Every change goes into the journal first, so a failure at any step takes the run
// back and leaves the machine as it was. Made afresh for each run; it runs on the window
// thread, and the view's message pump after every step and engine report keeps the window
// painting.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/install_state.h"
#include "app/installer_context.h"
#include "app/journal.h"
#include "app/pending_run.h"
#include "app/preflight.h"
#include "unzip/engine.h"

namespace app {

class InstallationRun {
  public:
    InstallationRun(InstallerContext& context, unzip::Engine& engine, const InstallState& state,
                    RunPlan plan)
        : context_(context),
          engine_(engine),
          state_(state),
          plan_(std::move(plan)),
          log_(*context.log),
          pending_path_(PendingRunPath(context)) {}

    // The run up to its commit; a failing step raises platform::Error with the text the box
    // shows, and TakeBack then undoes what it changed.
    void Execute();
    // Everything the run changed taken back, newest first, and the user told what failed and
    // what could not be restored. The package stays for another try.
    void TakeBack(const std::string& failure);
    // After the commit: what was set aside goes, the user is told, the package goes. Nothing
    // is taken back from here on.
    void Finish();

    // Makes every missing level of the path, outermost first, each noted as it is made.
    void CreateFolderLevels(const std::string& path);
    const Journal& RunJournal() const { return journal_; }

  private:
    void ShowProgress(int position, const std::string& text);
    int32_t ExtractArchive(const std::string& archive, const std::string& target);
    void ExtractionCallback(int32_t code, unzip::ReportRecord& record);
    void NoteEngineFolders();
    void ExtractPackageArchive(const std::string& name, const std::string& target);
    void CopySetupFile(const std::string& name, const std::string& target_folder);
    void CreateGroupShortcuts(const std::string& home);
    void CreateMainShortcut(const std::string& home, const std::string& folder);
    void CreateShortcut(const std::string& target, const std::string& name,
                        const std::string& folder);
    void WriteManifestAndRecord(const std::string& home);
    void SetAsideWhatIsInTheWay();
    void RetireEarlierInstallation();
    void NoteNewFile(const std::string& path, Journal::Kind kind, MessageId failure);

    InstallerContext& context_;
    unzip::Engine& engine_;
    const InstallState& state_;
    const RunPlan plan_;
    RunLog& log_;

    Journal journal_; // what the run changed, for taking back or as the manifest
    // The run's changes as planned and kept on disk while it works.
    PendingRun pending_;
    const std::string pending_path_;
    bool pending_written_ = false;
    // The files this run wrote, which a later step may write again without a backup.
    std::unordered_set<std::string> run_files_;
    std::vector<std::string> skipped_shortcuts_; // short.txt lines not made, with why
    // Of the earlier installation's manifest, the entries the new manifest takes over: its
    // folders and what the upgrade could not remove.
    std::vector<Journal::Entry> carried_;
    // The running extraction: how many of the engine's made folders are noted, and whether
    // the member being extracted is a new file.
    size_t folders_noted_ = 0;
    bool new_member_file_ = false;
    int32_t extraction_failure_ = 0; // first failure the engine reported for an archive
    bool working_in_home_ = false;   // the run made the installation folder its working folder
};

} // namespace app
