// How the installer composes paths: parts joined with the platform's separator, then every
// run of separators collapsed to one, so that a folder ending in a separator and a part
// starting with one meet with a single separator.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/folders.h"

namespace app {

inline const std::string kSep(1, platform::kPathSeparator);

// The root of the system drive as the folder choices offer it.
#ifdef _WIN32
inline const std::string kDriveRoot = "C:\\";
#else
inline const std::string kDriveRoot = "/";
#endif

// The longest path of a file a program can still be started from and opened by every
// program: the system's old limit, less its ending zero.
constexpr size_t kLongestPath = 259;

// The length of a UTF-8 text in UTF-16 units, as the system counts a name or a path.
size_t SystemLength(const std::string& utf8);

// Every run of separators becomes one separator. On Windows that is CollapseBackslashes, which
// keeps the "\\" of a network path. The native build works with "/" but reads the product's
// files, which separate folders with "\", so there a "\" is taken for "/" first; it has no
// network paths.
std::string CollapsePath(const std::string& text);

// The path without one trailing separator, if it has one.
std::string WithoutTrailingSeparator(std::string path);

// The file name part of a path (after its last separator).
std::string FileNameOf(const std::string& path);

// The length of the "\\server\share" that begins a network path: its root, above which there
// is no folder to make or write in. 0 for any other path, and for one that names no server or
// no share.
size_t NetworkRootLength(const std::string& path);

// The levels of a full path between separators: "C:\Windows" gives "C:" and "Windows", "C:\"
// only "C:", "/" one empty level, "\\srv\share" two empty ones, "srv" and "share".
std::vector<std::string> PathLevels(const std::string& full);
// True when `outer` is `inner` or one of the folders holding it, level by level ignoring case.
bool LevelsHold(const std::vector<std::string>& outer, const std::vector<std::string>& inner);

// Whether two paths name the same place, and whether `path` lies below `folder` (not at it):
// both taken in full form (platform::FullPathOf) and compared level by level ignoring case, as
// Windows names files. A path that cannot be resolved is neither.
bool SamePath(const std::string& a, const std::string& b);

// A key shared by names the system takes for one (ASCII letters folded, every other character
// alike, either separator): it only groups the candidates, which platform::SameNameIgnoringCase
// then compares as the system does. Many names are matched so without comparing every pair.
std::string NameGroupKey(const std::string& name);
bool PathWithin(const std::string& path, const std::string& folder);

// The path with the extension of its file name replaced (or, without one, added).
std::string ReplaceExtension(const std::string& path, const std::string& extension);

} // namespace app
