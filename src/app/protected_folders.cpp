#include "app/protected_folders.h"

#include "app/paths.h"

#include "platform/environment.h"
#include "platform/folders.h"
#include "platform/known_folders.h"

namespace app {
namespace {

constexpr char kSeparator = platform::kPathSeparator;

// The one spelling of a path the comparisons use: full, with long names.
std::optional<std::string> ComparableForm(const std::string& path) {
    const std::optional<std::string> full = platform::FullPathOf(path);
    if (!full) return std::nullopt;
    return platform::LongPathName(*full);
}

// A root is its own parent, whatever kind it is (a drive, a share, "/").
bool IsRoot(const std::string& full) {
    const std::string up = full.back() == kSeparator ? full + ".." : full + kSeparator + "..";
    const std::optional<std::string> parent = platform::FullPathOf(up);
    return parent && LevelsHold(PathLevels(full), PathLevels(*parent));
}

constexpr const char* kWindowsVariables[] = {"SystemRoot", "windir"};
constexpr const char* kFolderVariables[] = {
    "ProgramFiles",
    "ProgramFiles(x86)",
    "ProgramW6432",
    "CommonProgramFiles",
    "CommonProgramFiles(x86)",
    "CommonProgramW6432",
    "ProgramData",
    "ALLUSERSPROFILE",
    "PUBLIC",
    "USERPROFILE",
    "APPDATA",
    "LOCALAPPDATA",
    "TEMP",
    "TMP",
};

} // namespace

void ProtectedFolders::Add(const std::string& folder) {
    AddEntry(folder, false);
}

void ProtectedFolders::AddWithContents(const std::string& folder) {
    AddEntry(folder, true);
}

void ProtectedFolders::AddEntry(const std::string& folder, bool with_contents) {
    if (folder.empty()) return;
    const std::optional<std::string> full = ComparableForm(folder);
    if (full) entries_.push_back({*full, PathLevels(*full), with_contents});
}

std::optional<std::string> ProtectedFolders::ConflictOf(const std::string& path) const {
    const std::optional<std::string> full = ComparableForm(path);
    if (!full || IsRoot(*full)) return full ? *full : path;
    const std::vector<std::string> levels = PathLevels(*full);
    const Entry* found = nullptr;
    for (const Entry& entry : entries_) {
        const bool conflicts = LevelsHold(levels, entry.levels) ||
                               (entry.with_contents && LevelsHold(entry.levels, levels));
        // The folder itself names the conflict best; otherwise the first one found.
        if (conflicts && (!found || entry.levels.size() == levels.size())) found = &entry;
    }
    if (!found) return std::nullopt;
    return found->full;
}

ProtectedFolders SystemProtectedFolders(const services::SystemDirs& dirs) {
    ProtectedFolders folders;
    folders.AddWithContents(platform::WindowsFolder());
    folders.AddWithContents(dirs.WindowsDir());
    for (const char* name : kWindowsVariables)
        folders.AddWithContents(platform::EnvironmentValue(name).value_or(std::string()));
    for (const std::string& folder : platform::SystemAndUserFolders()) folders.Add(folder);
    for (int i = 0; i < services::kSystemDirCount; ++i)
        folders.Add(dirs.Get(static_cast<services::SystemDir>(i)));
    const services::CommonDirs& common = dirs.Common();
    for (const std::string& folder : {common.desktop, common.start_menu, common.programs,
                                      common.app_data, dirs.LocalAppDataDir()})
        folders.Add(folder);
    for (const char* name : kFolderVariables)
        folders.Add(platform::EnvironmentValue(name).value_or(std::string()));
    return folders;
}

} // namespace app
