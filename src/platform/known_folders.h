// Where the system and the user keep their own things, asked of the system itself: the
// folders the installer must neither install into nor remove.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The Windows folder (GetWindowsDirectory); natively empty.
std::string WindowsFolder();

// The system folders (32- and 64-bit), Program Files and its common files in every variant,
// the program data, the user profiles and public folders, the user's profile, desktop,
// documents, downloads and application data, the Start menu, its programs and start-up
// folders (the user's and everyone's) and the temporary folder. Natively the home and the
// temporary folder. A folder the system does not know is left out.
std::vector<std::string> SystemAndUserFolders();

} // namespace platform
