#include "app/program_place.h"

#include "app/package_files.h"
#include "app/paths.h"
#include "platform/file_copy.h"
#include "platform/folders.h"
#include "services/path_text.h"

namespace app {

std::string PackageFolderOf(const ProgramPlace& place) {
    const std::string working = CollapsePath(place.startup_folder + kSep);
    const std::string own = services::FolderPartOf(place.program_file);
    const auto has_settings = [](const std::string& folder) {
        return platform::FileExists(CollapsePath(folder + kSep + kSettingsName));
    };
    return has_settings(working) || own.empty() || !has_settings(own) ? working : own;
}

std::string PackageLogRefusal(const std::string& path, const std::string& package_folder,
                              const std::string& program_file) {
    for (const std::string& name : {kSetupProgramName, kSettingsName, kArchiveName,
                                    kSecondArchiveName, kShortcutListName, kLicenceName})
        if (SamePath(path, CollapsePath(package_folder + kSep + name)))
            return "a file of the package";
    if (SamePath(path, program_file)) return "the program itself";
    if (platform::SameNameIgnoringCase(FileNameOf(CollapsePath(path)), kManifestName))
        return "an installation's manifest";
    return std::string();
}

} // namespace app
