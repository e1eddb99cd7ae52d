// What a value of setup.ini, a line of short.txt or a typed folder may hold before the
// installer makes a folder, a file or a shortcut of it. Only what would leave its folder or
// cannot be made is refused; a trailing dot or space, which Windows drops from a name, is
// dropped here too, so that the folder made, the path recorded and the path removed agree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/configuration.h"
#include "app/message_table.h"
#include "app/package_files.h"

namespace app {

// Why a value cannot become a name or a path on disk.
enum class NameFault : std::uint8_t {
    kNone,
    kEmpty,            // blank, or a path without a level
    kControlCharacter, // below U+0020
    kSeparator,        // "\" or "/" where one name is wanted
    kCharacter,        // one of : * ? " < > |
    kDotsOnly,         // "." or "..": a step, not a name
    kDevice,           // CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, any extension
    kTooLong,          // more than 255 UTF-16 units
    kRooted,           // a path that starts at the root of a drive
    kNotFullPath,      // a folder that names no drive or network share
};

// The part of a short.txt line a problem is in.
enum class LinePart : std::uint8_t { kWhole, kShortcutName, kSubfolder, kTarget };

struct NameProblem {
    NameFault fault = NameFault::kNone;
    char character = 0; // the refused character, for kCharacter
    std::string level;  // the level of a typed folder that is refused
    LinePart part = LinePart::kWhole;
    explicit operator bool() const { return fault != NameFault::kNone; }
};

// The name as Windows makes it: trailing dots and spaces dropped.
std::string NameOnDisk(const std::string& name);
// Each "\"-separated level of a path as NameOnDisk makes it; separators and the steps "." and
// ".." stay as they are.
std::string LevelsOnDisk(const std::string& path);

// Whether `value` (UTF-8) can be one Windows file or folder name once its trailing dots and
// spaces are dropped.
NameProblem CheckName(const std::string& value);

// A relative path of "\"-separated levels: regdir (one or more folder levels, not from a
// root), a subfolder of short.txt (may be empty, starts with "\" by custom) or a file below
// the installation folder (short.txt's target, progname). Empty levels (a doubled or leading
// "\") are ignored where the path is joined to a folder, as the composed paths collapse them.
enum class RelativePath : std::uint8_t { kFolderLevels, kSubfolder, kBelowFolder };
NameProblem CheckRelativePath(const std::string& path, RelativePath kind);

// A folder typed for the installation: a full path (a drive or a network share first), then
// usable folder names; "." and ".." steps are resolved with the path later.
NameProblem CheckFolderPath(const std::string& path);

NameProblem CheckShortcutLine(const ShortcutLine& line);

// A named value of setup.ini that becomes a name or a path on disk and cannot.
struct NamedValueProblem {
    std::string key; // "softname", "company", "regdir" or "progname"
    std::string value;
    NameProblem problem;
};
// Every such value, in the file's order; none when the product's names can all be made.
std::vector<NamedValueProblem> NamedValueProblems(const Configuration& config);

// The named values as names on disk: the Start-menu group's levels and the product's folder.
struct FolderNames {
    std::string company;
    std::string product; // softname
    std::string regdir;
};
FolderNames FolderNamesOf(const Configuration& config);

// "prázdná hodnota", "znak ":"", "podadresář: jen tečky", "Ze*lvik: znak "*"" in the messages'
// wording.
std::string Describe(const NameProblem& problem, const MessageTable& messages);

} // namespace app
