// What the wizard has gathered: the installation folder, the shortcuts, the page shown and
// whether an early end takes the package away. The window's controls change it through the
// operations below as the user changes them, and the administrator's options are folded in
// once at start-up; the summary, the run and the record a completed run writes read it.
#pragma once

#include <string>

#include "app/configuration.h"
#include "app/install_record.h"
#include "app/wizard_text.h"

namespace app {

class InstallState {
  public:
    const std::string& Folder() const { return folder_; }
    // The shortcuts as ticked, for the summary.
    const IconChoice& Icons() const { return icons_; }
    // The shortcuts the run makes: none at all under /NOICONS, else the ticked ones.
    IconChoice ShortcutsToMake() const { return shortcuts_allowed_ ? icons_ : IconChoice(); }
    bool GroupShortcutsAllowed() const { return shortcuts_allowed_; }
    Page CurrentPage() const { return page_; }
    // Whether shutdown removes the package folder.
    bool CleanupDue() const { return cleanup_due_; }

    // The page the start-up opens: not a move, so an early end still leaves the package.
    void Open(Page page) { page_ = page; }
    void ChooseFolder(const std::string& folder) { folder_ = folder; }
    void ChooseIcons(const IconChoice& icons) { icons_ = icons; }
    // /NOICONS: no shortcut is made, whatever is ticked.
    void ForbidShortcuts() { shortcuts_allowed_ = false; }
    // Any move between pages: from now on an early end removes the package.
    void MoveTo(Page page);
    // The wizard ends without an installation (cancel, a settings file that lacks values).
    void Abandon() { cleanup_due_ = true; }
    // The run dealt with the package itself: removed it when it completed, or kept it for
    // another try when an archive failed.
    void EndRun() { cleanup_due_ = false; }

  private:
    std::string folder_; // the installation folder, as the folder choice shows it
    IconChoice icons_;   // the ticked shortcuts
    bool shortcuts_allowed_ = true;
    Page page_ = Page::kUninstall; // the page control's active page
    bool cleanup_due_ = false;
};

// The record a completed run writes at `key` (its root, base and product key): this package's
// version and release, and the folder chosen.
InstallRecord CompletedRecord(const InstallState& state, const Configuration& config,
                              InstallRecord key);

} // namespace app
