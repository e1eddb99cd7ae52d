// The options an administrator gives setup.exe: an unattended run, the folder, no shortcuts,
// where the log goes. The folder option comes last and takes the rest of the line, blanks and
// all, without quotes, as administrators know it from other installers.
#pragma once

#include <optional>
#include <string>

#include "app/message_table.h"

namespace app {

struct CommandLine {
    bool quiet = false;                // /S: no window, no question; failures go to the log
    bool passive = false;              // /PASSIVE: the progress panel only, no question, no box
    bool all_users = false;            // /ALLUSERS: for every user of the machine
    bool current_user = false;         // /CURRENTUSER: for this user (the default)
    bool no_icons = false;             // /NOICONS: no shortcut on the desktop or in the Start menu
    bool allow_downgrade = false;      // /ALLOWDOWNGRADE: /S may replace a newer version
    bool help = false;                 // /?: the options in a box, nothing else
    std::optional<std::string> folder; // /D=<folder>
    std::optional<std::string> log_file; // /LOG=<file>, quoted when it holds blanks
    std::string error; // the first option setup.exe does not know; empty when there is none
};

// Whether the run asks nothing and shows no box: /S or /PASSIVE.
inline bool Unattended(const CommandLine& line) {
    return line.quiet || line.passive;
}

// Options are matched without regard to case. /ALLUSERS with /CURRENTUSER is a line that
// cannot be followed.
CommandLine ParseCommandLine(const std::string& arguments);

// The text of the /? box, in the messages' wording.
std::string CommandLineHelp(const MessageTable& messages);

} // namespace app
