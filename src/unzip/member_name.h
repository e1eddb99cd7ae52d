// Turning stored member names into paths below the target folder.
#pragma once

#include <string>

namespace unzip {

// Rewrites a decoded member name for the platform: both slashes become the
// platform separator. Returns false for names that would leave the target
// folder or name something other than a plain file: an absolute path, a drive
// prefix, a ".." part, and on Windows a device name (CON, aux.txt, COM1 ...),
// a ':' anywhere (alternate data streams) or a part that Windows would trim to
// nothing.
bool MakeSafeMemberPath(const std::string& name, std::string* path);

// True for names that Windows reserves for devices, with or without extension.
bool IsDeviceName(const std::string& part);

} // namespace unzip
