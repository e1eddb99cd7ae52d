// Whole-file reads and all-or-nothing replacement of small text files such as the
// settings file. Paths are UTF-8.
#pragma once

#include <cstdint>
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

// A file written at its end, each piece handed to the system at once, so what was written
// survives the program being killed (a log). Closed when the object goes.
class AppendFile {
  public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens the file for writing at its end, creating it when absent; with must_be_new, a
    // file that exists is refused (another run's). False when it cannot be opened.
    [[nodiscard]] bool Open(const std::string& path, bool must_be_new);
    [[nodiscard]] bool Append(const std::string& bytes);
    bool IsOpen() const { return handle_ != kClosed; }

  private:
    static constexpr intptr_t kClosed = -1; // INVALID_HANDLE_VALUE, or no file descriptor
    intptr_t handle_ = kClosed;             // a HANDLE or a file descriptor
};

// Creates a new empty file under a name no file in the folder has yet and returns its path;
// empty when no file can be made there (no such folder, read-only media, no permission).
std::string MakeUniqueFile(const std::string& folder);

} // namespace platform
