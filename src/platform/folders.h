// File and folder primitives of the services: delete a file, folder search, create
// and remove one folder, short and full path names, and the last error code. Paths are UTF-8
// with the platform's separator; the native build works on POSIX paths.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The code Windows gives when a folder to create is already there.
constexpr unsigned long kErrorAlreadyExists = 183;

// Deletes one file. Folders and read-only files are refused. In the native build a
// file without its owner's write permission counts as read-only, whoever asks.
[[nodiscard]] bool EraseFile(const std::string& path);

// True when the path names an existing folder.
[[nodiscard]] bool IsFolder(const std::string& path);

// Creates one folder; its parent must exist.
[[nodiscard]] bool MakeFolder(const std::string& path);

// Removes one folder; only an empty folder can be removed.
[[nodiscard]] bool RemoveEmptyFolder(const std::string& path);

enum class SearchFilter {
    AnyEntry,        // every entry
    SkipHiddenSystem // plain entries and folders, not hidden, system or volume entries,
                     // nor links and junctions (which lead elsewhere)
};

// The names of the folder's entries that match the mask ("*" and "?" wildcards;
// "*.*" matches every name), "." and ".." included where the system lists them.
std::vector<std::string> FindEntries(const std::string& folder, const std::string& mask,
                                     SearchFilter filter);

// The short (8.3) form of an existing path; empty when the system gives none. The
// native build has no short forms and returns the path itself when it exists.
std::string ShortPathName(const std::string& path);

// The full form of a path, one spelling per folder: a relative path taken from the current
// folder, "." and ".." levels resolved, separators not doubled, none at the end unless the
// path is a root ("C:\", "/"). Windows also reads "/" as "\" and drops a "\\?\", "\\.\"
// or "\??\" before a drive or "UNC\", which would otherwise give the same folder a second
// spelling. Only the text is read: links are not followed, the path need not exist, the
// case is kept. Nothing when the system cannot resolve it (an empty path, say).
std::optional<std::string> FullPathOf(const std::string& path);

// Where a path really leads: its full path with every link, junction and mount point on the
// way followed, as the file system resolves it when the path is opened. Levels that do not
// exist follow the deepest one that does, as they stand. Nothing when no level resolves.
std::optional<std::string> ResolvedPathOf(const std::string& path);

// A full path with the short (8.3) names of its existing levels replaced by the long ones, up
// to the first level that does not exist ("C:\PROGRA~1\New" gives "C:\Program Files\New").
// The native build has no short names and returns the path itself.
std::string LongPathName(const std::string& full);

// True when two names of one folder level name the same entry: equal ignoring case (the
// native build folds ASCII letters only).
bool SameNameIgnoringCase(const std::string& a, const std::string& b);

// The Windows error code of the last failed call above (natively translated from
// errno for the codes callers look at: 183 already exists, 3 path not found, 5 denied).
unsigned long LastErrorCode();

// The system's text for an error code without trailing line breaks; empty when the
// system has none.
std::string SystemErrorText(unsigned long code);

} // namespace platform
