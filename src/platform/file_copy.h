// Whole-file questions and copies of the installation run: is a file there, and copy one
// over another. Paths are UTF-8.
#pragma once

#include <string>

namespace platform {

// True when the path names an existing file (not a folder).
[[nodiscard]] bool FileExists(const std::string& path);

// Copies the file, replacing a target that is there; a read-only target is refused.
[[nodiscard]] bool CopyFileOver(const std::string& from, const std::string& to);

} // namespace platform
