// The main window's creation: the package's settings and texts, the mode, the single-instance
// guard, the log, the earlier installation, the licence and the folder choices.
#pragma once

#include <string>
#include <vector>

#include "app/install_state.h"
#include "app/installer_context.h"
#include "app/program_place.h"
#include "platform/single_instance.h"
#include "services/form_storage.h"

namespace app {

// What the window does with the start-up's decisions.
struct StartupResult {
    static constexpr int kKeepRunning = -1;
    // An installation for all users without the administrator's rights: the program asks
    // Windows to start it again with them (unattended, it ends with kExitNeedsAdministrator).
    static constexpr int kNeedsElevation = -2;
    int exit_code = kKeepRunning;            // the program ends now with this code
    Page page = Page::kUninstall;            // the page to open
    std::string title;                       // caption of the title label
    std::string product;                     // the package's softname
    NavigationTags tags;                     // Tags of the two buttons that skip the icon page
    std::vector<std::string> licence_lines;  // the licence page's text
    std::vector<std::string> folder_choices; // entries of the folder choice; select entry 0
};

// Reads the package into the context and opens the page: setup.ini from the package's folder,
// the mode by its archive, the guard named by "idn" (3 when another copy holds it), the log,
// the earlier installation's record. The state gets the page and the folder offered first,
// with the administrator's options folded in.
StartupResult StartUp(InstallerContext& context, services::FormStorage& storage,
                      platform::NamedMutex& mutex, InstallState& state, const ProgramPlace& place);

} // namespace app
