#include "services/system_folders.h"

#include "platform/environment.h"

namespace services {
namespace {

struct RegistrySource {
    SystemDir dir;
    const char* value_name;
};

// In lookup order.
constexpr RegistrySource kUserValues[] = {
    {SystemDir::DeskTopDir, "Desktop"},      {SystemDir::FontsDir, "Fonts"},
    {SystemDir::StartMenuDir, "Start Menu"}, {SystemDir::StartMenuProgramsDir, "Programs"},
    {SystemDir::RecentDir, "Recent"},        {SystemDir::StartMenuStartUp, "StartUp"},
};
constexpr RegistrySource kMachineValues[] = {
    {SystemDir::WindowsDir, "SystemRoot"},
    {SystemDir::ProgramFilesDir, "ProgramFilesDir"},
};

} // namespace

SystemDirs::SystemDirs(const SystemDirSources& sources) {
    dirs_[static_cast<int>(SystemDir::TempDir)] =
        platform::EnvironmentValue(sources.temp_variable).value_or(std::string());

    // Read access is all we need; asking for full access would leave users without
    // administrator rights without the machine's folders. A key that does not open
    // leaves its values empty.
    platform::RegistryKey key;
    (void)key.Open(sources.user_root, sources.user_key);
    for (const RegistrySource& source : kUserValues)
        dirs_[static_cast<int>(source.dir)] = key.ReadString(source.value_name);
    local_app_data_ = key.ReadString("Local AppData");
    if (!local_app_data_.empty()) user_programs_ = local_app_data_ + "\\Programs";
    (void)key.Open(sources.machine_root, sources.machine_key);
    for (const RegistrySource& source : kMachineValues)
        dirs_[static_cast<int>(source.dir)] = key.ReadString(source.value_name);
    (void)key.Open(sources.machine_root, sources.common_key);
    common_ = {key.ReadString("Common Desktop"), key.ReadString("Common Start Menu"),
               key.ReadString("Common Programs"), key.ReadString("Common AppData")};
}

} // namespace services
