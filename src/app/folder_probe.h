// What the disk says about a folder before anything is written to it: the deepest level of a
// path that exists, and whether a file can be made there.
#pragma once

#include <optional>
#include <string>

namespace app {

// The path itself when it is a folder, else its deepest existing parent; empty when no level
// exists (a drive that is not there). A network path's levels end at its share: the server
// holds no folder to write in, so a share that is not there leaves nothing either.
std::string NearestExistingFolder(std::string folder);

// Whether a file can be created and removed in the folder: not on read-only media, not in a
// folder that does not exist, not where this user may not write (Program Files without
// administrator rights).
bool FolderIsWritable(const std::string& folder);

// Why an installation could not write into `folder`, which it makes where it is missing: the
// system's error code of the step that failed (the nearest existing level looked up, a file
// made or removed there). Nothing when a file can be made and removed in that level.
std::optional<unsigned long> WriteFailureAt(const std::string& folder);

} // namespace app
