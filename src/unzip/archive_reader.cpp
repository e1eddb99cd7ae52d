// Finding the end record, loading the central directory and walking its entries.
#include <algorithm>
#include <cstring>
#include <limits>

#include "unzip/byte_order.h"
#include "unzip/engine.h"
#include "unzip/zip_format.h"

namespace unzip {
namespace {

// The end record is searched backwards in 4,096-byte blocks that overlap by
// the record's fixed 22 bytes, so a signature is never split between blocks.
constexpr int64_t kSearchBlock = 4096;
// A directory of this many bytes or more is read through a window of this size.
constexpr uint32_t kLargeDirectory = 64000;

struct FoundEnd {
    int64_t position = -1; // archive offset of the PK 05 06 signature
    EndRecord record;
};

bool ReadAt(InputFile& f, int64_t offset, uint8_t* buffer, size_t n) {
    return f.ReadAt(offset, buffer, n) == static_cast<long>(n);
}

// Looks for a record whose comment reaches exactly to the end of the file, so a
// PK 05 06 that merely lies inside a comment is not taken for the record. Such
// a record lies within the last 22 + 65,535 bytes.
int32_t FindExactEndRecord(InputFile& f, int64_t size, FoundEnd* found) {
    int64_t span = std::min<int64_t>(size, kEndRecordSize + 0xFFFF);
    std::vector<uint8_t> tail(static_cast<size_t>(span));
    if (!ReadAt(f, size - span, tail.data(), tail.size())) return ResultArchiveFileError;
    for (int64_t i = span - kEndRecordSize; i >= 0; --i) {
        const uint8_t* p = tail.data() + i;
        if (Load32(p) != kEndSignature) continue;
        int64_t position = size - span + i;
        const EndRecord record = ParseEndRecord(p);
        if (position + kEndRecordSize + record.comment_length != size) continue;
        if (record.directory_offset > static_cast<uint64_t>(position) &&
            record.directory_offset != kZip64Mark)
            continue; // its directory would start after it: not a real record
        found->position = position;
        found->record = record;
        return ResultOk;
    }
    return ResultNoMoreMembers;
}

// Archives with bytes after the end record: the signature nearest the end wins.
int32_t FindNearestEndRecord(InputFile& f, int64_t size, FoundEnd* found) {
    int64_t block = std::min(size, kSearchBlock);
    std::vector<uint8_t> buffer(static_cast<size_t>(block));
    int64_t start = size - block;
    for (;;) {
        if (!ReadAt(f, start, buffer.data(), buffer.size())) return ResultArchiveFileError;
        for (int64_t i = block - kEndRecordSize; i >= 0; --i) {
            if (Load32(buffer.data() + i) != kEndSignature) continue;
            found->position = start + i;
            found->record = ParseEndRecord(buffer.data() + i);
            return ResultOk;
        }
        if (start == 0) return ResultArchiveFileError;
        start = std::max<int64_t>(0, start - (block - kEndRecordSize));
    }
}

// Saturating sum for 32-bit totals.
int32_t AddClamped(int32_t total, int64_t add) {
    int64_t sum = static_cast<int64_t>(total) + add;
    return static_cast<int32_t>(std::min<int64_t>(sum, std::numeric_limits<int32_t>::max()));
}

} // namespace

bool Engine::IsZipArchive(const std::string& path) {
    if (path.find('.') == std::string::npos || path.find(".exe") != std::string::npos) return false;
    std::string folder = path;
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == kPathSeparator))
        folder.pop_back();
    if (!folder.empty() && fs_.IsFolder(folder)) return false;
    std::unique_ptr<InputFile> f = fs_.OpenRead(path);
    uint8_t signature[4];
    return f && f->ReadAt(0, signature, 4) == 4 && Load32(signature) == kLocalSignature;
}

