// Where setup.exe runs, and the one folder it takes its package or its installation's settings
// from. Windows starts it from anywhere: a double click in the package's folder, the Apps list
// with the working folder C:\Windows, a shortcut, another program's folder.
#pragma once

#include <string>

namespace app {

// The working folder at start-up and the program's own file.
struct ProgramPlace {
    std::string startup_folder;
    std::string program_file;
};

// The folder whose setup.ini the program reads (with a trailing separator): the working
// folder when it holds one, else the program's own folder when that does (the Apps list starts
// the installed copy in C:\Windows), else the working folder, where the missing settings are
// then reported. Everything of a package is taken from this folder, and its mode follows it.
std::string PackageFolderOf(const ProgramPlace& place);

// Why the log may not be written to PATH, empty when it may: it is a file of the package in
// PACKAGE_FOLDER, the program itself, or an installation's manifest (setup.lst), files the
// program reads and removes.
std::string PackageLogRefusal(const std::string& path, const std::string& package_folder,
                              const std::string& program_file);

} // namespace app
