#include "services/file_utils.h"

#include "platform/error.h"
#include "platform/folders.h"
#include "services/path_text.h"

namespace services {
namespace {

constexpr char kSeparator = platform::kPathSeparator;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDotEntry(const std::string& name) {
    return name == "." || name == "..";
}

// Trims the folder argument of the two deletions and drops one trailing separator.
// Returns false for a folder the deletions must never work on: none at all or a drive
// ("C:" would search "C:\*.*"), as a damaged installation record could give.
bool TidyFolder(std::string& folder) {
    TrimBlanks(folder);
    if (!folder.empty() && folder.back() == kSeparator) folder.pop_back();
    const bool drive = folder.size() == 2 && folder[1] == ':';
    return !folder.empty() && !drive && FolderExists(folder);
}

} // namespace

DeleteReportProc DeleteReport = [](const std::string&) {};

void TrimBlanksLeft(std::string& text) {
    size_t n = 0;
    while (n + 1 < text.size() && IsBlank(text[n])) ++n;
    text.erase(0, n);
}

void TrimBlanksRight(std::string& text) {
    size_t size = text.size();
    while (size > 1 && IsBlank(text[size - 1])) --size;
    text.resize(size);
}

void TrimBlanks(std::string& text) {
    TrimBlanksLeft(text);
    TrimBlanksRight(text);
}

void DeleteFilesByMask(std::string folder, const std::string& mask) {
    if (!TidyFolder(folder)) return;
    for (const std::string& name :
         platform::FindEntries(folder, mask, platform::SearchFilter::AnyEntry)) {
        if (IsDotEntry(name)) continue;
        const std::string path = folder + kSeparator + name;
        const bool deleted = platform::EraseFile(path);
        if (DeleteReport) DeleteReport("Delete file: " + path + (deleted ? " > OK" : " >Error"));
    }
}

void DeleteFolderTree(std::string folder) {
    if (!TidyFolder(folder)) return;
    DeleteFilesByMask(folder, "*.*");
    // Each removal may fail while the folder still holds something; the last one counts.
    (void)RemoveFolder(folder);
    for (const std::string& name :
         platform::FindEntries(folder, "*.*", platform::SearchFilter::SkipHiddenSystem)) {
        if (IsDotEntry(name)) continue;
        DeleteFolderTree(folder + kSeparator + name);
        (void)RemoveFolder(folder);
    }
    (void)RemoveFolder(folder);
}

std::string ShortPathOf(const std::string& path) {
    std::string shorter = platform::ShortPathName(path);
    return shorter.empty() ? path : shorter;
}

bool FolderExists(const std::string& path) {
    return platform::IsFolder(path);
}

bool CreateFolder(const std::string& path) {
    return platform::MakeFolder(path);
}

bool CreateFolderChain(std::string path) {
    if (path.empty()) throw platform::Error("Unable to create directory");
    if (path.back() == kSeparator) path.pop_back();
    if (path.size() < 3 || FolderExists(path)) return true;
    const std::string parent = FolderPartOf(path);
    if (parent == path) return true;
    return CreateFolderChain(parent) && CreateFolder(path);
}

bool RemoveFolder(const std::string& path) {
    return platform::RemoveEmptyFolder(path);
}

} // namespace services