int32_t Engine::FirstMember(const std::string& archive, MemberEntry& entry) {
    CloseMemberWalk(entry);
    std::unique_ptr<InputFile> f = fs_.OpenRead(archive);
    if (!f) return Fail(ResultArchiveFileError, "the archive cannot be opened");
    const int64_t size = f->Size();
    if (size <= 0) return Fail(ResultArchiveFileError, "the archive is empty");

    FoundEnd end;
    int32_t rc = size >= kEndRecordSize ? FindExactEndRecord(*f, size, &end) : ResultNoMoreMembers;
    if (rc == ResultNoMoreMembers) rc = FindNearestEndRecord(*f, size, &end);
    if (rc != ResultOk) return Fail(ResultArchiveFileError, "no end of central directory record");

    // The Zip64 marker in place of the directory offset: the directory can only
    // be found through the Zip64 records. (A Zip64 end record written merely
    // because of the entry count leaves a usable offset here and is read as usual.)
    if (end.record.directory_offset == kZip64Mark)
        return Fail(ResultUnsupported, "Zip64 archives are not supported");
    const int64_t start = end.record.directory_offset;
    const uint32_t directory_size = end.record.directory_size;
    entry.declared_entries = end.record.entries;
    entry.declared_empty = entry.declared_entries == 0 && directory_size == 0;
    entry.entries_read = 0;
    if (end.position < kCentralHeaderSize)
        return Fail(ResultNoDirectory, "the end record leaves no room for a directory");

    const int64_t length = end.position - start + 4; // includes the end record's signature
    if (length < 4)
        return Fail(ResultArchiveFileError, "the directory offset lies past the end record");
    // A size of all ones is a Zip64 mark: the walk then ends at the next end record.
    entry.directory_end = directory_size == kZip64Mark ? -1 : start + directory_size;
    if (entry.directory_end > end.position)
        return Fail(ResultArchiveFileError, "the directory's size reaches past the end record");

    const uint32_t buffer_size =
        length < kLargeDirectory ? static_cast<uint32_t>(length) : kLargeDirectory;
    entry.directory.assign(buffer_size, 0);
    entry.buffer_size = buffer_size;
    entry.next_entry = 0;
    entry.buffer_origin = start;
    if (!ReadAt(*f, start, entry.directory.data(), buffer_size)) {
        CloseMemberWalk(entry);
        return Fail(ResultArchiveFileError, "the central directory cannot be read");
    }
    if (length >= kLargeDirectory) entry.archive = std::move(f);

    rc = ReadEntry(entry);
    if (rc != ResultOk) CloseMemberWalk(entry);
    return rc;
}

int32_t Engine::NextMember(MemberEntry& entry) {
    if (!entry.walking()) return ResultNoMoreMembers;
    int32_t rc = ReadEntry(entry);
    if (rc != ResultOk) CloseMemberWalk(entry);
    return rc;
}

void Engine::CloseMemberWalk(MemberEntry& entry) {
    std::vector<uint8_t>().swap(entry.directory);
    entry.buffer_size = 0;
    entry.next_entry = 0;
    entry.archive.reset();
}

int32_t Engine::FinishWalk(const MemberEntry& entry) {
    // An end record that counts more than 65,535 entries holds all ones (the
    // real count is in the Zip64 record); old writers kept the low 16 bits.
    const bool agrees = entry.declared_entries == (entry.entries_read & 0xFFFF) ||
                        (entry.declared_entries == 0xFFFF && entry.entries_read >= 0xFFFF);
    if (!agrees)
        return Fail(ResultArchiveFileError, "the central directory holds " +
                                                std::to_string(entry.entries_read) +
                                                " entries where the end record declares " +
                                                std::to_string(entry.declared_entries));
    return ResultNoMoreMembers;
}

