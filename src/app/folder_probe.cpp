#include "app/folder_probe.h"

#include "app/paths.h"
#include "platform/file_copy.h"
#include "platform/file_io.h"
#include "platform/folders.h"

namespace app {

std::string NearestExistingFolder(std::string folder) {
    folder = WithoutTrailingSeparator(folder);
    while (!folder.empty() && !platform::IsFolder(folder)) {
        const size_t cut = folder.rfind(platform::kPathSeparator);
        if (cut == std::string::npos) return std::string();
        folder.resize(cut);
    }
    return folder.empty() ? kSep : folder;
}

bool FolderIsWritable(const std::string& folder) {
    if (folder.empty()) return false;
    const std::string probe = platform::MakeUniqueFile(folder);
    return !probe.empty() && platform::EraseFile(probe);
}

} // namespace app
