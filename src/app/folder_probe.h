// What the disk says about a folder before anything is written to it: the deepest level of a
// path that exists, and whether a file can be made there.
#pragma once

#include <string>

namespace app {

// The path itself when it is a folder, else its deepest existing parent; empty when no level
// exists (a drive that is not there).
std::string NearestExistingFolder(std::string folder);

// Whether a file can be created and removed in the folder: not on read-only media, not in a
// folder that does not exist, not where this user may not write (Program Files without
// administrator rights).
bool FolderIsWritable(const std::string& folder);

} // namespace app
