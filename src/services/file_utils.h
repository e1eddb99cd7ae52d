// Small text and folder operations of the installation run and the uninstaller:
// trimming blanks, deleting files by mask and whole folder trees, short paths, and
// the folder primitives. Paths use the platform's separator.
#pragma once

#include <functional>
#include <string>

namespace services {

// Blanks are the space and the tab. A text is never trimmed below one character,
// so a text of blanks only becomes a single blank.
void TrimBlanksLeft(std::string& text);
void TrimBlanksRight(std::string& text);
void TrimBlanks(std::string& text);

// Told of every deletion attempt of DeleteFilesByMask: "Delete file: <path> > OK" or
// "Delete file: <path> >Error". Does nothing unless replaced.
using DeleteReportProc = std::function<void(const std::string& text)>;
extern DeleteReportProc DeleteReport;

// Deletes the entries of folder that match mask. Folders among them and files that
// refuse (read-only, in use) stay, reported as errors.
void DeleteFilesByMask(std::string folder, const std::string& mask);

// Deletes the folder with everything in it that can be deleted. What resists (read-only
// or open files, hidden or system subfolders) stays, and with it the folders above it.
void DeleteFolderTree(std::string folder);

// The short (8.3) form of the path, or the path itself when there is none (for
// example when it does not exist).
std::string ShortPathOf(const std::string& path);

[[nodiscard]] bool FolderExists(const std::string& path);

// Creates one folder. On failure platform::LastErrorCode() tells why (the caller
// counts platform::kErrorAlreadyExists as success).
[[nodiscard]] bool CreateFolder(const std::string& path);

// Creates the folder with all missing parents, outermost first. An empty path, or a
// relative name of one level, raises "Unable to create directory".
[[nodiscard]] bool CreateFolderChain(std::string path);

// Removes one folder; only an empty folder can be removed.
[[nodiscard]] bool RemoveFolder(const std::string& path);

} // namespace services
