// The uninstall of the installed copy's own installation: it acts on the record and the
// manifest of that installation, and only when it is that installation's own program. It
// removes what the manifest lists where the installation could have put it (the whole folder
// only when the installation made it), and when something resists, says what and keeps the
// record and a manifest of what is left, so a second uninstall can finish.
#pragma once

#include <string>
#include <vector>

#include "app/installer_context.h"
#include "app/journal.h"
#include "app/pending_run.h"

namespace app {

class Uninstaller {
  public:
    explicit Uninstaller(InstallerContext& context) : context_(context) {}

    // Asks, removes and tells; returns the exit code. The window is asked to close unless the
    // user declined the question.
    int Run();

    struct Removal {
        bool complete = false;
        std::string failure; // the box's text when not complete
    };
    // Completes an uninstall that was cut off, as its pending run lists it, without asking.
    Removal Complete(const PendingRun& pending);

  private:
    Removal Remove(const std::string& folder, const std::vector<Journal::Entry>& entries);
    // What an installation of an early release made, as the uninstall removes it: the folder,
    // the product's two main shortcuts and the shortcuts and folders of its group.
    std::vector<Journal::Entry> EarlyInstallationEntries(const std::string& folder) const;
    // The program and its settings file stay for the self-removal batch, the manifest until
    // the record is gone.
    bool IsOwnFile(const std::string& path, const std::string& folder) const;
    // Removes the manifest's entries newest first; returns those that are still there.
    std::vector<Journal::Entry> RemoveListed(const std::string& folder,
                                             const std::vector<Journal::Entry>& entries);

    InstallerContext& context_;
    // The levels the installation made above its folder, innermost first, for the batch.
    std::vector<std::string> parents_made_;
};

} // namespace app
