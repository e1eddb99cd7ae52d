// The special folders of the user and the machine, looked up once when the object is
// made: the user's from the Shell Folders registry values, the machine's from its
// CurrentVersion key, the temporary folder from "TEMP". Values are kept exactly as the
// registry or the environment holds them (unexpanded); a missing one is empty.
#pragma once

#include <string>

#include "platform/registry.h"

namespace services {

// Where the lookup reads; the defaults are the system's own. Tests point it elsewhere.
struct SystemDirSources {
    std::string temp_variable = "TEMP";
    platform::RegistryRoot user_root = platform::RegistryRoot::CurrentUser;
    std::string user_key =
        "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    platform::RegistryRoot machine_root = platform::RegistryRoot::LocalMachine;
    std::string machine_key = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    // The folders every user of the machine shares (under machine_root).
    std::string common_key =
        "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
};

// The folders every user of the machine shares, for an installation made for all of them.
struct CommonDirs {
    std::string desktop;    // the public desktop
    std::string start_menu; // the common Start menu
    std::string programs;   // its programs folder
    std::string app_data;   // the machine's program data (ProgramData)
};

enum class SystemDir {
    WindowsDir,
    ProgramFilesDir,
    DeskTopDir,
    FontsDir,
    StartMenuDir,
    StartMenuProgramsDir,
    RecentDir,
    StartMenuStartUp,
    TempDir,
};
constexpr int kSystemDirCount = 9;

// TSystemDirs. A registry value that exists but is not text raises
// "Invalid data type for '<name>'" from the constructor.
class SystemDirs {
  public:
    explicit SystemDirs(const SystemDirSources& sources = SystemDirSources());

    const std::string& Get(SystemDir which) const { return dirs_[static_cast<int>(which)]; }
    // Assignments (a layout carrying values, say) land in one discard field: what the
    // properties return never changes after the lookup.
    void Set(SystemDir, const std::string& value) { discard_ = value; }

    const std::string& WindowsDir() const { return Get(SystemDir::WindowsDir); }
    const std::string& ProgramFilesDir() const { return Get(SystemDir::ProgramFilesDir); }
    const std::string& DeskTopDir() const { return Get(SystemDir::DeskTopDir); }
    const std::string& FontsDir() const { return Get(SystemDir::FontsDir); }
    const std::string& StartMenuDir() const { return Get(SystemDir::StartMenuDir); }
    const std::string& StartMenuProgramsDir() const { return Get(SystemDir::StartMenuProgramsDir); }
    const std::string& RecentDir() const { return Get(SystemDir::RecentDir); }
    const std::string& StartMenuStartUp() const { return Get(SystemDir::StartMenuStartUp); }
    const std::string& TempDir() const { return Get(SystemDir::TempDir); }
    // The user's own programs folder (Local AppData\Programs), where a user installs without
    // administrator rights; empty when the system names no Local AppData.
    const std::string& UserProgramsDir() const { return user_programs_; }
    // The user's Local AppData: the program's own data that only this user may change.
    const std::string& LocalAppDataDir() const { return local_app_data_; }
    const CommonDirs& Common() const { return common_; }

  private:
    std::string dirs_[kSystemDirCount];
    std::string user_programs_;
    std::string local_app_data_;
    CommonDirs common_;
    std::string discard_;
};

} // namespace services
