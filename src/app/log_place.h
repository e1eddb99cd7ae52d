// Where the run's log is written: where /LOG= says, unless that is a file the installation
// writes or manages, else a new file in the temporary folder named after the product.
#pragma once

#include <string>

#include "app/installer_context.h"

namespace app {

// Opens the log once the settings are read: the lines held until then go into it.
void OpenRunLog(InstallerContext& context);

// A log that lies in `folder` (the folder a run installs into) moves to the temporary folder,
// saying so in both.
void KeepLogOutOf(InstallerContext& context, const std::string& folder);

// The self-removal batch, in the temporary folder; no log may be written there either.
std::string BatchFilePath(const InstallerContext& context);

} // namespace app
