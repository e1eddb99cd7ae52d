// What the installer asks of the system beyond files, folders and the registry: the working
// folder, starting the self-removal batch and opening a document. The program uses the
// platform's; tests record the requests instead of starting anything.
#pragma once

#include <string>

namespace app {

class SystemShell {
  public:
    virtual ~SystemShell() = default;
    virtual bool ChangeCurrentFolder(const std::string& folder) = 0;
    // Runs the batch file hidden, without waiting.
    virtual bool RunBatchHidden(const std::string& batch_file,
                                const std::string& working_folder) = 0;
    // The shell's "open" of a document, without waiting.
    virtual bool OpenDocument(const std::string& path) = 0;
};

class PlatformShell : public SystemShell {
  public:
    bool ChangeCurrentFolder(const std::string& folder) override;
    bool RunBatchHidden(const std::string& batch_file, const std::string& working_folder) override;
    bool OpenDocument(const std::string& path) override;
};

} // namespace app
