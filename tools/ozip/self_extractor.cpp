#include "self_extractor.h"

#include <memory>
#include <vector>

#include "app/package_files.h"
#include "platform/file_copy.h"
#include "platform/folders.h"
#include "platform/process.h"
#include "services/path_text.h"
#include "sfx/bundle.h"
#include "unzip/file_system.h"

namespace ozip {

std::string DefaultStubPath() {
    return services::FolderPartOf(platform::ProgramFilePath()) + "orvosfx.exe";
}

std::string MakeSelfExtractor(const std::string& package_dir, const std::string& stub,
                              const std::string& output) {
    unzip::FileSystem& fs = unzip::PlatformFileSystem();
    if (platform::FileExists(output)) {
        std::unique_ptr<unzip::InputFile> existing = fs.OpenRead(output);
        std::vector<sfx::BundledFile> files;
        // A damaged one, or one of another layout, still ends as such a program does.
        const sfx::BundleStatus status =
            existing ? sfx::ReadBundleIndex(*existing, files) : sfx::BundleStatus::kReadError;
        if (status != sfx::BundleStatus::kOk && status != sfx::BundleStatus::kDamaged)
            return output + " exists and is not a self-extracting package: it stays as it is";
    }
    if (!platform::FileExists(stub)) return "no self-extracting stub at " + stub;

    std::vector<sfx::FileToBundle> files;
    for (const std::string& name :
         {app::kSetupProgramName, app::kSettingsName, app::kArchiveName, app::kSecondArchiveName,
          app::kShortcutListName, app::kLicenceName, app::kReadmeName}) {
        const std::string path = package_dir + unzip::kPathSeparator + name;
        if (platform::FileExists(path))
            files.push_back({name, path});
        else if (name == app::kSetupProgramName || name == app::kSettingsName ||
                 name == app::kArchiveName)
            return "the package lacks " + path;
    }
    return sfx::WriteBundle(fs, stub, files, output);
}

} // namespace ozip
