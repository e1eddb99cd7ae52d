// The files of an installation package besides the program: their names, and the reading of
// the two text files the installer interprets, license.txt and short.txt. Both are 8-bit
// text in the system's ANSI code page; what is read here is UTF-8.
#pragma once

#include <string>
#include <vector>

#include "platform/file_io.h"

namespace app {

inline const std::string kSetupProgramName = "setup.exe";
inline const std::string kSettingsName = "setup.ini";
inline const std::string kArchiveName = "orvoinst.zip";
inline const std::string kSecondArchiveName = "all.zip";
inline const std::string kShortcutListName = "short.txt";
inline const std::string kLicenceName = "license.txt";
inline const std::string kReadmeName = "readme.txt";
// What the installation wrote, beside the installed program: what the uninstall removes.
inline const std::string kManifestName = "setup.lst";

// The lines of a text: CR LF, LF and a lone CR each end one; a last line without an end
// counts, a text ending in a line end has no empty line after it.
std::vector<std::string> SplitLines(const std::string& text);

// The lines of an ANSI text file, as UTF-8; left empty unless the read succeeds.
platform::FileRead ReadTextLines(const std::string& path, std::vector<std::string>& lines);

// One line of short.txt: three fields, each ended by ";". A field is the text up to the next
// ";"; where none follows, the field is the rest of the line (less trailing blanks), as people
// leave the last ";" out, and the fields after it are empty. Text after the third ";" is
// ignored.
struct ShortcutLine {
    std::string target;    // relative to the installation folder
    std::string subfolder; // of the product's group folder: empty or starting with "\"
    std::string name;      // of the shortcut file, without ".lnk"
};
ShortcutLine ParseShortcutLine(const std::string& line);
// A line of blanks only, which makes no shortcut and is no mistake.
bool IsBlankLine(const std::string& line);

} // namespace app
