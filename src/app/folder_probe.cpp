#include "app/folder_probe.h"

#include <utility>

#include "app/paths.h"
#include "platform/file_io.h"
#include "platform/folders.h"

namespace app {
namespace {

struct ExistingLevel {
    std::string folder;      // empty when no level exists
    unsigned long error = 0; // then: why the outermost level looked up is not there
};

ExistingLevel DeepestExistingLevel(std::string folder) {
    folder = WithoutTrailingSeparator(folder);
    const size_t root = NetworkRootLength(folder);
    while (!folder.empty() && !platform::IsFolder(folder)) {
        const size_t cut = folder.rfind(platform::kPathSeparator);
        if (cut == std::string::npos || cut < root) return {"", platform::LastErrorCode()};
        folder.resize(cut);
    }
    return {folder.empty() ? kSep : folder};
}

// Nothing when a file can be made and removed in the existing folder, else the system's error
// code of the step that failed.
std::optional<unsigned long> ProbeFailure(const std::string& folder) {
    const std::string probe = platform::MakeUniqueFile(folder);
    if (probe.empty() || !platform::EraseFile(probe)) return platform::LastErrorCode();
    return std::nullopt;
}

} // namespace

std::string NearestExistingFolder(std::string folder) {
    return DeepestExistingLevel(std::move(folder)).folder;
}

bool FolderIsWritable(const std::string& folder) {
    return !folder.empty() && !ProbeFailure(folder);
}

std::optional<unsigned long> WriteFailureAt(const std::string& folder) {
    const ExistingLevel level = DeepestExistingLevel(folder);
    if (level.folder.empty()) return level.error;
    return ProbeFailure(level.folder);
}

} // namespace app
