#include "services/shell_shortcut.h"

#include "platform/folders.h"
#include "platform/shell_link.h"
#include "services/path_text.h"

namespace services {

std::string ShortcutFilePath(std::string link_name, std::string folder) {
    if (link_name.find(".lnk") == std::string::npos) link_name += ".lnk";
    if (folder.empty() || folder.back() != platform::kPathSeparator)
        folder += platform::kPathSeparator;
    return folder + link_name;
}

bool CreateLink(const std::string& target, const std::string& link_name,
                const std::string& folder) {
    return !folder.empty() && platform::SaveShellLink({target, FolderPartOf(target)},
                                                      ShortcutFilePath(link_name, folder));
}

} // namespace services
