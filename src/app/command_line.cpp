#include "app/command_line.h"

#include <cstring>

namespace app {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Whether the option starts with NAME, letters compared without case.
bool StartsWith(const std::string& option, const char* name) {
    const size_t n = std::strlen(name);
    if (option.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = option[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != name[i]) return false;
    }
    return true;
}

bool Is(const std::string& option, const char* name) {
    return option.size() == std::strlen(name) && StartsWith(option, name);
}

} // namespace

CommandLine ParseCommandLine(const std::string& arguments) {
    CommandLine line;
    size_t at = 0;
    while (at < arguments.size()) {
        if (IsBlank(arguments[at])) {
            ++at;
            continue;
        }
        const std::string rest = arguments.substr(at);
        if (StartsWith(rest, "/D=")) {
            std::string folder = rest.substr(3);
            while (!folder.empty() && IsBlank(folder.back())) folder.pop_back();
            if (folder.empty()) {
                if (line.error.empty()) line.error = "/D=";
            } else {
                line.folder = folder;
            }
            return line;
        }
        // One option: up to the next blank outside quotes.
        std::string option;
        bool quoted = false;
        for (; at < arguments.size() && (quoted || !IsBlank(arguments[at])); ++at) {
            if (arguments[at] == '"')
                quoted = !quoted;
            else
                option += arguments[at];
        }
        if (Is(option, "/S")) {
            line.quiet = true;
        } else if (Is(option, "/PASSIVE")) {
            line.passive = true;
        } else if (Is(option, "/ALLUSERS") && !line.current_user) {
            line.all_users = true;
        } else if (Is(option, "/CURRENTUSER") && !line.all_users) {
            line.current_user = true;
        } else if (Is(option, "/NOICONS")) {
            line.no_icons = true;
        } else if (Is(option, "/ALLOWDOWNGRADE")) {
            line.allow_downgrade = true;
        } else if (Is(option, "/?")) {
            line.help = true;
        } else if (StartsWith(option, "/LOG=") && option.size() > 5) {
            line.log_file = option.substr(5);
        } else if (line.error.empty()) {
            line.error = option;
        }
    }
    return line;
}

std::string CommandLineHelp(const MessageTable& messages) {
    std::string text = messages.Text(kMsgHelpUsage) + "\r";
    for (const MessageId line :
         {kMsgHelpQuiet, kMsgHelpFolder, kMsgHelpNoIcons, kMsgHelpLog, kMsgHelpAllowDowngrade,
          kMsgHelpPassive, kMsgHelpAllUsers, kMsgHelpCurrentUser, kMsgHelpHelp})
        text += "\r" + messages.Text(line);
    return text;
}

} // namespace app
