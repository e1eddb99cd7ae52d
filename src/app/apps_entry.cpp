#include "app/apps_entry.h"

#include "platform/error.h"
#include "platform/registry.h"

namespace app {
bool AppsEntry::Write() const {
    // A product key of backslashes alone would write into the list's own key.
    if (product_key.find_first_not_of('\\') == std::string::npos) return false;
    platform::RegistryKey key;
    if (!key.Create(root, KeyPath())) return false;
    for (const auto& [name, value] :
         {std::pair<const char*, std::string>{"DisplayName", display_name},
          {"DisplayVersion", display_version},
          {"Publisher", publisher},
          {"InstallLocation", install_location},
          {"UninstallString", "\"" + uninstaller + "\"" + ScopeOption()},
          {"QuietUninstallString", "\"" + uninstaller + "\" /S" + ScopeOption()},
          {"DisplayIcon", display_icon},
          {"InstallDate", install_date}})
        if (!key.WriteString(name, value)) return false;
    return key.WriteDword("EstimatedSize", size_kb) && key.WriteDword("NoModify", 1) &&
           key.WriteDword("NoRepair", 1);
}

std::optional<std::string> AppsEntry::ListedUninstaller() const {
    platform::RegistryKey key;
    if (product_key.find_first_not_of('\\') == std::string::npos || !key.Open(root, KeyPath()))
        return std::nullopt;
    std::string command;
    try {
        command = key.ReadString("UninstallString");
    } catch (const platform::Error&) {
        return std::string(); // not text: no program of ours wrote it
    }
    if (!command.empty() && command[0] == '"') {
        const size_t close = command.find('"', 1);
        return command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    return command.substr(0, command.find(' '));
}

bool AppsEntry::Remove() const {
    if (product_key.find_first_not_of('\\') == std::string::npos) return false;
    return platform::DeleteRegistryTree(root, KeyPath());
}

} // namespace app
