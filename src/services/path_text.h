// Text helpers for composed paths.
#pragma once

#include <string>

namespace services {

// Every run of backslashes becomes one backslash, so that joining a folder that ends in "\"
// with "\name" gives one separator; only a leading run of two or more becomes "\\", which
// marks a network path ("\\server\share\...").
std::string CollapseBackslashes(const std::string& text);

// The path up to and including its last separator or (on Windows) drive colon;
// empty when it has neither. "C:\Prog\run.exe" gives "C:\Prog\", "C:run.exe" "C:".
std::string FolderPartOf(const std::string& path);

} // namespace services
