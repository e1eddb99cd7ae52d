// How the installer composes paths: parts joined with the platform's separator, then every
// run of separators collapsed to one, so that a folder ending in a separator and a part
// starting with one meet with a single separator.
#pragma once

#include <string>

#include "platform/folders.h"

namespace app {

inline const std::string kSep(1, platform::kPathSeparator);

// The root of the system drive as the folder choices offer it.
#ifdef _WIN32
inline const std::string kDriveRoot = "C:\\";
#else
inline const std::string kDriveRoot = "/";
#endif

// Every run of separators becomes one separator. On Windows that is CollapseBackslashes.
// The native build works with "/" but reads the product's files, which separate folders
// with "\", so there a "\" is taken for "/" first.
std::string CollapsePath(const std::string& text);

// The path without one trailing separator, if it has one.
std::string WithoutTrailingSeparator(std::string path);

// The file name part of a path (after its last separator).
std::string FileNameOf(const std::string& path);

// Whether two paths name the same place, and whether `path` lies below `folder` (not at it):
// both taken in full form (platform::FullPathOf) and compared level by level ignoring case, as
// Windows names files. A path that cannot be resolved is neither.
bool SamePath(const std::string& a, const std::string& b);
bool PathWithin(const std::string& path, const std::string& folder);

// The path with the extension of its file name replaced (or, without one, added).
std::string ReplaceExtension(const std::string& path, const std::string& extension);

} // namespace app
