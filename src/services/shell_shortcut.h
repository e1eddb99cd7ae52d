// Shell shortcuts of the installation run: the product's program group entries, the
// desktop and the Start-menu shortcut.
#pragma once

#include <string>

namespace services {

// The shortcut file for a link name in a folder: ".lnk" is appended unless the name
// contains it (case-sensitive), a separator unless the folder ends in one.
std::string ShortcutFilePath(std::string link_name, std::string folder);

// Writes a shortcut to target, working in the target's folder, as the file
// ShortcutFilePath(link_name, folder). Needs the thread's COM apartment
// (platform::ComApartment). False, with no file, for an empty folder (which would mean the
// root of the current drive), a folder that does not exist or a file that cannot be
// written; a shell link object that cannot be made raises platform::Error.
[[nodiscard]] bool CreateLink(const std::string& target, const std::string& link_name,
                              const std::string& folder);

} // namespace services
