#include "app/log_place.h"

#include "app/paths.h"
#include "app/program_place.h"
#include "platform/process.h"

namespace app {
namespace {

// Named after the product, or after the program when setup.ini gives no usable name.
void OpenDefaultLog(InstallerContext& context) {
    const std::string name = context.config.softname.empty() || CheckName(context.config.softname)
                                 ? ReplaceExtension(FileNameOf(context.program_file), "")
                                 : context.names.product;
    // The system's own account's temporary folder lies in its profile, out of everyone's way.
    const std::string folder = platform::RunsAsSystemAccount()
                                   ? CollapsePath(context.sysdirs.WindowsDir() + kSep + "Temp")
                                   : context.sysdirs.TempDir();
    (void)context.log->OpenNew(folder, name); // no log stops nothing
}

// The log never goes into a file that the installation writes or manages: a file of the
// package, an installation's manifest, the self-removal batch, or anything in the recorded
// installation's folder (the uninstall removes it, an upgrade may replace it).
std::string LogRefusal(const InstallerContext& context, const std::string& path) {
    const std::string refusal =
        PackageLogRefusal(path, context.package_folder, context.program_file);
    if (!refusal.empty()) return refusal;
    if (SamePath(path, BatchFilePath(context))) return "the self-removal batch";
    InstallRecord recorded = context.previous;
    if (!context.config.progreg.empty() && recorded.ReadRecord() && !recorded.folder.empty() &&
        (PathWithin(path, recorded.folder) || SamePath(path, recorded.folder)))
        return "in the installation's folder";
    return std::string();
}

} // namespace

void OpenRunLog(InstallerContext& context) {
    RunLog& log = *context.log;
    if (&log == &context.own_log || log.IsOpen()) return;
    if (const auto& named = context.options.log_file) {
        const std::string refusal = LogRefusal(context, *named);
        if (refusal.empty() && log.OpenAt(*named)) return;
        log.Line("the log is not written to " + *named + " (" +
                 (refusal.empty() ? "it cannot be written" : refusal) + "); it goes here instead");
    }
    OpenDefaultLog(context);
}

void KeepLogOutOf(InstallerContext& context, const std::string& folder) {
    RunLog& log = *context.log;
    if (!log.IsOpen() || !PathWithin(log.Path(), folder)) return;
    const std::string was = log.Path();
    log.Line("the log " + was + " lies in the installation's folder; it goes on elsewhere");
    OpenDefaultLog(context);
    log.Line("the log goes on from " + was);
}

std::string BatchFilePath(const InstallerContext& context) {
    return CollapsePath(context.sysdirs.TempDir() + kSep + "setup123.bat");
}

} // namespace app
