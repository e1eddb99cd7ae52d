// What a start of the product's setup.exe does first with a run or an uninstall that was cut
// off (killed, or the power gone) and left its pending run on disk: a run that did not reach
// its commit is taken back, one that did is finished, an uninstall is completed. The machine is
// then as before the run, or as after a completed one.
#pragma once

#include <string>
#include <vector>

#include "app/installer_context.h"

namespace app {

struct Recovery {
    enum class Outcome {
        kNothing,   // nothing was pending
        kTakenBack, // a run, taken back
        kFinished,  // a run that had completed, its leftovers removed
        kUninstall, // an uninstall, completed
        kBroken,    // a pending run that cannot be read whole: kept, nothing done
        kLeft,      // some of it could not be done: the pending run stays for the next start
    };
    Outcome outcome = Outcome::kNothing;
    std::string pending_path;
    std::vector<std::string> left; // what could not be taken back, removed or restored
    std::string failure;           // why an uninstall could not be completed
    // The uninstalled folder, for a completed uninstall.
    std::string folder;
};

// Looks for the product's pending run and deals with it, logging every step.
Recovery RecoverPendingRun(InstallerContext& context);

} // namespace app
