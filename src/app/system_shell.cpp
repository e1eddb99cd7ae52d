#include "app/system_shell.h"

#include "platform/process.h"

namespace app {

bool PlatformShell::ChangeCurrentFolder(const std::string& folder) {
    return platform::ChangeCurrentFolder(folder);
}

bool PlatformShell::RunBatchHidden(const std::string& batch_file,
                                   const std::string& working_folder) {
    return platform::RunBatchHidden(batch_file, working_folder);
}

bool PlatformShell::OpenDocument(const std::string& path) {
    return platform::OpenDocument(path);
}

} // namespace app
