// The running program and what it starts: its own file, its working folder, a batch file
// run hidden and the shell's "open" of a document. The native build has neither a command
// interpreter nor a shell; its stand-ins for those two record each request instead, so the
// logic above them can be tested.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The full path of the running program file.
std::string ProgramFilePath();

// The program's command line after its own name (quoted or not) and the blanks that follow,
// exactly as given. Empty in the native build.
std::string CommandLineArguments();

// The working folder, without a trailing separator except at a root.
std::string CurrentFolder();
[[nodiscard]] bool ChangeCurrentFolder(const std::string& folder);

// Starts the command interpreter on the batch file with no window, in working_folder (the
// caller's own when empty), and returns without waiting. False when it could not start.
[[nodiscard]] bool RunBatchHidden(const std::string& batch_file, const std::string& working_folder);

// Asks the shell to open the document with its associated program, shown normally, and
// returns without waiting. False when the shell refused.
[[nodiscard]] bool OpenDocument(const std::string& path);

// Whether the process holds the administrator's rights: a member of the Administrators group
// whose token is not filtered (elevated). The native build: always.
bool HasAdministratorRights();
// Whether the program runs as the system's own account, as deployment tools start it.
bool RunsAsSystemAccount();

#ifdef _WIN32
// Asks the shell to start the program with the administrator's rights (the "runas" verb: the
// user sees the consent prompt) with the arguments and working folder given, and waits for
// it. Its exit code; nothing when it could not be started or the user declined.
std::optional<unsigned long> RunElevatedAndWait(const std::string& program,
                                                const std::string& arguments,
                                                const std::string& working_folder);

// Starts the program with the arguments as they are given (they follow its quoted name on its
// command line), in working_folder, and waits for it to end. Its exit code; nothing when it
// could not be started.
std::optional<unsigned long> RunProgramAndWait(const std::string& program,
                                               const std::string& arguments,
                                               const std::string& working_folder);
#else
struct StartRequest {
    std::string action; // "batch" or "open"
    std::string file;
    std::string folder; // the working folder of a batch
};
// The requests recorded since the last call, oldest first.
std::vector<StartRequest> TakeStartRequests();
#endif

} // namespace platform
