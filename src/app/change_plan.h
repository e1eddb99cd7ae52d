// The changes an installation run will make, each decided before any is made: the folders it
// makes, the files and shortcuts it writes that were not there, the ones that were there and
// where each is set aside, and what an upgrade retires of the earlier version. Written to disk
// as the pending run before the first change, it lets the next start take back a run that was
// cut off, and lets the run set every file that is in the way aside at once.
#pragma once

#include "app/install_state.h"
#include "app/installer_context.h"
#include "app/pending_run.h"
#include "app/preflight.h"
#include "unzip/engine.h"

namespace app {

// The pending run of an installation into plan.home, in the order the run makes its changes.
// Raises platform::Error when short.txt is there but cannot be read.
PendingRun PlanChanges(InstallerContext& context, unzip::Engine& engine, const InstallState& state,
                       const RunPlan& plan);

// Where the engine puts a member's file below `home` (the same joining it does).
std::string MemberPath(const std::string& home, const std::string& relative);

} // namespace app
