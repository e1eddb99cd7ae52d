// setup.exe /S: the same start-up, run and uninstall as the wizard's, with no window and no
// question. Everything a box would say goes to the log; the exit code tells the outcome.
#pragma once

#include "app/command_line.h"
#include "app/installer.h"
#include "app/run_log.h"

namespace app {

// From a package, installs into the /D= folder, else the earlier installation's, else the
// wizard's first choice, with the shortcuts the wizard makes untouched (the product's group
// from short.txt; none with /NOICONS). From the installed copy, uninstalls. Returns the
// exit code.
int RunUnattended(const ProgramPlace& place, const CommandLine& options, RunLog& log);

} // namespace app
