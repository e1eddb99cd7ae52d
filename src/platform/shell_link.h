// Shell shortcut files (.lnk) through the shell link object, and the COM apartment it
// needs. The native build writes a small text file with the same two fields instead,
// so that the logic above it can be tested without Windows.
#pragma once

#include <optional>
#include <string>

namespace platform {

// COM for the creating thread as a single-threaded apartment, released with the object.
// The program makes one on the window thread before it creates any window; COM itself is
// set up when the thread first needs it (a shortcut, a document opened through the shell).
class ComApartment {
  public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    // Sets COM up for the thread now if it is not yet; false if the system refused.
    [[nodiscard]] bool Initialize();

#ifdef _WIN32
  private:
    ComApartment* outer_ = nullptr; // the thread's apartment before this one
    bool tried_ = false;
    bool initialized_ = false;
#endif
};

// Sets up the calling thread's apartment if the thread has one; COM calls on a thread
// without one fail as the system makes them fail.
void EnsureThreadApartment();

struct ShellLinkFields {
    std::string target;
    std::string working_folder;
};

// Writes a shortcut with the given target and working folder to file, overwriting one
// that is there. Raises Error when the shell link object cannot be made (the system's
// text for the code, else "OLE error xxxxxxxx") or lacks an interface we use
// ("Interface not supported"). False when the fields cannot be set or the file cannot be
// written (a missing folder, a full drive).
[[nodiscard]] bool SaveShellLink(const ShellLinkFields& fields, const std::string& file);

// The target and working folder of a shortcut file; nothing when it cannot be read.
std::optional<ShellLinkFields> LoadShellLink(const std::string& file);

} // namespace platform
