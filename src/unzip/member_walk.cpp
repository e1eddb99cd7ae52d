// The archive check, the directory walk over an Archive and the archive totals.
#include <algorithm>

#include "unzip/engine.h"
#include "unzip/saturating.h"
#include "unzip/zip_format.h"

namespace unzip {

bool Engine::MayBeArchive(const std::string& path) {
    if (path.find('.') == std::string::npos || path.find(".exe") != std::string::npos) return false;
    std::string folder = path;
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == kPathSeparator))
        folder.pop_back();
    return folder.empty() || !fs_.IsFolder(folder);
}

std::unique_ptr<Archive> Engine::OpenZipArchive(const std::string& path) {
    if (!MayBeArchive(path)) return nullptr;
    std::unique_ptr<Archive> archive = Archive::Open(fs_, path);
    if (!archive || !archive->StartsWithLocalHeader()) return nullptr;
    return archive;
}

bool Engine::IsZipArchive(const std::string& path) {
    return OpenZipArchive(path) != nullptr;
}

int32_t Engine::EndOfWalk(const Directory& directory) {
    if (directory.end_sentence.empty()) return directory.end;
    return Fail(directory.end, directory.end_sentence);
}

void Engine::Describe(const Directory& directory, const DirectoryEntry& entry, MemberInfo* member) {
    member->flags = entry.flags;
    member->method = entry.method;
    member->time = entry.time;
    member->crc = entry.crc;
    member->compressed_size = entry.compressed_size;
    member->size = entry.size;
    member->header_offset = entry.header_offset;
    member->attributes = entry.attributes;
    member->name_length = entry.name_length;
    // Stored slashes of both kinds become the platform's separator.
    member->raw_name.assign(directory.names, entry.name_at, entry.name_size);
    member->name =
        DecodeMemberName(member->raw_name, (entry.flags & kFlagUtf8) != 0, options_.oem_code_page);
    std::replace(member->name.begin(), member->name.end(), '/', kPathSeparator);
    std::replace(member->name.begin(), member->name.end(), '\\', kPathSeparator);
}

int32_t Engine::FirstMember(const std::string& archive, MemberEntry& entry) {
    CloseMemberWalk(entry);
    std::unique_ptr<Archive> opened = Archive::Open(fs_, archive);
    if (!opened) return Fail(ResultArchiveFileError, "the archive cannot be opened");
    entry.archive = std::move(opened);
    return NextMember(entry);
}

int32_t Engine::NextMember(MemberEntry& entry) {
    if (!entry.walking()) return ResultNoMoreMembers;
    const Directory& directory = entry.archive->directory();
    if (entry.next_entry < directory.entries.size()) {
        Describe(directory, directory.entries[entry.next_entry++], &entry);
        return ResultOk;
    }
    const int32_t rc = EndOfWalk(directory);
    CloseMemberWalk(entry);
    return rc;
}

void Engine::CloseMemberWalk(MemberEntry& entry) {
    entry.archive.reset();
    entry.next_entry = 0;
}

int64_t Engine::Totals(Archive& archive, int64_t* compressed) {
    const Directory& directory = archive.directory();
    int64_t total = 0;
    *compressed = 0;
    for (const DirectoryEntry& entry : directory.entries) {
        total = AddSaturated(total, entry.size);
        *compressed = AddSaturated(*compressed, entry.compressed_size);
    }
    EndOfWalk(directory);
    return total;
}

int64_t Engine::ArchiveTotals(const std::string& archive, int64_t* compressed) {
    *compressed = 0;
    std::unique_ptr<Archive> opened = Archive::Open(fs_, archive);
    if (!opened) return 0;
    const int64_t size = std::max<int64_t>(opened->size(), 0);
    *compressed = size;
    // What the engine would not take as an archive counts as one stored file.
    if (!MayBeArchive(archive) || !opened->StartsWithLocalHeader()) return size;
    return Totals(*opened, compressed);
}

} // namespace unzip