int32_t Engine::ReadEntry(MemberEntry& entry) {
    auto remaining = [&entry] { return entry.buffer_size - entry.next_entry; };
    auto entry_length = [&entry] {
        return ParseCentralEntry(entry.directory.data() + entry.next_entry).length();
    };
    // A directory that cannot be read whole must not pass for a shorter one:
    // the members after the damage would be silently missing.
    auto damaged = [this](const char* why) {
        return Fail(ResultArchiveFileError,
                    std::string("the central directory is damaged: ") + why);
    };

    const int64_t position = entry.buffer_origin + entry.next_entry;
    if (position == entry.directory_end) return FinishWalk(entry);

    if (entry.archive && (remaining() < kCentralHeaderSize || remaining() < entry_length())) {
        // Large directory: move the unread rest to the front and refill behind it.
        uint32_t keep = remaining();
        std::memmove(entry.directory.data(), entry.directory.data() + entry.next_entry, keep);
        entry.buffer_origin += entry.next_entry;
        entry.next_entry = 0;
        long got = entry.archive->ReadAt(entry.buffer_origin + keep, entry.directory.data() + keep,
                                         kLargeDirectory - keep);
        if (got < 0) return damaged("it cannot be read");
        entry.buffer_size = keep + static_cast<uint32_t>(got);
    }

    if (entry.directory_end < 0 && remaining() >= 4) {
        // No size to go by: the walk ends at the (Zip64) end record.
        const uint32_t signature = Load32(entry.directory.data() + entry.next_entry);
        if (signature == kEndSignature || signature == kZip64EndSignature) return FinishWalk(entry);
    }
    if (remaining() < kCentralHeaderSize) return damaged("an entry is cut short");
    const uint8_t* p = entry.directory.data() + entry.next_entry;
    if (Load32(p) != kCentralSignature) return damaged("an entry has no signature");

    const CentralEntry central = ParseCentralEntry(p);
    const uint32_t name_length = central.name_length;
    const uint32_t length = central.length();
    if (entry.directory_end >= 0 && position + length > entry.directory_end)
        return damaged("an entry runs past the directory's end");
    std::string raw;
    if (remaining() >= length) {
        raw.assign(reinterpret_cast<const char*>(p) + kCentralHeaderSize, name_length);
    } else if (entry.archive) {
        // An entry longer than the window (a long name, extra field or comment):
        // read its name straight from the archive and resume the walk after it.
        raw.resize(name_length);
        if (name_length && !ReadAt(*entry.archive, position + kCentralHeaderSize,
                                   reinterpret_cast<uint8_t*>(&raw[0]), name_length))
            return damaged("an entry cannot be read");
    } else {
        return damaged("an entry runs past the end record");
    }

    const uint32_t csize = central.compressed_size, usize = central.size,
                   offset = central.header_offset;
    const uint32_t kMax = static_cast<uint32_t>(std::numeric_limits<int32_t>::max());
    entry.fits = csize <= kMax && usize <= kMax && offset <= kMax;
    entry.flags = central.flags;
    entry.method = central.method;
    entry.time = central.time;
    entry.crc = central.crc;
    entry.compressed_size = static_cast<int32_t>(csize);
    entry.size = static_cast<int32_t>(usize);
    entry.header_offset = static_cast<int32_t>(offset);
    entry.attributes = central.made_by_host == 0 ? central.dos_attributes : 0;
    entry.name_length = static_cast<uint16_t>(name_length);
    ++entry.entries_read;

    // Names stop at a NUL as they would in any C string; stored slashes of both
    // kinds become the platform's separator.
    raw.resize(std::min(raw.size(), raw.find('\0')));
    entry.raw_name = raw;
    entry.name = DecodeMemberName(raw, (entry.flags & kFlagUtf8) != 0, options_.oem_code_page);
    std::replace(entry.name.begin(), entry.name.end(), '/', kPathSeparator);
    std::replace(entry.name.begin(), entry.name.end(), '\\', kPathSeparator);

    if (remaining() >= length) {
        entry.next_entry += length;
    } else {
        entry.buffer_origin += entry.next_entry + length;
        entry.next_entry = 0;
        entry.buffer_size = 0;
    }
    return ResultOk;
}

int32_t Engine::ArchiveTotals(const std::string& archive, int32_t* compressed) {
    *compressed = 0;
    std::unique_ptr<InputFile> f = fs_.OpenRead(archive);
    if (!f) return 0;
    int32_t total = AddClamped(0, std::max<int64_t>(f->Size(), 0));
    *compressed = total;
    f.reset();
    if (!IsZipArchive(archive)) return total;
    *compressed = 0;
    total = 0;
    MemberEntry entry;
    for (int32_t rc = FirstMember(archive, entry); rc == ResultOk; rc = NextMember(entry)) {
        total = AddClamped(total, static_cast<uint32_t>(entry.size));
        *compressed = AddClamped(*compressed, static_cast<uint32_t>(entry.compressed_size));
    }
    CloseMemberWalk(entry);
    return total;
}

} // namespace unzip
