// What a value of setup.ini or a line of short.txt may hold before the installer makes a
// folder or a shortcut of it: a name must stay one level, a path must stay inside the folder
// it is taken from. Each check gives a short phrase in the messages' language, empty when the
// value is fine.
#pragma once

#include <string>
#include <vector>

#include "app/configuration.h"
#include "app/package_files.h"

namespace app {

// Why `value` (UTF-8) cannot be one Windows folder or file name, as a predicate without its
// subject ("contains a path separator"); empty when it can. Refused: blank, a separator or
// one of : * ? " < > |, a control character, dots only, a dot or space at the end (Windows
// drops it, so the folder would be named otherwise) or a space at the start, a device name
// (CON, PRN, AUX, NUL, COM0-9, LPT0-9, with any extension), more than 255 UTF-16 units.
std::string FolderNameProblem(const std::string& value);

// Why a line of short.txt cannot make a shortcut, with its subject ("the target is empty",
// "a level of the subfolder contains the character ":""); empty when it can. The name must
// pass FolderNameProblem; so must every level of the subfolder and the target between "\"
// separators, where empty levels (a leading or doubled "\") are ignored, as the installer's
// composed paths collapse them. So neither path can name a drive, go up with "..", or leave
// its folder; the target must name at least one level.
// A folder typed for the installation: a full path (a drive or a network share first), then
// usable folder names.
std::string FolderPathProblem(const std::string& path);

std::string ShortcutLineProblem(const ShortcutLine& line);

// A named value of setup.ini that becomes a folder's name and FolderNameProblem refuses.
struct NamedValueProblem {
    std::string key; // "softname", "company" or "regdir"
    std::string value;
    std::string problem;
};
// Every such value, in the file's order; none when the product's names can all be folders.
std::vector<NamedValueProblem> FolderNameProblems(const Configuration& config);

} // namespace app
