// Runs the services on the real system for system_oracle.py, which checks the results
// with independent tools (`wine reg query`, lnkinfo):
//   services_probe folders                      the nine system folders, one "Name=value" a line
//   services_probe link TARGET NAME FOLDER      CreateLink
// Arguments arrive in the ANSI code page; output is UTF-8.
#include <cstring>
#include <iostream>
#include <string>

#include "platform/code_page.h"
#include "platform/error.h"
#include "platform/shell_link.h"
#include "services/shell_shortcut.h"
#include "services/system_folders.h"

int main(int argc, char** argv) {
    const auto arg = [&](int i) { return platform::AnsiToUtf8(argv[i]); };
    try {
        if (argc == 2 && std::strcmp(argv[1], "folders") == 0) {
            const services::SystemDirs dirs;
            std::cout << "WindowsDir=" << dirs.WindowsDir() << '\n'
                      << "ProgramFilesDir=" << dirs.ProgramFilesDir() << '\n'
                      << "DeskTopDir=" << dirs.DeskTopDir() << '\n'
                      << "FontsDir=" << dirs.FontsDir() << '\n'
                      << "StartMenuDir=" << dirs.StartMenuDir() << '\n'
                      << "StartMenuProgramsDir=" << dirs.StartMenuProgramsDir() << '\n'
                      << "RecentDir=" << dirs.RecentDir() << '\n'
                      << "StartMenuStartUp=" << dirs.StartMenuStartUp() << '\n'
                      << "TempDir=" << dirs.TempDir() << '\n';
            return 0;
        }
        if (argc == 5 && std::strcmp(argv[1], "link") == 0) {
            platform::ComApartment com;
            return services::CreateLink(arg(2), arg(3), arg(4)) ? 0 : 1;
        }
    } catch (const platform::Error& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    std::cerr << "usage: services_probe folders | link TARGET NAME FOLDER\n";
    return 2;
}
