// What goes when a run or an uninstall ends: the package's own files from the folder it was
// read from (never from an installation's folder), and the program with its settings file and
// its folder through the self-removal batch once the program has ended.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/installer_context.h"

namespace app {

enum class FolderRemoval {
    ProgramOnly,  // the installation folder: the uninstall removed the rest already
    PackageFiles, // the package's folder: only the package's own files
};

// Whether a folder holds an installation (a manifest, or this product's record names it).
bool HoldsInstallation(const InstallerContext& context, const std::string& folder);

struct FolderAndSelf {
    std::string folder;
    FolderRemoval removal = FolderRemoval::PackageFiles;
    // The levels an installation made above its folder, innermost first, for the batch.
    std::vector<std::string> parents = {};
    // Whether the program's folder takes changes, asked before anything was removed; asked
    // now when not given.
    std::optional<bool> program_removable = std::nullopt;
    // An uninstall's pending run, which the batch erases last; empty for none.
    std::string pending_file = {};
};

// Raises platform::Error, with the text the error box shows, when the batch cannot be written.
// Returns whether a batch was started (it then erases the pending file).
bool RemoveFolderAndSelf(InstallerContext& context, const FolderAndSelf& request);

} // namespace app
