// The self-extracting installer: a stub program with a package appended (see bundle.h). It
// unpacks the package into a new folder in the temporary folder, starts setup.exe there with
// its own command line and ends with setup.exe's exit code, so "/S" and "/D=" work through it
// as they work on setup.exe. setup.exe removes its package folder itself when a run completes
// or is cancelled; what a failed or refused run leaves, the stub removes afterwards.
#include <windows.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/exit_codes.h"
#include "app/package_files.h"
#include "platform/file_copy.h"
#include "platform/folders.h"
#include "platform/process.h"
#include "services/system_folders.h"
#include "sfx/bundle.h"
#include "ui/message_service.h"

namespace {

constexpr char kCaption[] = "Instalace";

struct Stub {
    std::string program;
    bool quiet = false;

    int Fail(app::ExitCode code, const std::string& text) const {
        if (!quiet) ui::MessageService::Box(nullptr, text, kCaption, ui::kIconError);
        return code;
    }
};

// A folder no one else uses, in the temporary folder: a name already taken is passed over.
std::string MakeNewFolder(const std::string& temp) {
    const std::string base = temp + (temp.empty() || temp.back() == '\\' ? "" : "\\") + "orvo-" +
                             std::to_string(GetCurrentProcessId()) + "-";
    for (unsigned n = 0; n < 1000; ++n) {
        const std::string folder = base + std::to_string(GetTickCount() + n);
        if (platform::MakeFolder(folder)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return {};
}

// Takes away what the stub unpacked, unless an installation now lives in the folder (a user
// who installed into it keeps it); the folder goes only if that empties it.
void RemoveUnpacked(const std::string& folder, const std::vector<sfx::BundledFile>& files) {
    if (platform::FileExists(folder + "\\" + app::kManifestName)) return;
    for (const sfx::BundledFile& file : files) (void)platform::EraseFile(folder + "\\" + file.name);
    (void)platform::RemoveEmptyFolder(folder);
}

} // namespace

int main() {
    Stub stub;
    stub.program = platform::ProgramFilePath();
    const std::string arguments = platform::CommandLineArguments();
    stub.quiet = app::ParseCommandLine(arguments).quiet;

    unzip::FileSystem& fs = unzip::PlatformFileSystem();
    std::unique_ptr<unzip::InputFile> self = fs.OpenRead(stub.program);
    std::vector<sfx::BundledFile> files;
    const sfx::BundleStatus read =
        self ? sfx::ReadBundleIndex(*self, files) : sfx::BundleStatus::kReadError;
    if (read != sfx::BundleStatus::kOk)
        return stub.Fail(app::kExitConfiguration,
                         "Instalační soubor je poškozený nebo neúplný a nelze z něj instalovat:\r" +
                             stub.program + "\r\rStáhněte jej prosím znovu.");

    const std::string folder = MakeNewFolder(services::SystemDirs().TempDir());
    if (folder.empty())
        return stub.Fail(app::kExitRunFailed,
                         "V dočasné složce nelze vytvořit složku pro instalaci:\r" +
                             services::SystemDirs().TempDir() + "\r" +
                             platform::SystemErrorText(platform::LastErrorCode()));
    std::string failed;
    const sfx::BundleStatus unpacked = sfx::UnpackBundle(*self, files, fs, folder, &failed);
    self.reset();
    if (unpacked != sfx::BundleStatus::kOk) {
        const unsigned long error = platform::LastErrorCode();
        RemoveUnpacked(folder, files);
        if (unpacked == sfx::BundleStatus::kCrcError)
            return stub.Fail(app::kExitConfiguration, "Instalační soubor je poškozený (" + failed +
                                                          "):\r" + stub.program +
                                                          "\r\rStáhněte jej prosím znovu.");
        return stub.Fail(app::kExitRunFailed, "Soubor " + failed +
                                                  " nelze rozbalit do dočasné složky:\r" + folder +
                                                  "\r" + platform::SystemErrorText(error));
    }

    const std::string setup = folder + "\\" + app::kSetupProgramName;
    const std::optional<unsigned long> code = platform::RunProgramAndWait(setup, arguments, folder);
    if (!code) {
        const unsigned long error = platform::LastErrorCode();
        RemoveUnpacked(folder, files);
        return stub.Fail(app::kExitRunFailed, "Instalační program nelze spustit:\r" + setup + "\r" +
                                                  platform::SystemErrorText(error));
    }
    RemoveUnpacked(folder, files);
    return static_cast<int>(*code);
}
