#include "app/journal.h"

#include "app/package_files.h"
#include "app/paths.h"
#include "platform/file_copy.h"
#include "platform/folders.h"

namespace app {
namespace {

constexpr char kManifestHeading[] = "orvo-setup manifest 1";

bool IsManifestKind(char letter) {
    return letter == static_cast<char>(Journal::Kind::Folder) ||
           letter == static_cast<char>(Journal::Kind::File) ||
           letter == static_cast<char>(Journal::Kind::Shortcut);
}

} // namespace

bool Journal::SetAsideForRemoval(const std::string& path, Kind kind, const std::string& backup) {
    if (!SetAside(path, kind, backup)) return false;
    entries_.back().removed = true;
    return true;
}

bool Journal::SetAside(const std::string& path, Kind kind, const std::string& backup) {
    if (!platform::MoveWithoutReplacing(path, backup)) return false;
    entries_.push_back({kind, path, backup});
    return true;
}

std::vector<std::string> Journal::Rollback() {
    std::vector<std::string> left;
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        switch (entry->kind) {
        case Kind::Folder:
            // Stays when it holds what the run did not make (or what could not be removed).
            (void)platform::RemoveEmptyFolder(WithoutTrailingSeparator(entry->path));
            break;
        case Kind::File:
        case Kind::Shortcut:
            if ((platform::FileExists(entry->path) && !platform::EraseFile(entry->path)) ||
                (!entry->backup.empty() &&
                 !platform::MoveWithoutReplacing(entry->backup, entry->path)))
                left.push_back(entry->path);
            break;
        }
    }
    entries_.clear();
    return left;
}

void Journal::Commit() {
    for (Entry& entry : entries_) {
        if (entry.backup.empty()) continue;
        // A backup that will not go is only a stray copy of the user's old file: it stays.
        (void)platform::EraseFile(entry.backup);
        entry.backup.clear();
    }
}

std::string Journal::ManifestTextOf(const std::vector<Entry>& entries) {
    std::string text = std::string(kManifestHeading) + "\r\n";
    for (const Entry& entry : entries)
        if (!entry.removed)
            text += std::string(1, static_cast<char>(entry.kind)) + " " + entry.path + "\r\n";
    return text;
}

bool Journal::ParseManifest(const std::string& text, std::vector<Entry>& entries) {
    entries.clear();
    const std::vector<std::string> lines = SplitLines(text);
    if (lines.empty() || lines.front() != kManifestHeading) return false;
    std::vector<Entry> read;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.size() < 3 || line[1] != ' ' || !IsManifestKind(line[0])) return false;
        read.push_back({static_cast<Kind>(line[0]), line.substr(2), {}});
    }
    entries = std::move(read);
    return true;
}

} // namespace app
