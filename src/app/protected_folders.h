// Folders the installer must never install into or remove: a drive's root, the system's and
// the user's own folders, anything holding one of them, and anything inside the Windows
// folder. A new subfolder of Program Files or of the documents is fine.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "services/system_folders.h"

namespace app {

class ProtectedFolders {
  public:
    // A folder that must stay, and with it every folder that holds it. An empty or
    // unresolvable one is skipped.
    void Add(const std::string& folder);
    // The same, and everything inside it must stay too (the Windows folder).
    void AddWithContents(const std::string& folder);

    // The folder that rules out installing into `path` or removing it, in full form: a
    // protected one that is the path, lies inside it or (added with its contents) holds it;
    // the path itself when it is a root or cannot be resolved. Nothing when the path is free.
    // Paths are compared in full form (platform::FullPathOf) with long names, ignoring case.
    std::optional<std::string> ConflictOf(const std::string& path) const;

    bool RefusesInstallInto(const std::string& path) const { return ConflictOf(path).has_value(); }
    bool RefusesRemoval(const std::string& path) const { return ConflictOf(path).has_value(); }

  private:
    struct Entry {
        std::string full;
        std::vector<std::string> levels;
        bool with_contents;
    };
    void AddEntry(const std::string& folder, bool with_contents);

    std::vector<Entry> entries_;
};

// The running system's: the Windows folder with its contents (from the system, `dirs` and
// the SystemRoot and windir variables), the folders of platform::SystemAndUserFolders, every
// folder of `dirs`, and the folders the environment names (Program Files, profile, data,
// temporary folder).
ProtectedFolders SystemProtectedFolders(const services::SystemDirs& dirs);

} // namespace app
