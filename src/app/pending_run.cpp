#include "app/pending_run.h"

#include "app/package_files.h"
#include "app/paths.h"
#include "platform/file_io.h"
#include "platform/folders.h"
#include "services/file_utils.h"
#include "services/path_text.h"
#include "services/sha256.h"

namespace app {
namespace {

constexpr char kHeading[] = "orvo-setup pending run 1";
constexpr char kSeal[] = "end ";

// The text after "KEY " on a line of that key, or nothing.
std::optional<std::string> Field(const std::string& line, const std::string& key) {
    if (line.compare(0, key.size() + 1, key + " ") != 0) return std::nullopt;
    return line.substr(key.size() + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

bool IsWhat(char c) {
    for (const char what : {'N', 'D', 'S', 'R', 'C', 'X', 'T'})
        if (c == what) return true;
    return false;
}

bool IsKind(char c) {
    return c == 'F' || c == 'L' || c == 'D';
}

std::string Body(const PendingRun& run) {
    std::string text = std::string(kHeading) + "\r\n";
    text += std::string("kind ") +
            (run.kind == PendingRun::Kind::kInstall ? "install" : "uninstall") + "\r\n";
    text += std::string("phase ") +
            (run.phase == PendingRun::Phase::kPlanned ? "planned" : "committed") + "\r\n";
    text += "folder " + run.folder + "\r\n";
    if (const auto& before = run.record_before)
        text += "record " + before->folder + "\t" + before->version + "\t" + before->release +
                "\t" + before->manifest + "\t" + before->manifest_digest + "\r\n";
    else
        text += "record none\r\n";
    text += std::string("listed ") + (run.listed_before ? "1" : "0") + "\r\n";
    for (const PendingRun::Change& change : run.changes) {
        text += static_cast<char>(change.what);
        text += static_cast<char>(change.kind);
        text += " " + change.path;
        if (!change.backup.empty()) text += "\t" + change.backup;
        text += "\r\n";
    }
    return text;
}

bool ParseBody(const std::vector<std::string>& lines, PendingRun& run) {
    if (lines.size() < 6 || lines[0] != kHeading) return false;
    const auto kind = Field(lines[1], "kind");
    const auto phase = Field(lines[2], "phase");
    const auto folder = Field(lines[3], "folder");
    const auto record = Field(lines[4], "record");
    const auto listed = Field(lines[5], "listed");
    if (!kind || !phase || !folder || !record || !listed) return false;
    if (*kind != "install" && *kind != "uninstall") return false;
    if (*phase != "planned" && *phase != "committed") return false;
    run.kind = *kind == "install" ? PendingRun::Kind::kInstall : PendingRun::Kind::kUninstall;
    run.phase = *phase == "planned" ? PendingRun::Phase::kPlanned : PendingRun::Phase::kCommitted;
    run.folder = *folder;
    run.record_before.reset();
    if (*record != "none") {
        const std::vector<std::string> values = Split(*record, '\t');
        if (values.size() != 5) return false;
        InstallRecord before;
        before.folder = values[0];
        before.version = values[1];
        before.release = values[2];
        before.manifest = values[3];
        before.manifest_digest = values[4];
        run.record_before = before;
    }
    run.listed_before = *listed == "1";
    run.changes.clear();
    for (size_t i = 6; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.size() < 4 || !IsWhat(line[0]) || !IsKind(line[1]) || line[2] != ' ') return false;
        const std::vector<std::string> parts = Split(line.substr(3), '\t');
        if (parts.size() > 2 || parts[0].empty()) return false;
        run.changes.push_back({static_cast<PendingRun::Change::What>(line[0]),
                               static_cast<Journal::Kind>(line[1]), parts[0],
                               parts.size() == 2 ? parts[1] : std::string()});
    }
    return true;
}

} // namespace

std::string PendingRunPath(const InstallerContext& context) {
    // With no place at all the run cannot start.
    const std::string base = context.ProgramDataDir();
    if (base.empty() || context.config.progreg.empty()) return std::string();
    return CollapsePath(base + kSep + "Orvo" + kSep + context.config.progreg + kSep +
                        "pending-run");
}

bool WritePendingRun(const std::string& path, const PendingRun& run) {
    if (path.empty()) return false;
    const std::string body = Body(run);
    // The folders in Local AppData the first run makes stay: they are where later runs look.
    const std::string folder = WithoutTrailingSeparator(services::FolderPartOf(path));
    if (folder.empty() || !services::CreateFolderChain(folder)) return false;
    return platform::ReplaceWholeFile(path, body + kSeal + services::Sha256Hex(body) + "\r\n");
}

PendingRead ReadPendingRun(const std::string& path, PendingRun& run) {
    std::string text;
    const platform::FileRead read = platform::ReadWholeFile(path, text);
    if (read == platform::FileRead::kAbsent || read == platform::FileRead::kNoFolder)
        return PendingRead::kNone;
    if (read != platform::FileRead::kOk) return PendingRead::kBroken;
    const size_t seal = text.rfind(kSeal);
    if (seal == std::string::npos || (seal > 0 && text[seal - 1] != '\n'))
        return PendingRead::kBroken;
    const std::string body = text.substr(0, seal);
    const std::string digest = text.substr(seal + sizeof(kSeal) - 1);
    if (digest != services::Sha256Hex(body) + "\r\n") return PendingRead::kBroken;
    return ParseBody(SplitLines(body), run) ? PendingRead::kRead : PendingRead::kBroken;
}

} // namespace app
