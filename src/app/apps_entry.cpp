#include "app/apps_entry.h"

#include "platform/error.h"
#include "platform/registry.h"

namespace app {
namespace {
constexpr auto kRoot = platform::RegistryRoot::CurrentUser;
} // namespace

bool AppsEntry::Write() const {
    // A product key of backslashes alone would write into the list's own key.
    if (product_key.find_first_not_of('\\') == std::string::npos) return false;
    platform::RegistryKey key;
    if (!key.Create(kRoot, KeyPath())) return false;
    try {
        key.WriteString("DisplayName", display_name);
        key.WriteString("DisplayVersion", display_version);
        key.WriteString("Publisher", publisher);
        key.WriteString("InstallLocation", install_location);
        key.WriteString("UninstallString", "\"" + uninstaller + "\"");
        key.WriteString("QuietUninstallString", "\"" + uninstaller + "\" /S");
        key.WriteString("DisplayIcon", display_icon);
        key.WriteString("InstallDate", install_date);
    } catch (const platform::Error&) {
        return false;
    }
    return key.WriteDword("EstimatedSize", size_kb) && key.WriteDword("NoModify", 1) &&
           key.WriteDword("NoRepair", 1);
}

std::optional<std::string> AppsEntry::ListedUninstaller() const {
    platform::RegistryKey key;
    if (product_key.find_first_not_of('\\') == std::string::npos || !key.Open(kRoot, KeyPath()))
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
    return platform::DeleteRegistryTree(kRoot, KeyPath());
}

} // namespace app
