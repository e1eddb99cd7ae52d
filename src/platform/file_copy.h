// Whole-file questions and moves of the installation run: is a file there, how big, copy one
// over another, move one aside, and the free space of a drive. Paths are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// True when the path names an existing file (not a folder).
[[nodiscard]] bool FileExists(const std::string& path);

// Copies the file, replacing a target that is there; a read-only target is refused.
[[nodiscard]] bool CopyFileOver(const std::string& from, const std::string& to);

// Renames a file (or folder) within its volume; a target that exists is refused, never replaced.
[[nodiscard]] bool MoveWithoutReplacing(const std::string& from, const std::string& to);

// The size of an existing file; empty for a folder or a path that is not there.
std::optional<uint64_t> FileSizeOf(const std::string& path);

// The bytes the caller may still write on the volume that holds the folder; empty when the
// system cannot say (the folder does not exist, say).
std::optional<uint64_t> FreeBytesAt(const std::string& folder);

} // namespace platform
