// Whole-file reads and all-or-nothing replacement of small text files such as the
// settings file. Paths are UTF-8.
#pragma once

#include <string>

namespace platform {

enum class FileRead {
    kOk,
    kAbsent,   // no such file, but its folder exists
    kNoFolder, // the folder it would be in does not exist (or is a file)
    kFailed,   // it exists but cannot be read: a folder, no permission, an I/O error
};

// Reads the whole file into `contents` (left empty unless kOk).
FileRead ReadWholeFile(const std::string& path, std::string& contents);

// Puts `contents` in place of the file at `path`, creating it when absent. The bytes go to a
// new file beside it that then replaces it in one step, so the file is always either the old
// one or the new one, never truncated or half written (a full disk fails before the old file
// is touched). A read-only file is refused. On false nothing has changed and no temporary
// file is left behind.
[[nodiscard]] bool ReplaceWholeFile(const std::string& path, const std::string& contents);

// Creates a new empty file under a name no file in the folder has yet and returns its path;
// empty when no file can be made there (no such folder, read-only media, no permission).
std::string MakeUniqueFile(const std::string& folder);

} // namespace platform
